#include "search.h"

namespace Kern {

double WindowLow(const SearchRequest& request) {
    const double offset = -(request.shortfallTenths / 10.0) - 0.05;
    return request.routeLength + offset;
}

double WindowHigh(const SearchRequest& request) {
    const double offset = request.excessTenths / 10.0 + 0.05;
    return request.routeLength + offset;
}

// Plain odometer; to be replaced by the output-sensitive search.
std::vector<FoundCombination> SearchCombinations(const SearchRequest& request) {
    const int n = int(request.types.size());
    const double lo = WindowLow(request);
    const double hi = WindowHigh(request);
    std::array<qint64, MaxTypes + 2> c{};
    for (int t = 0; t < n; ++t)
        c[t] = request.types[t].minimum;
    auto total = [&] {
        double s = 0.0;
        for (int t = 0; t < n; ++t)
            s += double(c[t]) * request.types[t].length;
        return s;
    };
    std::vector<FoundCombination> out;
    qint64 k = 0;
    do {
        const double s = total();
        if (lo <= s && s <= hi) {
            FoundCombination f;
            f.total = s;
            f.deviation = s - request.routeLength;
            __int128 price = 0;
            for (int t = 0; t < n; ++t) {
                f.counts[t] = c[t];
                f.pieces += c[t];
                price += __int128(c[t]) * request.types[t].priceTenThousandths;
            }
            f.totalPrice = double(price) / 10000.0;
            out.push_back(f);
            ++k;
        }
        ++c[0];
        for (int t = 0; t < n; ++t) {
            if (c[t] > request.types[t].maximum || total() > hi) {
                ++c[t + 1];
                for (int u = 0; u <= t; ++u)
                    c[u] = request.types[u].minimum;
            }
        }
        if (n == 0)
            c[0] = 1;
    } while (k < request.limit && c[n] < 1);
    return out;
}

} // namespace Kern
