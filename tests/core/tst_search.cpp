// Totals rounded as the search rounds them: no fused multiply-add (see odometer.h).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("fp-contract=off")
#elif defined(__clang__)
#pragma clang fp contract(off)
#endif

#include "odometer.h"
#include "search.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

using Kern::FoundCombination;
using Kern::SearchRequest;
using Kern::SearchType;

Q_DECLARE_METATYPE(SearchRequest)

namespace {

SearchType type(double length, qint64 minimum = 0, qint64 maximum = 9999, qint64 price = 0) {
    return SearchType{length, minimum, maximum, price};
}

SearchRequest request(std::vector<SearchType> types, double route, int shortfall, int excess,
                      qint64 limit) {
    return SearchRequest{std::move(types), route, shortfall, excess, limit};
}

// The start-up track table: rows 1 to 8, minimum 0, maximum 9999.
std::vector<SearchType> startUpTypes() {
    std::vector<SearchType> types;
    for (double l : {64.3, 70.8, 77.5, 94.2, 171.7, 188.3, 229.3, 236.1})
        types.push_back(type(l));
    return types;
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Empty when equal, else what differs first.
QString difference(const std::vector<FoundCombination>& got,
                   const std::vector<FoundCombination>& want, int n) {
    if (got.size() != want.size())
        return QStringLiteral("%1 combinations instead of %2").arg(got.size()).arg(want.size());
    for (size_t r = 0; r < got.size(); ++r) {
        const FoundCombination &g = got[r], &w = want[r];
        bool same = sameBits(g.total, w.total) && sameBits(g.deviation, w.deviation) &&
                    g.pieces == w.pieces && sameBits(g.totalPrice, w.totalPrice);
        for (int t = 0; t < Kern::MaxTypes; ++t)
            same = same && g.counts[t] == (t < n ? w.counts[t] : 0);
        if (!same)
            return QStringLiteral("row %1: total %2 instead of %3")
                .arg(r)
                .arg(g.total, 0, 'g', 17)
                .arg(w.total, 0, 'g', 17);
    }
    return {};
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT

private slots:
    void randomTablesMatchTheOdometer();
    void namedCasesMatchTheOdometer_data();
    void namedCasesMatchTheOdometer();
    void startUpExamples();
    void absurdInputsMatchThePrunedWalk_data();
    void absurdInputsMatchThePrunedWalk();
    void slowPlacesAreNotSteppedThrough_data();
    void slowPlacesAreNotSteppedThrough();
};

// Small random tables, checked against the literal odometer. Lengths mix one and two decimals
// (the grid the search prunes on), quarters (which add up exactly in double), eight decimals
// (no usable grid), short lengths, zeros and repeats, with raised minimums, fixed counts and long
// lists of counts that only the upper bound cuts off; routes are mostly made to hit, or to put a
// window edge on a reachable sum.
void TestSearch::randomTablesMatchTheOdometer() {
    QRandomGenerator rng(20240611);
    int compared = 0, withHits = 0;
    for (int round = 0; round < 4000; ++round) {
        const int n = rng.bounded(0, 7);
        std::vector<SearchType> types;
        for (int t = 0; t < n; ++t) {
            SearchType s;
            switch (rng.bounded(12)) {
            case 0:
                s.length = 0.0;
                break;
            case 1:
            case 2:
            case 3:
                s.length = rng.bounded(50, 3000) / 10.0;
                break;
            case 4:
            case 5:
                s.length = rng.bounded(500, 30000) / 100.0;
                break;
            case 6:
            case 7:
                s.length = rng.bounded(1, 1200) / 4.0;
                break;
            case 8:
                s.length = rng.bounded(100000000, 2000000000) / 1e7;
                break;
            case 9:
                s.length = rng.bounded(1, 400) / 100.0;
                break;
            default:
                s.length = t > 0 ? types[rng.bounded(t)].length : 12.5;
                break;
            }
            s.minimum = rng.bounded(5) == 0 ? rng.bounded(1, 4) : 0;
            const int spread = rng.bounded(4);
            s.maximum = spread == 0   ? s.minimum
                        : spread == 1 ? s.minimum + rng.bounded(1, 6)
                                      : (s.length >= 5.0 ? 9999 : s.minimum + rng.bounded(12));
            s.priceTenThousandths = rng.bounded(0, 2000000);
            types.push_back(s);
        }
        double route = 0.0;
        const int aim = rng.bounded(10);
        if (aim < 6) {
            // the total of some vector within the counts, nudged by up to a millimetre, or so
            // that an edge of the window falls on it
            for (const SearchType& s : types)
                route += double(s.minimum +
                                rng.bounded(std::min<qint64>(s.maximum - s.minimum, 6) + 1)) *
                         s.length;
            if (aim >= 4)
                route += (rng.bounded(21) - 10) / 10.0;
            else if (aim >= 2)
                route += (rng.bounded(2) ? 0.05 : -0.05) + rng.bounded(-10, 11) / 10.0;
        } else if (aim < 9) {
            route = rng.bounded(0, 200000) / 100.0;
        } else {
            route = -rng.bounded(0, 100) / 10.0;
        }
        const qint64 limits[] = {-3, 0, 1, 2, 3, 7, 1000};
        const SearchRequest r =
            request(types, route, rng.bounded(11), rng.bounded(11), limits[rng.bounded(7)]);
        const Odometer::Walk reference = Odometer::Literal(r, 300000);
        if (!reference.finished)
            continue;
        ++compared;
        withHits += reference.found.empty() ? 0 : 1;
        const QString diff = difference(Kern::SearchCombinations(r), reference.found, n);
        if (!diff.isEmpty())
            QFAIL(qPrintable(QStringLiteral("round %1: ").arg(round) + diff));
        // The pruned walk stands in for the odometer where that is too slow; it must agree too.
        const QString pruned = difference(Odometer::Pruned(r).found, reference.found, n);
        if (!pruned.isEmpty())
            QFAIL(qPrintable(QStringLiteral("round %1, pruned walk: ").arg(round) + pruned));
    }
    QVERIFY2(compared >= 3500, qPrintable(QString::number(compared)));
    QVERIFY2(withHits >= 1500, qPrintable(QString::number(withHits)));
}

void TestSearch::namedCasesMatchTheOdometer_data() {
    QTest::addColumn<SearchRequest>("req");
    const auto fixed = [](double l, qint64 c) { return type(l, c, c); };
    QTest::newRow("no types, route 0") << request({}, 0.0, 0, 0, 500);
    QTest::newRow("no types, route 1") << request({}, 1.0, 0, 0, 500);
    QTest::newRow("limit 0, start vector hits")
        << request({type(100.0, 3), type(50.0, 2)}, 400.0, 0, 0, 0);
    QTest::newRow("limit 0, start vector misses")
        << request({type(100.0, 3), type(50.0, 1)}, 400.0, 0, 0, 0);
    QTest::newRow("negative limit") << request({type(100.0, 4)}, 400.0, 0, 0, -5);
    QTest::newRow("start vector above the window")
        << request({type(100.0, 5), type(50.0)}, 400.0, 10, 10, 500);
    QTest::newRow("all counts fixed") << request({fixed(64.3, 3), fixed(70.8, 2)}, 334.5, 0, 0, 9);
    QTest::newRow("zero length first") << request({type(0.0, 0, 3), type(64.3)}, 128.6, 0, 0, 50);
    QTest::newRow("zero length last") << request({type(64.3), type(0.0, 1, 4)}, 192.9, 0, 0, 50);
    QTest::newRow("zero length between, no hit")
        << request({type(64.3), type(0.0, 0, 20000), type(70.8)}, 100.0, 0, 0, 50);
    QTest::newRow("negative route") << request({type(0.0, 0, 2)}, -0.05, 0, 0, 50);
    QTest::newRow("window edges from both sides")
        << request({type(0.1, 0, 60), type(0.01, 0, 30)}, 2.0, 0, 0, 1000);
    QTest::newRow("1000 combinations, limit 999")
        << request({type(0.5), type(0.25)}, 300.0, 10, 10, 999);
    // Quarters add up exactly in double. One double below 300.2, the route puts the upper edge
    // a hair below the sum 300.25, and the lower edge 300.05 is no quarter: every candidate
    // lies on the edge and must be left out. Each used to be walked into, for 20 s on a
    // route of 96 m.
    QTest::newRow("window edge a hair below exact sums") << request(
        {type(5.25), type(54.25), type(19.25), type(94.5), type(76.25), type(29.5), type(10.0)},
        std::nextafter(300.2, 0.0), 1, 0, 999);
    QTest::newRow("prefix divisor rules out the window")
        << request({type(10.2), type(20.4), type(30.6), type(40.8)}, 300.1, 0, 0, 500);
}

void TestSearch::namedCasesMatchTheOdometer() {
    QFETCH(SearchRequest, req);
    const Odometer::Walk reference = Odometer::Literal(req);
    const QString diff =
        difference(Kern::SearchCombinations(req), reference.found, int(req.types.size()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestSearch::startUpExamples() {
    const auto found = Kern::SearchCombinations(request(startUpTypes(), 1000.0, 0, 0, 500));
    const std::array<std::array<qint64, 8>, 4> expected{{{0, 2, 5, 3, 0, 1, 0, 0},
                                                         {0, 2, 4, 2, 1, 1, 0, 0},
                                                         {0, 2, 3, 1, 2, 1, 0, 0},
                                                         {0, 2, 2, 0, 3, 1, 0, 0}}};
    QCOMPARE(found.size(), size_t(4));
    for (size_t r = 0; r < 4; ++r) {
        for (int t = 0; t < 8; ++t)
            QCOMPARE(found[r].counts[t], expected[r][t]);
        QCOMPARE(found[r].pieces, qint64(11 - r));
    }

    const auto wide = Kern::SearchCombinations(request(startUpTypes(), 1000.0, 10, 10, 500));
    QCOMPARE(wide.size(), size_t(120));

    const auto five = Kern::SearchCombinations(request(startUpTypes(), 1000.0, 10, 10, 5));
    QCOMPARE(five.size(), size_t(5));
    const std::array<qint64, 10> fifth{7, 4, 1, 2, 0, 0, 0, 0, 0, 0};
    QCOMPARE(five[4].counts, fifth);
    QVERIFY(std::fabs(five[4].total - 999.2) < 1e-9);
    QVERIFY(std::fabs(five[4].deviation + 0.8) < 1e-9);
}

// Inputs far beyond what the window offers, where the literal odometer would run for hours:
// checked against the pruned walk.
void TestSearch::absurdInputsMatchThePrunedWalk_data() {
    QTest::addColumn<SearchRequest>("req");
    std::vector<SearchType> huge = startUpTypes();
    for (SearchType& t : huge)
        t.maximum = Kern::MaxCount;
    QTest::newRow("5 km with the start-up types") << request(startUpTypes(), 5e6, 0, 0, 500);
    QTest::newRow("route 99999999 mm, start-up counts")
        << request(startUpTypes(), 99999999.0, 0, 0, 999);
    QTest::newRow("route 99999999 mm, huge counts") << request(huge, 99999999.0, 0, 0, 999);
    QTest::newRow("route 1e300") << request(huge, 1e300, 10, 10, 999);
    QTest::newRow("eight decimals")
        << request({type(64.12345678), type(70.87654321), type(77.55555557), type(94.20000001),
                    type(171.71717171)},
                   1000.0, 0, 0, 999);
    QTest::newRow("tiny length, slowest type")
        << request({type(64.3), type(70.8), type(1e-300, 0, Kern::MaxCount)}, 341.0, 0, 0, 999);
    QTest::newRow("tiny length, fastest type")
        << request({type(1e-300, 0, Kern::MaxCount), type(64.3), type(70.8)}, 341.0, 0, 0, 999);
    QTest::newRow("tiny lengths only, route 0") << request(
        {type(1e-300, 0, Kern::MaxCount), type(3e-300, 0, Kern::MaxCount)}, 0.0, 0, 0, 999);
    // 2 x 64.3 + 3 x 70.8 = 341.0: the window first meets it after some 4500 pieces of 0.1 um,
    // past a long run of counts where nothing fits.
    QTest::newRow("short length on top, hits after a long gap")
        << request({type(64.3), type(70.8), type(1e-4, 0, Kern::MaxCount)}, 341.5, 0, 0, 999);
    QTest::newRow("length near the double limit")
        << request({type(64.3), type(1.7e308, 0, Kern::MaxCount)}, 1e300, 0, 0, 99);
    QTest::newRow("route 1e13, a million counts of two types")
        << request({type(10000000.3, 0, 1000000), type(10000000.7, 0, 1000000)}, 1e13, 0, 0, 999);
    QTest::newRow("nearly equal lengths")
        << request({type(400.0), type(400.01), type(400.02), type(400.03), type(400.04),
                    type(400.05), type(400.06), type(400.07), type(400.08), type(400.09)},
                   3999.99, 0, 0, 999);
    QTest::newRow("10 km, 2 decimals") << request(
        {type(64.31), type(70.83), type(77.52), type(94.27), type(171.71)}, 1e7, 0, 0, 999);
}

void TestSearch::absurdInputsMatchThePrunedWalk() {
    QFETCH(SearchRequest, req);
    const Odometer::Walk reference = Odometer::Pruned(req);
    const QString diff =
        difference(Kern::SearchCombinations(req), reference.found, int(req.types.size()));
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

// Inputs that once made the walk step through a billion counts one by one, each row running for
// seconds to minutes. Short lengths with huge counts on the slow places: 64.3, 70.8 and 77.5 sum
// to 999.1 or 1000.8 near 1000, never within the 0.4 mm the short types add below the window.
// A window at the largest double: 1e308 plus a multiple of 1e300 never rounds to it exactly.
void TestSearch::slowPlacesAreNotSteppedThrough_data() {
    QTest::addColumn<SearchRequest>("req");
    const SearchType tiny = type(1e-10, 0, Kern::MaxCount);
    const SearchType small = type(3e-10, 0, Kern::MaxCount);
    QTest::newRow("short type above three")
        << request({type(64.3), type(70.8), type(77.5), tiny}, 1000.25, 0, 0, 999);
    QTest::newRow("two short types above three")
        << request({type(64.3), type(70.8), type(77.5), tiny, small}, 1000.25, 0, 0, 999);
    QTest::newRow("short types interleaved")
        << request({type(64.3), tiny, type(70.8), small, type(77.5)}, 1000.13, 0, 0, 999);
    QTest::newRow("window at the largest double")
        << request({type(1e308, 0, Kern::MaxCount), type(1e300, 0, Kern::MaxCount)},
                   std::numeric_limits<double>::max(), 10, 10, 999);
}

void TestSearch::slowPlacesAreNotSteppedThrough() {
    QFETCH(SearchRequest, req);
    QCOMPARE(Kern::SearchCombinations(req).size(), size_t(0));
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
