#pragma once

#include "search_exact.h"
#include "search_index.h"
#include "search_space.h"

#include <array>
#include <memory>
#include <utility>

namespace Kern::SearchDetail {

// Lengths that all lie close to whole multiples k_i of one unit that need not be a short decimal
// (about 0.7071 mm, or 20.94 mm with lengths of three decimals). A sum of such pieces has the
// lattice index K = sum c_i k_i, and its millimetres are spent on types whose indices per
// millimetre k_i / L_i differ only a little: spending them first on the types of the fewest and
// of the most indices per millimetre, as far as their counts allow, bounds K from both sides. So
// the sums in a window have indices in a narrow band; where no index of the prefix (the indices
// of the minimums plus a multiple of the gcd of the k_i) lies in that band, the whole window is
// out of reach, however many counts lead to it. Types that fit no multiple (short lengths, fixed
// counts) add a range of millimetres of their own and no index.
class UnitLattice {
public:
    // The unit whose band is narrowest at the upper bound; an invalid lattice where no unit is
    // at least as long as the window. Units shorter than one and a half times `grid` (the step
    // of a decimal grid that holds the sums nearly exactly, 0 if none) are left out: such a unit
    // is the grid's step or shorter than two of them, and its indices say no more than the grid.
    // With upTo > 0, the unit for the first upTo types alone, and no prefix longer than that.
    static UnitLattice find(const SearchSpace& space, long double grid = 0, int upTo = 0);
    // The band of the first t types at the upper bound, in indices over their gcd: about how
    // many of the prefix's indices a window may hold (Inf where the prefix is invalid).
    long double bandWidth(const SearchSpace& space, int t) const;

    bool valid(int t) const { return m_prefix[size_t(t)].valid; }
    bool indexed(int t) const { return m_index[size_t(t)] != nullptr; }
    // Whether the first t types have no table of their own, but the first t - 1 have one and the
    // t-th type has so few counts that its sums are taken over that table one at a time.
    bool stacked(int t) const {
        return t > 2 && !m_index[size_t(t)] && m_index[size_t(t - 1)] && m_few[size_t(t - 1)] > 0;
    }
    // Whether below and passable answer from a table (stacked or not).
    bool tabled(int t) const { return indexed(t) || stacked(t); }

    // An upper bound on the largest prefix sum of the first t types not above b, in the walk's
    // double arithmetic; -Inf when none is that small. From the prefix's index table where it
    // has one, from the band otherwise.
    double below(int t, double b) const;
    // Where no sum of the first t types lies in [a, b]: how many counts of the next type (of
    // length len) may be passed before its window, sliding down by len per count, can meet one,
    // by the prefix's index table or else its band; at most most + 1, 1 where neither can tell.
    qint64 passable(int t, double a, double b, double len, qint64 most) const;

    // The first count from `from` on, up to `to`, of the t-th type, walked for sums of the first t
    // types in [lo, hi], that leaves the first t - 1 types an index they can make up: the
    // indices of their sums are multiples of their gcd, so only every so many counts can
    // complete. to + 1 where none up to `to` can; `from` where the lattice cannot tell.
    qint64 nextCount(int t, double lo, double hi, qint64 from, qint64 to) const;

    // The entries the index table of the first t types takes (0: it has none), the work of
    // building it (entries written, the tables of the shorter prefixes on the way included),
    // and the building, which gives up the tables of the prefixes 2..dropped: the longest table
    // below t is where the new one starts, taken over where it is given up and copied where it
    // is kept. Returns the work done.
    qint64 indexEntries(const SearchSpace& space, int t) const;
    qint64 indexCost(const SearchSpace& space, int t) const;
    qint64 buildIndexTable(const SearchSpace& space, int t, int dropped,
                           const std::atomic<bool>* cancel);

