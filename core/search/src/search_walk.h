#pragma once

#include "search_bounds.h"

#include <optional>

namespace Kern::SearchDetail {

// Produces exactly the vectors the odometer records, in its order, but enters a branch of the
// count vector only when a vector in the window can still lie beneath it.
//
// Totals are sums in type order, P_t = P_(t-1) + count_t * length_t, each step rounded to
// double. Rounded addition and multiplication are monotone, so for fixed counts of the slower
// types the set of prefix sums P_(t-1) that still end inside [lo, hi] is an interval of doubles,
// and it can be found exactly by searching over the doubles themselves. The walk passes these
// exact intervals down; whether a vector is recorded is never decided by anything but the double
// arithmetic of the total. The fastest type's counts in an interval are found directly.
//
// Whether any prefix of the faster types can land in such an interval is judged by ReachBounds.
// Counts of a place whose window cannot be reached are skipped in one jump where the bounds tell
// how far, and by galloping probes of the same exact walk where they do not.
class Walker {
public:
    Walker(const SearchRequest& request, std::vector<FoundCombination>& out, SearchControl* control,
           const SearchLimits& limits = {});

    void run();
    // Steps of the walk and of building its tables: a measure of the work done.
    quint64 steps() const { return quint64(m_steps + (m_bounds ? m_bounds->buildSteps() : 0)); }

private:
    struct Level;
    struct Candidate;

    void finishRow(FoundCombination& f) const;
    void record();
    void recordCopy(const FoundCombination& row, int place, qint64 count);
    bool active() const { return m_remaining > 0 && !m_stopped; }
    void countStep();
    // Where count c of the level lies in the walk's share of the work (see SearchControl).
    double progressAt(const Level& level, qint64 c) const;
    void publishProgress(const Level& level, qint64 c);

    Candidate examine(const Level& level, qint64 c) const;
    void ruleOutTraded(Level& level, qint64 c, bool descended);
    qint64 skipClosed(Level& level, qint64 c, double y, const Candidate& cand);
    qint64 passIndexed(Level& level, qint64 c);
    qint64 passRun(Level& level, qint64 c, qint64 next);
    qint64 strideRun(Level& level, qint64 next);
    qint64 repeat(Level& level, qint64 c, bool& hit);
    qint64 descend(Level& level, qint64 c, double a, double b, bool& found);
    bool leaf(double plo, double phi);
    bool walk(int t, double plo, double phi);
    // Whether the first t types reach a prefix sum in [plo, phi], by the same walk without
    // recording anything.
    bool probe(int t, double plo, double phi);

    const SearchRequest& m_req;
    std::vector<FoundCombination>& m_out;
    SearchControl* m_control;
    const SearchSpace m_space;
    const SearchLimits m_limits;
    const std::array<Trade, MaxTypes> m_trades;
    std::optional<ReachBounds> m_bounds; // made only for a walk that can find something
    qint64 m_remaining;
    bool m_probing = false;
    bool m_stopped = false;
    qint64 m_steps = 0;
    // The share of the work under the level being walked: it starts at m_share and spans
    // m_shareWidth.
    double m_share = 0.0, m_shareWidth = 1.0, m_published = 0.0;
    std::array<qint64, MaxTypes> m_cur{};
};

} // namespace Kern::SearchDetail
