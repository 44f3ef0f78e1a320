#include "search_unit.h"

#include "search_modular.h"

#include <numeric>
#include <vector>

namespace Kern::SearchDetail {

namespace {

// Units tried: the reference length over 1, 2, ... this many, down to a fraction of the window's
// width. A unit finer than the window has an index in every window, but the indices of a prefix
// may all be multiples of a step coarser than the window (the congruence of nextCount).
constexpr qint64 MaxMultiples = 4096;
constexpr long double FinerThanWindow = 64;
// Candidates whose band is refined by leaving out types that fit no multiple.
constexpr size_t Refined = 8;
// Relative slack that covers the long double rounding of a query's few operations.
constexpr long double Outwards = 0x1p-56L;
// Rounds of passing a run of counts on the band alone (see firstMeetingOf). A pass that runs out
// of them leaves the walk at a count the band rules out, only to pass on from there: where the
// band passes thousands of counts at a time, 16 rounds ran out on every other pass.
constexpr int BandRounds = 64;

using Steps = std::array<qint64, MaxTypes>;

qint64 range(const SearchSpace& s, size_t i) {
    return std::max<qint64>(s.usable[i] - s.min[i], 0);
}

// Types off the lattice whose sums (at most this many) cost the band nothing of its width: they
// are taken one at a time, and each of them costs every pass over a run of counts once more.
constexpr int FreeOffSums = 3;

// The band at the upper bound, in indices over their gcd: what the counts above the minimums
// leave open, and the ranges the other types add.
long double bandOf(const SearchSpace& s, const UnitLattice::Prefix& p) {
    if (p.types == 0)
        return Inf;
    const long double x = std::clamp<long double>(s.hi - p.base, 0, p.roomTotal);
    const long double loose =
        p.offSums <= FreeOffSums ? p.restHigh - p.restLow : p.looseHigh - p.looseLow;
    return (p.most(x) - p.fewest(x) + loose * p.rate[size_t(p.types - 1)]) / p.divisor;
}

long double bandOf(const SearchSpace& s, const Steps& k, int t) {
    return bandOf(s, UnitLattice::Prefix(s, k, t));
}

// A quick measure of the band for choosing candidates: the spread of the k_i / L_i at the upper
// bound and the ranges of the types off the lattice, in indices.
double spreadOf(const SearchSpace& s, const Steps& k, int t,
                const std::array<double, MaxTypes>& inverse) {
    double rmin = Inf, rmax = 0, loose = 0;
    for (size_t i = 0; i < size_t(t); ++i) {
        if (k[i] > 0) {
            const double r = double(k[i]) * inverse[i];
            rmin = std::min(rmin, r);
            rmax = std::max(rmax, r);
        } else {
            loose += double(range(s, i)) * s.len[i];
        }
    }
    return rmax > 0 ? s.hi * (rmax - rmin) + loose * rmax : Inf;
}

// The steps of the first n types on the units length / m, m = 1 .. most (above one and a half
// steps of `grid`), of least spread: the few best in order, kept as they come, for a look runs
// through thousands. Per type its length in references and its inverse, so that a candidate needs
// no division.
struct Candidates {
    std::array<Steps, Refined> k{};
    size_t kept = 0;
};

Candidates bestCandidates(const SearchSpace& s, int n, long double length, qint64 most,
                          long double grid) {
    Candidates best;
    std::array<double, Refined> spreads{};
    std::array<double, MaxTypes> perRef{}, inverse{};
    for (size_t i = 0; i < size_t(n); ++i) {
        perRef[i] = s.len[i] > 0 && range(s, i) > 0 ? double(s.len[i] / length) : 0;
        inverse[i] = s.len[i] > 0 ? 1 / s.len[i] : 0;
    }
    for (qint64 m = 1; m <= most && length / m > grid * 1.5L; ++m) {
        Steps k{};
        for (size_t i = 0; i < size_t(n); ++i)
            k[i] = qint64(std::min(perRef[i] * double(m), 0x1p62) + 0.5);
        const double spread = spreadOf(s, k, n, inverse);
        if (best.kept == Refined && !(spread < spreads[Refined - 1]))
            continue;
        size_t at = std::min(best.kept, Refined - 1);
        for (; at > 0 && spread < spreads[at - 1]; --at) {
            spreads[at] = spreads[at - 1];
            best.k[at] = best.k[at - 1];
        }
        spreads[at] = spread;
        best.k[at] = k;
        best.kept = std::min(best.kept + 1, Refined);
    }
    return best;
}

// Leaves out, one at a time, the type whose leaving narrows the band most, while one does: a
// short-listed odd length among near-multiples.
long double refine(const SearchSpace& s, Steps& k, int t) {
    long double band = bandOf(s, k, t);
    for (;;) {
        Steps best = k;
        long double bestBand = band;
        for (size_t i = 0; i < size_t(t); ++i) {
            if (k[i] == 0)
                continue;
            Steps without = k;
            without[i] = 0;
            const long double b = bandOf(s, without, t);
            if (b < bestBand) {
                bestBand = b;
                best = without;
            }
        }
        if (!(bestBand < band))
            return band;
        k = best;
        band = bestBand;
    }
}

} // namespace

UnitLattice::Prefix::Prefix(const SearchSpace& s, const Steps& k, int t) {
    std::array<std::pair<long double, long double>, MaxTypes> byRate{};
    long double indices = 0; // at the full counts
    for (size_t i = 0; i < size_t(t); ++i) {
        const long double len = s.len[i];
        if (k[i] > 0) {
            byRate[size_t(types++)] = {k[i] / len, range(s, i) * len};
            indices += static_cast<long double>(k[i]) * range(s, i);
            base += s.min[i] * len;
            divisor = std::gcd(divisor, k[i]);
        } else {
            looseLow += s.min[i] * len;
            looseHigh += std::max(s.usable[i], s.min[i]) * len;
            const qint64 counts = range(s, i) + 1;
            if (offSums * counts <= MaxOffSums) {
                // In long double: their rounding lies far within the Outwards slack of the uses.
                for (int j = offSums; j-- > 0;)
                    for (qint64 c = counts; c-- > 0;)
                        offSum[size_t(j * counts + c)] = offSum[size_t(j)] + (s.min[i] + c) * len;
                offSums *= int(counts);
            } else {
                restLow += s.min[i] * len;
                restHigh += std::max(s.usable[i], s.min[i]) * len;
            }
        }
    }
    std::sort(byRate.begin(), byRate.begin() + types);
    for (size_t j = 0; j < size_t(types); ++j) {
        rate[j] = byRate[j].first;
        room[j] = byRate[j].second;
        roomTotal += room[j];
    }
    base *= 1 - Outwards;
    looseLow *= 1 - Outwards;
    looseHigh *= 1 + Outwards;
    restLow *= 1 - Outwards;
    restHigh *= 1 + Outwards;
    long double up = 0, down = 0;
    for (size_t j = 0; j < size_t(types); ++j) {
        const size_t fast = size_t(types) - 1 - j;
        up += room[j] * rate[j];
        down += room[fast] * rate[fast];
        corners[j] = {up, reach(up), down, least(down)};
    }
    unit = indices > 0 ? roomTotal / indices : 0;
    rounding = (t + 5) * 0x1p-52L * s.pMax[size_t(t)] + (t + 2) * 0x1p-1000L;
    valid = types > 0 && s.pMax[size_t(t)] * rate[size_t(types - 1)] < 0x1p62L;
}

long double UnitLattice::Prefix::fewest(long double x) const {
    long double d = 0;
    for (size_t j = 0; j < size_t(types) && x > 0; ++j) {
        const long double take = std::min(x, room[j]);
        d += take * rate[j];
        x -= take;
    }
    return d * (1 - Outwards);
}

long double UnitLattice::Prefix::most(long double x) const {
    long double d = 0;
    for (size_t j = size_t(types); j-- > 0 && x > 0;) {
        const long double take = std::min(x, room[j]);
        d += take * rate[j];
        x -= take;
    }
    return d * (1 + Outwards);
}

long double UnitLattice::Prefix::reach(long double d) const {
    d *= 1 + Outwards;
    long double x = 0;
    for (size_t j = 0; j < size_t(types); ++j) {
        const long double all = room[j] * rate[j];
        if (d < all)
            return (x + d / rate[j]) * (1 + Outwards);
        d -= all;
        x += room[j];
    }
    return roomTotal * (1 + Outwards);
}

long double UnitLattice::Prefix::least(long double d) const {
    d *= 1 - Outwards;
    long double x = 0;
    for (size_t j = size_t(types); j-- > 0;) {
        const long double all = room[j] * rate[j];
        if (d < all)
            return (x + d / rate[j]) * (1 - Outwards);
        d -= all;
        x += room[j];
    }
    return roomTotal * (1 - Outwards);
}

std::pair<long double, long double> UnitLattice::Prefix::offRange(size_t j) const {
    return {restLow + offSum[j] * (1 - Outwards), restHigh + offSum[j] * (1 + Outwards)};
}

// Both are linear between the indices where a type's room runs out: the extremes lie at the
// ends or at those, whose errors are kept.
std::pair<long double, long double> UnitLattice::Prefix::errors(long double first, long double last,
                                                                long double perIndex) const {
    long double low = std::min(least(first) - first * perIndex, least(last) - last * perIndex);
    long double high = std::max(reach(first) - first * perIndex, reach(last) - last * perIndex);
    for (size_t j = 0; j < size_t(types); ++j) {
        const Corner& c = corners[j];
        if (first < c.reachAt && c.reachAt < last)
            high = std::max(high, c.reach - c.reachAt * perIndex);
        if (first < c.leastAt && c.leastAt < last)
            low = std::min(low, c.least - c.leastAt * perIndex);
    }
    const long double slack = (std::fabs(low) + std::fabs(high) + last * perIndex) * Outwards * 4;
    return {low - slack, high + slack};
}

UnitLattice UnitLattice::find(const SearchSpace& s, long double grid, int upTo) {
    UnitLattice lattice;
    const int n = upTo > 0 ? std::min(upTo, s.n) : s.n;
    const long double window = static_cast<long double>(s.hi) - s.lo;
    // The reference: the shortest length with counts to choose that is no finer than the window.
    int ref = -1;
    for (int t = 0; t < n; ++t) {
        const size_t i = size_t(t);
        if (range(s, i) > 0 && s.len[i] >= window && (ref < 0 || s.len[i] < s.len[size_t(ref)]))
            ref = t;
    }
    if (ref < 0 || !(window > 0) || !(s.hi < 0x1p60))
        return lattice;
    const long double length = s.len[size_t(ref)];
    const qint64 most =
        qint64(std::min<long double>(MaxMultiples, FinerThanWindow * length / window));
    const Candidates best = bestCandidates(s, n, length, most, grid);
    // However wide the band is at the upper bound, it narrows towards both ends of each prefix's
    // range, where the walk spends most of its time on routes that few sums reach.
    long double narrowest = Inf;
    for (size_t c = 0; c < best.kept; ++c) {
        Steps k = best.k[c];
        const long double band = refine(s, k, n);
        if (band < narrowest) {
            narrowest = band;
            lattice.m_steps = k;
        }
    }
    if (!(narrowest < Inf))
        return UnitLattice();
    lattice.m_min = s.min;
    for (size_t i = 0; i < size_t(s.n); ++i) {
        lattice.m_len[i] = s.len[i];
        const qint64 counts = range(s, i) + 1;
        lattice.m_few[i] = counts <= MaxStacked ? counts : 0;
    }
    for (int t = 1; t <= n; ++t) {
        const Prefix& p = lattice.m_prefix[size_t(t)] = Prefix(s, lattice.m_steps, t);
        // The band as a table: index K stands for K * divisor indices of the prefix's unit.
        const long double highest = p.valid ? std::floor(p.most(p.roomTotal) / p.divisor) : -1;
        if (highest >= 0 && highest < 0x1p52L && p.unit > 0) {
            const double step = double(p.unit * p.divisor);
            const auto [lowest, greatest] = bandEnvelope(p, step, 0, qint64(highest));
            lattice.m_band[size_t(t)] = {step, qint64(highest), true, lowest, greatest};
        }
    }
    return lattice;
}

long double UnitLattice::bandWidth(const SearchSpace& s, int t) const {
    return valid(t) ? bandOf(s, m_prefix[size_t(t)]) : Inf;
}

std::pair<double, double> UnitLattice::bandEnvelope(const Prefix& p, double step, qint64 first,
                                                    qint64 last) {
    const qint64 g = p.divisor;
    const auto [low, high] =
        p.errors(static_cast<long double>(first) * g, static_cast<long double>(last) * g, step / g);
    return {roundDown(low), roundUp(high)};
}

// P + c * len rounds to at most b only where P is at most b - c * len and a little: each sum is
// asked of the shorter prefix's table, and its answer moved up by the product, rounded upwards.
double UnitLattice::stackedBelow(int t, double b) const {
    const size_t i = size_t(t - 1);
    double best = -Inf;
    for (qint64 c = m_min[i]; c < m_min[i] + m_few[i] && best < b; ++c) {
        const double q = double(c) * m_len[i];
        const double x = below(t - 1, b - q + (std::fabs(b) + std::fabs(q)) * 0x1p-50);
        if (x > -Inf)
            best = std::max(best, x + q + (std::fabs(x) + std::fabs(q)) * 0x1p-50);
    }
    return best == -Inf ? -Inf : std::min(b, best);
}

// How far the next type's counts may be passed: the least over the stacked type's sums, each
// moving the window over the shorter prefix's table.
qint64 UnitLattice::stackedPassable(int t, double a, double b, double len, qint64 most) const {
    const size_t i = size_t(t - 1);
    qint64 passed = most + 1;
    for (qint64 c = m_min[i]; c < m_min[i] + m_few[i] && passed > 1; ++c) {
        const double q = double(c) * m_len[i];
        const double slack = (std::fabs(a) + std::fabs(b) + std::fabs(q)) * 0x1p-50;
        passed = std::min(passed, passable(t - 1, a - q - slack, b - q + slack, len, most));
    }
    return passed;
}

// The largest index the prefix can reach at or below b, and the most millimetres that index
// leaves room for; taken for each sum of the types off the lattice that have few counts.
double UnitLattice::below(int t, double b) const {
    if (stacked(t))
        return stackedBelow(t, b);
    const Prefix& p = m_prefix[size_t(t)];
    const IndexTable* table = m_index[size_t(t)].get();
    long double best = -Inf;
    for (size_t j = 0; j < size_t(p.offSums) && best < b; ++j) {
        const auto [low, high] = p.offRange(j);
        const long double top = b + p.rounding - low - p.base; // above the minimums
        if (top < 0)
            continue;
        if (table) {
            const long double x = table->largestNotAbove(top);
            if (x == -Inf)
                continue;
            if (!std::isnan(x)) {
                best = std::max(best, p.base * (1 + 2 * Outwards) + x + std::fabs(x) * Outwards +
                                          high + p.rounding);
                continue;
            }
        }
        const long double highest = std::floor(p.most(std::min(top, p.roomTotal)));
        const qint64 steps = qint64(highest) / p.divisor * p.divisor;
        best = std::max(best, p.base * (1 + 2 * Outwards) +
                                  p.reach(static_cast<long double>(steps)) + high + p.rounding);
    }
    return best == -Inf ? -Inf : std::min(b, roundUp(best));
}

qint64 UnitLattice::passable(int t, double a, double b, double len, qint64 most) const {
    if (stacked(t))
        return stackedPassable(t, a, b, len, most);
    const Prefix& p = m_prefix[size_t(t)];
    if (!p.valid || !(len > 0) || most < 1)
        return 1;
    const IndexTable* table = m_index[size_t(t)].get();
    const IndexErrors& band = m_band[size_t(t)];
    if (!table && band.last < 0)
        return 1;
    const auto envelope = [&](qint64 first, qint64 last) {
        return bandEnvelope(p, band.step, first, last);
    };
    qint64 passed = most + 1;
    for (size_t j = 0; j < size_t(p.offSums) && passed > 1; ++j) {
        // The same millimetres above the minimums as below() asks with, and at least as wide.
        const auto [low, high] = p.offRange(j);
        const long double top = b + p.rounding - low - p.base;
        const long double bottom = a - p.rounding - high - p.base * (1 + 2 * Outwards);
        const long double slack = (std::fabs(top) + std::fabs(bottom)) * Outwards * 4;
        // Each round on the band costs about a step of the walk.
        passed =
            std::min(passed, table ? table->firstMeeting(bottom - slack, top + slack, len, most)
                                   : firstMeetingOf(band, bottom - slack, top + slack, len, most,
                                                    envelope, BandRounds, &m_bandRuns[size_t(t)]));
    }
    return std::max<qint64>(passed, 1);
}

// The index of the first t types above their minimums lies in [kmin, kmax]; d more pieces of
// the t-th type than its minimum leave the first t - 1 types K - d * k, which must be a multiple
// g of their gcd: (d * k - kmin) mod g <= w with w = kmax - kmin.
qint64 UnitLattice::nextCount(int t, double lo, double hi, qint64 from, qint64 to) const {
    if (t < 2 || from > to)
        return from;
    // The index range depends on the window alone, which stays while its counts are walked.
    Window& window = m_windows[size_t(t)];
    if (window.lo != lo || window.hi != hi) {
        window = {lo, hi, -1, 0};
        const Prefix& p = m_prefix[size_t(t)];
        const Prefix& before = m_prefix[size_t(t - 1)];
        const long double xlo = lo - p.rounding - p.base * (1 + 2 * Outwards);
        const long double xhi = hi + p.rounding - p.base;
        // Types off the lattice add millimetres that are no index.
        if (p.valid && p.types == t && before.types == t - 1 && before.divisor > 1 && xhi >= 0 &&
            xlo <= p.roomTotal) {
            const long double fewest = std::ceil(p.fewest(std::max<long double>(xlo, 0)));
            const long double most = std::floor(p.most(std::min(xhi, p.roomTotal)));
            if (fewest <= most && most - fewest + 1 < before.divisor && most < 0x1p62L) {
                window.kmin = qint64(fewest);
                window.w = qint64(most) - window.kmin;
            }
        }
    }
    if (window.kmin < 0)
        return from;
    const qint64 g = m_prefix[size_t(t - 1)].divisor, w = window.w;
    const size_t i = size_t(t - 1);
    const qint64 a = m_steps[i] % g;
    const qint64 b = qint64(((Int128((from - m_min[i]) % g) * a - window.kmin) % g + g) % g);
    if (a == 0)
        return b <= w ? from : to + 1;
    // The least x with (b + a x) mod g in [0, w]: a x mod g in [l, l + w], cyclically.
    const qint64 l = (g - b) % g;
    qint64 x = l + w < g ? firstModular(a, g, l, l + w) : -1;
    if (l + w >= g) {
        const qint64 upper = firstModular(a, g, l, g - 1), lower = firstModular(a, g, 0, l + w - g);
        x = upper < 0 ? lower : lower < 0 ? upper : std::min(upper, lower);
    }
    return x < 0 || x > to - from ? to + 1 : from + x;
}

qint64 UnitLattice::indexCap(const SearchSpace& s) const {
    long double cap = 0;
    for (int t = 1; t <= s.n; ++t) {
        const Prefix& p = m_prefix[size_t(t)];
        if (p.valid) {
            const long double top = s.hi + p.rounding - p.looseLow - p.base;
            cap = std::max(cap, p.most(std::clamp<long double>(top, 0, p.roomTotal)));
        }
    }
    return cap < 0x1p62L ? qint64(cap) + 2 : std::numeric_limits<qint64>::max() / 4;
}

qint64 UnitLattice::indexReach(const SearchSpace& s, int t) const {
    Int128 reach = 0;
    for (size_t i = 0; i < size_t(t); ++i)
        reach += Int128(m_steps[i]) * range(s, i);
    return reach < Int128(1) << 62 ? qint64(reach) : std::numeric_limits<qint64>::max() / 4;
}

std::array<qint64, MaxTypes + 1> UnitLattice::indexSizes(const SearchSpace& s) const {
    std::array<qint64, MaxTypes + 1> sizes{};
    const qint64 cap = indexCap(s);
    for (int t = 1; t <= s.n; ++t) {
        const Prefix& p = m_prefix[size_t(t)];
        if (p.valid && m_steps[size_t(t - 1)] > 0)
            sizes[size_t(t)] = std::min(indexReach(s, t), cap) / p.divisor + 1;
    }
    return sizes;
}

qint64 UnitLattice::indexEntries(const SearchSpace& s, int t) const {
    if (t < 2 || !valid(t))
        return 0;
    const std::array<qint64, MaxTypes + 1> sizes = indexSizes(s);
    while (t > 0 && sizes[size_t(t)] == 0)
        --t;
    return sizes[size_t(t)];
}

qint64 UnitLattice::indexCost(const SearchSpace& s, int t) const {
    const std::array<qint64, MaxTypes + 1> sizes = indexSizes(s);
    qint64 cost = 0;
    for (int j = 1; j <= t; ++j)
        cost = std::min(cost + 2 * sizes[size_t(j)], std::numeric_limits<qint64>::max() / 4);
    return cost;
}

// The tables of the prefixes up to t one after the other, each from the one before, starting
// from the longest prefix that has its table already; only the last is kept.
qint64 UnitLattice::buildIndexTable(const SearchSpace& s, int t, int dropped,
                                    const std::atomic<bool>* cancel) {
    const std::array<qint64, MaxTypes + 1> sizes = indexSizes(s);
    const qint64 cap = indexCap(s);
    std::shared_ptr<IndexTable> table;
    qint64 divisor = 0, written = 0;
    int j = t - 1;
    while (j > 1 && !m_index[size_t(j)])
        --j;
    const long double unit = m_prefix[size_t(t)].unit;
    if (j > 1) {
        divisor = m_prefix[size_t(j)].divisor;
        const bool tilted = m_prefix[size_t(j)].unit != unit;
        if (j <= dropped && m_index[size_t(j)].use_count() == 1) {
            table = std::move(m_index[size_t(j)]);
            if (tilted)
                table->tilt(unit * divisor);
        } else {
            const IndexTable& kept = *m_index[size_t(j)];
            table = tilted ? std::make_shared<IndexTable>(kept, unit * divisor)
                           : std::make_shared<IndexTable>(kept);
            written += 2 * table->size();
        }
        if (tilted)
            written += table->size();
    } else {
        j = 0;
    }
    for (int k = 2; k <= dropped; ++k)
        m_index[size_t(k)].reset();
    for (++j; j <= t; ++j) {
        const size_t i = size_t(j - 1);
        const Prefix& p = m_prefix[size_t(j)];
        const qint64 size = sizes[size_t(j)];
        if (size == 0)
            continue;
        if (!table)
            table = std::make_shared<IndexTable>(unit * p.divisor, size);
        else
            table->refine(divisor / p.divisor, size);
        const long double error = s.len[i] - m_steps[i] * unit;
        if (!table->addType(m_steps[i] / p.divisor, error, range(s, i), cancel))
            return written;
        written += 2 * size;
        divisor = p.divisor;
    }
    if (table)
        table->finish(indexReach(s, t) <= cap);
    m_index[size_t(t)] = table;
    return written;
}

} // namespace Kern::SearchDetail
