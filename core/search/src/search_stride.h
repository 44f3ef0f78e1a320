#pragma once

#include "search_reach.h"

#include <vector>

namespace Kern::SearchDetail {

// The members of a bit table of one prefix, grouped by their residue modulo the steps g of the
// next type, each group as its sorted quotients. While the walk runs through that type's counts,
// the window of prefix sums each count leaves slides down by g steps per count; where the table
// rules out count after count, the first count whose window meets a member follows from the few
// residues the window covers, one search in each, instead of one query per count.
class StrideTable {
public:
    // Entries a table of `table` takes: one per member.
    static qint64 entries(const ReachTable& table);

    // Empty (invalid) when `cancel` is set while it is built. The table must outlive it.
    StrideTable(const ReachTable& table, qint64 g, const std::atomic<bool>* cancel);

    bool valid() const { return m_valid; }
    qint64 modulus() const { return m_g; }

    // The least j in 0..most for which [high - width - j*g, high - j*g] holds a member; most + 1
    // when none does. Needs 0 <= width < g.
    qint64 firstMeeting(qint64 high, qint64 width, qint64 most) const;

private:
    // Windows asked of the bit table itself, a word or two each, before the residues: most
    // walks meet a member within the first few.
    static constexpr qint64 Near = 4;

    const ReachTable& m_table;
    qint64 m_g;
    bool m_valid = false;
    std::vector<quint32> m_start; // per residue, where its quotients begin; one more at the end
    std::vector<quint32> m_quotient;
};

} // namespace Kern::SearchDetail
