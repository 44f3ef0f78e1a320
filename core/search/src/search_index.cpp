#include "search_index.h"

#include <cfloat>
#include <cstring>
#include <limits>

namespace Kern::SearchDetail {

namespace {

// Relative slack that covers the long double rounding of the sums below.
constexpr long double Outwards = 0x1p-56L;
// Blocks of indices a query looks into before it answers with what their sums allow.
constexpr int ScanLimit = 8;

// The float next to a finite f: towards -Inf, and towards +Inf.
float floatBelow(float f) {
    if (f == 0)
        return -std::numeric_limits<float>::denorm_min();
    quint32 bits;
    std::memcpy(&bits, &f, sizeof bits);
    bits = f > 0 ? bits - 1 : bits + 1;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}
float floatAbove(float f) {
    return -floatBelow(-f);
}

// Errors are kept as floats, rounded away from the sums they bound.
float down(double v) {
    float f = float(std::min<double>(v, FLT_MAX));
    if (double(f) > v)
        f = floatBelow(f);
    return f;
}

float up(double v) {
    float f = float(std::max<double>(v, -FLT_MAX));
    if (double(f) < v)
        f = floatAbove(f);
    return f;
}

long double slack(long double a, long double b) {
    return (std::fabs(a) + std::fabs(b)) * Outwards;
}

// The same for v + w summed in double from doubles within a few roundings of their own.
double outwards(double v, double w) {
    return (std::fabs(v) + std::fabs(w)) * 0x1p-48;
}

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

} // namespace

IndexTable::IndexTable(long double step, qint64 size)
    : m_step(step), m_errors(size_t(std::max<qint64>(size, 1)), Errors{HUGE_VALF, -HUGE_VALF}) {
    m_errors[0] = {0, 0};
}

void IndexTable::refine(qint64 factor, qint64 size) {
    const size_t entries = size_t(std::max<qint64>(size, 1));
    if (factor == 1) {
        m_errors.resize(entries, Errors{HUGE_VALF, -HUGE_VALF});
        return;
    }
    std::vector<Errors> errors(entries, Errors{HUGE_VALF, -HUGE_VALF});
    for (size_t k = 0; k < m_errors.size() && k * size_t(factor) < errors.size(); ++k)
        errors[k * size_t(factor)] = m_errors[k];
    m_errors.swap(errors);
    m_step /= factor;
}

namespace {

// Index k's errors from a step `by` shorter: k * by more.
template <typename Errors> Errors tilted(const Errors& x, size_t k, double by) {
    if (!(x.low <= x.high))
        return x;
    const double moved = double(k) * by;
    return {down(double(x.low) + moved - outwards(x.low, moved)),
            up(double(x.high) + moved + outwards(x.high, moved))};
}

} // namespace

void IndexTable::tilt(long double step) {
    const double by = double(m_step - step);
    for (size_t k = 0; k < m_errors.size(); ++k)
        m_errors[k] = tilted(m_errors[k], k, by);
    m_step = step;
}

IndexTable::IndexTable(const IndexTable& other, long double step) : m_step(step) {
    const double by = double(other.m_step - step);
    m_errors.reserve(other.m_errors.size());
    for (size_t k = 0; k < other.m_errors.size(); ++k)
        m_errors.push_back(tilted(other.m_errors[k], k, by));
}

namespace {

// The least and the greatest of the values pushed for the last range + 1 counts of a residue
// class: two monotone queues.
class SlidingExtremes {
public:
    explicit SlidingExtremes(qint64 range) : m_range(range) {}
    void restart() {
        m_lows.restart();
        m_highs.restart();
    }
    void push(qint64 j, double low, double high) {
        m_lows.push(j, low, [](double back, double v) { return back >= v; });
        m_highs.push(j, high, [](double back, double v) { return back <= v; });
    }
    // Over the counts j - range .. j; low above high where none was pushed.
    std::pair<double, double> at(qint64 j) {
        m_lows.dropBefore(j - m_range);
        m_highs.dropBefore(j - m_range);
        if (m_lows.empty())
            return {HUGE_VAL, -HUGE_VAL};
        return {m_lows.front(), m_highs.front()};
    }

private:
    // Counts and values apart, in place. The room of the entries dropped at the front is reused
    // once it is half of all: a queue holds no more than the last range + 2 counts, so that it
    // takes room for a window, however long the class.
    class Queue {
    public:
        void restart() { m_front = m_back = 0; }
        template <typename Dominated> void push(qint64 j, double v, Dominated dominated) {
            while (m_back > m_front && dominated(m_v[m_back - 1], v))
                --m_back;
            if (m_back == m_v.size()) {
                if (m_front > 0 && 2 * m_front >= m_back) {
                    std::copy(m_j.begin() + qsizetype(m_front), m_j.begin() + qsizetype(m_back),
                              m_j.begin());
                    std::copy(m_v.begin() + qsizetype(m_front), m_v.begin() + qsizetype(m_back),
                              m_v.begin());
                    m_back -= m_front;
                    m_front = 0;
                } else {
                    m_j.push_back(0);
                    m_v.push_back(0);
                }
            }
            m_j[m_back] = j;
            m_v[m_back++] = v;
        }
        void dropBefore(qint64 j) {
            while (m_front < m_back && m_j[m_front] < j)
                ++m_front;
        }
        bool empty() const { return m_front == m_back; }
        double front() const { return m_v[m_front]; }

