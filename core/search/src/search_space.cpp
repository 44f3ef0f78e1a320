#include "search_space.h"

#include "search_exact.h"

#include <algorithm>
#include <cmath>

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

std::array<Trade, MaxTypes> findTrades(const SearchSpace& s) {
    std::array<Trade, MaxTypes> trades{};
    const long double width = static_cast<long double>(s.hi) - s.lo;
    for (int t = 1; t < s.n; ++t) {
        const size_t i = size_t(t);
        if (!(s.len[i] > 0) || s.usable[i] <= s.min[i])
            continue;
        const long double len = s.len[i];
        for (int j = 0; j < t; ++j) {
            const long double other = s.len[size_t(j)];
            // The pieces traded in stay within the usable count of type j where the widened
            // windows stay clearly below what one more piece would make: where the route, not
            // the type's most, bounds it (the spread below is at most a 64th of the window).
            if (!(other > 0) || !(s.hi + width / 64 + std::fabs(s.hi) * 0x1p-36 <
                                  (s.usable[size_t(j)] + 1) * other))
                continue;
            // The fewest pieces p of a trade are those of a convergent q / p of len / other:
            // no fraction of a smaller denominator comes closer.
            long double x = len / other;
            qint64 p0 = 1, p1 = 0, q0 = 0, q1 = 1;
            for (int round = 0; round < 32; ++round) {
                const long double whole = std::floor(x);
                const long double p = whole * p1 + p0, q = whole * q1 + q0;
                if (p > MaxTradePieces || (trades[i].p > 0 && p >= trades[i].p) || q > 4096)
                    break;
                p0 = p1, q0 = q1, p1 = qint64(p), q1 = qint64(q);
                const long double delta = p * len - q * other;
                const long double spread =
                    std::fabs(delta) * (static_cast<long double>(s.usable[i] - s.min[i]) / p + 1);
                if (q >= 1 && spread * 64 <= width) {
                    trades[i] = {int(p), qint64(q), j, delta};
                    break;
                }
                if (!(x - whole > 0x1p-40))
                    break;
                x = 1 / (x - whole);
            }
        }
    }
    return trades;
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
