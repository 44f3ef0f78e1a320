#pragma once

// Random tables and the bit-for-bit comparison of results, shared by the tests of the search as a
// whole and those of its layers.

#include "odometer.h"
#include "searchcases.h"

#include <QRandomGenerator>
#include <QString>

#include <cmath>
#include <cstring>

namespace SearchFixture {

using Kern::FoundCombination;
using Kern::MaxCount;
using Kern::SearchRequest;
using Kern::SearchType;

inline SearchType type(double length, qint64 minimum = 0, qint64 maximum = 9999) {
    return SearchType{length, minimum, maximum, 0};
}

inline bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Empty when the rows are the same to the bit, else what differs first.
inline QString difference(const std::vector<FoundCombination>& got,
                          const std::vector<FoundCombination>& want) {
    if (got.size() != want.size())
        return QStringLiteral("%1 combinations instead of %2").arg(got.size()).arg(want.size());
    for (size_t r = 0; r < got.size(); ++r) {
        const FoundCombination &g = got[r], &w = want[r];
        if (!sameBits(g.total, w.total) || !sameBits(g.deviation, w.deviation) ||
            g.pieces != w.pieces || !sameBits(g.totalPrice, w.totalPrice) || g.counts != w.counts)
            return QStringLiteral("row %1: total %2 instead of %3")
                .arg(r)
                .arg(g.total, 0, 'g', 17)
                .arg(w.total, 0, 'g', 17);
    }
    return {};
}

// Lengths with one and two decimals (the grid the search prunes on), quarters (which add up
// exactly in double), eight decimals (no usable grid), near multiples of an odd unit, short ones,
// micrometres and less in huge numbers, zeros and repeats; raised minimums, fixed counts and long
// lists of counts that only the window cuts off.
inline SearchType randomType(QRandomGenerator& rng, const std::vector<SearchType>& before) {
    const double lengths[] = {
        rng.bounded(50, 3000) / 10.0,
        rng.bounded(500, 30000) / 100.0,
        rng.bounded(1, 1200) / 4.0,
        rng.bounded(100000000, 2000000000) / 1e7,
        rng.bounded(1, 400) / 100.0,
        rng.bounded(1, 10) * std::pow(10.0, -rng.bounded(3, 13)),
        0.0,
        before.empty() ? 12.5 : before[rng.bounded(int(before.size()))].length,
        // Near multiples of a unit that is no short decimal.
        std::round(rng.bounded(1, 40) * 7.0710678118654755 * 1e4) / 1e4,
    };
    const int kinds[14] = {0, 0, 0, 1, 1, 2, 2, 3, 4, 5, 6, 7, 8, 8};
    SearchType s;
    s.length = lengths[kinds[rng.bounded(14)]];
    s.minimum = rng.bounded(5) == 0 ? rng.bounded(1, 4) : 0;
    const int spread = rng.bounded(4);
    s.maximum = spread == 0       ? s.minimum
                : spread == 1     ? s.minimum + rng.bounded(1, 6)
                : s.length < 0.01 ? MaxCount
                : s.length >= 5.0 ? 9999
                                  : s.minimum + rng.bounded(12);
    s.priceTenThousandths = rng.bounded(0, 2000000);
    return s;
}

// Mostly the total of some vector within the counts: nudged by up to a millimetre, or with an
// edge of the window put on it; else any route, or a negative one.
inline double randomRoute(QRandomGenerator& rng, const std::vector<SearchType>& types,
                          int shortfall, int excess) {
    const int aim = rng.bounded(10);
    if (aim >= 9)
        return -rng.bounded(0, 100) / 10.0;
    if (aim >= 6)
        return rng.bounded(0, 200000) / 100.0;
    double total = 0.0;
    for (const SearchType& s : types)
        total += double(s.minimum + rng.bounded(std::min<qint64>(s.maximum - s.minimum, 6) + 1)) *
                 s.length;
    if (aim >= 4)
        return total + (rng.bounded(21) - 10) / 10.0;
    if (aim >= 2)
        return rng.bounded(2) ? total - (excess / 10.0 + 0.05) : total + (shortfall / 10.0 + 0.05);
    return total;
}

// Up to six random types, tolerances, a route near their sums and a limit from -3 to 1000.
inline SearchRequest randomRequest(QRandomGenerator& rng) {
    std::vector<SearchType> types;
    for (int t = rng.bounded(0, 7); t > 0; --t)
        types.push_back(randomType(rng, types));
    const qint64 limits[] = {-3, 0, 1, 2, 3, 7, 1000};
    const int shortfall = rng.bounded(11), excess = rng.bounded(11);
    const double route = randomRoute(rng, types, shortfall, excess);
    return SearchRequest{types, route, shortfall, excess, limits[rng.bounded(7)]};
}

// The odometer's rows: the literal one where it ends within a million vectors, else the pruned
// walk.
inline std::vector<FoundCombination> reference(const SearchRequest& r) {
    Odometer::Walk walk = Odometer::Literal(r, 1000000);
    return walk.finished ? walk.found : Odometer::Pruned(r).found;
}

struct NamedRequest {
    const char* name;
    SearchRequest request;
};

// Edges and inputs far beyond what the window offers.
inline std::vector<NamedRequest> edgeCases() {
    const std::vector<SearchType> huge = SearchCases::startUpTypes(MaxCount);
    const SearchType tiny = type(1e-300, 0, MaxCount);
    // Quarters add up exactly. One double below 300.2, the route puts the upper edge a hair
    // below the sum 300.25, and the lower edge 300.05 is no quarter: every candidate lies on
    // an edge and must be left out.
    const std::vector<SearchType> quarters{type(5.25),  type(54.25), type(19.25), type(94.5),
                                           type(76.25), type(29.5),  type(10.0)};
    std::vector<SearchType> nearlyEqual;
    for (int k = 0; k < 10; ++k)
        nearlyEqual.push_back(type(400.0 + k / 100.0));
    return {
        {"window edges from both sides", {{type(0.1, 0, 60), type(0.01, 0, 30)}, 2.0, 0, 0, 1000}},
        {"1000 combinations, limit 999", {{type(0.5), type(0.25)}, 300.0, 10, 10, 999}},
        {"window edge a hair below exact sums", {quarters, std::nextafter(300.2, 0.0), 1, 0, 999}},
        {"prefix divisor rules out the window",
         {{type(10.2), type(20.4), type(30.6), type(40.8)}, 300.1, 0, 0, 500}},
        {"5 km, start-up types", SearchCases::route5km()},
        {"route 1e300", {huge, 1e300, 10, 10, 999}},
        {"eight decimals", SearchCases::eightDecimals()},
        {"tiny length, slowest type", {{type(64.3), type(70.8), tiny}, 341.0, 0, 0, 999}},
        {"tiny length, fastest type", {{tiny, type(64.3), type(70.8)}, 341.0, 0, 0, 999}},
        // 2 x 64.3 + 3 x 70.8 = 341.0: the window first meets it after some 4500 pieces of
        // 0.1 um, past a long run of counts where nothing fits.
        {"short length on top, hits after a long gap",
         {{type(64.3), type(70.8), type(1e-4, 0, MaxCount)}, 341.5, 0, 0, 999}},
        {"length near the double limit",
         {{type(64.3), type(1.7e308, 0, MaxCount)}, 1e300, 0, 0, 99}},
        {"route 1e13, a million counts of two types",
         {{type(10000000.3, 0, 1000000), type(10000000.7, 0, 1000000)}, 1e13, 0, 0, 999}},
        {"nearly equal lengths", {nearlyEqual, 3999.99, 0, 0, 999}},
        // Types that can only count 0: one with no pieces to use, one longer than the route.
        {"idle types between others",
         {{type(64.3), type(99.9, 0, 0), type(70.8), type(5000.0), type(77.5)}, 1000.0, 3, 3, 999}},
        // Runs of sums 1840.7 mm apart, each 137 mm long: 0, 12 and 24 pieces of 153 mm leave a
        // rest on a run, the counts between a rest in a gap.
        {"long pieces apart from short ones",
         {{type(1840.7, 0, MaxCount), type(5.0, 0, 20), type(0.9, 0, 20), type(1.0, 1, 20),
           type(153.0, 0, 999)},
          3750.32,
          3,
          2,
          1000}},
    };
}

} // namespace SearchFixture
