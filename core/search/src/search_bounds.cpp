#include "search_bounds.h"

#include <algorithm>
#include <new>

namespace Kern::SearchDetail {

namespace {

std::array<Bands, MaxTypes + 1> bandsOf(const SearchSpace& space) {
    std::array<Bands, MaxTypes + 1> bands{};
    Bands band;
    band.shortest = Inf;
    for (int t = 0; t < space.n; ++t) {
        const size_t i = size_t(t);
        if (space.len[i] > 0 && space.usable[i] > 0) {
            band.shortest = std::min(band.shortest, space.len[i]);
            band.longest = std::max(band.longest, space.len[i]);
            band.fewest += double(space.min[i]);
            band.most += double(space.usable[i]);
        }
        band.apart = band.shortest > 1e-290 && band.longest < Inf &&
                     (band.longest - band.shortest) * (band.most + 1) < band.shortest * 0.5;
        bands[i + 1] = band;
    }
    return bands;
}

std::array<Runs, MaxTypes + 1> runsOf(const SearchSpace& space) {
    std::array<Runs, MaxTypes + 1> runs{};
    for (int t = 2; t <= space.n; ++t) {
        const unsigned mask = apartTypes(space, t);
        if (!mask)
            continue;
        std::vector<long double> sums{0};
        long double low = 0, high = 0;
        for (int j = 0; j < t; ++j) {
            const size_t i = size_t(j);
            if (!(mask & (1u << j))) {
                low += space.min[i] * static_cast<long double>(space.len[i]);
                high += space.usable[i] * static_cast<long double>(space.len[i]);
                continue;
            }
            std::vector<long double> next;
            for (const long double sum : sums)
                for (qint64 c = space.min[i]; c <= space.usable[i]; ++c)
                    next.push_back(sum + c * static_cast<long double>(space.len[i]));
            sums = std::move(next);
        }
        std::sort(sums.begin(), sums.end());
        Runs& r = runs[size_t(t)];
        for (const long double sum : sums) {
            r.low.push_back(double((sum + low) * (1 - 0x1p-40L)));
            r.high.push_back(double((sum + high) * (1 + 0x1p-40L)) + 0x1p-1000);
        }
    }
    return runs;
}

// A grid of its own for the first two types: their own decimals where these hold their sums far
// more tightly than the decimal lattice of all types; else, where that lattice holds them only
// within a good part of the window (or not at all), one that holds them within a sixteenth.
std::optional<Grid> pairGridFor(const SearchSpace& space, const Grid& lattice) {
    if (lattice.valid) {
        if (Grid own = pairLattice(space); own.valid && own.error[2] * 16 < lattice.error[2])
            return own;
        if (lattice.error[2] * 16 <= static_cast<long double>(space.hi) - space.lo)
            return std::nullopt;
    }
    Grid g = pairGrid(space);
    if (!g.valid || (lattice.valid && !(g.error[2] < lattice.error[2])))
        return std::nullopt;
    return g;
}

// Coarser decimals than the lattice's that hold the first three types' sums within an eighth of
// the window, the coarsest first; invalid where there are none.
Grid coarseTripleGrid(const SearchSpace& space, const Grid& lattice) {
    if (!lattice.valid || space.n < 3)
        return Grid();
    const long double width = static_cast<long double>(space.hi) - space.lo;
    long double scale = 1;
    for (qint64 pow10 = 1; pow10 < lattice.pow10; pow10 *= 10, scale *= 10) {
        Grid g;
        if (fillGrid(g, space, scale, 3) && g.error[3] * 8 <= width) {
            g.finishSetup();
            return g;
        }
    }
    return Grid();
}

} // namespace

ReachBounds::ReachBounds(const SearchSpace& space, const SearchLimits& limits,
                         const std::atomic<bool>* cancel)
    : m_space(space), m_cancel(cancel), m_bands(bandsOf(space)), m_runs(runsOf(space)),
      m_lattice(decimalLattice(space)), m_pairGrid(pairGridFor(space, m_lattice)),
      m_pair(space, m_pairGrid ? *m_pairGrid : m_lattice),
      m_triple(space, m_lattice, limits.patience), m_tripleRetry(64 * double(m_triple.few())),
      m_limits(limits) {
    if (m_triple.few() > 0 && !m_triple.tableFits()) {
        m_coarseGrid = coarseTripleGrid(space, m_lattice);
        if (m_coarseGrid.valid) {
            m_coarseTriple.emplace(space, m_coarseGrid, limits.patience);
            if (!m_coarseTriple->tableFits())
                m_coarseTriple.reset();
        }
    }
    m_indexCost.fill(-1);
    m_shortOf.fill(-1);
    m_strideCost.fill(-1);
    m_remainderCost.fill(-1);
    m_strideLeft = limits.strideEntries;
    m_remainderLeft = limits.listedSums;
}

// Tables and lists are planned once the walk has missed a few times: most searches are over
// before they could pay.
void ReachBounds::plan() {
    m_planned = true;
    m_lists.plan(m_space, m_limits.listedSums);
    m_tables.plan(m_space, m_lattice, m_limits.tableBytes);
    m_residues.plan(m_space, m_lattice, 2, m_limits.residueEntries);
    planStrides();
    // Bit tables on a decimal lattice that holds the sums exactly say all that the unit's band
    // could. Without them, a band around multiples of another unit may rule out what no table
    // reaches; and on a lattice that holds the sums only nearly, a table cannot rule out a window
    // that a sum on the grid misses by less than the lattice's error, which the band may.
    m_unitWanted = !(m_tables.onLattice() && m_tables.planned() == m_space.n - 1 &&
                     m_lattice.exact[size_t(m_space.n)]);
}

// Whether the decimal lattice holds every sum up to the route nearly exactly, not merely within
// the window.
bool ReachBounds::sharpLattice() const {
    return m_lattice.valid && m_lattice.error[size_t(m_space.n)] < (m_space.hi - m_space.lo) / 64;
}

// A decimal grid that holds the sums nearly exactly already says what a unit up to about its step
// would (see UnitLattice::find).
long double ReachBounds::unitGrid() const {
    return sharpLattice() ? 1 / m_lattice.scale : 0;
}

// A prefix keeps the unit of the longest prefix whose band of its sums is narrowest, where that is
// less than half the band of the unit of all types: the first few types may lie far closer to
// multiples of one unit than the others do (whose short pieces then decide the unit of all).
void ReachBounds::findShortUnits(long double grid) {
    std::array<long double, MaxTypes + 1> best{};
    for (int t = 2; t <= m_space.n; ++t)
        best[size_t(t)] = m_unit.bandWidth(m_space, t) / 2;
    for (int upTo = m_space.n - 1; upTo >= 2; --upTo) {
        UnitLattice shorter = UnitLattice::find(m_space, grid, upTo);
        bool used = false;
        for (int t = 2; t <= upTo; ++t) {
            const long double band = shorter.bandWidth(m_space, t);
            if (band < best[size_t(t)]) {
                best[size_t(t)] = band;
                m_shortOf[size_t(t)] = int(m_shortUnits.size());
                used = true;
            }
        }
        if (used)
            m_shortUnits.push_back(std::move(shorter));
    }
}

void ReachBounds::buildIndex(int t) {
    m_indexCost[size_t(t)] = -1;
    const qint64 entries = m_unit.indexEntries(m_space, t);
    // Where the tables would take too much, those of shorter prefixes make room: a window that
    // a longer prefix's table rules out spares a larger descent. They are not built again, and
    // none is given up for a table that does not fit even so.
    qint64 left = m_indexLeft;
    int dropped = 1;
    for (int k = 2; k < t && entries > left; ++k) {
        if (m_unit.indexed(k))
            left += m_unit.indexEntries(m_space, k);
        dropped = k;
    }
    if (entries > left)
        return;
    m_indexLeft = left - entries;
    try {
        m_indexWork += m_unit.buildIndexTable(m_space, t, dropped, m_cancel);
    } catch (const std::bad_alloc&) { // no memory for it: walk on without
    }
}

// A list's remainders pay where the windows of the walked type's counts are short beside its
// length and meet few of the sums: where each window passes over many sums (sums far denser
// than the counts), and the list's own bound steps over them one at a time.
void ReachBounds::planRemainders() {
    const double width = m_space.hi - m_space.lo;
    for (int t = 3; t <= m_space.n && t - 1 <= m_lists.built(); ++t) {
        const size_t k = size_t(t);
        const double sums = double(m_lists.sums(t - 1).size()), len = m_space.len[k - 1];
        if (m_remainders[k] || m_remainderCost[k] >= 0 || !(len > 0) || sums < 2 ||
            !(sums * width < len * double(RemainderList::MostLooked / 16)))
            continue;
        m_remainderCost[k] = sums * (std::log2(sums) + 2) / 16;
        m_remainderWasted[k] = 0;
    }
}

void ReachBounds::buildRemainders(int t) {
    const size_t k = size_t(t);
    const double cost = m_remainderCost[k];
    m_remainderCost[k] = -1;
    const std::vector<double>& sums = m_lists.sums(t - 1);
    const qint64 entries = qint64(sums.size());
    if (entries > m_remainderLeft)
        return;
    try {
        m_remainders[k] = std::make_unique<RemainderList>(sums, m_space.len[k - 1]);
        m_remainderLeft -= entries;
        m_remainderWork += qint64(cost);
    } catch (const std::bad_alloc&) { // no memory for it: walk on without
    }
}

// Off, the stepper is tried once the walks have cost more than it would in a few dozen calls;
// on, it is judged after a trial of walks by their average cost against that of the walks
// without it, and tried again only after twice as much cost.
void ReachBounds::noteThirdWalk(qint64 steps) {
    if (!tripleJudged())
        return;
    const size_t on = m_tripleOn ? 1 : 0;
    ++m_tripleWalks[on];
    m_tripleCost[on] += double(steps);
    if (!m_tripleOn) {
        if (m_tripleCost[0] > m_tripleRetry && m_tripleWalks[0] >= TripleTrial) {
            m_tripleOn = true;
            m_tripleWalks[1] = 0;
            m_tripleCost[1] = 0;
        }
    } else if (m_tripleWalks[1] == TripleTrial) {
        const double with = m_tripleCost[1] / double(m_tripleWalks[1]);
        const double without = m_tripleCost[0] / double(m_tripleWalks[0]);
        if (with >= without) {
            m_tripleOn = false;
            m_tripleRetry = 2 * std::max(m_tripleRetry, m_tripleCost[0]);
        }
        m_tripleWalks[1] = 0;
        m_tripleCost[1] = 0;
    }
}

qint64 ReachBounds::buildSteps() const {
    return m_tableWork / 64 + m_listWork / 16 + m_residueWork / 32 + m_indexWork / 16 +
           m_residues.looked() / ClassesPerStep + m_strideWork + m_remainderWork +
           remainderLooked() / 64 +
           (tripleJudged() ? qint64(double(tripleWork()) / ModularStepsPerStep) : 0);
}

void ReachBounds::noteFruitless(int t, qint64 steps) {
    ++m_fruitless[size_t(t)];
    m_fruitlessSteps[size_t(t)] += steps;
    if (!plannedAfter(steps))
        return;
    // Looking for a unit the lengths nearly share costs about as many steps as it waits for.
    if (m_unitWanted && (m_unitWasted += steps) > m_limits.unitAfter) {
        m_unitWanted = false;
        try {
            m_unit = UnitLattice::find(m_space, unitGrid());
            m_shortWanted = m_space.n > 2;
        } catch (const std::bad_alloc&) { // no memory to look: walk on without a unit
        }
        m_indexLeft = m_limits.indexEntries;
        for (int k = 0; k <= m_space.n; ++k) {
            const qint64 entries = m_unit.indexEntries(m_space, k);
            m_indexCost[size_t(k)] = entries > 0 && entries <= m_indexLeft
                                         ? double(m_unit.indexCost(m_space, k)) / 8
                                         : -1;
        }
    } else if (const size_t k = size_t(t - 1);
               m_indexCost[k] >= 0 &&
               (m_indexWasted[k] += steps) > m_limits.patience * m_indexCost[k]) {
        // Built once the fruitless descents into the prefix cost as much as its table.
        buildIndex(t - 1);
    }
    // A look for each prefix's own unit, once the walk has wasted a few times what the look for
    // the unit of all types waited for.
    if (m_shortWanted && (m_shortWasted += steps) > ShortUnitsAfter * m_limits.unitAfter) {
        m_shortWanted = false;
        try {
            findShortUnits(unitGrid());
        } catch (const std::bad_alloc&) { // no memory to look: walk on without them
        }
    }
    // A band that spared little early in the walk may spare much later, where descents cost more:
    // it is tried again after ever longer stretches of wasted work.
    if (BandTrial& trial = m_bandTrials[size_t(t - 1)];
        trial.off && (trial.idle += steps) > trial.retry) {
        trial.off = false;
        trial.idle = 0;
        trial.retry *= 2;
    }
    if (t - 1 > m_residues.built() && t - 1 <= m_residues.planned()) {
        m_residueWasted[size_t(t)] += steps;
        qint64 cost = 0;
        for (int k = m_residues.built() + 1; k < t; ++k)
            cost += m_residues.cost(k);
        if (m_residueWasted[size_t(t)] > m_limits.patience * double(cost))
            m_residueWork += m_residues.build(m_space, t - 1, m_cancel);
    }
    if (t - 1 <= m_tables.built() || t - 1 > m_tables.planned())
        return;
    m_wasted[size_t(t)] += steps;
    qint64 cost = 0;
    for (int k = m_tables.built() + 1; k < t; ++k)
        cost += m_tables.cost(k);
    if (m_wasted[size_t(t)] > m_limits.patience * double(cost))
        m_tableWork += m_tables.build(t - 1, m_cancel);
}

// On the lattice a type's length is a whole number of steps, and the windows of its counts slide
// down by exactly that many (up to a drift that strideNext allows for). A window wider than the
// steps meets every residue: nothing to gain there, so short lengths get none. What is wasted
// first pays for the bit tables it needs and a count of the members.
void ReachBounds::planStrides() {
    if (!m_tables.onLattice())
        return;
    double tables = 0;
    for (int t = 3; t <= m_space.n && t - 1 <= m_tables.planned(); ++t) {
        tables += double(m_tables.cost(t - 1));
        if (m_tables.grid().steps[size_t(t - 1)] >= 64)
            m_strideCost[size_t(t)] = tables + double(m_tables.words(t - 1)) / WordsPerStep;
    }
}

void ReachBounds::considerStride(int t) {
    const size_t k = size_t(t);
    m_strideWasted[k] = 0;
    if (m_tables.built() < t - 1) {
        m_tableWork += m_tables.build(t - 1, m_cancel);
        if (m_tables.built() < t - 1) { // cancelled, or no memory for them
            m_strideCost[k] = -1;
            return;
        }
    }
    const ReachTable& table = *m_tables.table(t - 1);
    const qint64 g = m_tables.grid().steps[k - 1];
    if (!m_strideCounted[k]) {
        m_strideCounted[k] = true;
        m_strideMembers[k] = StrideTable::entries(table);
        const double words = double(table.wordCount()) / WordsPerStep;
        m_strideWork += qint64(words);
        const bool fits = m_strideMembers[k] + g + 1 <= m_strideLeft;
        m_strideCost[k] = fits ? 2 * (words + double(m_strideMembers[k]) / MembersPerStep) : -1;
        return;
    }
    m_strideWork += qint64(m_strideCost[k]);
    m_strideCost[k] = -1;
    try {
        auto stride = std::make_unique<StrideTable>(table, g, m_cancel);
        if (stride->valid()) {
            m_strideLeft -= m_strideMembers[k] + g + 1;
            m_strides[k] = std::move(stride);
        }
    } catch (const std::bad_alloc&) { // no memory for it: walk on without
    }
}

qint64 ReachBounds::strideNext(int t, qint64 from, qint64 to, double plo, double phi) const {
    const StrideTable* stride = m_strides[size_t(t)].get();
    if (!stride || from >= to)
        return from;
    const int p = t - 1;
    const Grid& g = m_tables.grid();
    const double len = m_space.len[size_t(p)];
    const qint64 steps = stride->modulus();
    const double q = double(from) * len;
    // Every edge the walk may compute for these counts (wide intervals, rounded products) lies
    // within `eps` of the exact one, and the windows drift from whole steps by the length's
    // distance from its steps; a margin of whole steps covers both and the grid's rounding.
    const double far = std::max({std::fabs(plo), std::fabs(phi), double(to) * len});
    const double eps = far * 0x1p-46 + 0x1p-1000;
    const double high = g.stepsAbove(p, phi - q + eps);
    const double low = g.stepsBelow(p, plo - q - eps) - 1;
    const double drift =
        double(to - from) * double(std::fabs(static_cast<long double>(len) * g.scale - steps));
    const double margin = std::ceil(drift + 2 * eps * g.scaleD) + 2;
    const double width = high - low + 2 * margin;
    // Beyond the table's end it says nothing; so neither does this.
    if (!(width < double(steps)) || !(high + margin < double(m_tables.table(p)->bits())))
        return from;
    return from + stride->firstMeeting(qint64(high + margin), qint64(width), to - from);
}

SFX_HOT_INLINE double ReachBounds::firstTypeBelow(double b) const {
    const SearchSpace& s = m_space;
    const double guess = s.len[0] > 0 ? b / s.len[0] + 1 : double(s.min[0]);
    const qint64 c = firstTrue(s.min[0], s.usable[0], clampCount(guess, s.min[0], s.usable[0]),
                               [&](qint64 v) { return 0.0 + s.product(0, v) > b; }) -
                     1;
    return c < s.min[0] ? -Inf : 0.0 + s.product(0, c);
}

// The largest grid sum not above b that the prefix's divisor and minimums allow.
SFX_HOT_INLINE double ReachBounds::latticeBelow(int t, double b) const {
    const Grid& g = m_lattice;
    const double top = g.stepsAbove(t, b);
    if (top < g.lowestD[size_t(t)])
        return -Inf;
    if (top < 0x1p62) {
        const qint64 d = g.divisor[size_t(t)];
        const qint64 x = d > 1 ? qint64(top) / d * d : d == 1 ? qint64(top) : 0;
        if (double(x) < g.lowestD[size_t(t)])
            return -Inf;
        return g.upperMm(t, x);
    }
    return b;
}

SFX_HOT_INLINE double ReachBounds::tableBelow(int t, const ReachTable& table, double b) const {
    const Grid& g = m_tables.grid();
    const double top = g.stepsAbove(t, b);
    if (top < 0)
        return -Inf;
    if (top < double(table.bits())) {
        const qint64 x = table.predecessor(qint64(top));
        if (x < 0)
            return -Inf;
        return g.upperMm(t, x);
    }
    return b;
}

SFX_HOT_INLINE double ReachBounds::residueBelow(int t, const ResidueTable& table, double a,
                                                double b) const {
    const Grid& g = m_lattice;
    const double top = g.stepsAbove(t, b);
    if (top < 0)
        return -Inf;
    if (!(top < 0x1p62))
        return b;
    const double bottom = g.stepsBelow(t, a);
    const qint64 x = table.predecessor(qint64(top), bottom > 0 ? qint64(std::min(bottom, top)) : 0);
    return x < 0 ? -Inf : g.upperMm(t, x);
}

double ReachBounds::reachBelow(int t, double a, double b) const {
    if (t == 1)
        return firstTypeBelow(b);
    if (t <= m_lists.built())
        return m_lists.largestNotAbove(t, b);
    BandTrial& trial = m_bandTrials[size_t(t)];
    const UnitLattice* own = shortUnit(t);
    if (trial.off || !(m_unit.valid(t) || own))
        return tablesBelow(t, a, b);
    // The band costs about as much as a step of the walk: it stays only while the descents it
    // spares, where the other bounds leave a window open, cost more than asking it.
    double band = m_unit.valid(t) ? m_unit.below(t, b) : b;
    if (own && band >= a)
        band = std::min(band, own->below(t, b));
    const double rest = tablesBelow(t, a, b);
    if (band < a && rest >= a) {
        const size_t level = size_t(t + 1);
        trial.spared += std::max(1.0, double(m_fruitlessSteps[level]) /
                                          double(std::max<qint64>(m_fruitless[level], 1)));
    }
    if (++trial.asked == UnitTrial) {
        trial.off = trial.spared < double(trial.asked);
        trial.asked = 0;
        trial.spared = 0;
    }
    return std::min(band, rest);
}

double ReachBounds::tablesBelow(int t, double a, double b) const {
    double y = b;
    if (const Bands& band = m_bands[size_t(t)]; band.apart) {
        const double pieces = std::min(std::floor(b / band.shortest * (1 + 0x1p-40)), band.most);
        if (pieces < band.fewest)
            return -Inf;
        y = std::min(y, pieces * band.longest * (1 + 0x1p-40) + 0x1p-1000);
    }
    if (const Runs& runs = m_runs[size_t(t)]; !runs.low.empty()) {
        const auto above = std::upper_bound(runs.low.begin(), runs.low.end(), y);
        if (above == runs.low.begin())
            return -Inf;
        y = std::min(y, runs.high[size_t(above - runs.low.begin()) - 1]);
    }
    const ReachTable* table = m_tables.table(t);
    if (m_lattice.valid && !(table && m_tables.onLattice())) {
        y = std::min(y, latticeBelow(t, b));
        if (y == -Inf)
            return y;
    }
    // A bit table on the lattice already says all that a residue table would.
    const ResidueTable* residue = table && m_tables.onLattice() ? nullptr : m_residues.table(t);
    if (residue) {
        y = std::min(y, residueBelow(t, *residue, a, b));
        if (y == -Inf)
            return y;
    }
    if (table) {
        y = std::min(y, tableBelow(t, *table, b));
    } else if (t == 2 && y >= a && !m_pair.reaches(a, y)) {
        return nextBelow(a);
    }
    return y;
}

} // namespace Kern::SearchDetail
