// The pieces of the search, each against a plain computation of what it stands for.
#include "search_nofma.h"

#include "search_exact.h"
#include "search_grid.h"
#include "search_modular.h"
#include "search_reach.h"
#include "search_residue.h"

#include <QRandomGenerator>
#include <QtTest>

#include <numeric>
#include <set>

using namespace Kern;
using namespace Kern::SearchDetail;

namespace {

SearchRequest request(const std::vector<double>& lengths, qint64 maximum, double route) {
    SearchRequest r;
    for (double l : lengths)
        r.types.push_back(SearchType{l, 0, maximum, 0});
    r.routeLength = route;
    r.limit = 999;
    return r;
}

// Every sum of counts 0..maximum[t] of the steps, up to cap.
std::set<qint64> sums(const std::vector<qint64>& steps, const std::vector<qint64>& maximum,
                      qint64 cap) {
    std::set<qint64> all{0};
    for (size_t t = 0; t < steps.size(); ++t) {
        std::set<qint64> next;
        for (qint64 x : all)
            for (qint64 c = 0; c <= maximum[t] && x + c * steps[t] <= cap; ++c)
                next.insert(x + c * steps[t]);
        all = std::move(next);
    }
    return all;
}

} // namespace

class TestSearchParts : public QObject {
    Q_OBJECT

private slots:
    void firstTrueFindsTheEdgeFromAnyGuess();
    void prefixIntervalsAreExact();
    void floorTimesIsExact_data();
    void floorTimesIsExact();
    void firstModularMatchesCounting();
    void pairStepperFindsTheNextCount();
    void decimalLattice_data();
    void decimalLattice();
    void denseGridHoldsEverySum();
    void reachTableLargestNotAbove();
    void residueTableLeastPerClass();
};

void TestSearchParts::firstTrueFindsTheEdgeFromAnyGuess() {
    QRandomGenerator rng(7);
    for (int i = 0; i < 3000; ++i) {
        const qint64 lo = rng.bounded(-50, 50), hi = lo + rng.bounded(-2, 200);
        const qint64 edge = lo + rng.bounded(-5, 210), guess = lo + rng.bounded(-20, 230);
        int calls = 0;
        const qint64 got = firstTrue(lo, hi, guess, [&](qint64 x) {
            ++calls;
            return x >= edge;
        });
        const qint64 want = lo > hi ? hi + 1 : std::clamp(edge, lo, hi + 1);
        QCOMPARE(got, want);
        QVERIFY2(calls <= 20, qPrintable(QString::number(calls))); // gallops, never scans
    }
}

// lowerEnd/upperEnd give the exact interval of prefix sums P with P + q in [lo, hi].
void TestSearchParts::prefixIntervalsAreExact() {
    QRandomGenerator rng(11);
    for (int i = 0; i < 3000; ++i) {
        const double plo = std::ldexp(rng.generateDouble(), rng.bounded(-60, 60));
        const double q =
            rng.bounded(4) == 0 ? 0.0 : std::ldexp(rng.generateDouble(), rng.bounded(-80, 60));
        const double a = lowerEnd(plo, q);
        QVERIFY(a + q >= plo);
        QVERIFY(a == 0.0 || std::nextafter(a, -Inf) + q < plo);
        const double b = upperEnd(plo, q);
        if (b == -Inf) {
            QVERIFY(0.0 + q > plo);
        } else {
            QVERIFY(b + q <= plo);
            QVERIFY(std::nextafter(b, Inf) + q > plo);
        }
    }
}

void TestSearchParts::floorTimesIsExact_data() {
    QTest::addColumn<double>("x");
    QTest::addColumn<qint64>("num");
    QTest::addColumn<qint64>("floor");
    QTest::addColumn<qint64>("ceil");
    // The double nearest 0.1 lies a little above it, the one nearest 0.3 a little below.
    QTest::newRow("0.1 x 10") << 0.1 << qint64(10) << qint64(1) << qint64(2);
    QTest::newRow("0.3 x 10") << 0.3 << qint64(10) << qint64(2) << qint64(3);
    QTest::newRow("-0.1 x 10") << -0.1 << qint64(10) << qint64(-2) << qint64(-1);
    QTest::newRow("0.25 x 4, exact") << 0.25 << qint64(4) << qint64(1) << qint64(1);
}