    private:
        std::vector<qint64> m_j;
        std::vector<double> m_v;
        size_t m_front = 0, m_back = 0;
    };
    qint64 m_range;
    Queue m_lows, m_highs;
};

// The same where the range covers every count of a class: the extremes of all pushed so far.
class RunningExtremes {
public:
    void restart() {
        m_low = HUGE_VAL;
        m_high = -HUGE_VAL;
    }
    void push(qint64, double low, double high) {
        m_low = std::min(m_low, low);
        m_high = std::max(m_high, high);
    }
    std::pair<double, double> at(qint64) const { return {m_low, m_high}; }

private:
    double m_low = HUGE_VAL, m_high = -HUGE_VAL;
};

// Along each residue class modulo k, each entry takes the extremes of the entries of the counts
// before it, each less the errors of the pieces that lead to it. In double, which is fast: each
// stored error is moved outwards by more than the few roundings on its way.
template <typename Extremes, typename Entries>
bool slideClasses(Entries& entries, qint64 k, double error, Extremes extremes,
                  const std::atomic<bool>* cancel) {
    const qint64 size = qint64(entries.size());
    qint64 visited = 0;
    for (qint64 rho = 0; rho < std::min(k, size); ++rho) {
        extremes.restart();
        for (qint64 j = 0, index = rho; index < size; ++j, index += k) {
            if ((++visited & 0xFFFF) == 0 && cancelled(cancel))
                return false;
            const double je = double(j) * error;
            auto& x = entries[size_t(index)];
            if (x.low <= x.high)
                extremes.push(j, double(x.low) - je, double(x.high) - je);
            const auto [low, high] = extremes.at(j);
            const bool any = low <= high;
            x.low = any ? down(low + je - outwards(low, je)) : HUGE_VALF;
            x.high = any ? up(high + je + outwards(high, je)) : -HUGE_VALF;
        }
    }
    return true;
}

} // namespace

// Every index takes the least and the greatest error over the counts 0..range of the new type:
// along each residue class modulo k, a sliding minimum (and maximum) over the last range + 1
// entries, or the running one where the range covers every count of a class.
bool IndexTable::addType(qint64 k, long double e, qint64 range, const std::atomic<bool>* cancel) {
    if (k <= 0 || range <= 0)
        return true;
    if (range >= (size() - 1) / k)
        return slideClasses(m_errors, k, double(e), RunningExtremes(), cancel);
    return slideClasses(m_errors, k, double(e), SlidingExtremes(range), cancel);
}

void IndexTable::finish(bool complete) {
    m_complete = complete;
    const size_t blocks = (m_errors.size() + Block - 1) / Block;
    m_blockLow.assign(blocks, HUGE_VALF);
    m_blockHigh.assign(blocks, -HUGE_VALF);
    m_present.assign(blocks, 0);
    m_reachUpTo.assign(blocks, -Inf);
    m_superLow.assign((blocks + Blocks - 1) / Blocks, HUGE_VALF);
    m_superHigh.assign(m_superLow.size(), -HUGE_VALF);
    m_lowest = Inf;
    m_highest = -Inf;
    long double reach = -Inf;
    const double step = double(m_step);
    for (size_t b = 0; b < blocks; ++b) {
        const size_t first = b * Block, end = std::min(m_errors.size(), (b + 1) * Block);
        // The largest sum of the block, estimated in double within a few units in the last place
        // of the largest magnitude; only the indices whose estimate comes near the largest one
        // are summed exactly.
        double largest = -HUGE_VAL, magnitude = 0;
        for (size_t i = first; i < end; ++i) {
            const Errors x = m_errors[i];
            m_blockLow[b] = std::min(m_blockLow[b], x.low);
            m_blockHigh[b] = std::max(m_blockHigh[b], x.high);
            if (x.low <= x.high) {
                m_present[b] |= quint64(1) << (i - first);
                const double base = double(i) * step;
                largest = std::max(largest, base + double(x.high));
                magnitude = std::max(magnitude, std::fabs(base) + std::fabs(double(x.high)));
            }
        }
        const double near = largest - 2 * magnitude * 0x1p-50;
        const bool every = !(near > -HUGE_VAL);
        for (size_t i = first; i < end && largest > -HUGE_VAL; ++i) {
            const Errors x = m_errors[i];
            if (x.low <= x.high && (every || double(i) * step + double(x.high) >= near)) {
                const long double base = static_cast<long double>(i) * m_step;
                reach = std::max(reach, base + x.high + slack(base, x.high));
            }
        }
        m_lowest = std::min<long double>(m_lowest, m_blockLow[b]);
        m_highest = std::max<long double>(m_highest, m_blockHigh[b]);
        m_superLow[b / Blocks] = std::min(m_superLow[b / Blocks], m_blockLow[b]);
        m_superHigh[b / Blocks] = std::max(m_superHigh[b / Blocks], m_blockHigh[b]);
        m_reachUpTo[b] = reach;
    }
}

// From the largest index whose sums may lie at or below top, down through the blocks while an
// index below may still give a larger sum than the best found.
long double IndexTable::largestNotAbove(long double top) const {
    if (!(m_lowest < Inf))
        return -Inf;
    // Estimates in double, two indices generous: every index they pass over is checked exactly.
    const double step = double(m_step);
    const double start = (double(top) - double(m_lowest)) / step + 2;
    if (start < 0)
        return -Inf;
    qint64 k = size() - 1;
    if (start < double(k))
        k = qint64(start);
    else if (!m_complete)
        return NAN;
    long double best = -Inf;
    for (int blocks = 0; k >= 0; ++blocks) {
        const size_t b = size_t(k) / Block;
        if (m_reachUpTo[b] < best)
            break;
        if (blocks == ScanLimit)
            return std::max(best, std::min(top, m_reachUpTo[b]));
        const long double low = m_blockLow[b], high = m_blockHigh[b];
        const qint64 first = qint64(b * Block);
        const double last = (double(top) - double(low)) / step + 2;
        if (last < double(k))
            k = last < double(first) ? first - 1 : qint64(last);
        // The indices of the block up to k that some sum has, from the largest down.
        const int shift = int(Block) - 1 - int(k - first);
        for (quint64 present = k < first ? 0 : m_present[b] << shift >> shift; present != 0;) {
            const int bit = 63 - __builtin_clzll(present);
            present &= ~(quint64(1) << bit);
            k = first + bit;
            const long double base = static_cast<long double>(k) * m_step;
            if (base + high + slack(base, high) < best)
                break;
            const Errors x = m_errors[size_t(k)];
            if (base + x.low - slack(base, x.low) > top)
                continue;
            best = std::max(best, std::min(top, base + x.high + slack(base, x.high)));
        }
        k = first - 1;
    }
    return best;
}

// The least and greatest error over the blocks that hold indices first..last.
std::pair<float, float> IndexTable::envelope(qint64 first, qint64 last) const {
    float low = HUGE_VALF, high = -HUGE_VALF;
    for (qint64 b = first / qint64(Block), end = last / qint64(Block); b <= end;) {
        if (b % qint64(Blocks) == 0 && b + qint64(Blocks) - 1 <= end) {
            low = std::min(low, m_superLow[size_t(b) / Blocks]);
            high = std::max(high, m_superHigh[size_t(b) / Blocks]);
            b += qint64(Blocks);
        } else {
            low = std::min(low, m_blockLow[size_t(b)]);
            high = std::max(high, m_blockHigh[size_t(b)]);
            ++b;
        }
    }
    return {low, high};
}

qint64 IndexTable::firstMeeting(long double bottom, long double top, long double slide,
                                qint64 most) const {
    if (!(m_lowest < Inf))
        return most + 1;
    const IndexErrors errors{double(m_step), size() - 1, m_complete, double(m_lowest),
                             double(m_highest)};
    return firstMeetingOf(errors, bottom, top, slide, most,
                          [this](qint64 first, qint64 last) -> std::pair<double, double> {
                              return envelope(first, last);
                          });
}

} // namespace Kern::SearchDetail
