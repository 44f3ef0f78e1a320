#include "search_space.h"

#include "search_exact.h"

namespace Kern::SearchDetail {

SearchSpace::SearchSpace(const SearchRequest& request)
    : n(int(request.types.size())), lo(windowLow(request)), hi(windowHigh(request)) {
    for (int t = 0; t < n; ++t) {
        const SearchType& type = request.types[size_t(t)];
        len[size_t(t)] = type.length;
        min[size_t(t)] = type.minimum;
        max[size_t(t)] = type.maximum;
    }
    for (int t = 0; t < n; ++t) {
        const size_t i = size_t(t);
        pMin[i + 1] = pMin[i] + product(t, min[i]);
        const double guess = len[i] > 0 ? hi / len[i] + 1 : double(max[i]);
        usable[i] = firstTrue(min[i], max[i], clampCount(guess, min[i], max[i]),
                              [&](qint64 c) { return product(t, c) > hi; }) -
                    1;
        pMax[i + 1] = pMax[i] + product(t, usable[i]);
    }
}

} // namespace Kern::SearchDetail
