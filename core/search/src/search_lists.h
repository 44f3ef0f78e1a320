#pragma once

#include "search_space.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <vector>

namespace Kern::SearchDetail {

// The prefix sums themselves, sorted, for the prefixes 2..built() of the types (planned up to
// planned()): exact answers where the count combinations are few.
class SumLists {
public:
    // Plans lists for the prefixes whose count combinations are at most `most`.
    void plan(const SearchSpace& space, qint64 most);
    int planned() const { return m_planned; }
    int built() const { return m_built; }
    // What making the lists after the built ones up to prefix t costs (t from built() to
    // planned()); asked after every step that misses.
    qint64 costUpTo(int t) const { return m_costSum[size_t(t)] - m_costSum[size_t(m_built)]; }

    // Makes the lists up to prefix upTo, or gives up the plan where they turn out long or
    // `cancel` is set. Returns the work done, in sums written.
    qint64 build(const SearchSpace& space, int upTo, const std::atomic<bool>* cancel);

    // The sums of the first t types (t from 2 to built()).
    const std::vector<double>& sums(int t) const { return m_lists[size_t(t)]; }

    // The largest prefix sum of the first t types not above b; -Inf when there is none.
    double largestNotAbove(int t, double b) const {
        const std::vector<double>& sums = m_lists[size_t(t)];
        const auto above = std::upper_bound(sums.begin(), sums.end(), b);
        return above == sums.begin() ? -std::numeric_limits<double>::infinity() : *(above - 1);
    }

private:
    std::array<std::vector<double>, MaxTypes + 1> m_lists;
    qint64 m_most = 0;
    int m_planned = 0;
    int m_built = 1;
    std::array<qint64, MaxTypes + 1> m_cost{};
    std::array<qint64, MaxTypes + 1> m_costSum{}; // of m_cost up to each prefix
};

// A list of prefix sums by their remainders modulo the length of the type walked above them.
// A count c of that type meets a sum s where s + c * len lies in the walk's window, so only sums
// whose remainder lies in the window's remainder can: the next count whose window meets a sum is
// found from those few, however many sums the windows of the counts in between pass over.
class RemainderList {
public:
    // Sums of at least 0, ascending; len > 0.
    RemainderList(const std::vector<double>& sums, double len);

    // Sums whose remainders a query looks at before it gives up.
    static constexpr qint64 MostLooked = 256;

    // The first count c in [from, to] for which some sum s may lie in [lo - c * len,
    // hi - c * len], with room for the walk's rounding; to + 1 when none can; -1 when more than
    // MostLooked sums have a remainder the window allows (or the window is as long as len).
    qint64 next(qint64 from, qint64 to, double lo, double hi) const;
    // Sums looked at by all queries so far.
    qint64 looked() const { return m_looked; }

private:
    struct Entry {
        double rest;     // in [0, len)
        double quotient; // a whole number: the sum is quotient * len + rest
        bool operator<(const Entry& other) const { return rest < other.rest; }
    };
    long double m_len;
    std::vector<Entry> m_entries; // by remainder
    mutable qint64 m_looked = 0;
};

} // namespace Kern::SearchDetail
