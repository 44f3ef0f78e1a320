#include "search_exact.h"

namespace Kern::SearchDetail {

Int128 floorTimes(double x, qint64 num) {
    if (x == 0)
        return 0;
    int e;
    const double f = std::frexp(x, &e);
    const Int128 v = Int128(qint64(std::ldexp(f, 53))) * num; // x * num = v * 2^(e - 53)
    e -= 53;
    if (e >= 0)
        return v << e;
    return -e >= 127 ? (v < 0 ? -1 : 0) : v >> -e; // the shift rounds towards minus infinity
}

} // namespace Kern::SearchDetail
