#pragma once

#include "search_exact.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <utility>
#include <vector>

namespace Kern::SearchDetail {

// Sums by lattice index K: each lies K steps plus an error from some origin; `last` is the
// highest index, and indices above it are unknown unless the errors are complete.
struct IndexErrors {
    double step = 0;
    qint64 last = -1;
    bool complete = false;
    double lowest = 0, highest = 0; // errors over all indices
};

// Counts of a run that failed looked at one by one (see firstMeetingInRuns).
constexpr qint64 Scanned = 32;

// firstMeetingOf for counts whose windows drift little from one to the next. Per count the
// window moves by slide / step indices: a whole number of them, which leaves its place between
// two indices as it is, and a drift. For a run of counts, the indices its windows may meet and
// the least and greatest error among them bound where each window lies between two indices;
// while no window of the run can hold a whole index, the run is passed. Runs grow while they are
// passed and shrink where they are not, down to a single count; of a run that is not, the first
// counts whose windows each miss every index are passed. Where `run` is given, the first
// run is that long, and half of the last is left there for the next call: passes of a walk
// differ little from one to the next.
template <typename Envelope>
qint64 firstMeetingInRuns(const IndexErrors& e, long double bottom, long double top,
                          long double slide, qint64 most, Envelope envelope, int rounds,
                          qint64* run = nullptr) {
    if (most < 1)
        return most + 1;
    qint64 j = 1, n = run ? std::max<qint64>(*run, 1) : 1;
    const auto done = [&](qint64 first) {
        if (run)
            *run = std::max<qint64>(n / 2, 1);
        return first;
    };
    // In double, each bound widened by more than its roundings.
    const double s = e.step, len = double(slide);
    const double ratio = len / s, whole = std::round(ratio), drift = ratio - whole;
    const double margin =
        (std::fabs(double(top)) + std::fabs(double(bottom)) + double(most) * len) * 0x1p-44 +
        0x1p-1000;
    const double lo = double(bottom) - margin, hi = double(top) + margin;
    const double lastIndex = double(e.last);
    for (int round = 0; j <= most; ++round) {
        if (round == rounds)
            return done(j);
        n = std::min(n, most - j + 1);
        const double jl = double(j), jh = double(j + n - 1);
        const double first = std::floor((lo - jh * len - e.highest) / s) - 1;
        const double last = std::ceil((hi - jl * len - e.lowest) / s) + 1;
        if (last < 0) // this window and every later one lie below the least sum
            return done(most + 1);
        if (last > lastIndex && !e.complete)
            return done(j);
        bool passed = first > lastIndex;
        // Where the run fails: how many of its first counts miss every index each by itself, and
        // whether the count after them was seen to meet one.
        qint64 missed = 0;
        bool met = false;
        if (!passed) {
            const auto [low, high] =
                envelope(qint64(std::max(first, 0.0)), qint64(std::min(last, lastIndex)));
            passed = !(low <= high);
            if (!passed) {
                // Where count j's window lies in indices, less its whole moves since jl.
                const double a = (lo - high) / s - jl * ratio;
                const double b = (hi - low) / s - jl * ratio;
                const double d = jh - jl;
                const double slack = (std::fabs(a) + std::fabs(b) + jh * ratio) * 0x1p-44;
                const double from = a - d * std::max(drift, 0.0) - slack;
                const double to = b - d * std::min(drift, 0.0) + slack;
                passed = to - from < 1 && std::floor(to) < from;
                // The windows of the run together meet an index, but those before the first
                // that meets one by itself (with the same errors) are passed all the same: a
                // few such counts looked at one by one cost less than a round.
                for (const qint64 scan = std::min(n, Scanned); !passed && missed < scan && !met;) {
                    const double at = double(missed) * drift;
                    const double start = a - at - slack, end = b - at + slack;
                    met = !(end - start < 1 && std::floor(end) < start);
                    missed += met ? 0 : 1;
                }
            }
        }
        if (passed) {
            j += n;
            n *= 2;
        } else if (missed > 0) {
            j += missed;
            n = met ? 1 : missed;
        } else if (n == 1) {
            return done(j);
        } else {
            n /= 2;
        }
    }
    return done(most + 1);
}

// The number of counts, up to MaxPeriod, after which a window moving `ratio` indices per count
// has moved closest to a whole number of them; 1 where one count nearly does, or where no period
// comes much closer.
inline qint64 meetingPeriod(double ratio) {
    constexpr qint64 MaxPeriod = 16;
    const auto off = [ratio](qint64 q) {
        const double moved = double(q) * ratio;
        return std::fabs(moved - std::round(moved));
    };
    if (off(1) < 1.0 / 64)
        return 1;
    qint64 period = 1;
    for (qint64 q = 2; q <= MaxPeriod; ++q)
        if (off(q) < off(period) / 2)
            period = q;
    return period;
}

// A window [bottom, top] slides down by `slide` (> 0) per count of a slower type: the least j
// in [1, most] for which some sum may lie in [bottom - j * slide, top - j * slide], from the
// least and greatest error that envelope(first, last) gives for indices first..last (it may
// look at more indices than asked); most + 1 when none can; never more than the first such j.
//
// A window that moves half an index per count (or a third ...) lies elsewhere between two
// indices at every other count, but in the same place at every second one: each class of counts
// modulo that period is passed as runs of its own, up to the first count any class may meet.
template <typename Envelope>
qint64 firstMeetingOf(const IndexErrors& e, long double bottom, long double top, long double slide,
                      qint64 most, Envelope envelope, int rounds = 32, qint64* run = nullptr) {
    const qint64 q = meetingPeriod(double(slide) / e.step);
    if (q == 1 || most <= 1)
        return firstMeetingInRuns(e, bottom, top, slide, most, envelope, rounds, run);
    qint64 first = most + 1;
    for (qint64 r = 1; r <= q && r < first; ++r) {
        // Counts r, r + q, ... below `first`, as the 1st, 2nd, ... of a window moving q counts'
        // worth per step.
        const qint64 counts = (first - 1 - r) / q + 1;
        const long double back = static_cast<long double>(q - r) * slide;
        const qint64 k =
            firstMeetingInRuns(e, bottom + back, top + back, q * slide, counts, envelope, rounds);
        if (k <= counts)
            first = r + q * (k - 1);
    }
    return first;
}

// The sums of a prefix of types whose lengths lie close to multiples of one unit, by lattice
// index: a sum of pieces above their minimums with index K = sum d_i k_i lies K steps of the
// unit plus an error sum d_i e_i away from the minimums (e_i = L_i - k_i * unit). Per index the
// table holds the least and the greatest error the counts allow. Where the strays of the lengths
// add up to more than the gap between two multiples, the band of indices a window admits holds
// an index, but the sums of that index may still all miss the window: the table tells.
class IndexTable {
public:
    // An empty prefix: index 0 with no error, `size` indices in all (at least 1).
    IndexTable(long double step, qint64 size);

