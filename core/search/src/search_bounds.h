#pragma once

#include "search_lists.h"
#include "search_modular.h"
#include "search_reach.h"
#include "search_residue.h"
#include "search_stride.h"
#include "search_unit.h"

#include <optional>

namespace Kern::SearchDetail {

// Nearly equal lengths: a prefix sum of m pieces (of non-zero length) lies between m times the
// shortest and m times the longest length, bands that stay apart up to the route.
struct Bands {
    bool apart = false;
    double shortest = 0, longest = 0, fewest = 0, most = 0;
};

// Long types of a few counts beside short ones (see apartTypes): the prefix's sums lie in runs,
// one from each sum of the long types on, as long as the short ones span, with gaps between.
struct Runs {
    std::vector<double> low, high; // ascending; widened by the rounding of any prefix sum
};

// What the walk may know about the prefix sums the faster types can reach: bounds that may only
// err towards "maybe", made sharper by tables and lists once the walk has wasted about as much
// work as they cost.
class ReachBounds {
public:
    ReachBounds(const SearchSpace& space, const SearchLimits& limits,
                const std::atomic<bool>* cancel = nullptr);

    // An upper bound on the largest prefix sum of the first t types that is reachable and not
    // above b; -Inf when no reachable prefix sum is that small. A result below a says that none
    // lies in [a, b].
    double reachBelow(int t, double a, double b) const;

    // The next count of the second type, from `from` on, that may give a prefix sum of the first
    // two types in [plo, phi]; to + 1 when none up to `to` can.
    qint64 pairNext(qint64 from, qint64 to, double plo, double phi) const {
        return m_pair.next(from, to, plo, phi);
    }
    // The same for the third type's counts, where one of the first two has few. Where they are
    // more than a few dozen, a call that the next few counts do not settle costs about half a
    // step per count of the few: it is tried once walks of the third type have cost a good deal,
    // and kept while walks with it cost less than walks without (see noteThirdWalk).
    qint64 tripleNext(qint64 from, qint64 to, double plo, double phi) const {
        if (!tripleJudged())
            return stepThird(from, to, plo, phi);
        if (!m_tripleOn)
            return from;
        const qint64 before = tripleWork();
        const qint64 next = stepThird(from, to, plo, phi);
        m_tripleCost[1] += double(tripleWork() - before) / ModularStepsPerStep;
        return next;
    }
    // A walk through the third type's counts ended after `steps` steps, its descents included.
    void noteThirdWalk(qint64 steps);

    // The next count of the t-th type, from `from` on, for which the first t - 1 types can make
    // up an index of the unit the lengths nearly share; to + 1 when none up to `to` can.
    qint64 latticeNext(int t, qint64 from, qint64 to, double plo, double phi) const {
        const qint64 next = m_unit.valid(t) ? m_unit.nextCount(t, plo, phi, from, to) : from;
        const UnitLattice* own = shortUnit(t);
        return own && next <= to ? own->nextCount(t, plo, phi, next, to) : next;
    }

    // Whether the t-th type's counts can be passed with the stride table of the first t - 1
    // types, and the next count from `from` on whose window that table leaves open; to + 1 when
    // none up to `to` is.
    bool strided(int t) const { return m_strides[size_t(t)] != nullptr; }
    qint64 strideNext(int t, qint64 from, qint64 to, double plo, double phi) const;

    // Whether the t-th type's counts can be passed by the remainders of the list of the first
    // t - 1 types' sums, and the next count from `from` on whose window meets one of those sums;
    // to + 1 when none up to `to` does, -1 when the list cannot tell (see RemainderList::next).
    bool remaindered(int t) const { return m_remainders[size_t(t)] != nullptr; }
    qint64 remainderNext(int t, qint64 from, qint64 to, double plo, double phi) const {
        return m_remainders[size_t(t)]->next(from, to, plo, phi);
    }
    // Counts of the t-th type passed one at a time, `steps` walk steps, that the remainders of a
    // list would spare (noteMissed tells the others).
    SFX_HOT_INLINE void notePassed(int t, qint64 steps) {
        if (m_remainderCost[size_t(t)] >= 0 && (m_remainderWasted[size_t(t)] += steps) >
                                                   m_limits.patience * m_remainderCost[size_t(t)])
            buildRemainders(t);
    }

    // Whether the first t types have an index table in use, and what it alone says (see
    // reachBelow).
    bool indexed(int t) const { return !m_bandTrials[size_t(t)].off && m_unit.tabled(t); }
    bool banded(int t) const {
        return !m_bandTrials[size_t(t)].off && (m_unit.valid(t) || shortUnit(t));
    }
    double indexBelow(int t, double b) const { return m_unit.below(t, b); }
    // How many counts of the next type, of length len, may be passed from the one whose window
    // is [a, b] (see UnitLattice::passable); those beyond `skipped`, which the walk passes
    // anyway, count as work the band spared.
    qint64 indexPassable(int t, double a, double b, double len, qint64 most, qint64 skipped) const {
        const UnitLattice* own = shortUnit(t);
        const qint64 run = std::max(m_unit.passable(t, a, b, len, most),
                                    own ? own->passable(t, a, b, len, most) : 1);
        // A pass on the band alone costs about as much CPU time as a few dozen steps of the walk
        // (the errors of each run are worked out afresh), which the table would spare.
        if (!m_unit.tabled(t))
            m_indexWasted[size_t(t)] += BandPassWaste;
        m_bandTrials[size_t(t)].spared += double(std::max<qint64>(run - skipped, 0));
        return run;
    }

