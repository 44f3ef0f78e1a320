#pragma once

// Requests the search is measured on, shared by the benchmark and the work gate of the tests:
// the start-up table and its neighbours, inputs far beyond what the table is for, and families of
// inputs that once made the search run for minutes.

#include "search.h"

#include <vector>

namespace SearchCases {

using Kern::MaxCount;
using Kern::SearchRequest;
using Kern::SearchType;

inline std::vector<SearchType> types(std::initializer_list<double> lengths, qint64 maximum = 9999) {
    std::vector<SearchType> out;
    for (double l : lengths)
        out.push_back(SearchType{l, 0, maximum, 0});
    return out;
}

inline std::vector<SearchType> startUpTypes(qint64 maximum = 9999) {
    return types({64.3, 70.8, 77.5, 94.2, 171.7, 188.3, 229.3, 236.1}, maximum);
}

inline std::vector<SearchType> eightDecimalTypes() {
    return types({64.12345678, 70.87654321, 77.55555557, 94.20000001, 171.71717171, 188.31313131,
                  229.37373737, 236.19191919});
}

inline SearchRequest startUp() {
    return {startUpTypes(), 1000.0, 0, 0, 500};
}
inline SearchRequest wide120() {
    return {startUpTypes(), 1000.0, 10, 10, 500};
}
inline SearchRequest limit999() {
    return {startUpTypes(), 3000.0, 10, 10, 999};
}
// Ten types, no combination within 3000.1 +- 0.05: the odometer visits 192,552,945 vectors.
inline SearchRequest unreachableTen() {
    return {types({100.2, 120.4, 150.6, 200.8, 60.2, 80.4, 90.6, 110.8, 130.2, 240.4}), 3000.1, 0,
            0, 999};
}
inline SearchRequest route5km() {
    return {startUpTypes(), 5e6, 0, 0, 999};
}
inline SearchRequest eightDecimals(double route = 1000.0) {
    return {eightDecimalTypes(), route, 0, 0, 999};
}

// One short-listed type (50.5, at most one piece) among nine multiples of 0.3 mm: no total is
// 2 more than a multiple of 0.3 mm. Fast while the bit tables of the whole route fit.
inline SearchRequest oddTypeFirst(double route) {
    std::vector<SearchType> t{{50.5, 0, 1, 0}};
    for (const SearchType& s : types({101.7, 122.1, 153.0, 204.0, 60.9, 81.6, 92.1, 112.5, 132.3}))
        t.push_back(s);
    return {t, route, 0, 0, 999};
}
// Three decimals: 0.001 mm (at most three pieces) and nine multiples of 0.123 mm.
inline SearchRequest thousandths(double route) {
    std::vector<SearchType> t{{0.001, 0, 3, 0}};
    for (const SearchType& s :
         types({61.377, 70.848, 77.49, 94.218, 171.708, 188.313, 229.272, 236.16, 123.0}))
        t.push_back(s);
    return {t, route, 0, 0, 999};
}
// Two decimals: 0.01 mm (at most one piece) and nine multiples of 0.14 mm.
inline SearchRequest hundredths(double route) {
    std::vector<SearchType> t{{0.01, 0, 1, 0}};
    for (const SearchType& s :
         types({64.26, 70.84, 77.56, 94.22, 171.78, 188.3, 229.32, 236.18, 100.24}))
        t.push_back(s);
    return {t, route, 0, 0, 999};
}
// Lengths far below the window: 999 rows that are consecutive counts of 1e-25 mm.
inline SearchRequest tinyLengths() {
    return {{{81, 0, 9999, 0},
             {232.4, 0, 50, 0},
             {1e-25, 0, MaxCount, 0},
             {49.8, 0, 50, 0},
             {0.0000009, 0, MaxCount, 0}},
            158.9,
            0,
            0,
            999};
}
// Whole lengths close to multiples of 10^6 mm: no total is 2 * 10^11.
inline SearchRequest nearMultiples(double route = 2e11) {
    return {types({3000001, 5000003, 7000001, 11000009}, MaxCount), route, 0, 0, 999};
}
// A route beyond 2^51 mm, where the window holds one double and only exact rounding hits it.
inline SearchRequest hugeRoute() {
    return {{{2665163.5, 0, MaxCount, 0},
             {8758620.781, 0, MaxCount, 0},
             {2240710.7, 0, 9999, 0},
             {8495063.95, 0, MaxCount, 0}},
            4147999522566394.0,
            0,
            0,
            999};
}

// Lengths close to multiples of one unit that is no short decimal, the route between two
// multiples: the totals bunch up near the multiples, and no table of the route fits.
// Ten lengths of four decimals near multiples of 0.70710678 mm.
inline SearchRequest oddUnitTen(double route) {
    return {types({45.2548, 63.6396, 77.7817, 91.9239, 113.1371, 141.4214, 169.7056, 190.9188,
                   212.132, 240.4163}),
            route, 0, 0, 999};
}
// Eight lengths of three decimals near multiples of 20.94 mm, limit 500.
inline SearchRequest nearUnit2094(double route) {
    return {types({62.823, 104.698, 146.584, 167.519, 230.342, 272.217, 335.041, 376.916}), route,
            0, 0, 500};
}
// Found by the hunter (sfx_search_hunter): near multiples of 18.0787 mm with stray lengths of
// few counts, route 7.8 km; ran for minutes before the band of lattice indices.
inline SearchRequest huntedNearUnit() {
    return {{{325.41697, 0, 3, 0},
             {72.31479, 0, 15, 0},
             {162.7085, 0, 9999, 0},
             {325.41696, 0, MaxCount, 0},
             {253.10207, 0, 21, 0},
             {108.47226, 0, 9999, 0},
             {72.31486, 0, 9999, 0},
             {90.39355, 0, 9999, 0}},
            7817597.9,
            8,
            4,
            500};
}

// Found by the hunter after the band of lattice indices: near multiples of 59.11 mm whose strays
// add up to more than the gap between two multiples over 9.6 km, 999 rows.
inline SearchRequest huntedWideBand() {
    return {{{59.10325, 0, 9999, 0},
             {177.33411, 0, 9999, 0},
             {354.65763, 0, 9999, 0},
             {236.44385, 0, 9999, 0},
             {59.11602, 0, MaxCount, 0},
             {354.66135, 0, 9999, 0},
             {118.2134, 0, 9999, 0},
             {118.21751, 0, MaxCount, 0}},
            9593703.581,
            2,
            3,
            999};
}
// Near multiples of 52.028 mm, three raised minimums, 3.3 km: 500 rows.
inline SearchRequest huntedRaisedMinimums() {
    return {{{104.0532, 0, 9999, 0},
             {260.1331, 0, MaxCount, 0},
             {52.0279, 2, 9999, 0},
             {156.0819, 2, 9999, 0},
             {260.1325, 0, 9999, 0},
             {208.1091, 2, 9999, 0}},
            3261911.3,
            10,
            2,
            500};
}
// Near multiples of 7.32 mm on a decimal grid as coarse as the window, 21.7 m (none found).
inline SearchRequest huntedCoarseGrid() {
    return {{{124.5036224, 0, 9999, 0},
             {190.4128564, 0, 28, 0},
             {21.9714919, 0, MaxCount, 0},
             {87.8844868, 0, MaxCount, 0},
             {263.6504204, 0, 13, 0},
             {197.7389012, 0, 18, 0},
             {358.8604223, 0, 9999, 0},
             {263.6534921, 0, 37, 0},
             {14.6453117, 0, 9999, 0},
             {175.7646135, 1, 9999, 0}},
            21709,
            9,
            7,
            999};
}

// Near multiples of 34.0315 mm at 7.95 km: every index near the route has sums, but the counts
// that reach it lie thousands of counts apart, one short-listed type among them.
inline SearchRequest huntedLongRun() {
    return {{{102.0946, 0, 6, 0},
             {272.2521, 0, MaxCount, 0},
             {136.1259, 0, 9999, 0},
             {34.0316, 0, 9999, 0},
             {272.2521, 0, MaxCount, 0},
             {136.126, 0, 9999, 0},
             {34.0314, 0, MaxCount, 0}},
            7951425.85,
            4,
            8,
            500};
}

// Near multiples of 0.658 mm, finer than the 1.6 mm window, at 2.4 km: the sums of the two
// fastest types lie near multiples of eight of them, which no count of the third moves.
inline SearchRequest huntedFineUnit() {
    return {{{152.65906, 0, MaxCount, 0},
             {26.32053, 0, 9999, 0},
             {178.97959, 0, 9999, 0},
             {47.37695, 0, 9999, 0},
             {105.28211, 0, 2, 0},
             {23.03046, 3, 9999, 0}},
            2412073.764,
            8,
            8,
            999};
}

// Lengths of one decimal with strays of a few hundred-thousandths of a millimetre, the second type
// short-listed to 34: at 1 km the third type is stepped for each of its 35 counts.
inline SearchRequest huntedFewCounts(double route = 1000000.3332368359) {
    return {{{189.40001, 0, 9999, 0},
             {47.4, 0, 34, 0},
             {331.4, 0, 9999, 0},
             {331.4, 0, 9999, 0},
             {47.3, 0, 14, 0},
             {142.00003, 0, MaxCount, 0},
             {331.4, 0, MaxCount, 0},
             {47.2998, 0, 9999, 0}},
            route,
            4,
            5,
            500};
}

// Tenths of a millimetre, the fast types short-listed, at 7.9 km: the sums of the first two
// types end at 3.3 km, and tables that end there fit on the tenths where tables up to the route
// would not.
inline SearchRequest huntedShortPrefixes() {
    return {{{201.6, 0, 3156, 0},
             {306.8, 0, 8661, 0},
             {26.3, 0, 39, 0},
             {280.5, 0, 9999, 0},
             {87.7, 0, 11, 0},
             {306.8, 3, 9999, 0},
             {96.4, 0, 9999, 0}},
            7872931,
            0,
            7,
            999};
}

// Near multiples of 25.51 mm, each long type 0.01 mm above one, at 2.26 km: the third type's
// counts that may complete the sum follow from the 1,791 counts of the second, a walk of the
// third type takes ten thousand steps without.
inline SearchRequest huntedWideStepper() {
    return {{{280.62, 0, 9999, 0},
             {255.11000003, 2, 1792, 0},
             {25.51, 0, 9999, 0},
             {357.150000002, 0, 9999, 0},
             {331.64, 3, 9999, 0}},
            2259920.9976021056,
            3,
            0,
            500};
}

// Near multiples of 16.6925 mm on an exact grid of hundredths at 3.1 km: the bit table of the
// first three types rules out the fourth type's 26,000 counts one by one, its nearest sum just
// below each window; the stride table passes them a run at a time.
inline SearchRequest huntedStrides() {
    return {{{333.85, 0, 32, 0},
             {217, 0, 18, 0},
             {300.47, 0, 9999, 0},
             {116.85, 0, MaxCount, 0},
             {300.47, 0, 9999, 0},
             {200.31, 3, 9999, 0},
             {16.69, 0, 9999, 0},
             {66.77, 3, 9999, 0},
             {267.08, 0, 36, 0}},
            3096125.83,
            0,
            1,
            500};
}

// Near multiples of 32.02 mm on an exact grid of hundredths at 6.4 km: each type but 32.02 mm
// strays by 0.01 or 0.02 mm a piece, and the bit tables of the route do not fit. The unit is
// 32.02 mm; the hundredth, which also fits every length, says no more than the grid.
inline SearchRequest huntedGridUnit() {
    return {{{32.02, 0, 9999, 0},
             {192.13, 0, 9999, 0},
             {128.09, 0, 9999, 0},
             {288.2, 0, 9999, 0},
             {128.09, 0, MaxCount, 0},
             {192.13, 0, 9999, 0},
             {160.11, 0, 9999, 0},
             {224.16, 0, 15, 0},
             {64.05, 0, 9999, 0},
             {32.02, 0, 9999, 0}},
            6388447.863,
            0,
            0,
            999};
}

// Near multiples of 28.12 mm at 5 km, every other type 0.01 mm above one: of the 253.09 mm type
// at most 9,999 pieces, which a residue table modulo the 224.97 mm type's steps must hold as
// such, not as any number, to rule out the windows of the 28.12 mm type's counts.
inline SearchRequest huntedBoundedResidue() {
    return {{{253.09, 0, 9999, 0},
             {224.97, 0, MaxCount, 0},
             {224.97, 0, MaxCount, 0},
             {28.12, 0, 9999, 0},
             {281.21, 0, 9999, 0}},
            5026201.759,
            2,
            0,
            999};
}

// Seven decimals near multiples of about 33.5 mm at 4.6 km, whose decimal grid of hundredths
// holds the sums only to within the window: units finer than that grid stay worth looking for.
inline SearchRequest huntedCoarseDecimals() {
    return {{{262.4564952, 0, MaxCount, 0},
             {49.7286016, 0, 9999, 0},
             {129.8468986, 0, MaxCount, 0},
             {270.7445958, 0, 18, 0},
             {301.1342932, 0, MaxCount, 0},
             {176.812797, 0, 31, 0},
             {334.2866905, 0, 16, 0}},
            4622106.549,
            8,
            9,
            999};
}

// Pieces of 284 m and 194 m beside millimetre pieces and 0.0232 mm in any number, at 713 m: the
// long pieces' runs of sums lie far apart, and a residue table finds both a run below and a run
// above the window in nearly every block of its classes.
inline SearchRequest huntedFarApart() {
    return {{{284022.07411347819, 0, MaxCount, 0},
             {5, 0, 9999, 0},
             {0.96402060000000001, 0, 9999, 0},
             {1, 1, 9999, 0},
             {209.4255, 0, 28, 0},
             {194398.48999999999, 3, 9999, 0},
             {0.023199999999999998, 0, MaxCount, 0},
             {153, 2, 9999, 0}},
            713099.86878248781,
            6,
            2,
            500};
}

// Ten-decimal lengths near multiples of about 0.0445 mm whose second type may not be used: with it
// in between, the first and third types, in any number, were never stepped as a pair.
inline SearchRequest huntedIdleType(double route = 4526972.31) {
    return {{{141.76894698960001, 0, MaxCount, 0},
             {168.56483633569999, 0, 0, 0},
             {207.51234492949999, 0, MaxCount, 0},
             {263.90834270729999, 0, 30, 0},
             {354.88972852209997, 0, 32, 0},
             {348.9697083799, 0, 9999, 0},
             {139.58788243129999, 0, 9999, 0}},
            route,
            0,
            1,
            999};
}

// Six-decimal lengths near multiples of about 0.98 mm at 4.6 km, in a window of 2 mm: 34.298317
// mm is 35 units, and the first two types' sums lie 14 units apart, so the window of every other
// count falls where the other's did, half a step away, and passing counts one run at a time
// passed one count per question.
inline SearchRequest huntedHalfSteps() {
    return {{{96.035295000000005, 0, 1655, 0},
             {205.789941, 0, MaxCount, 0},
             {34.298316999999997, 0, MaxCount, 0},
             {130.33362500000001, 0, MaxCount, 0},
             {130.333629, 0, 9999, 0},
             {315.54458699999998, 0, 14, 0},
             {34.298336999999997, 0, 10, 0},
             {89.175630999999996, 0, MaxCount, 0},
             {20.579011999999999, 0, MaxCount, 0},
             {377.28154999999998, 0, 3, 0}},
            4624898.3229999999,
            10,
            9,
            999};
}

// Nine-decimal lengths at 4.5 km in a window of 0.2 mm: the lengths' five decimals hold the
// first two types' sums only within 0.046 mm, and the pair stepper on them let near misses pass
// into fruitless descents.
inline SearchRequest huntedPairGrid(double route = 6769027.9571560882) {
    return {{{360.41143591600002, 0, 9999, 0},
             {190.91657555399999, 2, 1110, 0},
             {206.32522519299999, 0, 9, 0},
             {393.483601158, 0, 9999, 0},
             {57.500462573, 0, 9999, 0},
             {63.513601084000001, 3, 9999, 0},
             {307.044995712, 0, 9999, 0},
             {109.839459275, 0, 9999, 0},
             {397.24182312800002, 0, 7, 0}},
            route,
            1,
            0,
            999};
}

// Pieces of 492 m and 275 m, a few of each up to the route, beside millimetre pieces at 3.4 km:
// their 91 sums split the reach of every prefix into runs some 20 m long, far apart.
inline SearchRequest huntedManyRuns() {
    return {{{1, 0, 6404, 0},
             {491504.99982710002, 0, 9999, 0},
             {0.26753909000000003, 0, 18, 0},
             {275423.09636109998, 0, 9999, 0},
             {1.3534983309999999, 0, 9999, 0},
             {88.5, 0, MaxCount, 0},
             {17882.130000000001, 0, 9999, 0},
             {0.29999999999999999, 0, 9999, 0},
             {3280.46, 0, 9999, 0}},
            3400669.2371020708,
            5,
            7,
            500};
}

// Nine to twelve decimals near multiples of 1.2477 mm at 8.2 km: the index tables of four
// prefixes, 6.6 million entries each (about 0.7 s; 2 s while the fifth type's counts were ruled
// out a few dozen at a time, as the errors from the reference length's unit drifted).
inline SearchRequest huntedLongIndexTables() {
    return {{{190.90429882302598, 0, 9999, 0},
             {320.66931176563099, 0, 9999, 0},
             {365.58797033452896, 0, 9999, 0},
             {286.98031845504198, 0, 24, 0},
             {194.64751990323401, 0, 9999, 0},
             {22.459329622654, 0, 9999, 0},
             {118.53534838131201, 0, 5023, 0},
             {363.092489125442, 0, 2869, 0},
             {153.47208317376101, 0, 9999, 0},
             {131.012754294215, 0, 9999, 0}},
            8210058.7699999996,
            10,
            0,
            999};
}

// Six to nine decimals near multiples of 0.4386 mm at 3.8 km: two index tables of 8.7 million
// entries, of which one fits (about 0.3 s; 1.6 s before the index tables took their errors
// from the prefixes' own units).
inline SearchRequest huntedPairBesideTable() {
    return {{{384.23730899699996, 0, 3711, 0},
             {284.66896500000001, 0, MaxCount, 0},
             {262.73761200000001, 0, MaxCount, 0},
             {181.59160499999999, 0, 30, 0},
             {192.55728199999999, 0, 794, 0},
             {22.808606999999999, 0, MaxCount, 0},
             {214.05000799799998, 0, 9999, 0}},
            3807608,
            0,
            1,
            999};
}

// Near multiples of 81.49 mm at 6.7 km, beside a piece of 285.229 mm (three and a half units)
// that may be used once: its two sums are taken one at a time beside the unit's tables (11
// million steps for 500 rows while it only widened them).
inline SearchRequest huntedOddPiece() {
    return {{{162.98246607446001, 0, 9999, 0},
             {81.494558056160002, 0, 9999, 0},
             {162.97037705251, 0, 9999, 0},
             {285.22919104011999, 0, 1, 0},
             {81.499551703820003, 0, 9999, 0},
             {81.484939494939994, 0, MaxCount, 0}},
            6663847.4189999998,
            2,
            4,
            500};
}

// Pieces of 223 m (one to 40 of them) and 230 m (up to three) beside pieces of 0.013 to 120 mm
// at 9.1 km: the long pieces' 160 sums split the reach of each prefix into runs, which rule out
// every window between them (none found in 5 s while a type of over 15 counts was not taken as
// one of those).
inline SearchRequest huntedLongPieces() {
    return {{{0.109, 1, 9999, 0},
             {223200.443, 1, 9999, 0},
             {0.089189889999999994, 0, 9999, 0},
             {3.4609939999999999, 0, 9999, 0},
             {229543.26259999999, 0, 3, 0},
             {6, 0, 9999, 0},
             {120.00318820862999, 0, 24, 0},
             {0.32854091000000002, 0, 9999, 0},
             {0.013100857, 0, MaxCount, 0}},
            9120438.2799999993,
            9,
            3,
            999};
}

// Near multiples of 5.4616 mm at 3.7 km beside 90.164526 mm in up to two pieces (three and a half
// units off a multiple): kept on the lattice, its error of 2.7 mm a piece widened the band of
// the first three types to a whole unit, and 22 million counts of the fourth were each entered
// (no row in 5 s); off the lattice its three sums are taken one at a time (about 1 s).
inline SearchRequest huntedHalfUnitPair() {
    return {{{316.77233502000001, 0, 9999, 0},
             {90.164526019999997, 0, 2, 0},
             {245.77162683, 0, 9999, 0},
             {71.000699819999994, 0, 9999, 0},
             {98.3086713, 0, MaxCount, 0},
             {115.18994348, 2, 9999, 0},
             {288.96788486999998, 2, 9999, 0},
             {230.37988127, 0, 9999, 0},
             {239.81354367, 0, 17, 0},
             {354.50698720000003, 0, 9999, 0}},
            3702220.6177205388,
            5,
            2,
            999};
}

// Pieces of 604 m (at least two), 52.6 m and 230.7 m, whose 2,342 sums up to the route lie about
// 2.7 m apart, walked beside 7.1 m, 4.958 m and up to 3,208 pieces of 0.116 mm at 5.5 km: each
// count of the 7.1 m pieces passed over three sums, one at a time (15 million steps, 5 s),
// until the sums were sorted by their remainders modulo 7.1 m.
inline SearchRequest huntedDenseSums() {
    return {{{603983.53000000003, 2, 9999, 0},
             {52609.930199999995, 0, MaxCount, 0},
             {230723.89590111902, 0, MaxCount, 0},
             {7095.7516190300003, 0, 9999, 0},
             {4958, 0, MaxCount, 0},
             {0.11622283, 0, 3208, 0}},
            5461188.9470465751,
            1,
            0,
            999};
}

// Near multiples of 14.414 mm at 9.1 km: the first two types' sums are multiples of 11 units
// (158.55 mm, beside one piece of 115.51 mm), the third type's pieces 6 units, so its windows
// come back to the same place between two sums every 11 counts; while runs of counts were taken
// in classes of at most 8, 16 million of its counts were passed one at a time (3.5 s).
inline SearchRequest huntedElevenCounts() {
    return {{{115.510932679413, 0, 1, 0},
             {158.55272993916202, 0, 9999, 0},
             {86.483283248308993, 0, MaxCount, 0},
             {216.208209782621, 0, MaxCount, 0},
             {259.44990186359303, 0, 2919, 0},
             {331.51932194163697, 0, MaxCount, 0},
             {331.51924175926501, 0, 9999, 0},
             {273.86382715955898, 0, MaxCount, 0},
             {230.62207280084701, 1, 9999, 0}},
            9095074.6041373853,
            2,
            3,
            999};
}

// Near multiples of 0.0229 mm at 1.47 km: the first two types' index table fits, the first
// three types' (89 million indices) does not, and the third type has nine counts; each of its
// sums is taken over the table of the first two, where the fourth type's counts were each
// entered (no row in 10 s, 75 million steps).
inline SearchRequest huntedStackedType() {
    return {{{293.77910002700003, 0, 1977, 0},
             {117.51164, 3, MaxCount, 0},
             {130.42470999999998, 0, 8, 0},
             {381.91282969999997, 0, 9999, 0},
             {54.558979999999998, 1, 9999, 0},
             {369.29946000000001, 0, MaxCount, 0}},
            1471580.9846982812,
            9,
            4,
            999};
}

// The first five types lie within 2 * 10^-5 mm of multiples of 1.2477 mm, the others (22.36 mm
// and 131.0 mm) far off them, so that the unit of all ten types is 0.039 mm, finer than the
// window; at 8.2 km the first rows lie where the windows of the first five types fall between
// two of their own multiples for every count of the fifth (no row in 10 s, 150 million steps).
inline SearchRequest huntedShortUnit() {
    return {{{190.90429886302599, 0, 9999, 0},
             {320.669308765631, 0, MaxCount, 0},
             {365.58797043452898, 0, 9999, 0},
             {286.98033645504199, 0, 24, 0},
             {194.64751990323401, 0, MaxCount, 0},
             {22.359329622653998, 0, 9338, 0},
             {118.535348605312, 0, MaxCount, 0},
             {363.09248911544199, 0, MaxCount, 0},
             {153.47208317276102, 0, 9999, 0},
             {131.002554294215, 0, MaxCount, 0}},
            8210058.7699999996,
            10,
            0,
            999};
}

// Hundredths at 469 m, but 142.419998 mm strays 2 um from them and 113.9399997 mm 0.3 um: the
// lengths lie near multiples of 28.484 mm, so the first three types' sums lie in runs about 2 mm
// wide and 28.5 mm apart, and both edges of the window lie 5.2 um below a hundredth. Bit tables
// on the hundredths, which hold the sums within 7.8 um, left open every window that ends just
// above a run (2.5 s, 36 million steps).
inline SearchRequest huntedNearHundredths() {
    return {{{142.41999799999999, 0, 9999, 0},
             {341.81999999999999, 0, 9999, 0},
             {256.36000000000001, 0, 9999, 0},
             {113.9399997, 0, 9999, 0},
             {284.85000000000002, 0, 9999, 0},
             {142.43000000000001, 0, 9999, 0},
             {56.960000000000001, 0, 9999, 0},
             {113.94, 0, MaxCount, 0},
             {370.30000000000001, 0, MaxCount, 0}},
            468721.71479371598,
            8,
            0,
            999};
}

// A type that trades against a faster one: five pieces of 599.93136003 mm are eight of
// 374.9571 mm but for 1.5·10^-7 mm, and the route alone bounds the count of the second type.
// The first type (31.509033 mm, at most 40 pieces) leaves gaps between the multiples of the
// second, which the windows of the third type's counts fall into, one count after another; a
// count whose window is empty rules out every fifth count after it (before: 28 ms and 42,269
// steps, each count ruled out on its own).
inline SearchRequest tradedType() {
    return {{{31.509033, 0, 40, 0},
             {374.9571, 0, MaxCount, 0},
             {599.93136003, 0, 9999, 0},
             {31.509001, 0, MaxCount, 0},
             {286.7319, 0, 9999, 0},
             {333.995401, 0, MaxCount, 0}},
            3960729.469059716,
            1,
            8,
            500};
}

// Nine types near multiples of 3.0609 mm at 8.4 km, hunted: five pieces of the third type are
// four of the second but for 1.4·10^-5 mm, the fourth is the second but for 10^-6 mm, and the
// first, in at most 9,999 pieces, falls short of its multiple by 4·10^-5 mm; the windows of the
// third type's counts miss the first two types' sums by micrometres, each of them on its own.
inline SearchRequest huntedOddUnit() {
    return {{{33.670197999999999, 0, 9999, 0},
             {397.92099999800001, 0, MaxCount, 0},
             {318.33679719599996, 0, 9532, 0},
             {397.92099901, 0, MaxCount, 0},
             {39.792099999999998, 0, MaxCount, 0},
             {355.06800000099997, 0, MaxCount, 0},
             {134.68300103000001, 2, 9999, 0},
             {202.02140003, 1, MaxCount, 0},
             {355.07799999999997, 0, 9999, 0}},
            8381958.9349917257,
            9,
            10,
            500};
}

} // namespace SearchCases
