#pragma once

#include "search_exact.h"
#include "search_space.h"

namespace Kern::SearchDetail {

// Lengths as whole steps of one unit, with the bound on how far a grid sum of a prefix can lie
// from the double prefix sum for any counts that keep the total below the upper bound. Set up in
// long double; the walk's queries run in double with a relative slack that covers their own
// rounding.
struct Grid {
    bool valid = false;
    long double scale = 0; // steps per mm
    std::array<qint64, MaxTypes> steps{};
    // The counts on the grid: the type's own, or for a length below the unit the range of
    // steps its sums cover (see fillGrid).
    std::array<qint64, MaxTypes> first{};
    std::array<qint64, MaxTypes> last{};
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

    void finishSetup();

    // The widest range of steps a double prefix sum of t types in [lo, hi] mm can stand for.
    double stepsAbove(int t, double mm) const {
        if (exact[size_t(t)])
            return double(floorDiv(floorTimes(mm, pow10), den));
        const double x = (mm + errorD[size_t(t)]) * scaleD;
        return std::floor(x + 1e-6 + std::fabs(x) * 0x1p-48);
    }
    double stepsBelow(int t, double mm) const {
        if (exact[size_t(t)])
            return double(-floorDiv(-ceilTimes(mm, pow10), den));
        const double x = (mm - errorD[size_t(t)]) * scaleD;
        return std::ceil(x - 1e-6 - std::fabs(x) * 0x1p-48);
    }
    // The largest double prefix sum a grid sum of x steps can stand for.
    double upperMm(int t, qint64 x) const {
        if (exact[size_t(t)]) {
            // The least double not below x * den / pow10 (below 2^53 / pow10 by construction).
            const qint64 n = x * den;
            double y = double(n) / double(pow10);
            if (floorTimes(y, pow10) < n)
                y = std::nextafter(y, Inf);
            return y;
        }
        const double y = double(x) * unitD + errorD[size_t(t)];
        return y + std::fabs(y) * 0x1p-48 + 0x1p-1000;
    }
};

// Rounds the lengths of the first `types` types to steps of 1 / scale mm; false when a length
// has too many steps. With `dense`, a length below the unit whose pieces together span more
// than a step becomes a type of one step whose counts are the steps its sums cover: each sum
// then lies within a unit of the grid, where rounding the length itself would let the pieces'
// errors add up.
bool fillGrid(Grid& grid, const SearchSpace& space, long double scale, int types,
              bool dense = false);

// The fewest decimals (at most nine) on which every length lies, up to a sliver that stays
// within the window, divided by the lengths' greatest common divisor; invalid when there are
// none. Prefix divisors and lowest sums are set.
Grid decimalLattice(const SearchSpace& space);

// The fewest decimals (at most nine) on which the first two types' lengths lie nearly exactly;
// invalid when there are none.
Grid pairLattice(const SearchSpace& space);

// A grid for stepping through the second type's counts where the lengths have no exact
// decimals, or decimals that hold the first two types' sums only loosely: one fine enough that
// its band is a fraction of the window (invalid if none is).
Grid pairGrid(const SearchSpace& space);

} // namespace Kern::SearchDetail
