#include "search_reach.h"

#include <new>

namespace Kern::SearchDetail {

namespace {

// Word operations of table building that cost about as much as one step of the walk, and what
// first writing fresh memory costs per word, in such operations.
constexpr long double WordOpsPerStep = 64.0L;
constexpr long double FreshWordOps = 4.0L;

} // namespace

// Shifting the tables is much of the work of a short search: where the processor has wider
// vectors, the shifts use them.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define SFX_WIDE_VECTORS [[gnu::target_clones("avx2", "default")]]
#else
#define SFX_WIDE_VECTORS
#endif

// Words are written from the top down and each reads only words below it, which are still
// unchanged (also within one vector step, as all loads precede the stores).
SFX_WIDE_VECTORS void ReachTable::shift(const ReachTable& from, qint64 k) {
    const size_t count = m_count;
    const size_t ws = size_t(k >> 6);
    const unsigned bs = unsigned(k & 63);
    quint64* to = m_words;
    const quint64* src = from.m_words;
    const bool widen = &from == this;
    if (!widen)
        std::fill(to, to + std::min(ws, count), 0);
    if (ws >= count)
        return;
    size_t n = count - ws - 1; // words above ws
    if (!widen && n >= from.m_count) {
        // Beyond the shorter table's end: its last word's high bits, then nothing.
        const size_t have = from.m_count - 1;
        to[ws + 1 + have] = bs == 0 ? 0 : src[have] >> (64 - bs);
        std::fill(to + ws + 2 + have, to + count, 0);
        n = have;
    }
    quint64* top = to + ws + 1;
    const quint64* hiSrc = src + 1;
    const quint64* loSrc = src;
    if (bs == 0) {
        if (widen) {
#pragma GCC ivdep
            for (size_t j = n; j-- > 0;)
                top[j] |= hiSrc[j];
        } else {
            std::copy(hiSrc, hiSrc + n, top);
        }
    } else if (widen) {
#pragma GCC ivdep
        for (size_t j = n; j-- > 0;)
            top[j] |= (hiSrc[j] << bs) | (loSrc[j] >> (64 - bs));
    } else {
        for (size_t j = n; j-- > 0;)
            top[j] = (hiSrc[j] << bs) | (loSrc[j] >> (64 - bs));
    }
    if (widen)
        to[ws] |= src[0] << bs;
    else
        to[ws] = src[0] << bs;
}

void ReachTable::finish() {
    if (m_bits & 63)
        m_words[m_count - 1] &= (quint64(1) << (m_bits & 63)) - 1;
    m_summary.resize((m_count + 63) / 64);
    for (size_t s = 0; s < m_summary.size(); ++s) {
        const size_t first = s * 64, end = std::min(first + 64, m_count);
        quint64 summary = 0;
        for (size_t w = end; w-- > first;) // without branches, which the words would mispredict
            summary = summary << 1 | quint64(m_words[w] != 0);
        m_summary[s] = summary;
    }
}

ReachTables::ReachTables() = default;
ReachTables::~ReachTables() = default;

namespace {

// Rounded to a coarse unit, every piece strays by up to half a unit, and a length far below the
// unit by all of itself. The coarsest unit whose band stays within the window for as many
// prefixes as the finest affordable unit allows is good enough: returns how many, with the grid.
int coarseGrid(const SearchSpace& space, long double capBits, Grid& grid) {
    const int n = space.n;
    const long double window = static_cast<long double>(space.hi) - space.lo;
    const long double finest = space.hi * (1 + 0x1p-20L) / (capBits - 64);
    int upTo = 1;
    for (long double unit = window;; unit /= 2) {
        unit = std::max(unit, finest);
        Grid candidate;
        if (!(unit > 0) || !fillGrid(candidate, space, 1 / unit, n, true))
            break;
        int reach = 1;
        while (reach + 1 <= n - 1 && candidate.error[size_t(reach + 1)] <= window)
            ++reach;
        if (reach > upTo) {
            upTo = reach;
            grid = candidate;
        }
        if (unit == finest || upTo == n - 1)
            break;
    }
    return upTo;
}

} // namespace

// Tables for the prefixes of 2 .. n - 1 types (the last type is walked, the first solved).
void ReachTables::plan(const SearchSpace& space, const Grid& lattice, qint64 bytes) {
    const int n = space.n;
    const double hi = space.hi;
    const int tables = n - 2;
    if (tables < 1 || !(hi > 0) || bytes <= 0)
        return;
    // Beyond this size, tables cost more to build than they save.
    const long double capBits = static_cast<long double>(bytes) * 8 / tables;
    // A prefix's sums end at its most: where that lies below hi, so does its table.
    const auto lengthOf = [&](const Grid& g, int t) {
        return (std::min<long double>(hi, space.pMax[size_t(t)]) + g.error[size_t(t)]) * g.scale +
               2;
    };
    // On the lattice as many prefixes as fit, the shortest first; a coarse grid where it
    // reaches further.
    long double latticeBits = 0;
    int onLattice = 1;
    for (int t = 2; t < n && lattice.valid; ++t) {
        latticeBits += lengthOf(lattice, t);
        if (latticeBits > capBits * tables)
            break;
        onLattice = t;
    }
    Grid grid;
    int upTo = onLattice == n - 1 ? onLattice : coarseGrid(space, capBits, grid);
    if (onLattice >= 2 && onLattice >= upTo) {
        grid = lattice;
        upTo = onLattice;
        m_onLattice = true; // a table then says all the lattice would, and more
    }
    if (upTo < 2)
        return;
    m_grid = grid;
    m_grid.finishSetup();
    m_planned = upTo;
    // On a coarse grid every table reaches hi, where the errors of the longest prefix end.
    const long double coarseBits = (hi + grid.error[size_t(upTo)]) * grid.scale + 2;
    for (int t = 1; t <= upTo; ++t) {
        const long double bits = m_onLattice ? lengthOf(grid, t) : coarseBits;
        m_bits[size_t(t)] = qint64(bits);
        m_offset[size_t(t + 1)] =
            m_offset[size_t(t)] + (ReachTable::words(m_bits[size_t(t)]) + 7) / 8 * 8;
        if (t == 1)
            continue;
        const size_t i = size_t(t - 1);
        const long double passes =
            (t == 2 ? 2 : 1) * (1 + FreshWordOps) +
            std::log2(static_cast<long double>(grid.last[i] - grid.first[i]) + 1);
        m_cost[size_t(t)] =
            qint64(std::min<long double>(bits / 64 * passes / WordOpsPerStep, 1e15L));
    }
}

// Every further type moves the table up by its minimum and widens it by its count range,
// doubling the covered range per pass.
qint64 ReachTables::widen(int t, ReachTable& table, const std::atomic<bool>* cancel) const {
    const size_t i = size_t(t);
    const qint64 l = m_grid.steps[i];
    const qint64 range = m_grid.last[i] - m_grid.first[i];
    qint64 work = 0;
    if (l <= 0)
        return work;
    for (qint64 covered = 1; covered <= range;) {
        if (cancel && cancel->load(std::memory_order_relaxed))
            break;
        const qint64 add = std::min(covered, range + 1 - covered);
        if (Int128(add) * l < table.bits()) {
            table.shift(table, add * l);
            work += qint64(ReachTable::words(table.bits()));
        }
        covered += add;
    }
    return work;
}

qint64 ReachTables::build(int upTo, const std::atomic<bool>* cancel) {
    if (!m_block) {
        // Plain memory: large pages and a block kept for the next search measured no gain.
        m_block.reset(new (std::nothrow) quint64[m_offset[size_t(m_planned + 1)]]);
        if (!m_block) { // no memory for them: walk on without
            m_planned = 0;
            return 0;
        }
    }
    qint64 work = 0;
    // One type: its multiples, made like every further type's from the empty sum.
    const ReachTable* previous = m_tables[size_t(m_built)].get();
    if (!previous) {
        m_first = std::make_unique<ReachTable>(m_block.get() + m_offset[1], m_bits[1]);
        m_first->zero();
        const qint64 l0 = m_grid.steps[0];
        for (qint64 c = m_grid.first[0]; c <= m_grid.last[0]; ++c) {
            const Int128 x = Int128(c) * l0;
            if (x >= m_bits[1])
                break;
            m_first->set(qint64(x));
            if (l0 == 0 ||
                ((c & 0xFFFF) == 0xFFFF && cancel && cancel->load(std::memory_order_relaxed)))
                break;
        }
        work += qint64(m_offset[2] - m_offset[1]);
        previous = m_first.get();
    }
    for (int t = m_built; t < upTo; ++t) {
        const Int128 base = Int128(m_grid.first[size_t(t)]) * m_grid.steps[size_t(t)];
        const size_t i = size_t(t + 1);
        auto table = std::make_unique<ReachTable>(m_block.get() + m_offset[i], m_bits[i]);
        if (base < m_bits[i])
            table->shift(*previous, qint64(base));
        else
            table->zero();
        work += qint64(m_offset[i + 1] - m_offset[i]) + widen(t, *table, cancel);
        if (cancel && cancel->load(std::memory_order_relaxed))
            return work; // a half-widened table would rule out sums that are reachable
        table->finish();
        m_tables[size_t(t + 1)] = std::move(table);
        previous = m_tables[size_t(t + 1)].get();
        m_built = t + 1;
    }
    m_first.reset();
    return work;
}

} // namespace Kern::SearchDetail
