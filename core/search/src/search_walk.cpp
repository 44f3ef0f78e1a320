#include "search_walk.h"

#include <cmath>
#include <cstdint>
#include <utility>

namespace Kern::SearchDetail {

// One place of the count vector while the walk runs through its counts.
struct Walker::Level {
    Level(const SearchSpace& space, const Trade& tradeOf, int place, double low, double high)
        : s(space), t(place), i(size_t(place - 1)), len(space.len[i]), below(space.pMin[i]),
          above(space.pMax[i]), plo(low), phi(high), cmin(space.min[i]), cmax(space.usable[i]),
          trade(tradeOf) {
        // Counts whose prefix sums, from the least to the most the faster types can add, meet
        // the window at all.
        ca = firstTrue(
            cmin, cmax,
            clampCount(len > 0 ? std::ceil((plo - above) / len) : double(cmin), cmin, cmax),
            [&](qint64 c) { return above + double(c) * len >= plo; });
        cb = firstTrue(ca, cmax,
                       clampCount(len > 0 ? std::floor((phi - below) / len) + 1 : double(cmax),
                                  cmin, cmax),
                       [&](qint64 c) { return below + double(c) * len > phi; }) -
             1;
        // The largest sums the rounding of prefix sums and windows may have to do with.
        tradeScale = std::fabs(plo) + std::fabs(phi) + double(cmax + 1) * len;
    }

    // The first count from c on that no trade rules out (see Walker::ruleOutTraded); beyond
    // cb when there is none.
    qint64 alive(qint64 c) const {
        if (c > deadLast)
            return c;
        const qint64 p = trade.p;
        qint64 first = cb + 1;
        for (qint64 x = c; x < c + p && x < first; ++x) {
            const qint64 r = x % p;
            const qint64 until = (marked >> r) & 1 ? deadUntil[r] : -1;
            first = std::min(first, x > until ? x : x + ((until - x) / p + 1) * p);
        }
        return first;
    }

    // The exact interval of prefix sums of the faster types that count c admits.
    SFX_HOT_INLINE std::pair<double, double> interval(qint64 c) const {
        const double q = double(c) * len;
        return {std::max(lowerEnd(plo, q), below), std::min(upperEnd(phi, q), above)};
    }

    // An interval a little wider than that, which needs no search over the doubles (see slack).
    SFX_HOT_INLINE std::pair<double, double> wide(qint64 c) const {
        const double q = double(c) * len;
        return {std::max(plo - q - slack, below), std::min(phi - q + slack, above)};
    }

