#include "search_stride.h"

#include <algorithm>

namespace Kern::SearchDetail {

namespace {

// Calls f(residue, quotient) for every member of the table in ascending order, keeping residue
// and quotient of each word's first bit as it goes instead of dividing per member.
template <typename F>
bool forEachMember(const ReachTable& table, qint64 g, const std::atomic<bool>* cancel, F f) {
    qint64 baseR = 0, baseQ = 0;
    const qint64 wordR = 64 % g, wordQ = 64 / g;
    for (size_t w = 0; w < table.wordCount(); ++w) {
        if ((w & 0xFFFF) == 0 && cancel && cancel->load(std::memory_order_relaxed))
            return false;
        for (quint64 word = table.word(w); word; word &= word - 1) {
            qint64 r = baseR + __builtin_ctzll(word), q = baseQ;
            if (r >= g) {
                q += r / g;
                r %= g;
            }
            f(r, q);
        }
        baseR += wordR;
        baseQ += wordQ;
        if (baseR >= g) {
            baseR -= g;
            ++baseQ;
        }
    }
    return true;
}

} // namespace

qint64 StrideTable::entries(const ReachTable& table) {
    qint64 members = 0;
    for (size_t w = 0; w < table.wordCount(); ++w)
        members += __builtin_popcountll(table.word(w));
    return members;
}

StrideTable::StrideTable(const ReachTable& table, qint64 g, const std::atomic<bool>* cancel)
    : m_table(table), m_g(g) {
    if (g <= 0 || table.bits() / g >= qint64(1) << 32)
        return;
    // Counted per residue first, then placed: quotients arrive in ascending order.
    std::vector<quint32> count(size_t(g) + 1, 0);
    if (!forEachMember(table, g, cancel, [&](qint64 r, qint64) { ++count[size_t(r) + 1]; }))
        return;
    for (size_t r = 1; r < count.size(); ++r)
        count[r] += count[r - 1];
    m_start = count;
    m_quotient.resize(m_start.back());
    if (!forEachMember(table, g, cancel,
                       [&](qint64 r, qint64 q) { m_quotient[count[size_t(r)]++] = quint32(q); })) {
        m_quotient.clear();
        return;
    }
    m_valid = true;
}

// A member x fits a window of count j exactly when high - x - j*g lies in 0..width, that is when
// its distance d = (high - x) mod g is at most width; then j = (high - x) div g, least for the
// largest such x. So the largest member not above high - d of each residue (high - d) mod g
// is all there is to look at.
qint64 StrideTable::firstMeeting(qint64 high, qint64 width, qint64 most) const {
    for (qint64 j = 0; j < Near && j <= most; ++j)
        if (m_table.any(high - width - j * m_g, high - j * m_g))
            return j;
    qint64 best = -1;
    // y = high - d, as its residue r and quotient top, stepped down without a division each.
    qint64 r = high % m_g, top = high / m_g;
    for (qint64 d = 0; d <= width && high - d > best; ++d, --r) {
        if (r < 0) {
            r += m_g;
            --top;
        }
        const auto begin = m_quotient.begin() + m_start[size_t(r)];
        const auto end = m_quotient.begin() + m_start[size_t(r) + 1];
        const auto above =
            std::upper_bound(begin, end, quint64(top), [](quint64 v, quint32 e) { return v < e; });
        if (above != begin)
            best = std::max(best, qint64(*(above - 1)) * m_g + r);
    }
    if (best < 0)
        return most + 1;
    return std::min((high - best) / m_g, most + 1);
}

} // namespace Kern::SearchDetail
