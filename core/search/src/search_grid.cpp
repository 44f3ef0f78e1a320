#include "search_grid.h"

#include <numeric>

namespace Kern::SearchDetail {

namespace {

// Grid sums are not trusted to exact decimals beyond this.
constexpr int MaxDecimals = 9;

// Marks the prefixes whose double sums are the grid sums themselves (see Grid::exact).
void markExact(Grid& g, const SearchSpace& space) {
    // Steps up to the upper bound must be exact doubles for the conversions to be exact.
    if (!(space.hi * static_cast<long double>(g.pow10) < 0x1p53L))
        return;
    int finest = 1100; // binary exponent of the finest fraction among the lengths so far
    g.exact[0] = true;
    for (int t = 0; t < space.n; ++t) {
        const size_t i = size_t(t);
        bool ok = g.exact[i];
        const double len = space.len[i];
        if (ok && space.usable[i] > 0 && len > 0) {
            // A whole number of steps, exactly ...
            const Int128 whole = Int128(g.steps[i]) * g.den;
            ok = floorTimes(len, g.pow10) == whole && ceilTimes(len, g.pow10) == whole;
            // ... and a binary fraction such that all sums up to hi are representable.
            int e;
            const double f = std::frexp(len, &e);
            qint64 mant = qint64(std::ldexp(f, 53));
            e -= 53;
            while (mant % 2 == 0) {
                mant /= 2;
                ++e;
            }
            finest = std::min(finest, e);
            ok = ok && space.hi < std::ldexp(1.0, 53 + finest);
        }
        g.exact[i + 1] = ok;
        if (ok)
            g.error[i + 1] = 0;
    }
}

} // namespace

void Grid::finishSetup() {
    scaleD = double(scale);
    unitD = double(1 / scale);
    for (size_t t = 0; t < errorD.size(); ++t) {
        errorD[t] = roundUp(error[t]);
        lowestD[t] = roundDown(lowest[t]);
    }
}

bool fillGrid(Grid& grid, const SearchSpace& space, long double scale, int types, bool dense) {
    grid = Grid();
    grid.scale = scale;
    long double spread = 0; // sum over the types of usable count x rounding error, in mm
    for (int t = 0; t < types; ++t) {
        const size_t i = size_t(t);
        const double len = space.len[i];
        long double err = 0;
        grid.first[i] = space.min[i];
        grid.last[i] = space.usable[i];
        if (space.usable[i] > 0 && len > 0) {
            const long double s = len * scale;
            if (!(s < 0x1p60L))
                return false;
            const long double most = space.product(t, space.usable[i]) * scale;
            if (dense && s < 1 && most >= 2 && most < 0x1p60L) {
                // A sum P of this type lies in [x, x + 1) steps for x = floor(P * scale).
                grid.steps[i] = 1;
                grid.first[i] = qint64(std::floor(space.product(t, space.min[i]) * scale));
                grid.last[i] = qint64(std::floor(most));
                spread += (1 + 0x1p-30L) / scale;
                grid.error[i + 1] = spread + (t + 4) * 0x1p-52L * space.hi + (t + 2) * 0x1p-1000L;
                continue;
            }
            grid.steps[i] = std::llround(s);
            err = std::fabs(len - grid.steps[i] / scale) + len * 0x1p-60L;
        }
        spread += space.usable[i] * err * (1 + 0x1p-30L);
        // Rounding of the products and sums of t + 1 terms, relative to totals up to hi.
        grid.error[i + 1] = spread + (t + 4) * 0x1p-52L * space.hi + (t + 2) * 0x1p-1000L;
    }
    grid.valid = true;
    return true;
}

Grid decimalLattice(const SearchSpace& space) {
    const int n = space.n;
    const double hi = space.hi;
    // A sliver that stays within the window (with a billion pieces even the lengths' own
    // rounding adds up).
    const long double sliver = std::max<long double>(static_cast<long double>(hi) - space.lo,
                                                     4 * (std::nextafter(hi, Inf) - hi));
    long double scale = 1;
    qint64 pow10 = 1;
    Grid g;
    for (int d = 0; d <= MaxDecimals && hi * scale < 0x1p62L; ++d, scale *= 10, pow10 *= 10) {
        if (!fillGrid(g, space, scale, n))
            return Grid();
        const long double spread = g.error[size_t(n)] - (n + 3) * 0x1p-52L * hi;
        if (spread > std::max(1e-3L / scale, sliver))
            continue;
        qint64 divisor = 0;
        for (int t = 0; t < n; ++t)
            divisor = std::gcd(divisor, g.steps[size_t(t)]);
        g.pow10 = pow10;
        g.den = std::max<qint64>(divisor, 1);
        if (divisor > 1) {
            g.scale /= divisor;
            for (int t = 0; t < n; ++t)
                g.steps[size_t(t)] /= divisor;
        }
        markExact(g, space);
        for (size_t t = 0; t < size_t(n); ++t) {
            g.divisor[t + 1] = std::gcd(g.divisor[t], g.steps[t]);
            g.lowest[t + 1] = g.lowest[t] + static_cast<long double>(space.min[t]) * g.steps[t];
        }
        g.finishSetup();
        return g;
    }
    return Grid();
}

Grid pairLattice(const SearchSpace& space) {
    Grid g;
    if (space.n < 2)
        return g;
    const long double hi = space.hi;
    long double scale = 1;
    for (int d = 0; d <= MaxDecimals && hi * scale < 0x1p52L; ++d, scale *= 10) {
        if (!fillGrid(g, space, scale, 2))
            break;
        if (g.error[2] - 5 * 0x1p-52L * hi <= 1e-3L / scale) {
            g.finishSetup();
            return g;
        }
    }
    return Grid();
}

Grid pairGrid(const SearchSpace& space) {
    Grid g;
    if (space.n < 2)
        return g;
    const long double unit =
        (space.hi - space.lo) /
        (8 * (1 + static_cast<long double>(space.usable[0]) + space.usable[1]));
    if (unit > 0 && space.hi / unit < 0x1p52L && fillGrid(g, space, 1 / unit, 2)) {
        g.finishSetup();
        return g;
    }
    return Grid();
}

} // namespace Kern::SearchDetail