    // Adds a type of k indices (of this table's step) and error e per piece, 0..range pieces
    // above its minimum. Returns false when `cancel` was set (the table is then unusable).
    bool addType(qint64 k, long double e, qint64 range, const std::atomic<bool>* cancel);
    // The same sums on a finer step, `factor` new indices to one of the old, in `size` indices.
    void refine(qint64 factor, qint64 size);
    // The same sums with their errors from another step (the table must be finished again).
    void tilt(long double step);
    // A copy of `other` tilted to `step`, in one pass (it must be finished).
    IndexTable(const IndexTable& other, long double step);
    // Once all types are in: whether every index the counts can reach lies in the table. Only a
    // finished table answers queries.
    void finish(bool complete);

    long double step() const { return m_step; }
    qint64 size() const { return qint64(m_errors.size()); }
    // An upper bound on the largest sum not above top (millimetres above the minimums); -Inf
    // when none is that small; NaN when top lies beyond the indices the table holds.
    long double largestNotAbove(long double top) const;
    // See firstMeetingOf.
    qint64 firstMeeting(long double bottom, long double top, long double slide, qint64 most) const;

private:
    std::pair<float, float> envelope(qint64 first, qint64 last) const;

    static constexpr size_t Block = 64;
    static constexpr size_t Blocks = 64; // blocks in a superblock
    long double m_step;
    // Per index; low > high where no sum has it. Together, for a query reads both at once.
    struct Errors {
        float low, high;
    };
    std::vector<Errors> m_errors;
    // Per block of indices the least and greatest error, and the largest sum of the indices
    // up to the block's end, so that a query reads only the few indices near its answer.
    std::vector<float> m_blockLow, m_blockHigh, m_superLow, m_superHigh;
    // Per block, which of its indices some sum has (bit i for the block's i-th index): a query
    // reads only those, where most indices of a block have none.
    std::vector<quint64> m_present;
    static_assert(Block == 64, "a block's indices are the bits of a word");
    std::vector<long double> m_reachUpTo;
    long double m_lowest = 0, m_highest = 0; // over all indices
    bool m_complete = false;
};

} // namespace Kern::SearchDetail
