#include "search_lists.h"

#include "search_exact.h"

#include <cmath>
#include <new>

namespace Kern::SearchDetail {

namespace {

// Sorts in runs and merges them, asking between runs whether to stop: a list of a few million
// sums takes a good part of a second to sort.
bool sortUnlessCancelled(std::vector<double>& v, const std::atomic<bool>* cancel) {
    constexpr size_t Run = size_t(1) << 15;
    const auto cancelled = [&] { return cancel && cancel->load(std::memory_order_relaxed); };
    const size_t n = v.size();
    for (size_t i = 0; i < n; i += Run) {
        std::sort(v.begin() + qsizetype(i), v.begin() + qsizetype(std::min(n, i + Run)));
        if (cancelled())
            return false;
    }
    std::vector<double> merged(n);
    for (size_t width = Run; width < n; width *= 2) {
        for (size_t i = 0; i < n; i += 2 * width) {
            const auto first = v.begin() + qsizetype(i);
            const auto middle = v.begin() + qsizetype(std::min(n, i + width));
            const auto last = v.begin() + qsizetype(std::min(n, i + 2 * width));
            std::merge(first, middle, middle, last, merged.begin() + qsizetype(i));
            if (cancelled())
                return false;
        }
        v.swap(merged);
    }
    return true;
}

// x as a whole number q of len and a remainder r in [0, len); the quotient of the division may be
// one off where x lies next to a multiple.
std::pair<long double, long double> divided(long double x, long double len) {
    long double q = std::floor(x / len);
    long double r = x - q * len;
    if (r < 0) {
        r += len;
        q -= 1;
    } else if (r >= len) {
        r -= len;
        q += 1;
    }
    return {q, r};
}

} // namespace

// How many sums a list can hold: a type of length 0 adds nothing to them, and one whose pieces
// all together vanish in the rounding of any sum of the types before it adds its own sums to the
// sum 0 and leaves the others as they are.
void SumLists::plan(const SearchSpace& space, qint64 most) {
    m_most = most;
    long double sums = 1;
    double shortest = Inf; // shortest length that can occur so far
    for (int t = 0; t + 1 < space.n; ++t) {
        const size_t i = size_t(t);
        const long double counts = static_cast<long double>(space.usable[i] - space.min[i]) + 1;
        if (space.len[i] != 0) {
            if (shortest + space.product(t, space.usable[i]) == shortest)
                sums += counts;
            else
                sums *= counts;
        }
        if (space.len[i] > 0 && space.usable[i] > 0)
            shortest = std::min(shortest, space.len[i]);
        if (t == 0)
            continue;
        if (sums > m_most)
            break;
        m_planned = t + 1;
        m_cost[i + 1] = qint64(sums * (std::log2(sums) + 2) / 16) + 1;
    }
    for (size_t t = 1; t < m_cost.size(); ++t)
        m_costSum[t] = m_costSum[t - 1] + m_cost[t];
}

// Lists that find no memory are left for good: the walk goes on with what it has.
qint64 SumLists::build(const SearchSpace& space, int upTo, const std::atomic<bool>* cancel) try {
    std::vector<double> first;
    const std::vector<double>* previous = &m_lists[size_t(m_built)];
    qint64 work = 0;
    if (m_built < 2) {
        for (qint64 c = space.min[0]; c <= space.usable[0]; ++c) {
            first.push_back(0.0 + space.product(0, c));
            if (space.len[0] == 0)
                break;
        }
        previous = &first;
    }
    for (int t = std::max(m_built, 1); t < upTo; ++t) {
        const size_t i = size_t(t);
        std::vector<double> sums;
        if (space.len[i] == 0) {
            sums = *previous;
        } else {
            for (const double x : *previous) {
                if (x + space.product(t, space.usable[i]) == x) { // vanishes in the rounding
                    sums.push_back(x);
                    continue;
                }
                for (qint64 c = space.min[i]; c <= space.usable[i]; ++c) {
                    const double sum = x + space.product(t, c);
                    if (sum > space.hi) // no window reaches beyond hi
                        break;
                    sums.push_back(sum);
                }
                // Not the few the plan expected, or no longer wanted.
                if (sums.size() > size_t(4 * m_most) ||
                    (cancel && cancel->load(std::memory_order_relaxed))) {
                    m_built = std::max(m_built, t);
                    m_planned = m_built;
                    return work + qint64(sums.size());
                }
            }
            work += qint64(sums.size());
            if (!sortUnlessCancelled(sums, cancel)) {
                m_planned = m_built;
                return work;
            }
            sums.erase(std::unique(sums.begin(), sums.end()), sums.end());
        }
        m_lists[i + 1] = std::move(sums);
        previous = &m_lists[i + 1];
    }
    m_built = upTo;
    return work;
} catch (const std::bad_alloc&) {
    m_planned = m_built;
    return 0;
}

RemainderList::RemainderList(const std::vector<double>& sums, double len) : m_len(len) {
    m_entries.reserve(sums.size());
    for (const double s : sums) {
        const auto [q, r] = divided(s, m_len);
        m_entries.push_back({std::clamp(double(r), 0.0, std::nextafter(len, 0.0)), double(q)});
    }
    std::sort(m_entries.begin(), m_entries.end());
}

// With lo less the margin = m * len + rho, a sum q * len + r lies in the window of count m - q
// where r lies in [rho, rho + width], or in that of count m + 1 - q where r lies in
// [0, rho + width - len]; in no other as long as the width stays below len.
qint64 RemainderList::next(qint64 from, qint64 to, double lo, double hi) const {
    if (from > to)
        return to + 1;
    // Far more than the roundings of the walk's totals, of the remainders and of the quotients.
    const long double margin = (std::fabs(static_cast<long double>(lo)) + std::fabs(hi) +
                                (std::fabs(static_cast<long double>(to)) + 1) * m_len) *
                                   0x1p-44L +
                               0x1p-1000L;
    const long double a = lo - margin;
    const long double width = static_cast<long double>(hi) + margin - a;
    if (!(width < m_len))
        return -1;
    const auto [m, rho] = divided(a, m_len);
    qint64 best = to + 1;
    qint64 looked = 0;
    const auto scan = [&](long double from_, long double to_, long double quotient) {
        auto it = std::partition_point(m_entries.begin(), m_entries.end(),
                                       [&](const Entry& e) { return e.rest < from_; });
        for (; it != m_entries.end() && it->rest <= to_; ++it) {
            if (++looked > MostLooked)
                return false;
            const long double c = quotient - it->quotient;
            if (c >= from && c <= to && c < best)
                best = qint64(c);
        }
        return true;
    };
    const bool told =
        scan(rho, rho + width, m) && (rho + width < m_len || scan(0, rho + width - m_len, m + 1));
    m_looked += looked;
    return told ? best : -1;
}

} // namespace Kern::SearchDetail