    // A descent into the first t types that found nothing cost `steps` walk steps; tables that
    // would have ruled it out are built once such descents have cost as much as they do.
    void noteFruitless(int t, qint64 steps);
    // Steps at level t that a list of the first t - 1 types' sums would have spared. Told after
    // every step that misses: what it asks must cost next to nothing.
    SFX_HOT_INLINE void noteMissed(int t, qint64 steps) {
        notePassed(t, steps);
        if (m_strideCost[size_t(t)] >= 0 &&
            (m_strideWasted[size_t(t)] += steps) > m_limits.patience * m_strideCost[size_t(t)])
            considerStride(t);
        // Counts passed one at a time above the first t - 1 types waste work that their index
        // table may spare too.
        if (const size_t k = size_t(t - 1);
            m_indexCost[k] >= 0 && (m_indexWasted[k] += steps) > m_limits.patience * m_indexCost[k])
            buildIndex(t - 1);
        if (!plannedAfter(steps) || t - 1 <= m_lists.built() || t - 1 > m_lists.planned())
            return;
        m_missed[size_t(t)] += steps;
        if (m_missed[size_t(t)] > m_limits.patience * double(m_lists.costUpTo(t - 1))) {
            m_listWork += m_lists.build(m_space, t - 1, m_cancel);
            planRemainders();
        }
    }

    // Work spent building tables and lists, looking through residue classes, and stepping the
    // third type where that is costly, in walk steps.
    qint64 buildSteps() const;

private:
    static constexpr qint64 TripleTrial = 64;        // walks of the third type per judgement
    static constexpr double ModularStepsPerStep = 2; // as measured on the hunted tables
    // Whether the third type's stepping costs enough to be judged (see tripleNext).
    bool tripleJudged() const { return m_triple.few() > TripleStepper::Cheap; }
    // The stepping itself: on the coarser decimals first, where they are kept.
    qint64 stepThird(qint64 from, qint64 to, double plo, double phi) const {
        if (m_coarseTriple) {
            from = m_coarseTriple->next(from, to, plo, phi);
            if (from > to)
                return from;
        }
        return m_triple.next(from, to, plo, phi);
    }
    qint64 tripleWork() const {
        return m_triple.work() + (m_coarseTriple ? m_coarseTriple->work() : 0);
    }

    double firstTypeBelow(double b) const;
    // Once the bit tables are planned: which walked types may be passed with a stride table of
    // the faster types' bit table, and what waste on their counts pays for a first look.
    void planStrides();
    // The first look builds the bit tables it needs and counts the members; the next, once the
    // waste pays for it, builds the stride table if it fits.
    void considerStride(int t);
    // Once lists are made: which walked types may be passed by their remainders, and what the
    // waste on their counts must reach to pay for sorting them so; and the sorting.
    void planRemainders();
    void buildRemainders(int t);
    qint64 remainderLooked() const {
        qint64 looked = 0;
        for (const auto& list : m_remainders)
            looked += list ? list->looked() : 0;
        return looked;
    }
    // Looks for units of prefixes whose bands are far narrower than those of the unit of all
    // types.
    void findShortUnits(long double grid);
    // Builds the index table of the first t types, if it still fits.
    void buildIndex(int t);
    // What all but the unit's band say (see reachBelow).
    double tablesBelow(int t, double a, double b) const;
    double latticeBelow(int t, double b) const;
    double tableBelow(int t, const ReachTable& table, double b) const;
    double residueBelow(int t, const ResidueTable& table, double a, double b) const;
    void plan();
    bool sharpLattice() const;
    // The step below which units are not looked for.
    long double unitGrid() const;
    // Counts the steps missed before planning, and plans once they are enough; whether planned.
    SFX_HOT_INLINE bool plannedAfter(qint64 steps) {
        if (!m_planned && (m_unplanned += steps) >= StepsBeforePlanning)
            plan();
        return m_planned;
    }

    static constexpr qint64 StepsBeforePlanning = 32;
    // Steps of waste a pass of a walked type's counts on the band alone counts for the index
    // table of the faster types (see indexPassable).
    static constexpr qint64 BandPassWaste = 32;
    // What a step of the walk costs in words of a bit table read, and in members placed.
    static constexpr double WordsPerStep = 64, MembersPerStep = 16;
    // Classes a residue table's query looks at (or blocks of them it passes) in the time of a
    // step of the walk; the walk counts each query as one step besides.
    static constexpr qint64 ClassesPerStep = 64;
    // Queries after which the band is judged by the work it spared: each window it alone ruled
    // out spared a descent of the average fruitless cost at that level.
    static constexpr qint64 UnitTrial = 4096;

