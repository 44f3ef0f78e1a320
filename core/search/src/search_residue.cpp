#include "search_residue.h"

#include <algorithm>
#include <limits>
#include <new>
#include <numeric>

namespace Kern::SearchDetail {

namespace {

// Classes a predecessor query looks at, within the window and below it, before it settles for
// a bound.
constexpr qint64 MaxScan = 4096;
constexpr qint64 ScanBelow = 16;
// Table entries written that cost about as much as one step of the walk, and what making a
// table costs whatever its size, in steps: a search that is done in a few hundred steps does
// not wait for tables.
constexpr qint64 EntriesPerStep = 32;
constexpr qint64 TableSteps = 256;

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

} // namespace

ResidueTable::ResidueTable(qint64 modulus, qint64 cap)
    : m_modulus(modulus), m_cap(cap), m_least(size_t(modulus), cap + 1) {
    m_least[0] = 0;
}

bool ResidueTable::addType(qint64 step, qint64 minimum, qint64 maximum,
                           const std::atomic<bool>* cancel) {
    const qint64 length = m_modulus / std::gcd(step % m_modulus, m_modulus);
    if (minimum > 0)
        m_least = shifted(minimum, step, cancel);
    const qint64 range = maximum - minimum;
    // More counts than a cycle of classes is long only repeat a class at a larger sum.
    if (range >= length - 1)
        return closeCycles(step, cancel);
    if (range > 0)
        return slideCycles(step, range, cancel);
    return !cancelled(cancel);
}

// The table with `count` more pieces of `step` steps in every sum (unfinished when cancelled).
std::vector<qint64> ResidueTable::shifted(qint64 count, qint64 step,
                                          const std::atomic<bool>* cancel) const {
    const qint64 m = m_modulus;
    const Int128 added = Int128(count) * step;
    std::vector<qint64> out(size_t(m), m_cap + 1);
    if (added > m_cap)
        return out;
    const qint64 rotate = qint64(added % m);
    for (qint64 r = 0, from = m - rotate; r < m; ++r, ++from) {
        if (from == m)
            from = 0;
        if ((r & 0xFFFF) == 0 && cancelled(cancel))
            break;
        const qint64 least = m_least[size_t(from)];
        if (least <= m_cap - qint64(added))
            out[size_t(r)] = least + qint64(added);
    }
    return out;
}

// Any number of pieces: along each cycle r, r + s, r + 2s, ... of the classes every class
// takes the least of its own sum and the previous class's sum plus one piece. Started at the
// cycle's least sum, which nothing improves, one round carries the least sums everywhere.
bool ResidueTable::closeCycles(qint64 step, const std::atomic<bool>* cancel) {
    const qint64 m = m_modulus;
    const qint64 s = step % m;
    const qint64 cycles = std::gcd(s, m);
    const qint64 length = m / cycles;
    std::vector<qint64> start(size_t(cycles), -1); // where each cycle's least sum lies
    for (qint64 r = 0, c = 0; r < m; ++r, c = c + 1 == cycles ? 0 : c + 1) {
        if ((r & 0xFFFF) == 0 && cancelled(cancel))
            return false;
        qint64& at = start[size_t(c)];
        if (at < 0 || m_least[size_t(r)] < m_least[size_t(at)])
            at = r;
    }
    constexpr qint64 Ahead = 16; // the walk strides through memory: ask for classes early
    const qint64 ahead = qint64((Int128(Ahead) * s) % m);
    for (qint64 c = 0; c < cycles; ++c) {
        qint64 r = start[size_t(c)];
        qint64 next = (r + ahead) % m;
        qint64 carried = m_least[size_t(r)];
        for (qint64 k = 1; k < length; ++k) {
            if ((k & 0xFFFF) == 0 && cancelled(cancel))
                return false;
            r += s;
            if (r >= m)
                r -= m;
            next += s;
            if (next >= m)
                next -= m;
            __builtin_prefetch(&m_least[size_t(next)], 1);
            qint64& least = m_least[size_t(r)];
            if (carried <= m_cap - step)
                least = std::min(least, carried + step);
            carried = least;
        }
    }
    return true;
}

// Up to `range` pieces, fewer than a cycle of classes is long: along each cycle a class takes
// the least, over itself and the `range` classes before it, of their sum plus the pieces
// between. A ring of the candidates whose sums could still win, each with its position along the
// cycle and its sum before this type, gives each class its least; the first round of the cycle
// only fills the ring. A class is written after its own old sum has joined the ring, and the
// classes it looks back over are read before they are written.
bool ResidueTable::slideCycles(qint64 step, qint64 range, const std::atomic<bool>* cancel) {
    const qint64 m = m_modulus;
    const qint64 s = step % m;
    const qint64 cycles = std::gcd(s, m);
    const qint64 length = m / cycles;
    struct Candidate {
        qint64 at, least;
    };
    const qint64 capacity = range + 1;
    std::vector<Candidate> ring(static_cast<size_t>(capacity));
    const auto gives = [&](const Candidate& c, qint64 j) {
        return Int128(c.least) + Int128(j - c.at) * step;
    };
    const qint64 first = length - range; // the first position the second round looks back to
    const qint64 shift = qint64(Int128(first) * s % m);
    for (qint64 c = 0; c < cycles; ++c) {
        if (cancelled(cancel))
            return false;
        qint64 head = 0, size = 0;
        for (qint64 j = first, r = (c + shift) % m; j < 2 * length;
             ++j, r = r + s >= m ? r + s - m : r + s) {
            if ((j & 0xFFFF) == 0 && cancelled(cancel))
                return false;
            if (size > 0 && ring[size_t(head)].at < j - range) { // one leaves per position
                head = head + 1 == capacity ? 0 : head + 1;
                --size;
            }
            if (const qint64 least = m_least[size_t(r)]; least <= m_cap) {
                while (size > 0 && gives(ring[size_t((head + size - 1) % capacity)], j) >= least)
                    --size;
                ring[size_t((head + size) % capacity)] = {j, least};
                ++size;
            }
            if (j >= length && size > 0) {
                if (const Int128 least = gives(ring[size_t(head)], j); least <= m_cap)
                    m_least[size_t(r)] = qint64(least);
            }
        }
    }
    return true;
}

void ResidueTable::finish(qint64 top) {
    m_top = top;
    m_smallest = *std::min_element(m_least.begin(), m_least.end());
    const size_t blocks = (m_least.size() + Block - 1) / Block;
    m_blockLow.assign(blocks, std::numeric_limits<qint64>::max());
    m_blockHigh.assign(blocks, std::numeric_limits<qint64>::min());
    for (qint64 r = 0; r < m_modulus; ++r) {
        const size_t b = size_t(r) / Block;
        m_blockLow[b] = std::min(m_blockLow[b], m_least[size_t(r)] - r);
        m_blockHigh[b] = std::max(m_blockHigh[b], most(r) - r);
    }
}

// Counts c and minimum + maximum - c give sums that add up to the top: the largest sum of a
// class is the top less the least sum of the mirrored class, and if that lies beyond the cap,
// the largest lies below top - cap.
qint64 ResidueTable::most(qint64 r) const {
    return m_top < 0 ? m_cap : mirrored(((m_top - r) % m_modulus + m_modulus) % m_modulus);
}

qint64 ResidueTable::mirrored(qint64 mirror) const {
    const qint64 least = m_least[size_t(mirror)];
    return least > m_cap ? m_top - m_cap - 1 : m_top - least;
}

// Class r holds y where least(r) <= y <= most(r). Going down from x, class and sum step down
// together, so within a block of classes y - r stays the same, and a block whose least sums
// less their class all lie above it, or whose largest all lie below it, is passed at once.
qint64 ResidueTable::predecessor(qint64 x, qint64 floor) const {
    ++m_looked;
    if (x < m_smallest)
        return -1;
    // No sum lies above the one of every type's largest count.
    x = std::min(x, m_top < 0 ? m_cap : std::min(m_cap, m_top - m_smallest));
    const qint64 m = m_modulus;
    qint64 r = x % m;
    const qint64 scan = std::min(std::max<qint64>(x - floor, 0), MaxScan) + ScanBelow;
    const qint64 end = std::max(m_smallest, x - scan);
    for (qint64 y = x; y >= end;) {
        const size_t b = size_t(r) / Block;
        const qint64 first = qint64(b * Block), offset = y - r;
        if (m_blockLow[b] <= offset && offset <= m_blockHigh[b]) {
            // As the class steps down, its mirror (see most) steps up.
            qint64 mirror = m_top < 0 ? 0 : ((m_top - r) % m + m) % m;
            const qint64 top = r;
            for (; r >= first && y >= end; --r, --y) {
                if (m_least[size_t(r)] <= y && y <= (m_top < 0 ? m_cap : mirrored(mirror))) {
                    m_looked += top - r + 1;
                    return y;
                }
                mirror = mirror == m - 1 ? 0 : mirror + 1;
            }
            m_looked += top - r;
        } else {
            ++m_looked;
            y -= r - first + 1;
            r = first - 1;
        }
        if (r < 0)
            r = m - 1;
    }
    return end - 1;
}

namespace {

// The type whose steps make the modulus of prefix t's table: the one with the fewest steps among
// those whose counts reach the upper bound (the table is then exact), else among those with
// many counts; -1 when no type is fit.
int chooseBase(const SearchSpace& space, const Grid& grid, int t, qint64 cap) {
    int base = -1;
    bool baseReaches = false;
    for (int j = 0; j < t; ++j) {
        const size_t i = size_t(j);
        const qint64 step = grid.steps[i];
        const qint64 range = space.usable[i] - space.min[i];
        if (step < 2 || range < 16)
            continue;
        const bool reaches = Int128(range) * step * 2 >= cap;
        if (base < 0 || (reaches && !baseReaches) ||
            (reaches == baseReaches && step < grid.steps[size_t(base)])) {
            base = j;
            baseReaches = reaches;
        }
    }
    return base;
}

} // namespace

void ResidueTables::plan(const SearchSpace& space, const Grid& lattice, int from, qint64 entries) {
    const int n = space.n;
    if (!lattice.valid || !(space.hi > 0) || n < 3)
        return;
    const long double cap = (space.hi + lattice.error[size_t(n)]) * lattice.scale + 2;
    if (!(cap < 0x1p61L))
        return;
    m_steps = lattice.steps;
    m_cap = qint64(cap);
    qint64 memory = 0;
    for (int t = n - 1; t >= std::max(from, 2); --t) {
        const int base = chooseBase(space, lattice, t, m_cap);
        if (base < 0)
            break;
        const qint64 modulus = lattice.steps[size_t(base)];
        if (modulus > entries - memory)
            break;
        memory += modulus;
        m_base[size_t(t)] = base;
        m_from = t;
    }
    for (int t = m_from; t > 0 && t < n; ++t) {
        const size_t i = size_t(t);
        const qint64 modulus = lattice.steps[size_t(m_base[i])];
        m_cost[i] = modulus * ((copiesPrevious(t) ? 1 : t) + 1) / EntriesPerStep + TableSteps;
    }
    if (m_from > 0) {
        m_planned = n - 1;
        m_built = m_from - 1;
    }
}

// A table of the same base as the one below it adds the new type to a copy of it.
bool ResidueTables::copiesPrevious(int t) const {
    return t > m_from && m_base[size_t(t) - 1] == m_base[size_t(t)];
}

// Tables that find no memory are left for good: the walk goes on with what it has.
qint64 ResidueTables::build(const SearchSpace& space, int upTo,
                            const std::atomic<bool>* cancel) try {
    qint64 work = 0;
    for (int t = m_built + 1; t <= upTo && !cancelled(cancel); ++t) {
        const size_t i = size_t(t);
        const qint64 modulus = m_steps[size_t(m_base[i])];
        std::unique_ptr<ResidueTable> table;
        int first = 0;
        if (copiesPrevious(t)) {
            table = std::make_unique<ResidueTable>(*m_tables[i - 1]);
            table->forgetQueries();
            first = t - 1;
        } else {
            table = std::make_unique<ResidueTable>(modulus, m_cap);
        }
        Int128 top = 0;
        for (int j = 0; j < t; ++j) {
            const size_t k = size_t(j);
            top += Int128(space.min[k] + space.usable[k]) * m_steps[k];
            if (j < first)
                continue;
            if (!table->addType(m_steps[k], space.min[k], space.usable[k], cancel))
                return work;
            work += modulus;
        }
        table->finish(top < (Int128(1) << 62) ? qint64(top) : -1);
        m_tables[i] = std::move(table);
        m_built = t;
    }
    return work;
} catch (const std::bad_alloc&) {
    m_planned = m_built;
    return 0;
}

qint64 ResidueTables::looked() const {
    qint64 looked = 0;
    for (const auto& table : m_tables)
        if (table)
            looked += table->looked();
    return looked;
}

} // namespace Kern::SearchDetail
