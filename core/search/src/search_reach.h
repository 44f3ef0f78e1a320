#pragma once

#include "search_grid.h"

#include <atomic>
#include <memory>
#include <vector>

namespace Kern::SearchDetail {

// The reachable grid sums of one prefix of types, with "largest member not above x" queries.
// A summary bit per word keeps those queries short where the table is sparse.
class ReachTable {
public:
    // The words belong to the caller; their content is set by zero() or a moving shift().
    ReachTable(quint64* words, qint64 bits)
        : m_bits(bits), m_count(size_t((bits + 63) / 64)), m_words(words) {}

    static size_t words(qint64 bits) { return size_t((bits + 63) / 64); }
    void zero() { std::fill(m_words, m_words + m_count, 0); }

    qint64 bits() const { return m_bits; }
    size_t wordCount() const { return m_count; }
    quint64 word(size_t w) const { return m_words[w]; }
    void set(qint64 x) { m_words[size_t(x >> 6)] |= quint64(1) << (x & 63); }

    // this = from << k, or this |= this << k when from is this table itself; bits above the
    // end fall away, and a shorter table counts as zero beyond its end.
    void shift(const ReachTable& from, qint64 k);
    // Clears the bits beyond the end and makes the summary; before any query.
    void finish();

    // The largest member not above x; -1 if there is none.
    qint64 predecessor(qint64 x) const {
        if (x < 0)
            return -1;
        x = std::min(x, m_bits - 1);
        size_t w = size_t(x >> 6);
        const int b = int(x & 63);
        const quint64 mask = b == 63 ? ~quint64(0) : (quint64(1) << (b + 1)) - 1;
        if (const quint64 word = m_words[w] & mask)
            return qint64(w) * 64 + 63 - __builtin_clzll(word);
        size_t s = w >> 6;
        quint64 summary = m_summary[s] & ((quint64(1) << (w & 63)) - 1);
        while (!summary) {
            if (s == 0)
                return -1;
            summary = m_summary[--s];
        }
        w = s * 64 + size_t(63 - __builtin_clzll(summary));
        return qint64(w) * 64 + 63 - __builtin_clzll(m_words[w]);
    }

    // Whether some member lies in [from, to].
    bool any(qint64 from, qint64 to) const {
        from = std::max<qint64>(from, 0);
        to = std::min(to, m_bits - 1);
        if (from > to)
            return false;
        size_t w = size_t(from >> 6);
        const size_t last = size_t(to >> 6);
        for (quint64 word = m_words[w] & (~quint64(0) << (from & 63));; word = m_words[++w]) {
            if (w == last)
                return (word & (~quint64(0) >> (63 - (to & 63)))) != 0;
            if (word)
                return true;
        }
    }

private:
    qint64 m_bits;
    size_t m_count;
    quint64* m_words;
    std::vector<quint64> m_summary;
};

// Bit tables of the reachable grid sums for the prefixes 2..planned() of the types, on the
// decimal lattice when it is small enough (each table ending where its prefix's sums end, which
// for short-listed fast types lies far below the route), otherwise on the coarsest grid whose
// band stays within the window. They are built on demand, in order, since a walk that ends
// quickly should not wait for them.
class ReachTables {
public:
    ReachTables();
    ~ReachTables();

    void plan(const SearchSpace& space, const Grid& lattice, qint64 bytes);
    int planned() const { return m_planned; }
    int built() const { return m_built; }
    bool onLattice() const { return m_onLattice; }
    const Grid& grid() const { return m_grid; }
    // What building table t costs, in steps of the walk.
    qint64 cost(int t) const { return m_cost[size_t(t)]; }
    // The words table t takes.
    size_t words(int t) const { return ReachTable::words(m_bits[size_t(t)]); }

    // Builds the tables up to prefix upTo, or as far as it gets before `cancel` is set (the
    // tables built so far stay usable). Gives up the plan when there is no memory for them.
    // Returns the work done, in word operations.
    qint64 build(int upTo, const std::atomic<bool>* cancel);
    const ReachTable* table(int t) const { return m_tables[size_t(t)].get(); }

private:
    qint64 widen(int t, ReachTable& table, const std::atomic<bool>* cancel) const;

    Grid m_grid;
    int m_planned = 0;
    int m_built = 1;
    bool m_onLattice = false;
    std::array<qint64, MaxTypes + 1> m_bits{};   // per prefix, the first type's multiples too
    std::array<size_t, MaxTypes + 2> m_offset{}; // of each prefix's words in the block
    std::array<qint64, MaxTypes + 1> m_cost{};
    std::array<std::unique_ptr<ReachTable>, MaxTypes + 1> m_tables;
    std::unique_ptr<ReachTable> m_first; // the first type's multiples, below prefix 2
    std::unique_ptr<quint64[]> m_block;  // the words of all tables, in one block
};

} // namespace Kern::SearchDetail