    const SearchSpace& m_space;
    const std::atomic<bool>* m_cancel;
    std::array<Bands, MaxTypes + 1> m_bands{};
    std::array<Runs, MaxTypes + 1> m_runs{};
    Grid m_lattice;                 // exact decimal grid: divisor and lowest-sum checks
    std::optional<Grid> m_pairGrid; // where the lattice holds the first two types' sums loosely
    PairStepper m_pair;
    TripleStepper m_triple;
    // Where the lattice's steps are too many for the third type's table of next hits: coarser
    // decimals whose table may rule out counts first, and the stepper on them.
    Grid m_coarseGrid;
    std::optional<TripleStepper> m_coarseTriple;
    // Stepping of the third type where the few type has many counts (see tripleNext): per
    // state, off and on, the walks of the third type and what they cost in steps, the stepper's
    // calls included; and the cost walks without it may reach before it is tried again.
    bool m_tripleOn = false;
    std::array<qint64, 2> m_tripleWalks{};
    mutable std::array<double, 2> m_tripleCost{};
    double m_tripleRetry = 0;
    UnitLattice m_unit; // where the lengths nearly share a unit that is no short decimal
    // Where the first few types share a unit far better than that of all of them: the units of
    // such prefixes, and per prefix the one whose band is narrowest (-1: none).
    std::vector<UnitLattice> m_shortUnits;
    std::array<int, MaxTypes + 1> m_shortOf{};
    // They are looked for once the walk has wasted this many times what the unit of all types
    // waited for (walk steps under fruitless descents since it was found).
    static constexpr qint64 ShortUnitsAfter = 4;
    bool m_shortWanted = false;
    qint64 m_shortWasted = 0;
    const UnitLattice* shortUnit(int t) const {
        const int k = m_shortOf[size_t(t)];
        return k >= 0 ? &m_shortUnits[size_t(k)] : nullptr;
    }
    bool m_unitWanted = false;
    qint64 m_unitWasted = 0; // walk steps under fruitless descents while no unit is looked for
    // Per prefix, for the pair's own test may make the band of two types worthless where that of
    // three or four is not: whether its band is off, the queries and walk steps it spared since
    // it was last judged, and while it is off, the fruitless walk steps since and how many make
    // it worth a new trial.
    struct BandTrial {
        bool off = false;
        qint64 asked = 0;
        double spared = 0;
        qint64 idle = 0, retry = 4096;
    };
    mutable std::array<BandTrial, MaxTypes + 1> m_bandTrials{};
    // Per prefix: the cost of its index table in walk steps (-1: none to build), and the walk
    // steps wasted above it since the unit was found (fruitless descents into it, counts passed
    // one at a time).
    std::array<double, MaxTypes + 1> m_indexCost{};
    mutable std::array<qint64, MaxTypes + 1> m_indexWasted{};
    qint64 m_indexLeft = 0; // entries the tables may still take
    // Per walked type: the stride table of the faster types' bit table modulo its steps; the
    // walk steps wasted on its closed counts, and the cost in walk steps that must be wasted
    // before the next look at it (-1: none to build); whether its members are counted.
    std::array<std::unique_ptr<StrideTable>, MaxTypes + 1> m_strides;
    std::array<double, MaxTypes + 1> m_strideCost{};
    std::array<qint64, MaxTypes + 1> m_strideWasted{};
    std::array<bool, MaxTypes + 1> m_strideCounted{};
    std::array<qint64, MaxTypes + 1> m_strideMembers{};
    qint64 m_strideLeft = 0; // entries the stride tables may still take
    qint64 m_strideWork = 0; // walk steps
    // Per walked type: its list of the faster types' sums by remainders, the cost of making it
    // in walk steps (-1: none to make) and the steps wasted on its counts since the list was
    // made; the entries such lists may still take; the work done sorting them, in walk steps.
    std::array<std::unique_ptr<RemainderList>, MaxTypes + 1> m_remainders;
    std::array<double, MaxTypes + 1> m_remainderCost{};
    std::array<qint64, MaxTypes + 1> m_remainderWasted{};
    qint64 m_remainderLeft = 0;
    qint64 m_remainderWork = 0;
    // Fruitless descents per level and the walk steps they cost.
    std::array<qint64, MaxTypes + 1> m_fruitless{}, m_fruitlessSteps{};
    SearchLimits m_limits;
    bool m_planned = false;
    qint64 m_unplanned = 0; // steps missed before planning
    ReachTables m_tables;
    SumLists m_lists;
    ResidueTables m_residues;
    std::array<qint64, MaxTypes + 1> m_wasted{}; // walk steps under fruitless descents, per level
    std::array<qint64, MaxTypes + 1> m_residueWasted{};
    std::array<qint64, MaxTypes + 1> m_missed{}; // walk steps that a list would spare, per level
    qint64 m_tableWork = 0;                      // word operations
    qint64 m_listWork = 0;                       // sums written
    qint64 m_residueWork = 0;                    // table entries written
    qint64 m_indexWork = 0;                      // index table entries written
};

} // namespace Kern::SearchDetail
