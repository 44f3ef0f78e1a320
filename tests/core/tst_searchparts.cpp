// Pieces of the search whose faults cost work or show only on rare inputs, so that the
// comparison with the odometer would not notice them: each against a plain computation.
#include "datarow.h"
#include "search_index.h"
#include "search_lists.h"
#include "search_modular.h"
#include "search_reach.h"
#include "search_residue.h"
#include "search_stride.h"
#include "search_unit.h"
#include "search_walk.h"
#include "searchcases.h"
#include "searchfixture.h"

#include <QtTest>

#include <atomic>
#include <cstdlib>
#include <new>
#include <numeric>
#include <set>

// While a test sets it, allocations above this many bytes fail as on a machine out of memory.
static std::atomic<std::size_t> refusedAbove{0};
static std::atomic<int> refusals{0};

void* operator new(std::size_t bytes) {
    const std::size_t limit = refusedAbove.load();
    if (limit != 0 && bytes > limit) {
        ++refusals;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(bytes ? bytes : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

using namespace Kern;
using namespace Kern::SearchDetail;

namespace {

SearchRequest request(const std::vector<double>& lengths, qint64 maximum, double route) {
    SearchRequest r{{}, route, 0, 0, 999};
    for (double l : lengths)
        r.types.push_back(SearchType{l, 0, maximum, 0});
    return r;
}

// Whether some counts of the first two types, with `rest` added last as the walk adds the later
// types, give a double sum in [a, b].
bool pairReaches(const SearchSpace& space, double rest, double a, double b) {
    for (qint64 c2 = 0; c2 <= space.usable[1]; ++c2) {
        const double q = space.product(1, c2);
        const qint64 guess = qint64(std::floor((a - q - rest) / space.len[0]));
        for (qint64 c1 = std::max<qint64>(guess - 2, 0); c1 <= std::min(guess + 2, space.usable[0]);
             ++c1) {
            const double sum = 0.0 + space.product(0, c1) + q + rest;
            if (a <= sum && sum <= b)
                return true;
        }
    }
    return false;
}

// The largest member of the set not above x; -1 if there is none.
qint64 largestNotAbove(const std::set<qint64>& members, qint64 x) {
    const auto above = members.upper_bound(x);
    return above == members.begin() ? -1 : *std::prev(above);
}

enum class Tables { Residues, Coarse, Lists, Index, TightIndex, Band, Strides, None };

// The search with one kind of table built at the first fruitless descent: residue tables, bit
// tables squeezed onto coarse grids, lists of prefix sums, or a unit the lengths nearly share
// looked for at once with its tables of errors per index (in room for about one of them, so that
// a longer prefix's table takes over a shorter one's), bit tables on the lengths' decimals
// with the stride tables that pass the walked type's counts; or none, which leaves the bounds
// that need no table.
std::vector<FoundCombination> searchForced(const SearchRequest& r, Tables kind) {
    SearchLimits limits;
    limits.patience = 0;
    limits.listedSums = kind == Tables::Lists ? 1 << 20 : 0;
    limits.tableBytes = kind == Tables::Coarse ? 256 : kind == Tables::Strides ? 1 << 20 : 0;
    limits.strideEntries = kind == Tables::Strides ? 1 << 20 : 0;
    limits.residueEntries = kind == Tables::Residues ? 1 << 20 : 0;
    limits.indexEntries = kind == Tables::Index ? 1 << 20 : kind == Tables::TightIndex ? 300 : 0;
    limits.unitAfter = kind == Tables::Index || kind == Tables::TightIndex || kind == Tables::Band
                           ? 0
                           : limits.unitAfter;
    std::vector<FoundCombination> out;
    Walker(r, out, nullptr, limits).run();
    return out;
}

// Empty when the search with each kind of table forced gives the reference's rows to the bit.
QString forcedMismatch(const SearchRequest& r, const std::vector<FoundCombination>& reference) {
    const std::pair<const char*, Tables> kinds[] = {
        {"residue tables", Tables::Residues},
        {"coarse tables", Tables::Coarse},
        {"lists", Tables::Lists},
        {"index tables", Tables::Index},
        {"index tables in little room", Tables::TightIndex},
        {"band alone", Tables::Band},
        {"stride tables", Tables::Strides},
        {"no tables", Tables::None}};
    for (const auto& [how, kind] : kinds)
        if (const QString diff = SearchFixture::difference(searchForced(r, kind), reference);
            !diff.isEmpty())
            return QLatin1String(how) + QStringLiteral(": ") + diff;
    return {};
}

// Lengths near multiples of one unit, each later one as likely as not p pieces as long as q of
// an earlier one, exactly or but for a hair; the first type in a few counts, the others as many
// as the route allows; routes on a sum, an edge on one, or an edge a hair beside one.
SearchRequest tradedRequest(QRandomGenerator& rng) {
    const double unit = rng.bounded(5000, 40000) / 1e4;
    const double hairs[] = {0, 0, 0, 1e-9, -1e-9, 1e-6, -3.85e-5};
    const auto hair = [&] { return hairs[rng.bounded(7)]; };
    SearchRequest r{{}, 0, rng.bounded(10), rng.bounded(10), 1000};
    for (int t = 0, n = rng.bounded(3, 6); t < n; ++t) {
        double length = std::round(rng.bounded(10, 140) * unit * 1e4) / 1e4 + hair();
        if (t > 0 && rng.bounded(2) == 1)
            length =
                r.types[size_t(rng.bounded(t))].length * rng.bounded(1, 9) / rng.bounded(1, 7) +
                hair();
        r.types.push_back(SearchType{length, 0, t == 0 ? qint64(rng.bounded(5, 60)) : MaxCount, 0});
    }
    double total = 0.0;
    for (const SearchType& s : r.types)
        total += double(rng.bounded(0, 5)) * s.length;
    const double edges[] = {0.0, -(r.excessTenths / 10.0 + 0.05), r.shortfallTenths / 10.0 + 0.05};
    r.routeLength = total + edges[rng.bounded(3)] + hair();
    return r;
}

// Three types in runs like a comb: the first in fewer counts than fill the gap between two
// multiples of the second, a few unit steps apart; the third p pieces as long as q of the second
// but for a few hundredths of a micrometre or less. The route puts an edge of the window near a
// sum, where the third type's later counts meet the sums only as the trade's delta adds up.
SearchRequest combRequest(QRandomGenerator& rng) {
    const double unit = rng.bounded(5000, 40000) / 1e4;
    const int k0 = rng.bounded(7, 14), k1 = rng.bounded(100, 141);
    const int p = rng.bounded(1, 7), q = rng.bounded(1, 9);
    const double l0 = std::round(k0 * unit * 1e4) / 1e4 + rng.bounded(-20, 21) * 1e-6;
    const double l1 = std::round(k1 * unit * 1e4) / 1e4;
    const double l2 = l1 * q / p + rng.bounded(-60, 61) * 1e-6;
    SearchRequest r{{{l0, 0, qint64(rng.bounded(1, 4)), 0},
                     {l1, 0, rng.bounded(3) == 0 ? qint64(rng.bounded(5, 40)) : MaxCount, 0},
                     {l2, 0, 9999, 0}},
                    0,
                    rng.bounded(4),
                    rng.bounded(4),
                    1000};
    const double sum = rng.bounded(4) * l0 + rng.bounded(10) * l1 + rng.bounded(10, 40) * l2;
    const double edge =
        rng.bounded(2) == 0 ? -(r.excessTenths / 10.0 + 0.05) : r.shortfallTenths / 10.0 + 0.05;
    r.routeLength = sum + edge + rng.bounded(-200, 201) * 1e-6;
    return r;
}

} // namespace

class TestSearchParts : public QObject {
    Q_OBJECT

private slots:

    // Each kind of table, which the search as it runs builds only on hard inputs, against the
    // odometer on small random tables and on the edge cases.
    void forcedTablesMatchTheOdometer() {
        QRandomGenerator rng(20240611);
        for (int round = 0; round < 4000; ++round) {
            const SearchRequest r = SearchFixture::randomRequest(rng);
            const Odometer::Walk reference = Odometer::Literal(r, 100000);
            if (!reference.finished)
                continue;
            const QString diff = forcedMismatch(r, reference.found);
            QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("round %1, ").arg(round) + diff));
        }
        for (const SearchFixture::NamedRequest& c : SearchFixture::edgeCases()) {
            const QString diff = forcedMismatch(c.request, SearchFixture::reference(c.request));
            QVERIFY2(diff.isEmpty(),
                     qPrintable(QLatin1String(c.name) + QStringLiteral(", ") + diff));
        }
    }

    // Types that trade against a faster one rule out whole residues of their counts at once
    // (see Trade): with every kind of table, never a vector the odometer records.
    void tradedTypesMatchTheOdometer() {
        QRandomGenerator rng(20261209);
        int traded = 0;
        for (int round = 0; round < 800; ++round) {
            const SearchRequest r = round % 2 == 0 ? tradedRequest(rng) : combRequest(rng);
            const auto trades = findTrades(SearchSpace(r));
            traded +=
                std::any_of(trades.begin(), trades.end(), [](const Trade& t) { return t.p > 0; });
            const QString diff = forcedMismatch(r, SearchFixture::reference(r));
            QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("round %1, ").arg(round) + diff));
        }
        QVERIFY2(traded >= 500, qPrintable(QString::number(traded)));
    }

    // Where no prefix sum of the faster types lies in the window of count c widened by the trade,
    // none lies in the windows of c + p, ..., c + trades * p. Every count of the third type of
    // small traded tables, against every sum of the first two.
    void tradeWidensEnough() {
        QRandomGenerator rng(2026);
        qint64 premises = 0;
        for (int round = 0; round < 1000; ++round) {
            const SearchRequest r = combRequest(rng);
            const SearchSpace s(r);
            const Trade trade = findTrades(s)[2];
            if (trade.p == 0)
                continue;
            std::vector<double> sums;
            for (qint64 c1 = 0; c1 <= s.usable[1]; ++c1)
                for (qint64 c0 = 0; c0 <= s.usable[0]; ++c0)
                    sums.push_back(0.0 + s.product(0, c0) + s.product(1, c1));
            std::sort(sums.begin(), sums.end());
            const auto first = [&](double a) {
                return std::lower_bound(sums.begin(), sums.end(), a);
            };
            const double slack = std::fabs(s.lo) * 0x1p-50 + std::fabs(s.hi) * 0x1p-49;
            const double scale =
                std::fabs(s.lo) + std::fabs(s.hi) + double(s.usable[2] + 1) * s.len[2];
            for (qint64 c = 0; c <= s.usable[2]; ++c) {
                const double q = s.product(2, c);
                const qint64 trades = (s.usable[2] - c) / trade.p;
                const auto [below, above] =
                    trade.widened(s.lo - q - slack, s.hi - q + slack, scale, trades);
                if (trades < 1 || (first(below) != sums.end() && *first(below) <= above))
                    continue;
                ++premises;
                for (qint64 m = 1; m <= trades; ++m) {
                    const double later = s.product(2, c + m * trade.p);
                    for (auto it = first(s.lo - later - 1);
                         it != sums.end() && *it <= s.hi - later + 1; ++it)
                        QVERIFY2(!(s.lo <= *it + later && *it + later <= s.hi),
                                 qPrintable(QStringLiteral("round %1, count %2 + %3 * %4")
                                                .arg(round)
                                                .arg(c)
                                                .arg(m)
                                                .arg(trade.p)));
                }
            }
        }
        QVERIFY2(premises >= 5000, qPrintable(QString::number(premises)));
    }

    // Tables are a help, not a need: where one finds no memory, the search goes on without it
    // and finds the same rows, however far it had come in building it.
    void tablesWithoutMemory() {
        const std::pair<const char*, Tables> kinds[] = {{"residue tables", Tables::Residues},
                                                        {"coarse tables", Tables::Coarse},
                                                        {"lists", Tables::Lists},
                                                        {"index tables", Tables::Index},
                                                        {"stride tables", Tables::Strides}};
        refusals = 0;
        for (const SearchRequest& r :
             {SearchCases::thousandths(50000), SearchCases::huntedFewCounts()})
            for (const auto& [how, kind] : kinds) {
                const std::vector<FoundCombination> reference = searchForced(r, kind);
                refusedAbove = 256 << 10; // more than the rows take
                std::vector<FoundCombination> found;
                try {
                    found = searchForced(r, kind);
                } catch (const std::bad_alloc&) {
                    refusedAbove = 0;
                    QFAIL(how);
                }
                refusedAbove = 0;
                QVERIFY2(SearchFixture::difference(found, reference).isEmpty(), how);
            }
        QVERIFY(refusals > 0); // some table did want more
    }

    void firstTrueGallopsToTheEdge() {
        QRandomGenerator rng(7);
        for (int i = 0; i < 3000; ++i) {
            const qint64 lo = rng.bounded(-50, 50), hi = lo + rng.bounded(-2, 200);
            const qint64 edge = lo + rng.bounded(-5, 210), guess = lo + rng.bounded(-20, 230);
            int calls = 0;
            const qint64 got = firstTrue(lo, hi, guess, [&](qint64 x) {
                ++calls;
                return x >= edge;
            });
            QCOMPARE(got, lo > hi ? hi + 1 : std::clamp(edge, lo, hi + 1));
            QVERIFY2(calls <= 20, qPrintable(QString::number(calls))); // never scans
        }
    }

    // The grid's edges on exact decimals: a product that is a whole number must not move.
    void floorTimesIsExact_data() {
        dataColumns<double, qint64, qint64, qint64>({"x", "num", "floor", "ceil"});
        // The double nearest 0.1 lies a little above it, the one nearest 0.3 a little below.
        dataRow("0.1 x 10", 0.1, qint64(10), qint64(1), qint64(2));
        dataRow("0.3 x 10", 0.3, qint64(10), qint64(2), qint64(3));
        dataRow("-0.1 x 10", -0.1, qint64(10), qint64(-2), qint64(-1));
        dataRow("0.25 x 4, exact", 0.25, qint64(4), qint64(1), qint64(1));
    }

    void floorTimesIsExact() {
        QFETCH(double, x);
        QFETCH(qint64, num);
        QFETCH(qint64, floor);
        QFETCH(qint64, ceil);
        QCOMPARE(qint64(floorTimes(x, num)), floor);
        QCOMPARE(qint64(ceilTimes(x, num)), ceil);
    }

    // A first hit that is not the least skips counts; one that is no hit costs steps.
    void firstModularMatchesCounting() {
        QRandomGenerator rng(13);
        for (int i = 0; i < 3000; ++i) {
            const qint64 m = rng.bounded(1, 200), a = rng.bounded(qint64(0), m);
            const qint64 l = rng.bounded(qint64(0), m), r = l + rng.bounded(qint64(0), m - l);
            qint64 want = -1;
            for (qint64 x = 0; x < m && want < 0; ++x)
                if (a * x % m >= l && a * x % m <= r)
                    want = x;
            QCOMPARE(firstModular(a, m, l, r), want);
            const qint64 most = rng.bounded(qint64(0), m); // a hit beyond it is none
            QCOMPARE(firstModular(a, m, l, r, most), want <= most ? want : -1);
        }
        const qint64 a = 1000000007, m = 3000000019; // beyond a scan
        QCOMPARE(qint64(Int128(a) * firstModular(a, m, 5, 5) % m), qint64(5));
    }

    // The third type's next count from the table of next hits, as from asking the few type's
    // runs of residues and going through its counts one by one, for windows as wide as the
    // table's; a table for wider windows answers no later. One table in three has raised
    // minimums: no run need start at residue 0, and the last one may wrap around the cycle.
    void tripleStepperTableMatchesItsLoop() {
        QRandomGenerator rng(31);
        int ruledOut = 0;
        for (int i = 0; i < 300; ++i) {
            std::vector<double> lengths;
            for (int t = 0; t < 3; ++t)
                lengths.push_back(rng.bounded(10, 3000) / 10.0);
            SearchRequest r = request(lengths, 9999, rng.bounded(1000, 20000));
            if (i % 3 == 0)
                r.types[0].minimum = r.types[1].minimum = rng.bounded(1, 8);
            const SearchSpace space(r);
            const Grid g = Kern::SearchDetail::decimalLattice(space);
            const TripleStepper loop(space, g, Inf);
            if (!g.valid || loop.few() == 0)
                continue;
            for (int k = 0; k < 20; ++k) {
                const double plo = rng.bounded(space.hi), phi = plo + rng.bounded(0, 30) / 10.0;
                const qint64 width = qint64(g.stepsAbove(3, phi) - g.stepsBelow(3, plo));
                const TripleStepper exact(space, g, Inf), wider(space, g, Inf);
                exact.buildTable(width);
                wider.buildTable(width + 2);
                const qint64 from = rng.bounded(0, 40), to = from + rng.bounded(0, 400);
                const qint64 want = loop.next(from, to, plo, phi);
                QCOMPARE(exact.next(from, to, plo, phi), want);
                QVERIFY(wider.next(from, to, plo, phi) <= want);
                ruledOut += want > from;
            }
        }
        QVERIFY(ruledOut > 500);
    }

    // The fewest decimals, divided by the common divisor, and exact where the double sums are the
    // grid sums: a finer or inexact grid gives the same rows at many times the work.
    void decimalLattice_data() {
        dataColumns<std::vector<double>, qint64, qint64, qint64, bool>(
            {"lengths", "pow10", "den", "firstSteps", "exact"});
        QTest::newRow("start-up lengths, tenths")
            << std::vector<double>{64.3, 70.8, 77.5} << qint64(10) << qint64(1) << qint64(643)
            << false;
        QTest::newRow("common divisor 10.2") << std::vector<double>{10.2, 20.4, 30.6} << qint64(10)
                                             << qint64(102) << qint64(1) << false;
        QTest::newRow("quarters add up exactly")
            << std::vector<double>{0.25, 5.75} << qint64(100) << qint64(25) << qint64(1) << true;
        // Rounded to thousandths, the few pieces up to 1 m stray by less than the window's width.
        QTest::newRow("eight decimals, rounded within the window")
            << std::vector<double>{64.12345678, 70.87654321} << qint64(1000) << qint64(1)
            << qint64(64123) << false;
    }

    void decimalLattice() {
        QFETCH(std::vector<double>, lengths);
        QFETCH(qint64, pow10);
        QFETCH(qint64, den);
        QFETCH(qint64, firstSteps);
        QFETCH(bool, exact);
        const SearchSpace space(request(lengths, 9999, 1000.0));
        const Grid g = Kern::SearchDetail::decimalLattice(space);
        QVERIFY(g.valid);
        QCOMPARE(g.pow10, pow10);
        QCOMPARE(g.den, den);
        QCOMPARE(g.steps[0], firstSteps);
        QCOMPARE(g.exact[lengths.size()], exact);
    }

    // On a coarse grid a length below the unit spans its steps: every double prefix sum lies within
    // the grid's error of a grid sum it can reach.
    void denseGridHoldsEverySum() {
        QRandomGenerator rng(19);
        const SearchSpace space(request({101.6, 3e-6, 170.1, 2e-9}, 999999999, 3000.0));
        Grid g;
        QVERIFY(fillGrid(g, space, 10, space.n, true));
        g.finishSetup();
        QCOMPARE(g.steps[1], qint64(1));
        QCOMPARE(g.last[1], qint64(29999)); // a billion pieces of 3 um, in tenths of a millimetre
        QVERIFY(g.error[4] < 0.25L); // a unit per short type, not the sum of the pieces' errors
        for (int i = 0; i < 2000; ++i) {
            double p = 0.0;
            qint64 grid = 0;
            for (size_t t = 0; t < 4; ++t) {
                const qint64 c = rng.bounded(qint64(0), space.usable[t] + 1);
                const double q = space.product(int(t), c);
                p += q;
                grid += space.len[t] < 0.1 ? qint64(std::floor(q * 10)) : g.steps[t] * c;
            }
            QVERIFY(std::fabs(p - grid / 10.0) <= double(g.error[4]));
            QVERIFY(g.stepsBelow(4, p) <= double(grid) && double(grid) <= g.stepsAbove(4, p));
        }
    }

    // 142.419998 mm strays 2 um from the hundredths, which hold the first two types' sums at
    // 469 m only within 6.6 um: a window a few micrometres above a sum of the pair, short of the
    // next one (0.02 mm on), holds a sum on the grid of hundredths all the same. On the pair's own
    // lattice of millionths it is ruled out; a window around the sum is not.
    void pairLatticeHoldsThePairExactly() {
        const SearchSpace space(
            request({142.419998, 341.82, 256.36, 113.9399997, 284.85}, 9999, 468721.71));
        QCOMPARE(Kern::SearchDetail::decimalLattice(space).pow10, qint64(100));
        const Grid pair = pairLattice(space);
        QVERIFY(pair.valid);
        QCOMPARE(pair.steps[0], qint64(142419998));
        const ReachBounds bounds(space, SearchLimits{});
        QRandomGenerator rng(23);
        for (int i = 0; i < 200; ++i) {
            const double sum = 0.0 + space.product(0, rng.bounded(qint64(0), space.usable[0])) +
                               space.product(1, rng.bounded(qint64(0), space.usable[1]));
            if (sum > space.hi)
                continue;
            QVERIFY(bounds.reachBelow(2, sum - 1e-4, sum + 1e-4) >= sum);
            const double a = sum + 1e-4, b = sum + 4e-3;
            QVERIFY(!pairReaches(space, 0.0, a, b));
            QVERIFY2(bounds.reachBelow(2, a, b) < a, qPrintable(QString::number(sum, 'f', 6)));
        }
    }

    // On five decimals the first type has 16 million steps, too many for the third type's table
    // of next hits; on four, where 327.51896 mm strays by 4·10^-5 mm, 1.6 million. The stepping
    // on those coarser decimals, its table built after a few thousand calls, must never pass a
    // count of the third type for which some counts of the first two end in the window.
    void coarseThirdTypeSteppingPassesNoSum() {
        SearchRequest r = request({162.4933, 327.51896, 352.2095, 57.82229}, 9999, 9530125.562);
        r.types[1].maximum = 37;
        const SearchSpace space(r);
        const ReachBounds bounds(space, SearchLimits{});
        const auto sumAt = [&](qint64 c3, double plo, double phi) {
            return pairReaches(space, space.product(2, c3), plo, phi);
        };
        QRandomGenerator rng(29);
        qint64 passed = 0, met = 0;
        for (int i = 0; i < 6000; ++i) {
            const double plo = 1e5 + rng.bounded(4.9e6), phi = plo + 0.1;
            const qint64 from = rng.bounded(0, 9000), to = from + 200;
            const qint64 next = bounds.tripleNext(from, to, plo, phi);
            for (qint64 c3 = from; c3 < std::min(next, to + 1); ++c3)
                QVERIFY2(!sumAt(c3, plo, phi), qPrintable(QString::number(plo, 'f', 6)));
            passed += std::min(next, to + 1) - from;
            met += next <= to && sumAt(next, plo, phi);
        }
        QVERIFY(passed > 6000 * 20); // most counts are passed
        QVERIFY(met > 300);          // and some of those it stops at complete
    }

    // Every count vector of a few types, summed as index times step plus error: the table's answer
    // is what the least and greatest error of each index allow, never below a reachable sum and
    // never above top; beyond an incomplete table it declines to answer.
    void indexTableMatchesEveryVector() {
        QRandomGenerator rng(41);
        for (int round = 0; round < 300; ++round) {
            const long double step = 5 + rng.generateDouble();
            std::vector<std::tuple<qint64, qint64, long double>> types; // k, range, error
            qint64 reach = 0;
            for (int t = rng.bounded(1, 5); t > 0; --t) {
                types.emplace_back(rng.bounded(1, 9), rng.bounded(0, 7),
                                   (rng.generateDouble() - 0.5) * 0.1L);
                reach += std::get<0>(types.back()) * std::get<1>(types.back());
            }
            IndexTable table(step, reach + 1);
            // Every vector's sum, by adding the types one at a time.
            std::vector<std::pair<qint64, long double>> sums{{0, 0}};
            for (const auto& [k, range, e] : types) {
                QVERIFY(table.addType(k, e, range, nullptr));
                std::vector<std::pair<qint64, long double>> more;
                for (const auto& [index, error] : sums)
                    for (qint64 c = 0; c <= range; ++c)
                        more.emplace_back(index + c * k, error + c * e);
                sums.swap(more);
            }
            table.finish(true);
            // The least and greatest error of each index.
            std::vector<long double> low(size_t(reach + 1), Inf), high(low.size(), -Inf);
            for (const auto& [index, error] : sums) {
                low[size_t(index)] = std::min(low[size_t(index)], error);
                high[size_t(index)] = std::max(high[size_t(index)], error);
            }
            for (int q = 0; q < 40; ++q) {
                const long double top = (rng.generateDouble() * 1.1 - 0.05) * (reach + 1) * step;
                long double want = -Inf;
                for (size_t k = 0; k < low.size(); ++k)
                    if (k * step + low[k] <= top)
                        want = std::max(want, std::min(top, k * step + high[k]));
                const long double got = table.largestNotAbove(top);
                QVERIFY2(want == -Inf ? got == -Inf : got >= want && got <= want + 1e-6L,
                         qPrintable(QStringLiteral("round %1").arg(round)));
            }
            table.finish(false);
            QVERIFY(std::isnan(table.largestNotAbove((reach + 3) * step)));
        }
    }

    // A type of a few counts over the table of the types before it, its sums taken one at a
    // time: against every reachable sum, the bound below any point and the first count of a
    // sliding window that may meet one.
    void stackedTypeOverShorterTable() {
        QRandomGenerator rng(41);
        const double unit = 7.0710678118654755;
        for (int i = 0; i < 100; ++i) {
            SearchRequest r{{}, 0, 0, 0, 999};
            const int n = rng.bounded(3, 6);
            double route = 100;
            for (int t = 0; t < n; ++t) {
                const double len = std::round(rng.bounded(3, 60) * unit * 1e4) / 1e4;
                const bool last = t == n - 1;
                const qint64 least = last ? rng.bounded(0, 3) : 0;
                const qint64 most = least + (last ? rng.bounded(0, 16) : rng.bounded(1, 12));
                r.types.push_back(SearchType{len, least, most, 0});
                route += double(most) * len;
            }
            r.routeLength = route;
            const SearchSpace space(r);
            UnitLattice lattice = UnitLattice::find(space);
            QVERIFY(lattice.valid(n));
            lattice.buildIndexTable(space, n - 1, 1, nullptr);
            QVERIFY(lattice.stacked(n));
            std::vector<double> sums{0.0};
            for (int t = 0; t < n; ++t) {
                std::vector<double> next;
                for (const double x : sums)
                    for (qint64 c = space.min[size_t(t)]; c <= space.usable[size_t(t)]; ++c)
                        next.push_back(x + space.product(t, c));
                sums = std::move(next);
            }
            std::sort(sums.begin(), sums.end());
            for (int k = 0; k < 100; ++k) {
                const double b = rng.generateDouble() * space.hi;
                const auto above = std::upper_bound(sums.begin(), sums.end(), b);
                if (above != sums.begin())
                    QVERIFY(lattice.below(n, b) >= *(above - 1));
                const double a = b - rng.generateDouble() * unit / 4;
                const double slide = unit * (rng.bounded(1, 9) + rng.generateDouble());
                const qint64 most = rng.bounded(1, 300);
                qint64 want = most + 1;
                for (qint64 j = 1; j <= most && want > most; ++j) {
                    const auto from = std::lower_bound(sums.begin(), sums.end(), a - j * slide);
                    if (from != sums.end() && *from <= b - j * slide)
                        want = j;
                }
                const qint64 got = lattice.passable(n, a, b, slide, most);
                QVERIFY2(
                    got >= 1 && got <= want,
                    qPrintable(QStringLiteral("round %1: %2 for %3").arg(i).arg(got).arg(want)));
            }
        }
    }

    // A window sliding over an index table is never passed beyond a count whose window meets an
    // index's sums, for slides near any fraction of the step. One that moves half a step per count
    // lies between two indices at every count and is passed to the end, though it never stays
    // in one place from one count to the next.
    void indexTableFirstMeetingPassesNoMeeting() {
        QRandomGenerator rng(53);
        for (int round = 0; round < 300; ++round) {
            const long double step = 5 + rng.generateDouble();
            IndexTable table(step, 301);
            std::vector<long double> low(301, Inf), high(301, -Inf);
            low[0] = high[0] = 0;
            for (int t = rng.bounded(1, 4); t > 0; --t) {
                const qint64 k = rng.bounded(1, 9), range = rng.bounded(0, 30 / k + 1);
                const long double e = (rng.generateDouble() - 0.5) * 0.2L;
                QVERIFY(table.addType(k, e, range, nullptr));
                for (qint64 index = 300; index >= 0; --index)
                    for (qint64 c = 1; c <= range && index - c * k >= 0; ++c)
                        if (const size_t from = size_t(index - c * k); low[from] <= high[from]) {
                            low[size_t(index)] = std::min(low[size_t(index)], low[from] + c * e);
                            high[size_t(index)] = std::max(high[size_t(index)], high[from] + c * e);
                        }
            }
            table.finish(true);
            const int q = rng.bounded(1, 9);
            const long double slide = (rng.bounded(1, 12) + rng.bounded(q) / double(q)) * step *
                                      (1 + (rng.generateDouble() - 0.5) * 1e-3);
            for (int query = 0; query < 20; ++query) {
                const long double bottom = rng.generateDouble() * 300 * step;
                const long double top = bottom + rng.generateDouble() * 0.3L * step;
                const qint64 most = rng.bounded(1, 200);
                qint64 want = most + 1;
                for (qint64 j = 1; j <= most && want > most; ++j)
                    for (size_t k = 0; k < low.size(); ++k)
                        if (k * step + low[k] <= top - j * slide &&
                            k * step + high[k] >= bottom - j * slide)
                            want = j;
                const qint64 got = table.firstMeeting(bottom, top, slide, most);
                QVERIFY2(got >= 1 && got <= want,
                         qPrintable(
                             QStringLiteral("round %1: %2 for %3").arg(round).arg(got).arg(want)));
            }
        }
        IndexTable evenly(1, 301);
        QVERIFY(evenly.addType(1, 0, 300, nullptr));
        evenly.finish(true);
        QCOMPARE(evenly.firstMeeting(280.2L, 280.3L, 7.5L, 36), qint64(37));
    }

    // Near multiples of an odd unit to four decimals: the unit is found, no reachable prefix sum
    // lies above the bound, and a window halfway between two multiples is ruled out.
    void unitLatticeBoundsEveryReachableSum() {
        QRandomGenerator rng(31);
        const double unit = 7.0710678118654755;
        for (int i = 0; i < 200; ++i) {
            std::vector<double> lengths;
            for (int t = rng.bounded(2, 8); t > 0; --t)
                lengths.push_back(std::round(rng.bounded(3, 60) * unit * 1e4) / 1e4);
            const SearchSpace space(request(lengths, 9999, rng.bounded(1000, 100000)));
            const UnitLattice lattice = UnitLattice::find(space);
            QVERIFY(lattice.valid(space.n));
            const double between = (rng.bounded(20, 140) + 0.5) * unit;
            QVERIFY(lattice.below(space.n, between) < between - unit / 4);
            // The longest prefix's index table built at once, and built prefix by prefix, each
            // table taking over the one before: the same answers.
            UnitLattice atOnce = lattice, stepwise = lattice;
            atOnce.buildIndexTable(space, space.n, 1, nullptr);
            for (int t = 2; t <= space.n; ++t)
                stepwise.buildIndexTable(space, t, t - 1, nullptr);
            QVERIFY(space.n < 3 || !stepwise.indexed(space.n - 1));
            for (int k = 0; k < 200; ++k) {
                const double b = rng.generateDouble() * space.hi;
                QCOMPARE(stepwise.below(space.n, b), atOnce.below(space.n, b));
                QCOMPARE(stepwise.passable(space.n, b - unit / 8, b, unit * 1.37, 500),
                         atOnce.passable(space.n, b - unit / 8, b, unit * 1.37, 500));
            }
            for (int k = 0; k < 100; ++k) {
                double p = 0.0;
                for (int t = 0; t < space.n; ++t) {
                    const qint64 most = std::min<qint64>(space.usable[size_t(t)], 60);
                    p += space.product(t, rng.bounded(qint64(0), most + 1));
                    const double b = p + rng.bounded(3) * rng.generateDouble();
                    QVERIFY(!lattice.valid(t + 1) || lattice.below(t + 1, b) >= p);
                }
            }
        }
    }

    // The first types near multiples of one unit, the last ones short and far off it: where the
    // unit of all types is no help, the first types' own unit rules out a window between two of
    // its multiples, and its band still holds every sum they reach.
    void unitOfTheFirstTypes() {
        QRandomGenerator rng(47);
        const double unit = 1.2477405154445;
        int helped = 0;
        for (int i = 0; i < 100; ++i) {
            std::vector<double> lengths;
            const int first = rng.bounded(2, 6);
            for (int t = first; t > 0; --t)
                lengths.push_back(std::round(rng.bounded(100, 300) * unit * 1e7) / 1e7);
            for (int t = rng.bounded(1, 4); t > 0; --t)
                lengths.push_back(rng.bounded(5000, 40000) / 1000.0);
            const SearchSpace space(request(lengths, 9999, rng.bounded(100000, 8000000)));
            const UnitLattice own = UnitLattice::find(space, 0, first);
            QVERIFY(own.valid(first) && !own.valid(first + 1));
            if (!(own.bandWidth(space, first) * 2 <
                  UnitLattice::find(space).bandWidth(space, first)))
                continue;
            ++helped;
            const double between = (rng.bounded(200, 2000) + 0.5) * unit;
            QVERIFY(own.below(first, between) < between - unit / 4);
            for (int k = 0; k < 100; ++k) {
                double p = 0.0;
                for (int t = 0; t < first; ++t) {
                    p += space.product(t, rng.bounded(qint64(0), space.usable[size_t(t)] + 1));
                    const double b = p + rng.bounded(3) * rng.generateDouble();
                    QVERIFY(t == 0 || own.below(t + 1, b) >= p);
                }
            }
        }
        QVERIFY2(helped >= 40, qPrintable(QString::number(helped)));
    }

    void reachTableLargestNotAbove() {
        QRandomGenerator rng(23);
        for (int i = 0; i < 50; ++i) {
            const qint64 bits = rng.bounded(1, 9000);
            // Ones beyond the table's words, which no shift may read.
            std::vector<quint64> words(ReachTable::words(bits) + 600 / 64 + 2, ~quint64(0));
            ReachTable table(words.data(), bits);
            table.zero();
            std::set<qint64> members{bits - 1};
            table.set(bits - 1);
            for (int k = rng.bounded(0, 40); k > 0; --k) {
                const qint64 x = rng.bounded(qint64(0), bits);
                table.set(x);
                members.insert(x);
            }
            // A moving shift doubles as widening: this |= this << k.
            const qint64 k = rng.bounded(1, 300);
            table.shift(table, k);
            for (qint64 x : std::set<qint64>(members))
                if (x + k < bits)
                    members.insert(x + k);
            table.finish();
            for (qint64 x = -1; x < bits + 5; x += rng.bounded(1, 40)) {
                QCOMPARE(table.predecessor(x), largestNotAbove(members, x));
                // Windows within a word, across words, and over either end.
                const qint64 to = x + rng.bounded(0, i % 2 ? 64 : 200);
                const auto after = members.lower_bound(x);
                QCOMPARE(table.any(x, to), after != members.end() && *after <= to);
            }
            // Moved into a longer table, nothing of what lies beyond the shorter one's end.
            const qint64 longer = bits + rng.bounded(0, 500), by = rng.bounded(0, 300);
            std::vector<quint64> more(ReachTable::words(longer) + 1, ~quint64(0));
            ReachTable moved(more.data(), longer);
            moved.shift(table, by);
            moved.finish();
            std::set<qint64> movedMembers;
            for (qint64 x : members)
                if (x < bits && x + by < longer)
                    movedMembers.insert(x + by);
            for (qint64 x = -1; x < longer + 5; x += rng.bounded(1, 40))
                QCOMPARE(moved.predecessor(x), largestNotAbove(movedMembers, x));
        }
    }

    // The first window, sliding down by the modulus, that meets a member: against trying each
    // window in turn, on tables sparse and dense, windows reaching below zero and beyond the end.
    void strideTableFirstMeeting() {
        QRandomGenerator rng(31);
        for (int i = 0; i < 200; ++i) {
            const qint64 bits = rng.bounded(1, 20000);
            std::vector<quint64> words(ReachTable::words(bits), 0);
            ReachTable table(words.data(), bits);
            std::set<qint64> members;
            const int density = rng.bounded(1, 200);
            for (qint64 x = 0; x < bits; ++x)
                if (rng.bounded(density) == 0) {
                    table.set(x);
                    members.insert(x);
                }
            table.finish();
            QCOMPARE(StrideTable::entries(table), qint64(members.size()));
            const qint64 g = rng.bounded(1, i % 2 ? 70 : 3000);
            const StrideTable stride(table, g, nullptr);
            QVERIFY(stride.valid());
            for (int k = 0; k < 40; ++k) {
                const qint64 width = rng.bounded(qint64(0), g);
                const qint64 high = rng.bounded(qint64(-5), bits + 3 * g);
                const qint64 most = rng.bounded(0, 3) == 0 ? rng.bounded(0, 5) : bits / g + 3;
                qint64 first = most + 1;
                for (qint64 j = 0; j <= most && first > most; ++j)
                    if (const qint64 x = largestNotAbove(members, high - j * g);
                        x >= 0 && x >= high - width - j * g)
                        first = j;
                QCOMPARE(stride.firstMeeting(high, width, most), first);
            }
        }
    }

    // The first count whose window meets a sum, against trying each count in turn: sums next to
    // multiples of the length (remainders near 0 and near the length), windows around a sum and
    // around a multiple (their remainders wrap), and windows too wide to tell.
    void remainderListFirstMeeting() {
        QRandomGenerator rng(37);
        for (int i = 0; i < 300; ++i) {
            const double len = 1 + rng.bounded(5000.0);
            std::vector<double> sums;
            for (int k = rng.bounded(1, i % 3 ? 60 : 600); k > 0; --k) {
                const double multiple = double(rng.bounded(0, 3000)) * len;
                const double off =
                    rng.bounded(3) == 0 ? rng.bounded(2e-9) - 1e-9 : rng.bounded(len);
                sums.push_back(std::max(multiple + off, 0.0));
            }
            std::sort(sums.begin(), sums.end());
            const RemainderList list(sums, len);
            for (int k = 0; k < 40; ++k) {
                const double width =
                    rng.bounded(4) == 0 ? rng.bounded(1.5 * len) : rng.bounded(0.01 * len);
                const qint64 from = rng.bounded(0, 50), to = from + rng.bounded(0, 3000);
                const double centre =
                    rng.bounded(2) ? sums[rng.bounded(quint32(sums.size()))] : 0.0;
                const double moved = centre + double(rng.bounded(0, 3100)) * len;
                // Also with an edge on a sum moved by whole lengths, as the walk rounds it.
                const int edge = rng.bounded(3);
                const double lo = edge == 0   ? moved
                                  : edge == 1 ? moved - width
                                              : moved - rng.bounded(width);
                const double hi = lo + width;
                qint64 first = to + 1;
                for (qint64 c = from; c <= to && first > to; ++c)
                    for (const double s : sums)
                        if (lo <= s + double(c) * len && s + double(c) * len <= hi)
                            first = c;
                const qint64 next = list.next(from, to, lo, hi);
                if (next < 0) {
                    QVERIFY(width >= len * 0.999 || sums.size() > RemainderList::MostLooked);
                    continue;
                }
                QVERIFY(next <= first);
                if (next > to)
                    continue;
                const double tolerance = (std::fabs(lo) + std::fabs(hi) + (to + 1) * len) * 0x1p-40;
                QVERIFY(std::any_of(sums.begin(), sums.end(), [&](double s) {
                    return lo - tolerance <= s + double(next) * len &&
                           s + double(next) * len <= hi + tolerance;
                }));
            }
        }
    }

    // Least sum per class, with count ranges too short to fill a cycle (slid along the cycle) and
    // long ones, some above a minimum; the predecessor, mirrored sums included, never lies below
    // the largest reachable sum.
    void residueTableLeastPerClass() {
        QRandomGenerator rng(29);
        for (int i = 0; i < 200; ++i) {
            const qint64 modulus = rng.bounded(2, i % 2 ? 150 : 600);
            const qint64 cap = rng.bounded(100, i % 2 ? 3000 : 30000);
            ResidueTable table(modulus, cap);
            std::set<qint64> reachable{0}; // every sum up to the cap
            qint64 top = 0;
            for (int t = 0, types = rng.bounded(2, 5); t < types; ++t) {
                const qint64 step = t == 0 ? modulus : rng.bounded(1, i % 2 ? 200 : 40);
                const qint64 most = t == 0                ? rng.bounded(0, 100)
                                    : rng.bounded(3) == 0 ? rng.bounded(0, 6)
                                                          : rng.bounded(0, 400);
                const qint64 least =
                    t > 0 && rng.bounded(4) == 0 ? rng.bounded(qint64(0), most + 1) : 0;
                QVERIFY(table.addType(step, least, most, nullptr));
                top += step * (least + most);
                std::set<qint64> next;
                for (qint64 x : reachable)
                    for (qint64 c = least; c <= most && x + c * step <= cap; ++c)
                        next.insert(x + c * step);
                reachable = std::move(next);
            }
            table.finish(top);
            for (qint64 r = 0; r < modulus; ++r) {
                qint64 least = cap + 1;
                for (auto x = reachable.begin(); x != reachable.end() && least > cap; ++x)
                    if (*x % modulus == r)
                        least = *x;
                QCOMPARE(std::min(table.least(r), cap + 1), least);
            }
            for (qint64 x = 0; x <= cap; x += rng.bounded(1, 50))
                QVERIFY(table.predecessor(x, x) >= largestNotAbove(reachable, x));
        }
        // Class 0 reached only from the farthest class a slide looks back over: one piece of 30
        // and 70 of 1.
        ResidueTable farthest(100, 1000);
        QVERIFY(farthest.addType(30, 1, 1, nullptr));
        QVERIFY(farthest.addType(1, 0, 70, nullptr));
        QCOMPARE(farthest.least(0), qint64(100));
    }
};

QTEST_GUILESS_MAIN(TestSearchParts)
#include "tst_searchparts.moc"
