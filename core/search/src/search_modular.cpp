#include "search_modular.h"

namespace Kern::SearchDetail {

// Euclid's reduction on (a, m): when no multiple of a lies in [l, r], the wrap-arounds y of
// a * x - m * y follow the same question for (m mod a, a).
qint64 firstModular(qint64 a, qint64 m, qint64 l, qint64 r) {
    if (l == 0)
        return 0;
    if (a == 0)
        return -1;
    // Divisions are what costs here: each one is used for all it gives.
    const qint64 q = l / a, lRest = l - q * a;
    const qint64 k = lRest == 0 ? q : q + 1; // the least multiple of a not below l
    if (a * k <= r)                          // a * k < l + a < 2m
        return k;
    const qint64 rRest = r % a;
    const qint64 y = firstModular(m % a, a, rRest == 0 ? 0 : a - rRest, lRest == 0 ? 0 : a - lRest);
    if (y < 0)
        return -1;
    qint64 my;
    if (!__builtin_mul_overflow(m, y, &my) && my <= std::numeric_limits<qint64>::max() - m)
        return (my + l + a - 1) / a;
    return qint64((Int128(m) * y + l + a - 1) / a);
}

qint64 PairStepper::nextInWidth(qint64 from, qint64 to, qint64 lowSteps, qint64 width) const {
    const qint64 l1 = m_l1;
    // (from * L2 - lowSteps + x * L2) mod L1 must lie in [0, width].
    qint64 s, fl2;
    if (!__builtin_mul_overflow(from, m_l2, &fl2) && !__builtin_sub_overflow(fl2, lowSteps, &s))
        s %= l1;
    else
        s = qint64((Int128(from) * m_l2 - lowSteps) % l1);
    if (s < 0)
        s += l1;
    const qint64 rl = s == 0 ? 0 : l1 - s;
    const qint64 rh = rl + width;
    qint64 x;
    if (rh < l1) {
        x = firstModular(m_step, l1, rl, rh);
    } else {
        const qint64 x1 = firstModular(m_step, l1, rl, l1 - 1);
        const qint64 x2 = firstModular(m_step, l1, 0, rh - l1);
        x = x1 < 0 ? x2 : (x2 < 0 ? x1 : std::min(x1, x2));
    }
    if (x < 0 || x > to - from)
        return to + 1;
    return from + x;
}

} // namespace Kern::SearchDetail
