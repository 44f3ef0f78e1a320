#pragma once

#include <QtGlobal>

#include <array>
#include <atomic>
#include <vector>

namespace Kern {

constexpr int MaxTypes = 10;

// One selected track type as the search sees it. Counts are whole numbers with
// 0 <= minimum <= maximum <= MaxCount; the length is finite and not negative.
struct SearchType {
    double length = 0.0;
    qint64 minimum = 0;
    qint64 maximum = 0;
    qint64 priceTenThousandths = 0; // price per piece in ten-thousandths of a currency unit
};

constexpr qint64 MaxCount = Q_INT64_C(999999999);

struct SearchRequest {
    std::vector<SearchType> types; // selected types 1..n in table order, n <= MaxTypes
    double routeLength = 0.0;
    int shortfallTenths = 0; // item data of the shortfall list, 0..10
    int excessTenths = 0;    // item data of the excess list, 0..10
    qint64 limit = 0;        // combination limit; <= 0 examines only the starting vector
};

struct FoundCombination {
    double total = 0.0;     // sum of count x length in type order, in double
    double deviation = 0.0; // total - route length
    std::array<qint64, MaxTypes> counts{};
    qint64 pieces = 0;
    double totalPrice = 0.0; // exact sum of count x price, as a double of the currency unit
};

// The target window the search uses: lower offset -(d1/10) - 0.05, upper offset d2/10 + 0.05.
double windowLow(const SearchRequest& request);
double windowHigh(const SearchRequest& request);

// Lets another thread watch and stop a running search.
struct SearchControl {
    std::atomic<bool> cancel{false}; // set by another thread: the search returns soon after
    std::atomic<qint64> found{0};    // combinations found so far, updated as they are found
    // The share of its work the search has done, from 0 to 1: how far it has come through the
    // count vectors in the odometer's order, each count of a place taking an equal share of what
    // the slower places leave to it (counts the search rules out in one jump are passed as done).
    // It never decreases during a search, is updated every few hundred steps and is exactly 1
    // once the search has returned, unless it was cancelled. A search sets it to 0 as it starts.
    std::atomic<double> progress{0.0};
};

// Machine-independent measure of the work a search did.
struct SearchStats {
    quint64 steps = 0;
};

// Finds the combinations exactly as the plain odometer over the count vector would record
// them (type 1 turning fastest, cut off where the total exceeds the upper bound), in the same
// order, but only walks the branches that can still reach the target window.
// A request outside the rules above (more than MaxTypes types, a length that is negative or not
// finite, counts outside 0..MaxCount or a minimum above its maximum, a route that is not finite)
// finds nothing: the odometer would never end on some of them.
// A search cancelled through `control` returns soon after with the combinations found so far:
// the first ones of the full result, in the same order.
std::vector<FoundCombination> searchCombinations(const SearchRequest& request,
                                                 SearchControl* control = nullptr,
                                                 SearchStats* stats = nullptr);

} // namespace Kern
