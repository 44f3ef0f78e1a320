#pragma once

#include "search.h"

#include <array>
#include <cmath>
#include <utility>

namespace Kern::SearchDetail {

// A request as the walk sees it: the window, and per type its length and the counts that can
// matter. No vector that stays within hi has more of a type than its product allows, so the
// prefix sums of those "usable" counts bound from above all that the walk can meet.
// What a search may spend on its tables. The defaults are the program's; tests shrink them to
// reach every kind of table on small inputs.
struct SearchLimits {
    qint64 tableBytes = qint64(40) << 20;    // bit tables of all prefixes together
    qint64 residueEntries = qint64(8) << 20; // residue tables of all prefixes together
    qint64 listedSums = qint64(1) << 20;     // sums per list of prefix sums
    // Index tables of all prefixes together (8 bytes an entry): room for two of the longest
    // prefixes' tables at 10 km with a unit of about a millimetre and a quarter.
    qint64 indexEntries = qint64(16) << 20;
    qint64 strideEntries = qint64(8) << 20; // stride tables of all prefixes together
    // Walk steps wasted before a unit the lengths nearly share is looked for.
    qint64 unitAfter = 4096;
    // Tables are built once fruitless descents have cost this times what building costs.
    double patience = 1.0;
};

struct SearchSpace {
    explicit SearchSpace(const SearchRequest& request);

    double product(int t, qint64 count) const { return double(count) * len[size_t(t)]; }

    int n = 0;
    double lo = 0.0;
    double hi = 0.0;
    std::array<double, MaxTypes> len{};
    std::array<qint64, MaxTypes> min{};
    std::array<qint64, MaxTypes> max{};
    std::array<qint64, MaxTypes> usable{};   // largest count whose product stays within hi
    std::array<double, MaxTypes + 1> pMin{}; // prefix sums at the minimums / usable counts
    std::array<double, MaxTypes + 1> pMax{};
};

// A type whose counts trade against a faster one: p more pieces of type t are q more of type j
// up to delta (p * len[t] - q * len[j]), and the route alone bounds the count of type j. Where
// no prefix of the faster types reaches the window of count c widened by what delta adds up to
// over the walk, none reaches that of c + p, c + 2p, ...: q, 2q, ... more pieces of type j would
// reach the first.
struct Trade {
    int p = 0; // 0: none
    qint64 q = 0;
    int j = -1;
    long double delta = 0;

    // A window [a, b] of prefix sums of the faster types widened by what delta adds up to over
    // `trades` trades, downwards where it is positive, upwards where it is negative; and by many
    // times the rounding of sums and windows up to `scale` mm.
    std::pair<double, double> widened(double a, double b, double scale, qint64 trades) const {
        const double rounding = scale * 0x1p-47;
        const double drift =
            double(std::fabs(delta) * static_cast<long double>(trades)) * (1 + 0x1p-30);
        return delta > 0 ? std::pair{a - rounding - drift, b + rounding}
                         : std::pair{a - rounding, b + rounding + drift};
    }
};
// Per type, the trade with the fewest pieces of it, at most MaxTradePieces, whose delta adds up
// over all its counts to less than a sixty-fourth of the window.
inline constexpr int MaxTradePieces = 64;
std::array<Trade, MaxTypes> findTrades(const SearchSpace& space);

// The types of the first t whose few counts give sums further apart than the other types of the
// prefix span (pieces of hundreds of metres beside millimetre pieces), as a mask: their sums
// split the prefix's reach into runs with gaps between. At most MaxRunSums sums together.
inline constexpr qint64 MaxRunSums = 4096;
unsigned apartTypes(const SearchSpace& space, int t);

} // namespace Kern::SearchDetail
