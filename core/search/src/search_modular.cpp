#include "search_modular.h"

#include <algorithm>
#include <new>
#include <numeric>

namespace Kern::SearchDetail {

// Euclid's reduction on (a, m): when no multiple of a lies in [l, r], the wrap-arounds y of
// a * x - m * y follow the same question for (m mod a, a).
qint64 firstModular(qint64 a, qint64 m, qint64 l, qint64 r, qint64 most) {
    if (l == 0)
        return 0;
    if (a == 0)
        return -1;
    // Divisions are what costs here: each one is used for all it gives.
    const qint64 q = l / a, lRest = l - q * a;
    const qint64 k = lRest == 0 ? q : q + 1; // the least multiple of a not below l
    if (a * k <= r)                          // a * k < l + a < 2m
        return k <= most ? k : -1;
    // x = ceil((m * y + l) / a) stays within `most` while m * y + l <= most * a.
    qint64 yMost = std::numeric_limits<qint64>::max(), mostA;
    if (!__builtin_mul_overflow(most, a, &mostA)) {
        if (mostA < l)
            return -1;
        yMost = (mostA - l) / m;
    }
    const qint64 rRest = r % a;
    const qint64 y =
        firstModular(m % a, a, rRest == 0 ? 0 : a - rRest, lRest == 0 ? 0 : a - lRest, yMost);
    if (y < 0)
        return -1;
    qint64 my;
    if (!__builtin_mul_overflow(m, y, &my) && my <= std::numeric_limits<qint64>::max() - m)
        return (my + l + a - 1) / a;
    return qint64((Int128(m) * y + l + a - 1) / a);
}

qint64 nextInWidth(qint64 modulus, qint64 step, qint64 stepRest, qint64 from, qint64 to,
                   qint64 lowSteps, qint64 width) {
    // (from * step - lowSteps + x * step) mod modulus must lie in [0, width].
    qint64 s, fs;
    if (!__builtin_mul_overflow(from, step, &fs) && !__builtin_sub_overflow(fs, lowSteps, &s))
        s %= modulus;
    else
        s = qint64((Int128(from) * step - lowSteps) % modulus);
    if (s < 0)
        s += modulus;
    const qint64 rl = s == 0 ? 0 : modulus - s;
    const qint64 rh = rl + width;
    qint64 x;
    const qint64 most = to - from;
    if (rh < modulus) {
        x = firstModular(stepRest, modulus, rl, rh, most);
    } else {
        const qint64 x1 = firstModular(stepRest, modulus, rl, modulus - 1, most);
        const qint64 x2 = firstModular(stepRest, modulus, 0, rh - modulus, most);
        x = x1 < 0 ? x2 : (x2 < 0 ? x1 : std::min(x1, x2));
    }
    if (x < 0 || x > most)
        return to + 1;
    return from + x;
}

TripleStepper::TripleStepper(const SearchSpace& space, const Grid& grid, double patience)
    : m_grid(grid), m_patience(patience) {
    if (!grid.valid || space.n < 3 || grid.steps[0] <= 0 || grid.steps[1] <= 0 ||
        grid.steps[2] <= 0)
        return;
    const auto counts = [&](size_t i) {
        return std::max<qint64>(space.usable[i] - space.min[i], 0);
    };
    const size_t few = counts(0) <= counts(1) ? 0 : 1;
    if (counts(few) >= Few || !(std::fabs(double(std::max(space.usable[few], space.min[few])) *
                                          double(grid.steps[few])) < 0x1p61))
        return;
    m_on = true;
    m_fewMin = space.min[few];
    m_fewMax = std::max(space.usable[few], space.min[few]);
    m_fewSteps = grid.steps[few];
    m_other = grid.steps[1 - few];
    m_third = grid.steps[2];
    m_rest = m_third % m_other;
    for (qint64 c = m_fewMin; c <= m_fewMax; ++c)
        m_starts.push_back(qint64((m_other - Int128(c) * m_fewSteps % m_other) % m_other));
    std::sort(m_starts.begin(), m_starts.end());
}

// Whether some count of the few type completes residue r, (r + c * few) mod other <= width: r
// lies in the run of residues from one of the starts on, or in one that wraps around.
bool TripleStepper::completes(qint64 r, qint64 width) const {
    const auto above = std::upper_bound(m_starts.begin(), m_starts.end(), r);
    return (above != m_starts.begin() && r - *std::prev(above) <= width) ||
           r + m_other - m_starts.back() <= width;
}

qint64 TripleStepper::next(qint64 from, qint64 to, double plo, double phi) const {
    if (!m_on || from > to)
        return from;
    const double low = m_grid.stepsBelow(3, plo), high = m_grid.stepsAbove(3, phi);
    if (high < low)
        return to + 1;
    if (!(high - low < double(m_other - 1)) || !(std::fabs(low) < 0x1p61))
        return from;
    const qint64 width = qint64(high - low);
    // Where the sums of the first count stand among the other type's steps.
    const qint64 r = qint64(((Int128(from) * m_third - qint64(low)) % m_other + m_other) % m_other);
    // Built for the widest window gone through one by one so far, and again where a wider one
    // has cost as much since.
    if (width > m_width && m_other <= TableResidues &&
        double(m_looped) * 16 >= m_patience * double(m_other + few()))
        buildTable(std::max(width, m_widest) + 2);
    if (width <= m_width) {
        // A window no wider than the table's: its next hit comes no later.
        ++m_work;
        const qint64 k = m_next[size_t(r)];
        return k < 0 || k > to - from ? to + 1 : from + k;
    }
    // Where the few type has many counts, their runs of residues often cover most of the cycle,
    // and the next count is then one of the first few: each is asked of the runs at the cost of
    // a binary search, before going through the counts.
    if (few() > Cheap) {
        for (qint64 k = 0, at = r; k < Probes;
             ++k, at = at + m_rest >= m_other ? at + m_rest - m_other : at + m_rest) {
            if (from + k > to)
                return to + 1;
            ++m_work;
            if (completes(at, width))
                return from + k;
        }
        from += Probes;
        if (from > to)
            return to + 1;
    }
    qint64 best = to + 1, c = m_fewMin;
    for (; c <= m_fewMax && best > from; ++c)
        best = std::min(best, nextInWidth(m_other, m_third, m_rest, from, best - 1,
                                          qint64(low) - c * m_fewSteps, width));
    m_work += c - m_fewMin;
    m_looped += c - m_fewMin;
    m_widest = std::max(m_widest, width);
    return best;
}

// A count of the few type c completes residue r when (r + c * few) mod other <= width: each
// count adds one at the first residue of its run and takes it away after the last, so that a
// running sum marks the residues some count completes. Then along each cycle r, r + rest,
// r + 2 rest, ... the distance to the next marked one is carried backwards from a marked one.
void TripleStepper::buildTable(qint64 width) const {
    if (!m_on || m_other > TableResidues || width < 0)
        return;
    const qint64 m = m_other;
    m_looped = 0;
    m_work += (3 * m + few()) / 16;
    std::vector<qint32> next;
    try {
        next.assign(size_t(m), 0);
    } catch (const std::bad_alloc&) { // no memory for it: tried again after as much work
        return;
    }
    m_width = width;
    qint32 running = width + 1 >= m ? 1 : 0; // runs that wrap around cover the first residues
    for (size_t i = 0; i < m_starts.size() && width + 1 < m; ++i) {
        const qint64 r = m_starts[i], end = r + width + 1;
        ++next[size_t(r)];
        if (end < m) {
            --next[size_t(end)];
        } else {
            --next[size_t(end - m)];
            ++running;
        }
    }
    for (qint64 r = 0; r < m; ++r) {
        running += next[size_t(r)];
        next[size_t(r)] = running > 0 ? 0 : -1;
    }
    const qint64 cycles = std::gcd(m_rest, m), length = m / cycles;
    for (qint64 start = 0; start < cycles; ++start) {
        qint64 hit = start, k = 0;
        while (k < length && next[size_t(hit)] != 0) {
            hit = hit + m_rest >= m ? hit + m_rest - m : hit + m_rest;
            ++k;
        }
        if (k == length)
            continue; // no count completes any residue of this cycle
        qint64 r = hit, distance = 0;
        for (k = 1; k < length; ++k) {
            r = r - m_rest < 0 ? r - m_rest + m : r - m_rest;
            distance = next[size_t(r)] == 0 ? 0 : distance + 1;
            next[size_t(r)] = qint32(distance);
        }
    }
    m_next = std::move(next);
}

} // namespace Kern::SearchDetail