    // The prefix of the first t types on the lattice given by `steps`.
    struct Prefix {
        bool valid = false;
        int types = 0; // on the lattice, by ascending indices per millimetre
        std::array<long double, MaxTypes> rate{}; // k_i / L_i
        std::array<long double, MaxTypes> room{}; // millimetres above the minimums
        long double roomTotal = 0;
        long double base = 0;                    // millimetres of the minimums
        qint64 divisor = 0;                      // gcd of the k_i
        long double looseLow = 0, looseHigh = 0; // what the other types add
        // Of those, the ones of so few counts that their sums are taken one at a time (a type of
        // one or two pieces beside near-multiples): the sums of their counts, and what the rest
        // of the other types add.
        static constexpr int MaxOffSums = 8;
        int offSums = 1;
        std::array<long double, MaxOffSums> offSum{};
        long double restLow = 0, restHigh = 0;
        long double rounding = 0; // between a double prefix sum and the exact one
        // The millimetres per index of the prefix's sums at its full counts: the unit its band
        // and index table take their errors from, so that these stay level along the indices.
        long double unit = 0;
        // Where the room of the j-th type by rate runs out for reach (from the slowest) and for
        // least (from the fastest), and the millimetres there.
        struct Corner {
            long double reachAt, reach, leastAt, least;
        };
        std::array<Corner, MaxTypes> corners{};

        Prefix(const SearchSpace& space, const std::array<qint64, MaxTypes>& steps, int t);
        Prefix() = default;
        // The fewest and the most indices that x millimetres above the minimums can add.
        long double fewest(long double x) const;
        long double most(long double x) const;
        // The most millimetres above the minimums that add at most d indices, and the fewest
        // that may add d or more.
        long double reach(long double d) const;
        long double least(long double d) const;
        // What the types off the lattice add with their j-th sum of few counts: least, greatest.
        std::pair<long double, long double> offRange(size_t j) const;
        // The least and greatest of reach(d) - d * perIndex and least(d) - d * perIndex for d
        // in [first, last] (the millimetres of index d beside d steps of perIndex).
        std::pair<long double, long double> errors(long double first, long double last,
                                                   long double perIndex) const;
    };

private:
    // Indices of the unit (not of the gcd) that a query of any prefix may need, and the indices
    // the counts of the first t types reach.
    qint64 indexCap(const SearchSpace& space) const;
    qint64 indexReach(const SearchSpace& space, int t) const;
    // Table sizes per prefix, in indices of the unit times the prefix's gcd; 0 where the last
    // type is off the lattice (the prefix has the table of the shorter one) or none is valid.
    std::array<qint64, MaxTypes + 1> indexSizes(const SearchSpace& space) const;

    std::array<qint64, MaxTypes> m_steps{}; // per type; 0 for one off the lattice
    std::array<qint64, MaxTypes> m_min{};   // the counts' minimums
    // Per type its length, and its counts where they are at most MaxStacked (else 0).
    static constexpr qint64 MaxStacked = 16;
    std::array<double, MaxTypes> m_len{};
    std::array<qint64, MaxTypes> m_few{};
    double stackedBelow(int t, double b) const;
    qint64 stackedPassable(int t, double a, double b, double len, qint64 most) const;
    // Per prefix, the last window nextCount was asked about and the indices above the minimums
    // its sums can have, kmin .. kmin + w (kmin < 0: no use).
    struct Window {
        double lo = 0, hi = -1;
        qint64 kmin = -1, w = 0;
    };
    mutable std::array<Window, MaxTypes + 1> m_windows{};
    // Per prefix, the run of counts its next pass on the band starts from (see
    // firstMeetingInRuns).
    mutable std::array<qint64, MaxTypes + 1> m_bandRuns{};
    std::array<Prefix, MaxTypes + 1> m_prefix{};
    // Per prefix its band as a table for passable (last < 0: none), and the least and greatest
    // error of its indices first..last.
    std::array<IndexErrors, MaxTypes + 1> m_band{};
    static std::pair<double, double> bandEnvelope(const Prefix& p, double step, qint64 first,
                                                  qint64 last);
    std::array<std::shared_ptr<IndexTable>, MaxTypes + 1> m_index{};
};

} // namespace Kern::SearchDetail