void TestSearchParts::floorTimesIsExact() {
    QFETCH(double, x);
    QFETCH(qint64, num);
    QFETCH(qint64, floor);
    QFETCH(qint64, ceil);
    QCOMPARE(qint64(floorTimes(x, num)), floor);
    QCOMPARE(qint64(ceilTimes(x, num)), ceil);
}

void TestSearchParts::firstModularMatchesCounting() {
    QRandomGenerator rng(13);
    for (int i = 0; i < 3000; ++i) {
        const qint64 m = rng.bounded(1, 200), a = rng.bounded(qint64(0), m);
        const qint64 l = rng.bounded(qint64(0), m), r = l + rng.bounded(qint64(0), m - l);
        qint64 want = -1;
        for (qint64 x = 0; x < m && want < 0; ++x)
            if (a * x % m >= l && a * x % m <= r)
                want = x;
        QCOMPARE(firstModular(a, m, l, r), want);
    }
    // Large moduli go through Euclid's reduction, not a scan.
    const qint64 a = 1000000007, m = 3000000019;
    const qint64 x = firstModular(a, m, 5, 5);
    QCOMPARE(qint64(__int128(a) * x % m), qint64(5));
}

// Integer lengths: the grid is the lengths divided by their common divisor, and the next count
// of the second type for which some whole count of the first puts the sum into the range can be
// counted out.
void TestSearchParts::pairStepperFindsTheNextCount() {
    QRandomGenerator rng(17);
    for (int i = 0; i < 400; ++i) {
        const SearchSpace space(
            request({double(rng.bounded(2, 60)), double(rng.bounded(1, 60))}, 40, 3000.0));
        const Grid lattice = Kern::SearchDetail::decimalLattice(space);
        QVERIFY(lattice.valid && lattice.pow10 == 1);
        const qint64 s1 = lattice.steps[0], s2 = lattice.steps[1];
        const PairStepper pair(space, lattice);
        const qint64 low = rng.bounded(0, 2000),
                     width = s1 > 2 ? rng.bounded(qint64(0), s1 - 2) : 0;
        const qint64 from = rng.bounded(0, 40), to = from + rng.bounded(0, 40);
        qint64 want = to + 1;
        for (qint64 c2 = from; c2 <= to && want > to; ++c2) {
            const qint64 rest = low - c2 * s2; // c1 * s1 in [rest, rest + width]
            const qint64 c1 = rest >= 0 ? (rest + s1 - 1) / s1 : -(-rest / s1);
            if (c1 * s1 <= rest + width)
                want = c2;
        }
        QCOMPARE(pair.nextInSteps(from, to, double(low), double(low + width)), want);
    }
}

void TestSearchParts::decimalLattice_data() {
    QTest::addColumn<std::vector<double>>("lengths");
    QTest::addColumn<double>("route");
    QTest::addColumn<qint64>("pow10");
    QTest::addColumn<qint64>("den");
    QTest::addColumn<qint64>("firstSteps");
    QTest::addColumn<bool>("exact");
    QTest::newRow("start-up lengths, tenths") << std::vector<double>{64.3, 70.8, 77.5} << 1000.0
                                              << qint64(10) << qint64(1) << qint64(643) << false;
    QTest::newRow("common divisor 10.2") << std::vector<double>{10.2, 20.4, 30.6} << 300.0
                                         << qint64(10) << qint64(102) << qint64(1) << false;
    QTest::newRow("quarters add up exactly") << std::vector<double>{0.25, 5.75} << 300.0
                                             << qint64(100) << qint64(25) << qint64(1) << true;
    QTest::newRow("whole millimetres") << std::vector<double>{3000001, 5000003} << 2e11 << qint64(1)
                                       << qint64(1) << qint64(3000001) << true;
    // Rounded to thousandths, the few pieces up to 1 m stray by less than the window's width.
    QTest::newRow("eight decimals, rounded within the window")
        << std::vector<double>{64.12345678, 70.87654321} << 1000.0 << qint64(1000) << qint64(1)
        << qint64(64123) << false;
}

void TestSearchParts::decimalLattice() {
    QFETCH(std::vector<double>, lengths);
    QFETCH(double, route);
    QFETCH(qint64, pow10);
    QFETCH(qint64, den);
    QFETCH(qint64, firstSteps);
    QFETCH(bool, exact);
    const SearchSpace space(request(lengths, 9999, route));
    const Grid g = Kern::SearchDetail::decimalLattice(space);
    QVERIFY(g.valid);
    QCOMPARE(g.pow10, pow10);
    QCOMPARE(g.den, den);
    QCOMPARE(g.steps[0], firstSteps);
    QCOMPARE(g.exact[lengths.size()], exact);
    QCOMPARE(g.divisor[lengths.size()], qint64(1));
}

