// Every total must be rounded exactly as "sum += count * length" is without fused multiply-add,
// here and in whoever checks the results; a build for a processor with FMA would otherwise fuse
// some of the products and sums and not others. (Before any include, so that all code of this
// file is compiled alike and inlines freely.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("fp-contract=off")
#elif defined(__clang__)
#pragma clang fp contract(off)
#endif

#include "search.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <numeric>
#include <tuple>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace Kern {

double WindowLow(const SearchRequest& request) {
    const double offset = -(request.shortfallTenths / 10.0) - 0.05;
    return request.routeLength + offset;
}

double WindowHigh(const SearchRequest& request) {
    const double offset = request.excessTenths / 10.0 + 0.05;
    return request.routeLength + offset;
}

namespace {

// How the search works
//
// The plain odometer examines every count vector whose total stays below the upper bound; with
// ten types and a route of a few metres that is hundreds of millions of vectors for a handful of
// hits. The walk here produces exactly the vectors the odometer records, in its order, but only
// enters a branch of the count vector when a vector in the window can still lie beneath it.
//
// Totals are sums in type order, P_t = P_(t-1) + count_t * length_t, each step rounded to
// double. Rounded addition and multiplication are monotone, so for fixed counts of the slower
// types the set of prefix sums P_(t-1) that still end inside [lo, hi] is an interval of doubles,
// and it can be found exactly by searching over the doubles themselves. The walk passes these
// exact intervals down; whether a vector is recorded is never decided by anything but the double
// arithmetic of the total. The fastest type's counts in an interval are found directly.
//
// Whether any prefix of the faster types can land in such an interval is judged by bounds that
// may only err towards "maybe": the counts' least and largest sums; bands of piece counts for
// nearly equal lengths; a grid of the lengths in whole steps of their common decimal unit
// (divided by their greatest common divisor), or of a coarser unit, whose distance from the
// double sums is carried along (and is nil where the doubles add up exactly); modular arithmetic
// for the first two types on that grid; and, once the walk has wasted about as much work as they
// cost, per prefix a bit table of the reachable grid sums that answers "largest reachable sum not
// above x". Counts of a place whose window cannot be reached are skipped in one jump where the
// bounds tell how far, and by galloping probes of the same exact walk where they do not.

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr quint64 InfBits = Q_UINT64_C(0x7FF0000000000000);

// Bit tables beyond this size (all prefixes together) cost more to build than they save.
constexpr qint64 TableMemoryCap = qint64(40) << 20;
// Word operations of table building that cost about as much as one step of the walk, and what
// first writing fresh memory costs per word, in such operations.
constexpr long double WordOpsPerStep = 64.0L;
constexpr long double FreshWordOps = 4.0L;
// Prefixes with at most this many count combinations can have their sums listed outright.
constexpr long double MaxListedSums = 1 << 20;
// Grid sums are not trusted to exact decimals beyond this.
constexpr int MaxDecimals = 9;

quint64 bitsOf(double x) {
    quint64 b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

double fromBits(quint64 b) {
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

// Estimates may be NaN, infinite or far outside the range; casting those would be undefined.
qint64 clampCount(double x, qint64 lo, qint64 hi) {
    if (!(x > double(lo)))
        return lo;
    if (!(x < double(hi)))
        return hi;
    return qint64(x);
}

double roundUp(long double v) {
    double d = double(v);
    if (static_cast<long double>(d) < v)
        d = std::nextafter(d, Inf);
    return d;
}

double roundDown(long double v) {
    double d = double(v);
    if (static_cast<long double>(d) > v)
        d = std::nextafter(d, -Inf);
    return d;
}

// floor(x * num) and ceil(x * num) exactly, for finite x and 0 < num < 2^31; the result must
// stay below 2^100 in size.
__int128 floorTimes(double x, qint64 num) {
    if (x == 0)
        return 0;
    int e;
    const double f = std::frexp(x, &e);
    const __int128 v = __int128(qint64(std::ldexp(f, 53))) * num; // x * num = v * 2^(e - 53)
    e -= 53;
    if (e >= 0)
        return v << e;
    return -e >= 127 ? (v < 0 ? -1 : 0) : v >> -e; // the shift rounds towards minus infinity
}

__int128 ceilTimes(double x, qint64 num) {
    return -floorTimes(-x, num);
}

__int128 floorDiv(__int128 a, qint64 b) {
    const __int128 q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// First value in [lo, hi] for which pred holds, pred being false and then true over the range;
// hi + 1 when it never holds. The search gallops out from the guess, so a good guess costs two
// or three calls of pred.
template <typename T, typename Pred> T firstTrue(T lo, T hi, T guess, Pred pred) {
    if (lo > hi)
        return hi + 1;
    guess = std::clamp(guess, lo, hi);
    T no, yes; // pred(no) is false, pred(yes) true, the answer lies in (no, yes]
    if (pred(guess)) {
        yes = guess;
        T step = 1;
        for (;;) {
            if (yes == lo)
                return lo;
            const T cand = yes - lo > step ? yes - step : lo;
            if (!pred(cand)) {
                no = cand;
                break;
            }
            yes = cand;
            step *= 2;
        }
    } else {
        no = guess;
        T step = 1;
        for (;;) {
            if (no == hi)
                return hi + 1;
            const T cand = hi - no > step ? no + step : hi;
            if (pred(cand)) {
                yes = cand;
                break;
            }
            no = cand;
            step *= 2;
        }
    }
    while (yes - no > 1) {
        const T mid = no + (yes - no) / 2;
        if (pred(mid))
            yes = mid;
        else
            no = mid;
    }
    return yes;
}

// Smallest x >= 0 with l <= (a * x) mod m <= r, for 0 <= a < m and 0 <= l <= r < m; -1 if
// there is none. Euclid's reduction on (a, m): when no multiple of a lies in [l, r], the
// wrap-arounds y of a * x - m * y follow the same question for (m mod a, a).
qint64 firstModular(qint64 a, qint64 m, qint64 l, qint64 r) {
    if (l == 0)
        return 0;
    if (a == 0)
        return -1;
    const qint64 k = (l + a - 1) / a;
    if (a * k <= r) // a * k < l + a < 2m
        return k;
    const qint64 y = firstModular(m % a, a, (a - r % a) % a, (a - l % a) % a);
    if (y < 0)
        return -1;
    qint64 my;
    if (!__builtin_mul_overflow(m, y, &my) && my <= std::numeric_limits<qint64>::max() - m)
        return (my + l + a - 1) / a;
    return qint64((__int128(m) * y + l + a - 1) / a);
}

// The reachable grid sums of one prefix of types, with "largest member not above x" queries.
// A summary bit per word keeps those queries short where the table is sparse.
class ReachTable {
public:
    // The words live in the walk's arena; their content is set by zero() or a moving shift().
    ReachTable(quint64* words, qint64 bits)
        : m_bits(bits), m_count(size_t((bits + 63) / 64)), m_words(words) {}

    static size_t words(qint64 bits) { return size_t((bits + 63) / 64); }
    void zero() { std::fill(m_words, m_words + m_count, 0); }

    qint64 bits() const { return m_bits; }
    void set(qint64 x) { m_words[size_t(x >> 6)] |= quint64(1) << (x & 63); }

    // this = from << k, or this |= this << k when from is this table itself; bits above the
    // end fall away. Words are written from the top down and each reads only words below it,
    // which are still unchanged (also within one vector step, as all loads precede the stores).
    void shift(const ReachTable& from, qint64 k) {
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
        const size_t n = count - ws - 1; // words above ws
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

    void finish() {
        if (m_bits & 63)
            m_words[m_count - 1] &= (quint64(1) << (m_bits & 63)) - 1;
        m_summary.assign((m_count + 63) / 64, 0);
        for (size_t w = 0; w < m_count; ++w)
            if (m_words[w])
                m_summary[w >> 6] |= quint64(1) << (w & 63);
    }

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

private:
    qint64 m_bits;
    size_t m_count;
    quint64* m_words;
    std::vector<quint64> m_summary;
};

// Lengths as whole steps of one unit, with the bound on how far a grid sum of a prefix can lie
// from the double prefix sum for any counts that keep the total below the upper bound. Set up in
// long double; the walk's queries run in double with a relative slack that covers their own
// rounding.
struct Grid {
    bool valid = false;
    long double scale = 0; // steps per mm
    std::array<qint64, MaxTypes> steps{};
    std::array<long double, MaxTypes + 1> error{};  // per prefix length, in mm
    std::array<qint64, MaxTypes + 1> divisor{};     // gcd of the prefix's steps (0: all zero)
    std::array<long double, MaxTypes + 1> lowest{}; // grid sum of the prefix's minimums

    // Exact decimals with exact arithmetic: for a prefix marked exact, every length is a whole
    // number of steps of den / pow10 mm and a binary fraction, and every sum up to the upper
    // bound is representable, so the double prefix sums are the grid sums themselves. Window
    // edges then fall on the right side of a grid sum however close they come.
    qint64 pow10 = 0, den = 1;
    std::array<bool, MaxTypes + 1> exact{};

    double scaleD = 0;
    double unitD = 0; // 1 / scale, rounded
    std::array<double, MaxTypes + 1> errorD{};
    std::array<double, MaxTypes + 1> lowestD{};

    void finishSetup() {
        scaleD = double(scale);
        unitD = double(1 / scale);
        for (size_t t = 0; t < errorD.size(); ++t) {
            errorD[t] = roundUp(error[t]);
            lowestD[t] = roundDown(lowest[t]);
        }
    }

    // The widest range of steps a double prefix sum of t types in [lo, hi] mm can stand for.
    double stepsAbove(int t, double mm) const {
        if (exact[t])
            return double(floorDiv(floorTimes(mm, pow10), den));
        const double x = (mm + errorD[t]) * scaleD;
        return std::floor(x + 1e-6 + std::fabs(x) * 0x1p-48);
    }
    double stepsBelow(int t, double mm) const {
        if (exact[t])
            return double(-floorDiv(-ceilTimes(mm, pow10), den));
        const double x = (mm - errorD[t]) * scaleD;
        return std::ceil(x - 1e-6 - std::fabs(x) * 0x1p-48);
    }
    // The largest double prefix sum a grid sum of x steps can stand for.
    double upperMm(int t, qint64 x) const {
        if (exact[t]) {
            // The least double not below x * den / pow10 (below 2^53 / pow10 by construction).
            const qint64 n = x * den;
            double y = double(n) / double(pow10);
            if (floorTimes(y, pow10) < n)
                y = std::nextafter(y, Inf);
            return y;
        }
        const double y = double(x) * unitD + errorD[t];
        return y + std::fabs(y) * 0x1p-48 + 0x1p-1000;
    }
};

// The words of all tables of one walk, in one block. Fresh memory is paid for page by page
// when first written: where the system offers large pages, a large block asks for them, and a
// block of moderate size is kept for the next walk on the same thread (the next press of the
// start button usually repeats a similar search).
class TableArena {
public:
    TableArena() = default;
    TableArena(const TableArena&) = delete;
    TableArena& operator=(const TableArena&) = delete;
    ~TableArena() {
        if (m_words && m_capacity <= KeptWords) {
            Spare& spare = spareBlock();
            std::free(spare.words);
            spare = {m_words, m_capacity};
        } else {
            std::free(m_words);
        }
    }

    // Null when the memory is not to be had.
    quint64* acquire(size_t words) {
        Spare& spare = spareBlock();
        if (spare.words && spare.capacity >= words) {
            m_words = spare.words;
            m_capacity = spare.capacity;
            spare = {};
            return m_words;
        }
        constexpr size_t LargePage = size_t(2) << 20;
        const size_t bytes = words * sizeof(quint64);
        if (bytes < LargePage) {
            m_words = static_cast<quint64*>(std::malloc(bytes));
            m_capacity = words;
            return m_words;
        }
        const size_t rounded = (bytes + LargePage - 1) / LargePage * LargePage;
        m_words = static_cast<quint64*>(std::aligned_alloc(LargePage, rounded));
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        if (m_words)
            madvise(m_words, rounded, MADV_HUGEPAGE);
#endif
        m_capacity = rounded / sizeof(quint64);
        return m_words;
    }

private:
    static constexpr size_t KeptWords = (size_t(8) << 20) / sizeof(quint64);
    struct Spare {
        quint64* words = nullptr;
        size_t capacity = 0;
    };
    struct SpareHolder {
        Spare spare;
        ~SpareHolder() { std::free(spare.words); }
    };
    static Spare& spareBlock() {
        thread_local SpareHolder holder;
        return holder.spare;
    }

    quint64* m_words = nullptr;
    size_t m_capacity = 0;
};

class Walker {
public:
    Walker(const SearchRequest& request, std::vector<FoundCombination>& out)
        : m_req(request), m_out(out), m_n(int(request.types.size())), m_lo(WindowLow(request)),
          m_hi(WindowHigh(request)), m_remaining(request.limit) {
        for (int t = 0; t < m_n; ++t) {
            m_len[t] = m_req.types[t].length;
            m_min[t] = m_req.types[t].minimum;
            m_max[t] = m_req.types[t].maximum;
        }
        for (int t = 0; t < m_n; ++t)
            m_pMin[t + 1] = m_pMin[t] + product(t, m_min[t]);
    }

    void run() {
        if (m_n == 0 || m_req.limit <= 0) {
            // The loop body runs once: only the starting vector is examined.
            m_cur = m_min;
            if (m_lo <= m_pMin[m_n] && m_pMin[m_n] <= m_hi)
                emit();
            return;
        }
        if (!(m_pMin[m_n] <= m_hi))
            return;
        // No vector that stays within hi has more of a type than its product allows, so the
        // prefix sums of those counts bound all that matters from above.
        for (int t = 0; t < m_n; ++t) {
            const double guess = m_len[t] > 0 ? m_hi / m_len[t] + 1 : double(m_max[t]);
            m_usable[t] = firstTrue(m_min[t], m_max[t], clampCount(guess, m_min[t], m_max[t]),
                                    [&](qint64 c) { return product(t, c) > m_hi; }) -
                          1;
            m_pMax[t + 1] = m_pMax[t] + product(t, m_usable[t]);
        }
        if (!(m_lo <= m_pMax[m_n]))
            return;
        prepareGrids();
        walk(m_n, m_lo, m_hi);
    }

private:
    double product(int t, qint64 count) const { return double(count) * m_len[t]; }

    void finishRow(FoundCombination& f) const {
        double s = 0.0;
        __int128 price = 0;
        f.pieces = 0;
        for (int t = 0; t < m_n; ++t) {
            s += product(t, f.counts[t]);
            f.pieces += f.counts[t];
            price += __int128(f.counts[t]) * m_req.types[t].priceTenThousandths;
        }
        f.total = s;
        f.deviation = s - m_req.routeLength;
        f.totalPrice = double(price) / 10000.0;
        Q_ASSERT(m_lo <= s && s <= m_hi);
    }

    void emit() {
        if (m_out.empty()) // the caller's limit is at most a few thousand rows
            m_out.reserve(size_t(std::clamp<qint64>(m_remaining, 1, 4096)));
        FoundCombination f;
        std::copy(m_cur.begin(), m_cur.begin() + m_n, f.counts.begin());
        finishRow(f);
        m_out.push_back(f);
        --m_remaining;
    }

    // Smallest prefix sum P >= 0 with P + q >= plo, and largest with P + q <= phi (-Inf if none),
    // both in double arithmetic.
    static double lowerEnd(double plo, double q) {
        if (0.0 + q >= plo)
            return 0.0;
        const quint64 b = firstTrue<quint64>(0, InfBits, bitsOf(plo - q),
                                             [&](quint64 x) { return fromBits(x) + q >= plo; });
        return fromBits(b);
    }
    static double upperEnd(double phi, double q) {
        if (!(0.0 + q <= phi))
            return -Inf;
        const double guess = phi - q;
        const quint64 b = firstTrue<quint64>(0, InfBits, guess > 0 ? bitsOf(guess) : 0,
                                             [&](quint64 x) { return fromBits(x) + q > phi; });
        return fromBits(b - 1);
    }

    void prepareGrids();
    void buildTables(int upTo);
    void buildLists(int upTo);
    void noteMissed(int t, qint64 steps);
    bool fillGrid(Grid& grid, long double scale, int types) const;
    void markExact(Grid& g) const;
    double reachBelow(int t, double a, double b) const;
    qint64 pairNext(qint64 from, qint64 to, double A, double B) const;
    qint64 modularNext(qint64 from, qint64 cb, double plo, double phi) const;
    bool pairReaches(double a, double b) const;
    bool leaf(double plo, double phi);
    bool walk(int t, double plo, double phi);

    // Whether the first t types reach a prefix sum in [plo, phi], by the same walk without
    // recording anything.
    bool probe(int t, double plo, double phi) {
        const bool outer = m_probing;
        m_probing = true;
        const bool found = walk(t, plo, phi);
        m_probing = outer;
        return found;
    }

    const SearchRequest& m_req;
    std::vector<FoundCombination>& m_out;
    const int m_n;
    const double m_lo;
    const double m_hi;
    qint64 m_remaining;
    bool m_probing = false;
    std::array<double, MaxTypes> m_len{};
    std::array<qint64, MaxTypes> m_min{};
    std::array<qint64, MaxTypes> m_max{};
    std::array<qint64, MaxTypes> m_usable{};   // largest count whose product stays within hi
    std::array<double, MaxTypes + 1> m_pMin{}; // prefix sums at the minimums / usable counts
    std::array<double, MaxTypes + 1> m_pMax{};
    std::array<qint64, MaxTypes> m_cur{};
    // Nearly equal lengths: a prefix sum of m pieces (of non-zero length) lies between m times
    // the shortest and m times the longest length, bands that stay apart up to the route.
    struct Bands {
        bool apart = false;
        double shortest = 0, longest = 0, fewest = 0, most = 0;
    };
    std::array<Bands, MaxTypes + 1> m_bands{};
    Grid m_lattice;  // exact decimal grid: divisor and lowest-sum checks
    Grid m_pairGrid; // for stepping the second type's count
    Grid m_tableGrid;
    // Tables are planned for the prefixes 2..m_tablesPlanned and built up to m_tablesBuilt.
    int m_tablesPlanned = 0;
    bool m_tablesOnLattice = false;
    int m_tablesBuilt = 1;
    qint64 m_tableBits = 0;
    std::array<qint64, MaxTypes + 1> m_tableCost{}; // in walk steps, per prefix length
    std::array<qint64, MaxTypes + 1> m_wasted{}; // walk steps under fruitless descents, per level
    qint64 m_steps = 0;
    std::array<std::unique_ptr<ReachTable>, MaxTypes + 1> m_tables; // per prefix length
    // The prefix sums themselves, sorted, for prefixes 2..m_listsBuilt (planned up to
    // m_listsPlanned): exact answers where the count combinations are few.
    std::array<std::vector<double>, MaxTypes + 1> m_lists;
    int m_listsPlanned = 0;
    int m_listsBuilt = 1;
    std::array<qint64, MaxTypes + 1> m_listCost{}; // in walk steps, per prefix length
    std::array<qint64, MaxTypes + 1> m_missed{};   // walk steps that a list would spare, per level
    TableArena m_arena;                            // words of all tables, slot 0 for one type
    quint64* m_words = nullptr;
};

// Rounds the lengths of the first `types` types to steps of 1 / scale mm.
bool Walker::fillGrid(Grid& grid, long double scale, int types) const {
    grid = Grid();
    grid.scale = scale;
    long double spread = 0; // sum over the types of usable count x rounding error, in mm
    for (int t = 0; t < types; ++t) {
        long double err = 0;
        if (m_usable[t] > 0 && m_len[t] > 0) {
            const long double s = m_len[t] * scale;
            if (!(s < 0x1p60L))
                return false;
            grid.steps[t] = std::llround(s);
            err = std::fabs(m_len[t] - grid.steps[t] / scale) + m_len[t] * 0x1p-60L;
        }
        spread += m_usable[t] * err * (1 + 0x1p-30L);
        // Rounding of the products and sums of t + 1 terms, relative to totals up to hi.
        grid.error[t + 1] = spread + (t + 4) * 0x1p-52L * m_hi + (t + 2) * 0x1p-1000L;
    }
    grid.valid = true;
    return true;
}

void Walker::markExact(Grid& g) const {
    // Steps up to the upper bound must be exact doubles for the conversions to be exact.
    if (!(m_hi * static_cast<long double>(g.pow10) < 0x1p53L))
        return;
    int finest = 1100; // binary exponent of the finest fraction among the lengths so far
    g.exact[0] = true;
    for (int t = 0; t < m_n; ++t) {
        bool ok = g.exact[t];
        if (ok && m_usable[t] > 0 && m_len[t] > 0) {
            // A whole number of steps, exactly ...
            const __int128 whole = __int128(g.steps[t]) * g.den;
            ok = floorTimes(m_len[t], g.pow10) == whole && ceilTimes(m_len[t], g.pow10) == whole;
            // ... and a binary fraction such that all sums up to hi are representable.
            int e;
            const double f = std::frexp(m_len[t], &e);
            qint64 mant = qint64(std::ldexp(f, 53));
            e -= 53;
            while (mant % 2 == 0) {
                mant /= 2;
                ++e;
            }
            finest = std::min(finest, e);
            ok = ok && m_hi < std::ldexp(1.0, 53 + finest);
        }
        g.exact[t + 1] = ok;
        if (ok)
            g.error[t + 1] = 0;
    }
}

void Walker::prepareGrids() {
    // How many sums a list can hold: a type of length 0 adds nothing to them, and one whose
    // pieces all together vanish in the rounding of any sum of the types before it adds its own
    // sums to the sum 0 and leaves the others as they are.
    long double sums = 1;
    double shortest = Inf; // shortest length that can occur so far
    for (int t = 0; t + 1 < m_n; ++t) {
        const long double counts = static_cast<long double>(m_usable[t] - m_min[t]) + 1;
        if (m_len[t] != 0) {
            if (shortest + product(t, m_usable[t]) == shortest)
                sums += counts;
            else
                sums *= counts;
        }
        if (m_len[t] > 0 && m_usable[t] > 0)
            shortest = std::min(shortest, m_len[t]);
        if (t == 0)
            continue;
        if (sums > MaxListedSums)
            break;
        m_listsPlanned = t + 1;
        m_listCost[t + 1] = qint64(sums * (std::log2(sums) + 2) / 16) + 1;
    }

    Bands band;
    band.shortest = Inf;
    for (int t = 0; t < m_n; ++t) {
        if (m_len[t] > 0 && m_usable[t] > 0) {
            band.shortest = std::min(band.shortest, m_len[t]);
            band.longest = std::max(band.longest, m_len[t]);
            band.fewest += double(m_min[t]);
            band.most += double(m_usable[t]);
        }
        band.apart = band.shortest > 1e-290 && band.longest < Inf &&
                     (band.longest - band.shortest) * (band.most + 1) < band.shortest * 0.5;
        m_bands[t + 1] = band;
    }

    // Exact decimals: the fewest decimals on which every length lies, up to a sliver that
    // stays within the window (with a billion pieces even the lengths' own rounding adds up).
    const long double sliver = std::max<long double>(static_cast<long double>(m_hi) - m_lo,
                                                     4 * (std::nextafter(m_hi, Inf) - m_hi));
    long double scale = 1;
    qint64 pow10 = 1;
    for (int d = 0; d <= MaxDecimals && m_hi * scale < 0x1p61L; ++d, scale *= 10, pow10 *= 10) {
        Grid g;
        if (!fillGrid(g, scale, m_n))
            break;
        const long double spread = g.error[m_n] - (m_n + 3) * 0x1p-52L * m_hi;
        if (spread > std::max(1e-3L / scale, sliver))
            continue;
        qint64 divisor = 0;
        for (int t = 0; t < m_n; ++t)
            divisor = std::gcd(divisor, g.steps[t]);
        g.pow10 = pow10;
        g.den = std::max<qint64>(divisor, 1);
        if (divisor > 1) {
            g.scale /= divisor;
            for (int t = 0; t < m_n; ++t)
                g.steps[t] /= divisor;
        }
        markExact(g);
        m_lattice = g;
        break;
    }
    if (m_lattice.valid) {
        Grid& g = m_lattice;
        for (int t = 0; t < m_n; ++t) {
            g.divisor[t + 1] = std::gcd(g.divisor[t], g.steps[t]);
            g.lowest[t + 1] = g.lowest[t] + static_cast<long double>(m_min[t]) * g.steps[t];
        }
        g.finishSetup();
    }

    // Stepping through the second type's counts needs a grid for the first two types only; where
    // the lengths have no exact decimals, one fine enough that its band is a fraction of the
    // window does.
    if (m_lattice.valid) {
        m_pairGrid = m_lattice;
    } else if (m_n >= 2) {
        const long double unit =
            (m_hi - m_lo) / (8 * (1 + static_cast<long double>(m_usable[0]) + m_usable[1]));
        if (unit > 0 && m_hi / unit < 0x1p52L && fillGrid(m_pairGrid, 1 / unit, 2))
            m_pairGrid.finishSetup();
        else
            m_pairGrid = Grid();
    }

    // Tables for the prefixes of 2 .. n - 1 types (the last type is walked, the first solved).
    const int tables = m_n - 2;
    if (tables < 1 || !(m_hi > 0))
        return;
    const long double capBits = static_cast<long double>(TableMemoryCap) * 8 / tables;
    Grid grid;
    int upTo = 1;
    if (m_lattice.valid && (m_hi + m_lattice.error[m_n]) * m_lattice.scale + 2 <= capBits) {
        grid = m_lattice;
        upTo = m_n - 1;
        m_tablesOnLattice = true; // a table then says all the lattice would, and more
    } else {
        // Rounded to a coarse unit, every piece strays by up to half a unit, and a length far
        // below the unit by all of itself. The coarsest unit whose band stays within the window
        // for as many prefixes as the finest affordable unit allows is good enough.
        const long double window = static_cast<long double>(m_hi) - m_lo;
        const long double finest = m_hi * (1 + 0x1p-20L) / (capBits - 64);
        for (long double unit = window;; unit /= 2) {
            unit = std::max(unit, finest);
            Grid candidate;
            if (!(unit > 0) || !fillGrid(candidate, 1 / unit, m_n))
                break;
            int reach = 1;
            while (reach + 1 <= m_n - 1 && candidate.error[reach + 1] <= window)
                ++reach;
            if (reach > upTo) {
                upTo = reach;
                grid = candidate;
            }
            if (unit == finest || upTo == m_n - 1)
                break;
        }
    }
    if (upTo < 2)
        return;
    m_tableGrid = grid;
    m_tableGrid.finishSetup();
    m_tablesPlanned = upTo;
    // A table is built only once descents that it would have ruled out have cost the walk about
    // as much as building it: a walk that ends quickly is not held up, nor one that the tables
    // would not help.
    const long double bits = (m_hi + grid.error[upTo]) * grid.scale + 2;
    m_tableBits = qint64(bits);
    for (int t = 2; t <= upTo; ++t) {
        const long double passes =
            (t == 2 ? 2 : 1) * (1 + FreshWordOps) +
            std::log2(static_cast<long double>(m_usable[t - 1] - m_min[t - 1]) + 1);
        m_tableCost[t] = qint64(std::min<long double>(bits / 64 * passes / WordOpsPerStep, 1e15L));
    }
}

void Walker::buildTables(int upTo) {
    const Grid& grid = m_tableGrid;
    const qint64 bits = m_tableBits;
    const size_t slot = (ReachTable::words(bits) + 7) / 8 * 8;
    if (!m_words) {
        m_words = m_arena.acquire(slot * size_t(m_tablesPlanned));
        if (!m_words) { // no memory for them: walk on without
            m_tablesPlanned = 0;
            return;
        }
    }
    // One type: its multiples; every further type moves the table up by its minimum and widens
    // it by its count range, doubling the covered range per pass.
    std::unique_ptr<ReachTable> first;
    const ReachTable* previous = m_tables[m_tablesBuilt].get();
    if (!previous) {
        first = std::make_unique<ReachTable>(m_words, bits);
        first->zero();
        const qint64 l0 = grid.steps[0];
        for (qint64 c = m_min[0]; c <= m_usable[0]; ++c) {
            const __int128 x = __int128(c) * l0;
            if (x >= bits)
                break;
            first->set(qint64(x));
            if (l0 == 0)
                break;
        }
        previous = first.get();
    }
    for (int t = m_tablesBuilt; t < upTo; ++t) {
        const qint64 l = grid.steps[t];
        const __int128 base = __int128(m_min[t]) * l;
        auto table = std::make_unique<ReachTable>(m_words + slot * size_t(t), bits);
        if (base < bits)
            table->shift(*previous, qint64(base));
        else
            table->zero();
        if (l > 0) {
            const qint64 range = m_usable[t] - m_min[t];
            for (qint64 covered = 1; covered <= range;) {
                const qint64 add = std::min(covered, range + 1 - covered);
                if (__int128(add) * l < bits)
                    table->shift(*table, add * l);
                covered += add;
            }
        }
        table->finish();
        m_tables[t + 1] = std::move(table);
        previous = m_tables[t + 1].get();
    }
    m_tablesBuilt = upTo;
}

void Walker::buildLists(int upTo) {
    std::vector<double> first;
    const std::vector<double>* previous = &m_lists[m_listsBuilt];
    if (m_listsBuilt < 2) {
        for (qint64 c = m_min[0]; c <= m_usable[0]; ++c) {
            first.push_back(0.0 + product(0, c));
            if (m_len[0] == 0)
                break;
        }
        previous = &first;
    }
    for (int t = std::max(m_listsBuilt, 1); t < upTo; ++t) {
        std::vector<double> sums;
        if (m_len[t] == 0) {
            sums = *previous;
        } else {
            for (const double x : *previous) {
                if (x + product(t, m_usable[t]) == x) { // vanishes in the rounding
                    sums.push_back(x);
                    continue;
                }
                for (qint64 c = m_min[t]; c <= m_usable[t]; ++c) {
                    const double sum = x + product(t, c);
                    if (sum > m_hi) // no window reaches beyond hi
                        break;
                    sums.push_back(sum);
                }
                if (sums.size() > size_t(4 * MaxListedSums)) { // not the few the plan expected
                    m_listsBuilt = std::max(m_listsBuilt, t);
                    m_listsPlanned = m_listsBuilt;
                    return;
                }
            }
            std::sort(sums.begin(), sums.end());
            sums.erase(std::unique(sums.begin(), sums.end()), sums.end());
        }
        m_lists[t + 1] = std::move(sums);
        previous = &m_lists[t + 1];
    }
    m_listsBuilt = upTo;
}

// Steps at level t that a list of the first t - 1 types' sums would have spared; the lists are
// made once these have cost about as much as making them.
void Walker::noteMissed(int t, qint64 steps) {
    if (t - 1 <= m_listsBuilt || t - 1 > m_listsPlanned)
        return;
    m_missed[t] += steps;
    qint64 cost = 0;
    for (int k = m_listsBuilt + 1; k < t; ++k)
        cost += m_listCost[k];
    if (m_missed[t] > cost)
        buildLists(t - 1);
}

// An upper bound on the largest prefix sum of the first t types that is reachable and not
// above b; -Inf when no reachable prefix sum is that small. A result below a says that none lies
// in [a, b].
double Walker::reachBelow(int t, double a, double b) const {
    if (t == 1) {
        const double guess = m_len[0] > 0 ? b / m_len[0] + 1 : double(m_min[0]);
        const qint64 c = firstTrue(m_min[0], m_usable[0], clampCount(guess, m_min[0], m_usable[0]),
                                   [&](qint64 v) { return 0.0 + product(0, v) > b; }) -
                         1;
        return c < m_min[0] ? -Inf : 0.0 + product(0, c);
    }
    if (t <= m_listsBuilt) {
        const std::vector<double>& sums = m_lists[t];
        const auto above = std::upper_bound(sums.begin(), sums.end(), b);
        return above == sums.begin() ? -Inf : *(above - 1);
    }
    double y = b;
    if (const Bands& band = m_bands[t]; band.apart) {
        const double pieces = std::min(std::floor(b / band.shortest * (1 + 0x1p-40)), band.most);
        if (pieces < band.fewest)
            return -Inf;
        y = std::min(y, pieces * band.longest * (1 + 0x1p-40) + 0x1p-1000);
    }
    const ReachTable* table = m_tables[t].get();
    if (m_lattice.valid && !(table && m_tablesOnLattice)) {
        const Grid& g = m_lattice;
        const double top = g.stepsAbove(t, b);
        if (top < g.lowestD[t])
            return -Inf;
        if (top < 0x1p62) {
            const qint64 d = g.divisor[t];
            const qint64 x = d > 1 ? qint64(top) / d * d : d == 1 ? qint64(top) : 0;
            if (double(x) < g.lowestD[t])
                return -Inf;
            y = std::min(y, g.upperMm(t, x));
        }
    }
    if (table) {
        const double top = m_tableGrid.stepsAbove(t, b);
        if (top < 0)
            return -Inf;
        if (top < double(table->bits())) {
            const qint64 x = table->predecessor(qint64(top));
            if (x < 0)
                return -Inf;
            y = std::min(y, m_tableGrid.upperMm(t, x));
        }
    } else if (t == 2 && y >= a && !pairReaches(a, y)) {
        return std::nextafter(a, -Inf);
    }
    return y;
}

// With two types left, the grid sums are c1 * L1 + c2 * L2; the next count c2 >= from for
// which some whole c1 puts the sum into [A, B] (in steps) follows from modular arithmetic.
// Returns to + 1 when no count up to `to` qualifies, from itself when nothing can be ruled out.
qint64 Walker::pairNext(qint64 from, qint64 to, double A, double B) const {
    const Grid& g = m_pairGrid;
    const qint64 l1 = g.steps[0], l2 = g.steps[1];
    if (!g.valid || l1 <= 0 || l2 <= 0 || from > to)
        return from;
    if (B < A)
        return to + 1;
    if (!(B - A < double(l1 - 1)) || !(std::fabs(A) < 0x1p62))
        return from;
    const qint64 lowSteps = qint64(A), width = qint64(B - A);
    // (from * L2 - A + x * L2) mod L1 must lie in [0, width].
    qint64 s, fl2;
    if (!__builtin_mul_overflow(from, l2, &fl2) && !__builtin_sub_overflow(fl2, lowSteps, &s))
        s %= l1;
    else
        s = qint64((__int128(from) * l2 - lowSteps) % l1);
    if (s < 0)
        s += l1;
    const qint64 step = l2 % l1;
    const qint64 rl = (l1 - s) % l1;
    const qint64 rh = rl + width;
    qint64 x;
    if (rh < l1) {
        x = firstModular(step, l1, rl, rh);
    } else {
        const qint64 x1 = firstModular(step, l1, rl, l1 - 1);
        const qint64 x2 = firstModular(step, l1, 0, rh - l1);
        x = x1 < 0 ? x2 : (x2 < 0 ? x1 : std::min(x1, x2));
    }
    if (x < 0 || x > to - from)
        return to + 1;
    return from + x;
}

qint64 Walker::modularNext(qint64 from, qint64 cb, double plo, double phi) const {
    if (!m_pairGrid.valid)
        return from;
    return pairNext(from, cb, m_pairGrid.stepsBelow(2, plo), m_pairGrid.stepsAbove(2, phi));
}

// Whether some counts of the first two types may give a prefix sum in [a, b]; false only when
// none can.
bool Walker::pairReaches(double a, double b) const {
    const Grid& g = m_pairGrid;
    const qint64 l1 = g.steps[0], l2 = g.steps[1];
    if (!g.valid || l1 <= 0 || l2 <= 0)
        return true;
    const double A = g.stepsBelow(2, a), B = g.stepsAbove(2, b);
    if (B < A)
        return false;
    // The second type's counts for which the first type's count range can complete the sum.
    const double lo = (A - double(m_usable[0]) * double(l1)) / double(l2);
    const double hi = (B - double(m_min[0]) * double(l1)) / double(l2);
    const qint64 from =
        clampCount(std::floor(lo - std::fabs(lo) * 0x1p-48) - 1, m_min[1], m_usable[1]);
    const qint64 to =
        clampCount(std::ceil(hi + std::fabs(hi) * 0x1p-48) + 1, m_min[1], m_usable[1]);
    if (!(hi + std::fabs(hi) * 0x1p-48 + 1 >= double(m_min[1])) ||
        !(lo - std::fabs(lo) * 0x1p-48 - 1 <= double(m_usable[1])))
        return false;
    return pairNext(from, to, A, B) <= to;
}

bool Walker::leaf(double plo, double phi) {
    const qint64 lo = m_min[0], hi = m_usable[0];
    const double len = m_len[0];
    const qint64 first =
        firstTrue(lo, hi, clampCount(len > 0 ? std::ceil(plo / len) : double(lo), lo, hi),
                  [&](qint64 c) { return 0.0 + product(0, c) >= plo; });
    const qint64 end =
        firstTrue(first, hi, clampCount(len > 0 ? std::floor(phi / len) + 1 : double(hi), lo, hi),
                  [&](qint64 c) { return 0.0 + product(0, c) > phi; });
    for (qint64 c = first; c < end && m_remaining > 0 && !m_probing; ++c) {
        m_cur[0] = c;
        emit();
    }
    return first < end;
}

// Records, in the odometer's order, every vector whose counts of types t+1..n are those in
// m_cur and whose prefix sum of the first t types lies in [plo, phi]. Returns whether any was
// found (whether or not the limit let all of them be recorded).
bool Walker::walk(int t, double plo, double phi) {
    plo = std::max(plo, m_pMin[t]);
    phi = std::min(phi, m_pMax[t]);
    if (!(plo <= phi))
        return false;
    if (t == 1)
        return leaf(plo, phi);

    const int i = t - 1;
    const double len = m_len[i];
    const double below = m_pMin[i], above = m_pMax[i];
    const qint64 cmin = m_min[i], cmax = m_usable[i];
    // Counts whose prefix sums, from the least to the most the faster types can add, meet the
    // window at all.
    const qint64 ca = firstTrue(
        cmin, cmax, clampCount(len > 0 ? std::ceil((plo - above) / len) : double(cmin), cmin, cmax),
        [&](qint64 c) { return above + product(i, c) >= plo; });
    const qint64 cb =
        firstTrue(
            ca, cmax,
            clampCount(len > 0 ? std::floor((phi - below) / len) + 1 : double(cmax), cmin, cmax),
            [&](qint64 c) { return below + product(i, c) > phi; }) -
        1;
    auto interval = [&](qint64 c) {
        const double q = product(i, c);
        return std::make_pair(std::max(lowerEnd(plo, q), below), std::min(upperEnd(phi, q), above));
    };

    // The last count that was walked: the next count with the same interval of prefix sums has
    // exactly the same completions (a short length lost in the rounding of long totals).
    struct {
        qint64 count = -2;
        double a = 0, b = 0;
        bool found = false;
        size_t begin = 0, end = 0;
    } last;

    // Every count is first tested on an interval a little wider than the exact one, which
    // needs no search over the doubles; the exact interval is found only for counts walked into.
    const double slack = std::fabs(plo) * 0x1p-50 + std::fabs(phi) * 0x1p-49 + 0x1p-1000;

    int misses = 0, patience = 4;
    bool any = false;
    qint64 c = t == 2 ? modularNext(ca, cb, plo, phi) : ca;
    while (c <= cb && m_remaining > 0) {
        ++m_steps;
        const double q = product(i, c);
        const double wideA = std::max(plo - q - slack, below);
        const double wideB = std::min(phi - q + slack, above);
        double y = reachBelow(t - 1, wideA, wideB);
        double a = wideA, b = wideB;
        bool open = y >= wideA;
        if (open) {
            // The exact interval, and the bounds asked again with it: a sum on the grid just
            // outside it, which only the exact edges rule out, is not worth a descent (into the
            // fastest type, which is solved outright, a descent costs no more than asking).
            std::tie(a, b) = interval(c);
            open = a <= b;
            if (open && t > 2) {
                const double exactY = reachBelow(t - 1, a, b);
                open = exactY >= a;
                y = std::min(y, exactY);
            }
        }
        if (!open) {
            noteMissed(t, 1);
            if (!(y > -Inf) || !(len > 0))
                break;
            // The window slides down as c grows: skip the counts for which it stays above y.
            const auto skipTo = [&](double reachable) {
                const double reach = (plo - slack - reachable) / len * (1 - 0x1p-40) - 1;
                return reach > double(c + 1) ? (reach > double(cb) ? cb + 1 : qint64(reach))
                                             : c + 1;
            };
            qint64 next = skipTo(y);
            // Some bounds only say that nothing lies in the window, not how far below the next
            // reachable sum is; after a run of short skips, probe ever deeper below it.
            if (next - c <= 4 && ++misses >= patience) {
                misses = 0;
                patience = std::min(2 * patience, 1024);
                const double ulps = 4 * (wideA - std::nextafter(wideA, -Inf));
                for (double depth = std::max(2 * len, ulps); depth < wideA; depth *= 2) {
                    const double deeper = reachBelow(t - 1, wideA - depth, wideB);
                    if (deeper >= wideA - depth)
                        break;
                    y = std::min(y, deeper);
                    patience = 4;
                }
                next = skipTo(y);
            }
            c = t == 2 ? modularNext(next, cb, plo, phi) : next;
            continue;
        }
        if (c == last.count + 1 && a == last.a && b == last.b) {
            if (!last.found) {
                c = firstTrue(c, cb, c,
                              [&](qint64 k) { return interval(k) != std::make_pair(a, b); });
                continue;
            }
            if (m_probing)
                return true;
            const size_t begin = m_out.size();
            for (size_t j = last.begin; j < last.end && m_remaining > 0; ++j) {
                FoundCombination f = m_out[j];
                f.counts[size_t(i)] = c;
                finishRow(f);
                m_out.push_back(f);
                --m_remaining;
            }
            last.count = c;
            last.begin = begin;
            last.end = m_out.size();
            ++c;
            continue;
        }
        misses = 0;
        m_cur[size_t(i)] = c;
        const size_t begin = m_out.size();
        const qint64 stepsBefore = m_steps;
        const bool found = walk(t - 1, a, b);
        if (!found)
            noteMissed(t, m_steps - stepsBefore + 1);
        if (!found && t - 1 > m_tablesBuilt && t - 1 <= m_tablesPlanned) {
            m_wasted[t] += m_steps - stepsBefore + 1;
            qint64 cost = 0;
            for (int k = m_tablesBuilt + 1; k < t; ++k)
                cost += m_tableCost[k];
            if (m_wasted[t] > cost)
                buildTables(t - 1);
        }
        if (found && m_probing)
            return true;
        any = any || found;
        last.count = c;
        last.a = a;
        last.b = b;
        last.found = found;
        last.begin = begin;
        last.end = m_out.size();
        ++c;
        if (!found && len > 0 && len < b - a) {
            // Nothing lies in [a, b], and the windows of the next counts overlap it: gallop to
            // the first count whose window reaches a prefix sum below a, probing the union of
            // the windows passed over with the same exact walk.
            const double top = std::nextafter(a, -Inf);
            const auto reached = [&](qint64 k) {
                const double from = std::max(lowerEnd(plo, product(i, k)), below);
                return from <= top && probe(t - 1, from, top);
            };
            c = firstTrue(c, cb, c, reached);
        }
    }
    return any;
}

bool plausible(const SearchRequest& request) {
    if (request.types.size() > size_t(MaxTypes) || !std::isfinite(request.routeLength))
        return false;
    for (const SearchType& t : request.types) {
        if (!(t.length >= 0) || !std::isfinite(t.length) || t.minimum < 0 ||
            t.minimum > t.maximum || t.maximum > MaxCount)
            return false;
    }
    return true;
}

} // namespace

std::vector<FoundCombination> SearchCombinations(const SearchRequest& request,
                                                 SearchControl* control, SearchStats*) {
    std::vector<FoundCombination> out;
    if (!plausible(request))
        return out;
    Walker(request, out).run();
    if (control)
        control->found = qint64(out.size());
    return out;
}

} // namespace Kern
