#pragma once

// Exact arithmetic on doubles for the search: which prefix sums a window admits, searched over
// the doubles themselves, and products and quotients that must not round.

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace Kern::SearchDetail {

// Products of counts and grid steps overflow 64 bits; the compiler's wider integer is an extension.
__extension__ typedef __int128 Int128;

// Small helpers of the hot loops that live in a file of their own but must cost no call.
#define SFX_HOT_INLINE [[gnu::always_inline]] inline

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr quint64 InfBits = Q_UINT64_C(0x7FF0000000000000);

inline quint64 bitsOf(double x) {
    quint64 b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

inline double fromBits(quint64 b) {
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

// std::nextafter(x, -Inf) without the call into the library: the walk asks for it at most of
// the counts it rules out.
inline double nextBelow(double x) {
    if (!(x > -Inf)) // -Inf and NaN stay
        return x;
    if (x == 0)
        return -std::numeric_limits<double>::denorm_min();
    return fromBits(x > 0 ? bitsOf(x) - 1 : bitsOf(x) + 1);
}

// Estimates may be NaN, infinite or far outside the range; casting those would be undefined.
inline qint64 clampCount(double x, qint64 lo, qint64 hi) {
    if (!(x > double(lo)))
        return lo;
    if (!(x < double(hi)))
        return hi;
    return qint64(x);
}

inline double roundUp(long double v) {
    double d = double(v);
    if (static_cast<long double>(d) < v)
        d = std::nextafter(d, Inf);
    return d;
}

inline double roundDown(long double v) {
    double d = double(v);
    if (static_cast<long double>(d) > v)
        d = std::nextafter(d, -Inf);
    return d;
}

// floor(x * num) and ceil(x * num) exactly, for finite x and 0 < num < 2^31; the result must
// stay below 2^100 in size.
Int128 floorTimes(double x, qint64 num);

inline Int128 ceilTimes(double x, qint64 num) {
    return -floorTimes(-x, num);
}

inline Int128 floorDiv(Int128 a, qint64 b) {
    const Int128 q = a / b;
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
        for (T step = 1;; step *= 2) {
            if (yes == lo)
                return lo;
            const T cand = yes - lo > step ? yes - step : lo;
            if (!pred(cand)) {
                no = cand;
                break;
            }
            yes = cand;
        }
    } else {
        no = guess;
        for (T step = 1;; step *= 2) {
            if (no == hi)
                return hi + 1;
            const T cand = hi - no > step ? no + step : hi;
            if (pred(cand)) {
                yes = cand;
                break;
            }
            no = cand;
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

// Smallest prefix sum P >= 0 with P + q >= plo in double arithmetic.
inline double lowerEnd(double plo, double q) {
    if (0.0 + q >= plo)
        return 0.0;
    const quint64 b = firstTrue<quint64>(0, InfBits, bitsOf(plo - q),
                                         [&](quint64 x) { return fromBits(x) + q >= plo; });
    return fromBits(b);
}

// Largest prefix sum P >= 0 with P + q <= phi in double arithmetic; -Inf if there is none.
inline double upperEnd(double phi, double q) {
    if (!(0.0 + q <= phi))
        return -Inf;
    const double guess = phi - q;
    const quint64 b = firstTrue<quint64>(0, InfBits, guess > 0 ? bitsOf(guess) : 0,
                                         [&](quint64 x) { return fromBits(x) + q > phi; });
    return fromBits(b - 1);
}

} // namespace Kern::SearchDetail
