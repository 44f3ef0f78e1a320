#include "search_space.h"

#include "search_exact.h"

#include <algorithm>

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

unsigned apartTypes(const SearchSpace& space, int t) {
    const auto span = [&](int j) {
        return static_cast<long double>(space.usable[size_t(j)] - space.min[size_t(j)]) *
               space.len[size_t(j)];
    };
    std::array<int, MaxTypes> order{};
    long double rest = 0;
    for (int j = 0; j < t; ++j) {
        order[size_t(j)] = j;
        rest += span(j);
    }
    std::sort(order.begin(), order.begin() + t,
              [&](int x, int y) { return space.len[size_t(x)] > space.len[size_t(y)]; });
    // The longest types down to the shortest that is still longer than what the others span.
    unsigned mask = 0, apart = 0;
    qint64 sums = 1;
    for (int k = 0; k < t; ++k) {
        const int j = order[size_t(k)];
        const qint64 range = space.usable[size_t(j)] - space.min[size_t(j)];
        if (sums * (range + 1) > MaxRunSums)
            break;
        rest -= span(j);
        if (range < 1)
            continue;
        mask |= 1u << j;
        sums *= range + 1;
        if (space.len[size_t(j)] > rest)
            apart = mask;
    }
    return apart;
}

} // namespace Kern::SearchDetail
