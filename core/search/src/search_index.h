#pragma once

#include "search_exact.h"

#include <atomic>
#include <utility>
#include <vector>

namespace Kern::SearchDetail {

// The sums of a prefix of types whose lengths lie close to multiples of one unit, by lattice
// index: a sum of pieces above their minimums with index K = sum d_i k_i lies K steps of the
// unit plus an error sum d_i e_i away from the minimums (e_i = L_i - k_i * unit). Per index the
// table holds the least and the greatest error the counts allow. Where the strays of the lengths
// add up to more than the gap between two multiples, the band of indices a window admits holds
// an index, but the sums of that index may still all miss the window: the table tells.
class IndexTable {
public:
    // An empty prefix: index 0 with no error, `size` indices in all (at least 1).
    IndexTable(long double step, qint64 size);

    // Adds a type of k indices (of this table's step) and error e per piece, 0..range pieces
    // above its minimum. Returns false when `cancel` was set (the table is then unusable).
    bool addType(qint64 k, long double e, qint64 range, const std::atomic<bool>* cancel);
    // The same sums on a finer step, `factor` new indices to one of the old, in `size` indices.
    void refine(qint64 factor, qint64 size);
    // Once all types are in: whether every index the counts can reach lies in the table. Only a
    // finished table answers queries.
    void finish(bool complete);

    long double step() const { return m_step; }
    qint64 size() const { return qint64(m_errors.size()); }
    // An upper bound on the largest sum not above top (millimetres above the minimums); -Inf
    // when none is that small; NaN when top lies beyond the indices the table holds.
    long double largestNotAbove(long double top) const;
    // The window [bottom, top] slides down by `slide` (> 0) per count of a slower type: the
    // least j in [1, most] for which some sum may lie in [bottom - j * slide, top - j * slide];
    // most + 1 when none can; never more than the first such j.
    qint64 firstMeeting(long double bottom, long double top, long double slide, qint64 most) const;

private:
    std::pair<float, float> envelope(qint64 first, qint64 last) const;

    static constexpr size_t Block = 64;
    static constexpr size_t Blocks = 64; // blocks in a superblock
    long double m_step;
    // Per index; low > high where no sum has it. Together, for a query reads both at once.
    struct Errors {
        float low, high;
    };
    std::vector<Errors> m_errors;
    // Per block of indices the least and greatest error, and the largest sum of the indices
    // up to the block's end, so that a query reads only the few indices near its answer.
    std::vector<float> m_blockLow, m_blockHigh, m_superLow, m_superHigh;
    std::vector<long double> m_reachUpTo;
    long double m_lowest = 0, m_highest = 0; // over all indices
    bool m_complete = false;
};

} // namespace Kern::SearchDetail
