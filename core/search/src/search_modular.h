#pragma once

#include "search_grid.h"

#include <vector>

namespace Kern::SearchDetail {

// Smallest x >= 0 with l <= (a * x) mod m <= r, for 0 <= a < m and 0 <= l <= r < m; -1 if
// there is none, or none up to `most`.
qint64 firstModular(qint64 a, qint64 m, qint64 l, qint64 r,
                    qint64 most = std::numeric_limits<qint64>::max());

// The first count x from `from` on, up to `to`, with (x * step - lowSteps) mod modulus in
// [0, width]: then some multiple of `modulus` added to x * step lies in [lowSteps, lowSteps +
// width]. to + 1 when none up to `to` has it. `stepRest` is step mod modulus.
qint64 nextInWidth(qint64 modulus, qint64 step, qint64 stepRest, qint64 from, qint64 to,
                   qint64 lowSteps, qint64 width);

// The first two types on a grid: their grid sums are c1 * L1 + c2 * L2, and the next count c2
// for which some whole c1 puts the sum into a range follows from modular arithmetic.
class PairStepper {
public:
    // The grid must outlive the stepper.
    PairStepper(const SearchSpace& space, const Grid& grid)
        : m_space(space), m_grid(grid), m_l1(grid.steps[0]), m_l2(grid.steps[1]),
          m_on(grid.valid && m_l1 > 0 && m_l2 > 0), m_step(m_on ? m_l2 % m_l1 : 0) {}

    // The next count from `from` on of the second type for which some count of the first may
    // give a prefix sum in [plo, phi] mm; to + 1 when none up to `to` can, `from` when nothing
    // can be ruled out.
    qint64 next(qint64 from, qint64 to, double plo, double phi) const {
        if (!m_grid.valid)
            return from;
        return nextInSteps(from, to, m_grid.stepsBelow(2, plo), m_grid.stepsAbove(2, phi));
    }

    // Whether some counts of the first two types may give a prefix sum in [a, b] mm; false only
    // when none can.
    SFX_HOT_INLINE bool reaches(double a, double b) const {
        const Grid& g = m_grid;
        const qint64 l1 = m_l1, l2 = m_l2;
        if (!m_on)
            return true;
        const double A = g.stepsBelow(2, a), B = g.stepsAbove(2, b);
        if (B < A)
            return false;
        // The second type's counts for which the first type's count range can complete the sum.
        const double lo = (A - double(m_space.usable[0]) * double(l1)) / double(l2);
        const double hi = (B - double(m_space.min[0]) * double(l1)) / double(l2);
        const qint64 cmin = m_space.min[1], cmax = m_space.usable[1];
        const qint64 from = clampCount(std::floor(lo - std::fabs(lo) * 0x1p-48) - 1, cmin, cmax);
        const qint64 to = clampCount(std::ceil(hi + std::fabs(hi) * 0x1p-48) + 1, cmin, cmax);
        if (!(hi + std::fabs(hi) * 0x1p-48 + 1 >= double(cmin)) ||
            !(lo - std::fabs(lo) * 0x1p-48 - 1 <= double(cmax)))
            return false;
        return nextInSteps(from, to, A, B) <= to;
    }

    // The same on grid steps [lowSteps, highSteps]. Most calls end in the quick checks here.
    SFX_HOT_INLINE qint64 nextInSteps(qint64 from, qint64 to, double lowSteps,
                                      double highSteps) const {
        if (!m_on || from > to)
            return from;
        if (highSteps < lowSteps)
            return to + 1;
        if (!(highSteps - lowSteps < double(m_l1 - 1)) || !(std::fabs(lowSteps) < 0x1p62))
            return from;
        return nextInWidth(m_l1, m_l2, m_step, from, to, qint64(lowSteps),
                           qint64(highSteps - lowSteps));
    }

private:
    const SearchSpace& m_space;
    const Grid& m_grid;
    const qint64 m_l1, m_l2; // the first two types' steps
    const bool m_on;         // whether both are steps of the grid, so that stepping applies
    const qint64 m_step;     // L2 mod L1
};

// The third type on a grid where one of the first two has few counts: for each of those, the
// next count of the third for which some whole count of the other puts the sum into a range
// follows from the same arithmetic as for a pair.
class TripleStepper {
public:
    // The grid must outlive the stepper. Its table of next hits is built once the counts of the
    // few type gone through have cost `patience` times as much.
    TripleStepper(const SearchSpace& space, const Grid& grid, double patience = 1);

    // The next count from `from` on of the third type for which some counts of the first two
    // may give a prefix sum in [plo, phi] mm; to + 1 when none up to `to` can, `from` when
    // nothing can be ruled out.
    qint64 next(qint64 from, qint64 to, double plo, double phi) const;
    // Modular steps taken so far, one per count of the few type tried.
    qint64 work() const { return m_work; }
    // The table of next hits for windows of up to `width` steps (see m_next), which next builds
    // by itself once it pays.
    void buildTable(qint64 width) const;
    // Whether the table of next hits may be built: the other type's steps are few enough.
    bool tableFits() const { return m_on && m_other <= TableResidues; }
    // How many counts the type with few has (0: no stepping).
    qint64 few() const { return m_on ? m_fewMax - m_fewMin + 1 : 0; }

    // Up to this many counts of the few type, stepping costs about what a step of the walk does.
    static constexpr qint64 Cheap = 64;

private:
    // Counts of a type up to this many are gone through one by one.
    static constexpr qint64 Few = 4096;
    // Counts of the third type asked of the few type's runs of residues before going through it.
    static constexpr qint64 Probes = 8;

    bool completes(qint64 r, qint64 width) const;
    // Residues of the other type's steps a table of next hits may have.
    static constexpr qint64 TableResidues = qint64(1) << 21;

    const Grid& m_grid;
    bool m_on = false;
    qint64 m_fewMin = 0, m_fewMax = 0, m_fewSteps = 0; // the type with few counts
    qint64 m_other = 0, m_third = 0, m_rest = 0;       // steps; m_rest = third mod other
    mutable qint64 m_work = 0;
    // The residues r at which each count's run (r + c * few) mod other <= width starts,
    // ascending.
    std::vector<qint64> m_starts;
    // Per residue r of (count * third - low) modulo the other type's steps: how many counts
    // further some count of the few type completes a sum in a window of m_width steps, the
    // residue moving on by m_rest per count; -1 where none ever does. Built once the counts of
    // the few type gone through have cost as much.
    mutable std::vector<qint32> m_next;
    mutable qint64 m_width = -1;
    mutable qint64 m_looped = 0;  // counts of the few type gone through one by one since
    mutable qint64 m_widest = -1; // the widest window they were gone through for
    double m_patience = 1;
};

} // namespace Kern::SearchDetail
