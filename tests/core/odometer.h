#pragma once

// Reference walks over the count vector, shared by the search tests and the benchmark. They are
// deliberately plain and use nothing of the search but its request and result types: the fast
// search is checked against them, never the other way round. Their totals must round as the
// search's do: whoever includes this compiles with -ffp-contract=off, as the search does.

#include "search.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace Odometer {

// The exact sum of count x price, which 64 bits could overflow.
__extension__ typedef __int128 Int128;

using Counts = std::array<qint64, Kern::MaxTypes + 2>;

struct Walk {
    std::vector<Kern::FoundCombination> found;
    qint64 visited = 0;   // count vectors whose total was examined
    bool finished = true; // false when the visit cap ended the walk early
};

// The target window as the program documents it: the shortfall and excess lists give tenths of
// a millimetre, each bound is widened by 0.05 mm, and both bounds are inclusive.
inline double Low(const Kern::SearchRequest& request) {
    return request.routeLength + (-(request.shortfallTenths / 10.0) - 0.05);
}
inline double High(const Kern::SearchRequest& request) {
    return request.routeLength + (request.excessTenths / 10.0 + 0.05);
}

// Count x length summed in type order, in double.
inline double Total(const Kern::SearchRequest& request, const Counts& c) {
    double s = 0.0;
    for (size_t t = 0; t < request.types.size(); ++t)
        s += double(c[t]) * request.types[t].length;
    return s;
}

inline Kern::FoundCombination Row(const Kern::SearchRequest& request, const Counts& c,
                                  double total) {
    Kern::FoundCombination f;
    f.total = total;
    f.deviation = total - request.routeLength;
    Int128 price = 0;
    for (size_t t = 0; t < request.types.size(); ++t) {
        f.counts[t] = c[t];
        f.pieces += c[t];
        price += Int128(c[t]) * request.types[t].priceTenThousandths;
    }
    f.totalPrice = double(price) / 10000.0;
    return f;
}

// The odometer word for word: type 1 turns fastest; after every step each place, from the
// fastest up, carries when its count passes the maximum or the freshly computed total passes
// the upper bound.
inline Walk Literal(const Kern::SearchRequest& request,
                    qint64 visitCap = std::numeric_limits<qint64>::max()) {
    const int n = int(request.types.size());
    const double lo = Low(request), hi = High(request);
    Counts c{};
    for (int t = 0; t < n; ++t)
        c[t] = request.types[t].minimum;
    Walk walk;
    qint64 k = 0;
    do {
        if (walk.visited == visitCap) {
            walk.finished = false;
            break;
        }
        ++walk.visited;
        const double s = Total(request, c);
        if (lo <= s && s <= hi) {
            walk.found.push_back(Row(request, c, s));
            ++k;
        }
        ++c[0];
        for (int t = 0; t < n; ++t) {
            if (c[t] > request.types[t].maximum || Total(request, c) > hi) {
                ++c[t + 1];
                for (int u = 0; u <= t; ++u)
                    c[u] = request.types[u].minimum;
            }
        }
    } while (k < request.limit && c[n] < 1);
    return walk;
}

namespace detail {

struct PrunedWalk {
    const Kern::SearchRequest& request;
    double lo, hi;
    qint64 remaining;
    Counts c{};
    Walk walk;

    double TotalWithFaster(int t, bool atMaximum) {
        for (int u = 0; u < t; ++u)
            c[u] = atMaximum ? request.types[u].maximum : request.types[u].minimum;
        return Total(request, c);
    }

    // Counts of place t in ascending order, from the first (found by bisection) for which the
    // faster places at their maximums reach lo, while those at their minimums stay within hi.
    void Place(int t) {
        const Kern::SearchType& type = request.types[t];
        qint64 first = type.minimum, end = type.maximum + 1;
        while (first < end) {
            c[t] = first + (end - first) / 2;
            if (TotalWithFaster(t, true) >= lo)
                end = c[t];
            else
                first = c[t] + 1;
        }
        for (qint64 v = first; v <= type.maximum && remaining > 0; ++v) {
            c[t] = v;
            if (TotalWithFaster(t, false) > hi)
                break;
            ++walk.visited;
            if (t > 0) {
                Place(t - 1);
            } else {
                walk.found.push_back(Row(request, c, Total(request, c)));
                --remaining;
            }
        }
    }
};

} // namespace detail

// The same records in the same order, found by a walk that leaves every branch the window can
// no longer be reached from: far slower than the search, but simple enough to trust, and fast
// enough where the literal odometer would run for ages (huge routes, huge counts).
inline Walk Pruned(const Kern::SearchRequest& request) {
    const int n = int(request.types.size());
    if (request.limit <= 0 || n == 0)
        return Literal(request, 1);
    detail::PrunedWalk p{request, Low(request), High(request), request.limit, {}, {}};
    p.Place(n - 1);
    return p.walk;
}

} // namespace Odometer
