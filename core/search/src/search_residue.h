#pragma once

#include "search_grid.h"

#include <atomic>
#include <memory>
#include <vector>

namespace Kern::SearchDetail {

// The reachable grid sums of a prefix of types, folded modulo the steps of one of its types
// (the base): per residue class the least sum, and by symmetry the largest, since counts c and
// minimum + maximum - c give sums that add up to the same total. Where the base's counts reach
// the upper bound, every sum of a class from its least one upward is reachable, so the table
// is exact for a route of any length at the cost of one number per step of the base; where
// they do not, it still rules out whole classes, as when all lengths but one short-listed type
// are multiples of a common step.
class ResidueTable {
public:
    ResidueTable(qint64 modulus, qint64 cap);

    // Adds a type of `step` grid steps with counts minimum..maximum: every class takes the
    // least of its sums with each count. Returns false when `cancel` was set (the table is then
    // unusable).
    bool addType(qint64 step, qint64 minimum, qint64 maximum, const std::atomic<bool>* cancel);
    // Once all types are in: the sum of all their minimums and maximums, for the mirrored
    // largest sums (-1: none).
    void finish(qint64 top);
    // A copy of another prefix's table counts only its own queries.
    void forgetQueries() { m_looked = 0; }

    qint64 modulus() const { return m_modulus; }
    // The least sum in class r; beyond the cap when there is none up to the cap.
    qint64 least(qint64 r) const { return m_least[size_t(r)]; }
    qint64 most(qint64 r) const;

    // An upper bound on the largest reachable sum not above x: the largest one that the least
    // and largest sums of its class admit, if a scan of the classes from x down to a little
    // below `floor` finds it; -1 when no sum is that small.
    qint64 predecessor(qint64 x, qint64 floor) const;
    // Classes and blocks of classes the queries have looked at so far.
    qint64 looked() const { return m_looked; }

private:
    std::vector<qint64> shifted(qint64 count, qint64 step, const std::atomic<bool>* cancel) const;
    bool closeCycles(qint64 step, const std::atomic<bool>* cancel);
    bool slideCycles(qint64 step, qint64 range, const std::atomic<bool>* cancel);
    // The largest sum of the class whose mirror is `mirror` (see most), when there is a top.
    qint64 mirrored(qint64 mirror) const;

    qint64 m_modulus;
    qint64 m_cap; // sums above this are of no interest and count as unreachable
    qint64 m_top = -1;
    qint64 m_smallest = 0;
    std::vector<qint64> m_least;
    // Per block of classes, the least of least(r) - r and the largest of most(r) - r.
    static constexpr size_t Block = 64;
    std::vector<qint64> m_blockLow, m_blockHigh;
    mutable qint64 m_looked = 0;
};

// Residue tables for prefixes of the types on the decimal lattice: cheap where bit tables of
// the whole range up to the route are cheap, and still small where those would be far too large.
class ResidueTables {
public:
    // Plans tables for the prefixes from `from` up, as many of the top ones as `entries` hold.
    void plan(const SearchSpace& space, const Grid& lattice, int from, qint64 entries);
    int planned() const { return m_planned; }
    int built() const { return m_built; }
    qint64 cost(int t) const { return m_cost[size_t(t)]; }
    // Builds the tables up to prefix upTo; returns the work done, in table entries written.
    qint64 build(const SearchSpace& space, int upTo, const std::atomic<bool>* cancel);
    // Classes and blocks the queries of all tables have looked at.
    qint64 looked() const;
    const ResidueTable* table(int t) const {
        return t <= m_built ? m_tables[size_t(t)].get() : nullptr;
    }

private:
    bool copiesPrevious(int t) const;

    int m_from = 0; // first prefix planned
    int m_planned = 0;
    int m_built = 0;
    qint64 m_cap = 0;
    std::array<qint64, MaxTypes> m_steps{}; // the lattice's
    std::array<int, MaxTypes + 1> m_base{}; // the type whose steps are the modulus
    std::array<qint64, MaxTypes + 1> m_cost{};
    std::array<std::unique_ptr<ResidueTable>, MaxTypes + 1> m_tables;
};

} // namespace Kern::SearchDetail