    const SearchSpace& s;
    const int t;
    const size_t i;
    const double len, below, above, plo, phi;
    // Every count is first tested on an interval a little wider than the exact one, which
    // needs no search over the doubles; the exact interval is found only for counts walked into.
    const double slack = std::fabs(plo) * 0x1p-50 + std::fabs(phi) * 0x1p-49 + 0x1p-1000;
    const qint64 cmin, cmax;
    qint64 ca = 0, cb = 0;
    // The last count that was walked: the next count with the same interval of prefix sums has
    // exactly the same completions (a short length lost in the rounding of long totals).
    struct {
        qint64 count = -2;
        double a = 0, b = 0;
        bool found = false;
        size_t begin = 0, end = 0;
    } last;
    int misses = 0, patience = 4;
    // Counts ruled out since the last descent, and at which of them passRun and strideRun next
    // ask: at ever longer gaps while asking passes little, at once again when it passes much.
    struct Pacing {
        int closed = 0, at = 2, gap = 1;
        bool due() { return ++closed >= at; }
        void asked(bool passedMuch) {
            gap = passedMuch ? 1 : std::min(2 * gap, 1024);
            at = closed + gap;
        }
        void restart() {
            closed = 0;
            at = 2;
        }
    } run, stride;
    // Where the type trades against a faster one (see Trade): the residues modulo p with
    // counts ruled out by the trade, and per such residue the last of them (left unset for the
    // others: a walk starts with no more than a few words written), and the last of all; the
    // scale of the rounding the trade's windows allow for, and checks that ruled out nothing.
    const Trade& trade;
    std::uint64_t marked = 0;
    qint64 deadUntil[MaxTradePieces];
    qint64 deadLast = -1;
    double tradeScale = 0;
    qint64 tradeClosed = 0; // counts ruled out or walked in vain since the last found
    int tradeMisses = 0;
};

struct Walker::Candidate {
    double wideA, wideB; // the wide interval
    double y;            // bound on the largest reachable prefix sum not above it
    double a, b;         // the exact interval where it was asked for
    bool open;           // whether the faster types may reach it
};

Walker::Walker(const SearchRequest& request, std::vector<FoundCombination>& out,
               SearchControl* control, const SearchLimits& limits)
    : m_req(request), m_out(out), m_control(control), m_space(request), m_limits(limits),
      m_trades(findTrades(m_space)), m_remaining(request.limit) {}

void Walker::run() {
    const SearchSpace& s = m_space;
    const int n = s.n;
    if (n == 0 || m_req.limit <= 0) {
        // The loop body runs once: only the starting vector is examined.
        m_cur = s.min;
        if (s.lo <= s.pMin[size_t(n)] && s.pMin[size_t(n)] <= s.hi)
            record();
        return;
    }
    if (!(s.pMin[size_t(n)] <= s.hi) || !(s.lo <= s.pMax[size_t(n)]))
        return;
    m_bounds.emplace(m_space, m_limits, m_control ? &m_control->cancel : nullptr);
    walk(n, s.lo, s.hi);
}

SFX_HOT_INLINE void Walker::countStep() {
    ++m_steps;
    if (m_control && m_control->cancel.load(std::memory_order_relaxed))
        m_stopped = true;
}

double Walker::progressAt(const Level& level, qint64 c) const {
    return m_share + m_shareWidth * (double(c - level.ca) / (double(level.cb - level.ca) + 1));
}

// Never while probing: a probe walks ahead of the counts and comes back.
SFX_HOT_INLINE void Walker::publishProgress(const Level& level, qint64 c) {
    if (!m_control || m_probing || (m_steps & 255) != 0)
        return;
    const double share = std::min(progressAt(level, c), 1.0);
    if (share > m_published) {
        m_published = share;
        m_control->progress.store(share, std::memory_order_relaxed);
    }
}

SFX_HOT_INLINE void Walker::finishRow(FoundCombination& f) const {
    double s = 0.0;
    Int128 price = 0;
    qint64 pieces = 0;
    const SearchType* types = m_req.types.data();
    for (int t = 0; t < m_space.n; ++t) {
        const size_t i = size_t(t);
        s += m_space.product(t, f.counts[i]);
        pieces += f.counts[i];
        price += Int128(f.counts[i]) * types[i].priceTenThousandths;
    }
    f.pieces = pieces;
    f.total = s;
    f.deviation = s - m_req.routeLength;
    // The same rounding either way; the narrow conversion needs no call.
    const bool narrow =
        price >= std::numeric_limits<qint64>::min() && price <= std::numeric_limits<qint64>::max();
    f.totalPrice = (narrow ? double(qint64(price)) : double(price)) / 10000.0;
    Q_ASSERT(m_space.lo <= s && s <= m_space.hi);
}

SFX_HOT_INLINE void Walker::record() {
    if (m_out.empty()) // the caller's limit is at most a few thousand rows
        m_out.reserve(size_t(std::clamp<qint64>(m_remaining, 1, 4096)));
    FoundCombination& f = m_out.emplace_back();
    std::copy(m_cur.begin(), m_cur.begin() + m_space.n, f.counts.begin());
    finishRow(f);
    --m_remaining;
    if (m_control)
        m_control->found.store(qint64(m_out.size()), std::memory_order_relaxed);
}

void Walker::recordCopy(const FoundCombination& row, int place, qint64 count) {
    FoundCombination f = row;
    f.counts[size_t(place)] = count;
    finishRow(f);
    m_out.push_back(f);
    --m_remaining;
    if (m_control)
        m_control->found.store(qint64(m_out.size()), std::memory_order_relaxed);
}

bool Walker::probe(int t, double plo, double phi) {
    const bool outer = m_probing;
    m_probing = true;
    const bool found = walk(t, plo, phi);
    m_probing = outer;
    return found;
}

SFX_HOT_INLINE bool Walker::leaf(double plo, double phi) {
    const SearchSpace& s = m_space;
    const qint64 lo = s.min[0], hi = s.usable[0];
    const double len = s.len[0];
    const qint64 first =
        firstTrue(lo, hi, clampCount(len > 0 ? std::ceil(plo / len) : double(lo), lo, hi),
                  [&](qint64 c) { return 0.0 + s.product(0, c) >= plo; });
    const qint64 end =
        firstTrue(first, hi, clampCount(len > 0 ? std::floor(phi / len) + 1 : double(hi), lo, hi),
                  [&](qint64 c) { return 0.0 + s.product(0, c) > phi; });
    for (qint64 c = first; c < end && m_remaining > 0 && !m_probing; ++c) {
        m_cur[0] = c;
        record();
    }
    return first < end;
}

SFX_HOT_INLINE Walker::Candidate Walker::examine(const Level& level, qint64 c) const {
    Candidate k;
    std::tie(k.wideA, k.wideB) = level.wide(c);
    k.y = m_bounds->reachBelow(level.t - 1, k.wideA, k.wideB);
    k.a = k.wideA;
    k.b = k.wideB;
    k.open = k.y >= k.wideA;
    if (k.open) {
        // The exact interval, and the bounds asked again with it: a sum on the grid just
        // outside it, which only the exact edges rule out, is not worth a descent (into the
        // fastest type, which is solved outright, a descent costs no more than asking).
        std::tie(k.a, k.b) = level.interval(c);
        k.open = k.a <= k.b;
        if (k.open && level.t > 2) {
            const double exactY = m_bounds->reachBelow(level.t - 1, k.a, k.b);
            k.open = exactY >= k.a;
            k.y = std::min(k.y, exactY);
        }
    }
    return k;
}

// Count c is ruled out, or was walked into in vain (`descended`). Where its type trades against
// a faster one (see Trade), a prefix sum in the window of count c + m * p gives one m * delta
// lower in that of c, from q * m more pieces of the faster type: where the window of c, widened
// downwards by m * delta (upwards where delta is negative), is empty, so are those of c + p, ...,
// c + m * p. Whether it is empty is asked of the bounds, or after a walk into c, of a probe of
// the same walk. Tried for all counts of the walk and for ever fewer, once more than p counts
// in a row found nothing; given up on for the walk where that keeps ruling out nothing.
void Walker::ruleOutTraded(Level& level, qint64 c, bool descended) {
    const qint64 p = level.trade.p;
    if (p == 0 || ++level.tradeClosed <= p || level.tradeMisses > 2 * p + 8)
        return;
    const double q = double(c) * level.len;
    const double a = level.plo - q - level.slack, b = level.phi - q + level.slack;
    qint64 trades = (level.cb - c) / p;
    for (int tries = descended ? 1 : 0; tries < 3 && trades >= 1; ++tries, trades /= 4) {
        countStep();
        const auto [below, above] = level.trade.widened(a, b, level.tradeScale, trades);
        if (descended ? !probe(level.t - 1, below, above)
                      : m_bounds->reachBelow(level.t - 1, below, above) < below) {
            const qint64 until = c + trades * p;
            level.deadUntil[c % p] = until;
            level.marked |= std::uint64_t(1) << (c % p);
            level.deadLast = std::max(level.deadLast, until);
            return;
        }
        if (level.trade.delta == 0)
            break;
    }
    ++level.tradeMisses;
}

// The window slides down as c grows: skips the counts for which it stays above what the faster
// types can reach. Returns the next count to try, beyond cb when there is none.
SFX_HOT_INLINE qint64 Walker::skipClosed(Level& level, qint64 c, double y, const Candidate& cand) {
    const double len = level.len;
    // The first count whose exact interval reaches down to `reachable` (P + q >= plo for P at
    // or above it), found from an estimate that never overshoots: where the length is lost in
    // the rounding of the window's edges, the interval stays put for many counts, and only the
    // arithmetic itself tells how many.
    const auto skipTo = [&](double reachable) {
        const double reach = (level.plo - level.slack - reachable) / len * (1 - 0x1p-40) - 1;
        const qint64 guess = reach > double(c + 1)
                                 ? (reach > double(level.cb) ? level.cb + 1 : qint64(reach))
                                 : c + 1;
        const double from = std::max(reachable, 0.0);
        const auto reaches = [&](qint64 k) {
            return from + m_space.product(level.t - 1, k) >= level.plo;
        };
        return guess > level.cb || reaches(guess)
                   ? guess
                   : firstTrue(guess + 1, level.cb, guess + 1, reaches);
    };
    qint64 next = skipTo(y);
    if (m_bounds->remaindered(level.t)) {
        const qint64 to = m_bounds->remainderNext(level.t, next, level.cb, level.plo, level.phi);
        if (to >= 0)
            return to;
    }
    // Some bounds only say that nothing lies in the window, not how far below the next
    // reachable sum is; after a run of short skips, probe ever deeper below it.
    if (next - c <= 4 && ++level.misses >= level.patience) {
        level.misses = 0;
        level.patience = std::min(2 * level.patience, 1024);
        const double wideA = cand.wideA;
        const double ulps = 4 * (wideA - nextBelow(wideA));
        for (double depth = std::max(2 * len, ulps); depth < wideA; depth *= 2) {
            const double deeper = m_bounds->reachBelow(level.t - 1, wideA - depth, cand.wideB);
            if (deeper >= wideA - depth)
                break;
            y = std::min(y, deeper);
            level.patience = 4;
        }
        next = skipTo(y);
    }
    if (level.t == 2)
        return m_bounds->pairNext(next, level.cb, level.plo, level.phi);
    if (level.t == 3)
        next = m_bounds->tripleNext(next, level.cb, level.plo, level.phi);
    next = m_bounds->latticeNext(level.t, next, level.cb, level.plo, level.phi);
    if (m_bounds->strided(level.t))
        next = strideRun(level, next);
    if (m_bounds->indexed(level.t - 1))
        return passIndexed(level, next);
    if (m_bounds->banded(level.t - 1)) {
        const qint64 run = passRun(level, c, next);
        if (run > next)
            next = m_bounds->latticeNext(level.t, run, level.cb, level.plo, level.phi);
    }
    return next;
}

// Where the faster types have an index table, most counts it rules out lie between a few it
// leaves open: they are passed here, each asked of the table alone with its wide interval, at a
// fraction of a step of the walk.
qint64 Walker::passIndexed(Level& level, qint64 c) {
    const int t = level.t;
    while ((c = level.alive(c)) <= level.cb && active()) {
        const auto [a, b] = level.wide(c);
        if (!(m_bounds->indexBelow(t - 1, b) < a))
            return c;
        countStep();
        m_bounds->noteMissed(t, 1);
        ruleOutTraded(level, c, false);
        c = m_bounds->latticeNext(t, passRun(level, c, c + 1), level.cb, level.plo, level.phi);
    }
    return c;
}

// Count c is ruled out, and `next` is the first count that may not be: after a few such counts
// the index table, or the band, tells how far the window slides before it may meet a sum again,
// from the window before clamping (a clamped edge does not slide). Asked at ever longer gaps
// while that passes little more than `next` does.
qint64 Walker::passRun(Level& level, qint64 c, qint64 next) {
    if (next > level.cb || !level.run.due())
        return next;
    const double q = double(c) * level.len;
    const qint64 run =
        m_bounds->indexPassable(level.t - 1, level.plo - q - level.slack,
                                level.phi - q + level.slack, level.len, level.cb - c, next - c);
    // Asking costs about as much as passing a few dozen counts one at a time.
    level.run.asked(run - (next - c) >= 128);
    return std::max(next, c + run);
}

// `next` is the first count that may not be ruled out: after a few ruled out in a row, the
// stride table of the faster types tells the first whose window it leaves open. Asked at ever
// longer gaps while that passes few more counts.
qint64 Walker::strideRun(Level& level, qint64 next) {
    if (next > level.cb || !level.stride.due())
        return next;
    countStep();
    const qint64 to = m_bounds->strideNext(level.t, next, level.cb, level.plo, level.phi);
    level.stride.asked(to - next >= 64);
    return to;
}

// Count c has the same interval as the last count walked, c - 1: its completions are the same.
// Returns the next count to try; `hit` tells whether c completes.
qint64 Walker::repeat(Level& level, qint64 c, bool& hit) {
    hit = level.last.found;
    if (!hit) {
        const std::pair<double, double> same{level.last.a, level.last.b};
        return firstTrue(c, level.cb, c, [&](qint64 k) { return level.interval(k) != same; });
    }
    if (m_probing)
        return c;
    const size_t begin = m_out.size();
    for (size_t j = level.last.begin; j < level.last.end && m_remaining > 0; ++j)
        recordCopy(m_out[j], int(level.i), c);
    level.last.count = c;
    level.last.begin = begin;
    level.last.end = m_out.size();
    return c + 1;
}

// Walks into count c with the exact interval [a, b]; returns the next count to try.
SFX_HOT_INLINE qint64 Walker::descend(Level& level, qint64 c, double a, double b, bool& found) {
    level.misses = 0;
    level.run.restart();
    level.stride.restart();
    m_cur[level.i] = c;
    const size_t begin = m_out.size();
    const qint64 stepsBefore = m_steps;
    const double share = m_share, width = m_shareWidth;
    if (!m_probing) {
        m_share = progressAt(level, c);
        m_shareWidth = width / (double(level.cb - level.ca) + 1);
    }
    found = walk(level.t - 1, a, b);
    m_share = share;
    m_shareWidth = width;
    if (!found && !m_stopped) {
        m_bounds->noteMissed(level.t, m_steps - stepsBefore + 1);
        m_bounds->noteFruitless(level.t, m_steps - stepsBefore + 1);
        ruleOutTraded(level, c, true);
    }
    if (found)
        level.tradeClosed = 0;
    level.last.count = c;
    level.last.a = a;
    level.last.b = b;
    level.last.found = found;
    level.last.begin = begin;
    level.last.end = m_out.size();
    if (found || !(level.len > 0) || !(level.len < b - a))
        return c + 1;
    // Nothing lies in [a, b], and the windows of the next counts overlap it: gallop to the
    // first count whose window reaches a prefix sum below a, probing the union of the windows
    // passed over with the same exact walk.
    const double top = nextBelow(a);
    const auto reached = [&](qint64 k) {
        const double from =
            std::max(lowerEnd(level.plo, m_space.product(level.t - 1, k)), level.below);
        return from <= top && probe(level.t - 1, from, top);
    };
    return firstTrue(c + 1, level.cb, c + 1, reached);
}

// Records, in the odometer's order, every vector whose counts of types t+1..n are those in
// m_cur and whose prefix sum of the first t types lies in [plo, phi]. Returns whether any was
// found (whether or not the limit let all of them be recorded).
bool Walker::walk(int t, double plo, double phi) {
    const SearchSpace& s = m_space;
    plo = std::max(plo, s.pMin[size_t(t)]);
    phi = std::min(phi, s.pMax[size_t(t)]);
    if (!(plo <= phi))
        return false;
    if (t == 1)
        return leaf(plo, phi);

    Level level(s, m_trades[size_t(t - 1)], t, plo, phi);
    const qint64 stepsBefore = m_steps;
    bool any = false;
    qint64 c = t == 2   ? m_bounds->pairNext(level.ca, level.cb, plo, phi)
               : t == 3 ? m_bounds->tripleNext(level.ca, level.cb, plo, phi)
                        : level.ca;
    if (t > 2 && m_bounds->remaindered(t)) {
        const qint64 to = m_bounds->remainderNext(t, c, level.cb, plo, phi);
        c = to >= 0 ? to : c;
    }
    while (c <= level.cb && active()) {
        if ((c = level.alive(c)) > level.cb)
            break;
        countStep();
        publishProgress(level, c);
        const Candidate cand = examine(level, c);
        if (!cand.open) {
            m_bounds->noteMissed(t, 1);
            if (!(cand.y > -Inf) || !(level.len > 0))
                break;
            ruleOutTraded(level, c, false);
            c = skipClosed(level, c, cand.y, cand);
            continue;
        }
        bool found = false;
        if (c == level.last.count + 1 && cand.a == level.last.a && cand.b == level.last.b) {
            c = repeat(level, c, found);
            if (found && m_probing)
                return true;
            continue;
        }
        c = descend(level, c, cand.a, cand.b, found);
        if (found && m_probing)
            return true;
        any = any || found;
    }
    if (t == 3)
        m_bounds->noteThirdWalk(m_steps - stepsBefore);
    return any;
}

} // namespace Kern::SearchDetail
