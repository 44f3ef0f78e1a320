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

} // namespace Kern::SearchDetail