// On a coarse grid a length below the unit spans its steps: every double prefix sum lies within
// the grid's error of a grid sum it can reach.
void TestSearchParts::denseGridHoldsEverySum() {
    QRandomGenerator rng(19);
    const SearchSpace space(request({101.6, 3e-6, 170.1, 2e-9}, 999999999, 3000.0));
    Grid g;
    QVERIFY(fillGrid(g, space, 10, space.n, true));
    g.finishSetup();
    QCOMPARE(g.steps[1], qint64(1));
    QCOMPARE(g.last[1], qint64(29999)); // a billion pieces of 3 um, in tenths of a millimetre
    QVERIFY(g.error[4] < 0.25L);        // a unit per short type, not the sum of the pieces' errors
    for (int i = 0; i < 2000; ++i) {
        std::array<qint64, 4> c{};
        double p = 0.0;
        qint64 grid = 0;
        for (int t = 0; t < 4; ++t) {
            c[size_t(t)] = rng.bounded(qint64(0), space.usable[size_t(t)] + 1);
            const double q = space.product(t, c[size_t(t)]);
            p += q;
            grid += g.steps[size_t(t)] == 1 && space.len[size_t(t)] < 0.1
                        ? qint64(std::floor(q * 10))
                        : g.steps[size_t(t)] * c[size_t(t)];
        }
        QVERIFY(std::fabs(p - grid / 10.0) <= double(g.error[4]));
        QVERIFY(g.stepsBelow(4, p) <= double(grid) && double(grid) <= g.stepsAbove(4, p));
    }
}

void TestSearchParts::reachTableLargestNotAbove() {
    QRandomGenerator rng(23);
    for (int i = 0; i < 50; ++i) {
        const qint64 bits = rng.bounded(1, 9000);
        std::vector<quint64> words(ReachTable::words(bits) + 1);
        ReachTable table(words.data(), bits);
        table.zero();
        std::set<qint64> members;
        const int count = rng.bounded(0, 40);
        for (int k = 0; k < count; ++k) {
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
            const auto above = members.upper_bound(x);
            const qint64 want = above == members.begin() ? -1 : *std::prev(above);
            QCOMPARE(table.predecessor(x), want);
        }
    }
}

// Least sum per class, with count ranges too short to fill a cycle (added exactly) and long
// ones (taken as unbounded where the cycle is longer than 64 classes); the predecessor, mirrored
// sums included, never lies below the largest reachable sum.
void TestSearchParts::residueTableLeastPerClass() {
    QRandomGenerator rng(29);
    for (int i = 0; i < 200; ++i) {
        const qint64 modulus = rng.bounded(2, 150), cap = rng.bounded(100, 3000);
        std::vector<qint64> steps{modulus}, maximum{rng.bounded(0, 100)};
        for (int t = rng.bounded(1, 4); t > 0; --t) {
            steps.push_back(rng.bounded(1, 200));
            maximum.push_back(rng.bounded(0, 3) == 0 ? rng.bounded(0, 6) : rng.bounded(0, 400));
        }
        ResidueTable table(modulus, cap);
        qint64 top = 0;
        bool exact = true;
        for (size_t t = 0; t < steps.size(); ++t) {
            QVERIFY(table.addType(steps[t], 0, maximum[t], nullptr));
            top += steps[t] * maximum[t];
            const qint64 cycle = modulus / std::gcd(steps[t] % modulus, modulus);
            exact = exact && (maximum[t] < 64 || maximum[t] >= cycle - 1);
        }
        table.finish(top);
        const std::set<qint64> reachable = sums(steps, maximum, cap);
        for (qint64 r = 0; r < modulus; ++r) {
            qint64 least = cap + 1;
            for (qint64 x : reachable)
                if (x % modulus == r) {
                    least = x;
                    break;
                }
            const qint64 got = std::min(table.least(r), cap + 1);
            QVERIFY(got <= least);
            if (exact)
                QCOMPARE(got, least);
        }
        for (qint64 x = 0; x <= cap; x += rng.bounded(1, 50)) {
            const auto above = reachable.upper_bound(x);
            const qint64 want = above == reachable.begin() ? -1 : *std::prev(above);
            QVERIFY(table.predecessor(x, x) >= want);
        }
    }
}

QTEST_GUILESS_MAIN(TestSearchParts)
#include "tst_searchparts.moc"
