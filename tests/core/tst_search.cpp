#include "search_nofma.h" // totals rounded as the search rounds them

#include "odometer.h"
#include "search_walk.h"
#include "searchcases.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <thread>

using Kern::FoundCombination;
using Kern::MaxCount;
using Kern::SearchRequest;
using Kern::SearchType;

Q_DECLARE_METATYPE(SearchRequest)

namespace {

SearchType type(double length, qint64 minimum = 0, qint64 maximum = 9999) {
    return SearchType{length, minimum, maximum, 0};
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Empty when the rows are the same to the bit, else what differs first.
QString difference(const std::vector<FoundCombination>& got,
                   const std::vector<FoundCombination>& want) {
    if (got.size() != want.size())
        return QStringLiteral("%1 combinations instead of %2").arg(got.size()).arg(want.size());
    for (size_t r = 0; r < got.size(); ++r) {
        const FoundCombination &g = got[r], &w = want[r];
        if (!sameBits(g.total, w.total) || !sameBits(g.deviation, w.deviation) ||
            g.pieces != w.pieces || !sameBits(g.totalPrice, w.totalPrice) || g.counts != w.counts)
            return QStringLiteral("row %1: total %2 instead of %3")
                .arg(r)
                .arg(g.total, 0, 'g', 17)
                .arg(w.total, 0, 'g', 17);
    }
    return {};
}

enum class Tables { Residues, Coarse, Lists };

// The search with one kind of table built at the first fruitless descent: residue tables, bit
// tables squeezed onto coarse grids, or lists of prefix sums.
std::vector<FoundCombination> searchForced(const SearchRequest& r, Tables kind) {
    Kern::SearchDetail::SearchLimits limits;
    limits.patience = 0;
    limits.listedSums = kind == Tables::Lists ? 1 << 20 : 0;
    limits.tableBytes = kind == Tables::Coarse ? 256 : 0;
    limits.residueEntries = kind == Tables::Residues ? 1 << 20 : 0;
    std::vector<FoundCombination> out;
    Kern::SearchDetail::Walker(r, out, nullptr, limits).run();
    return out;
}

// Empty when the search, as it runs and with each kind of table forced, gives the reference's
// rows to the bit; else how it differs first.
QString mismatch(const SearchRequest& r, const std::vector<FoundCombination>& reference) {
    const std::pair<const char*, std::vector<FoundCombination>> runs[] = {
        {"search", Kern::searchCombinations(r)},
        {"residue tables", searchForced(r, Tables::Residues)},
        {"coarse tables", searchForced(r, Tables::Coarse)},
        {"lists", searchForced(r, Tables::Lists)}};
    for (const auto& [how, rows] : runs)
        if (const QString diff = difference(rows, reference); !diff.isEmpty())
            return QLatin1String(how) + QStringLiteral(": ") + diff;
    return {};
}

// Lengths with one and two decimals (the grid the search prunes on), quarters (which add up
// exactly in double), eight decimals (no usable grid), short ones, micrometres and less in huge
// numbers, zeros and repeats; raised minimums, fixed counts and long lists of counts that only the
// window cuts off.
SearchType randomType(QRandomGenerator& rng, const std::vector<SearchType>& before) {
    const double lengths[] = {
        rng.bounded(50, 3000) / 10.0,
        rng.bounded(500, 30000) / 100.0,
        rng.bounded(1, 1200) / 4.0,
        rng.bounded(100000000, 2000000000) / 1e7,
        rng.bounded(1, 400) / 100.0,
        rng.bounded(1, 10) * std::pow(10.0, -rng.bounded(3, 13)),
        0.0,
        before.empty() ? 12.5 : before[rng.bounded(int(before.size()))].length,
    };
    const int kinds[12] = {0, 0, 0, 1, 1, 2, 2, 3, 4, 5, 6, 7};
    SearchType s;
    s.length = lengths[kinds[rng.bounded(12)]];
    s.minimum = rng.bounded(5) == 0 ? rng.bounded(1, 4) : 0;
    const int spread = rng.bounded(4);
    s.maximum = spread == 0       ? s.minimum
                : spread == 1     ? s.minimum + rng.bounded(1, 6)
                : s.length < 0.01 ? MaxCount
                : s.length >= 5.0 ? 9999
                                  : s.minimum + rng.bounded(12);
    s.priceTenThousandths = rng.bounded(0, 2000000);
    return s;
}

// Mostly the total of some vector within the counts: nudged by up to a millimetre, or with an
// edge of the window put on it; else any route, or a negative one.
double randomRoute(QRandomGenerator& rng, const std::vector<SearchType>& types, int shortfall,
                   int excess) {
    const int aim = rng.bounded(10);
    if (aim >= 9)
        return -rng.bounded(0, 100) / 10.0;
    if (aim >= 6)
        return rng.bounded(0, 200000) / 100.0;
    double total = 0.0;
    for (const SearchType& s : types)
        total += double(s.minimum + rng.bounded(std::min<qint64>(s.maximum - s.minimum, 6) + 1)) *
                 s.length;
    if (aim >= 4)
        return total + (rng.bounded(21) - 10) / 10.0;
    if (aim >= 2)
        return rng.bounded(2) ? total - (excess / 10.0 + 0.05) : total + (shortfall / 10.0 + 0.05);
    return total;
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT

private slots:

    // Small random tables against the literal odometer: the search as it runs and with each kind of
    // table forced, and the pruned walk that stands in for the odometer on the named cases.
    void randomTablesMatchTheOdometer() {
        QRandomGenerator rng(20240611);
        int compared = 0, withHits = 0;
        for (int round = 0; round < 4000; ++round) {
            std::vector<SearchType> types;
            for (int t = rng.bounded(0, 7); t > 0; --t)
                types.push_back(randomType(rng, types));
            const qint64 limits[] = {-3, 0, 1, 2, 3, 7, 1000};
            const int shortfall = rng.bounded(11), excess = rng.bounded(11);
            const double route = randomRoute(rng, types, shortfall, excess);
            const SearchRequest r{types, route, shortfall, excess, limits[rng.bounded(7)]};
            const Odometer::Walk reference = Odometer::Literal(r, 100000);
            if (!reference.finished)
                continue;
            ++compared;
            withHits += reference.found.empty() ? 0 : 1;
            const QString diff = mismatch(r, reference.found);
            QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("round %1, ").arg(round) + diff));
            QCOMPARE(difference(Odometer::Pruned(r).found, reference.found), QString());
        }
        QVERIFY2(compared >= 3000, qPrintable(QString::number(compared)));
        QVERIFY2(withHits >= 1300, qPrintable(QString::number(withHits)));
    }

    // Edges and inputs far beyond what the window offers: against the literal odometer where it
    // ends within a million vectors, else against the pruned walk.
    void namedCasesMatchTheOdometer_data() {
        QTest::addColumn<SearchRequest>("req");
        const std::vector<SearchType> huge = SearchCases::startUpTypes(MaxCount);
        const SearchType tiny = type(1e-300, 0, MaxCount);
        QTest::newRow("window edges from both sides")
            << SearchRequest{{type(0.1, 0, 60), type(0.01, 0, 30)}, 2.0, 0, 0, 1000};
        QTest::newRow("1000 combinations, limit 999")
            << SearchRequest{{type(0.5), type(0.25)}, 300.0, 10, 10, 999};
        const std::vector<SearchType> quarters{type(5.25),  type(54.25), type(19.25), type(94.5),
                                               type(76.25), type(29.5),  type(10.0)};
        // Quarters add up exactly. One double below 300.2, the route puts the upper edge a hair
        // below the sum 300.25, and the lower edge 300.05 is no quarter: every candidate lies on
        // an edge and must be left out.
        QTest::newRow("window edge a hair below exact sums")
            << SearchRequest{quarters, std::nextafter(300.2, 0.0), 1, 0, 999};
        QTest::newRow("prefix divisor rules out the window")
            << SearchRequest{{type(10.2), type(20.4), type(30.6), type(40.8)}, 300.1, 0, 0, 500};
        QTest::newRow("5 km, start-up types") << SearchCases::route5km();
        QTest::newRow("route 1e300") << SearchRequest{huge, 1e300, 10, 10, 999};
        QTest::newRow("eight decimals") << SearchCases::eightDecimals();
        QTest::newRow("tiny length, slowest type")
            << SearchRequest{{type(64.3), type(70.8), tiny}, 341.0, 0, 0, 999};
        QTest::newRow("tiny length, fastest type")
            << SearchRequest{{tiny, type(64.3), type(70.8)}, 341.0, 0, 0, 999};
        // 2 x 64.3 + 3 x 70.8 = 341.0: the window first meets it after some 4500 pieces of 0.1 um,
        // past a long run of counts where nothing fits.
        QTest::newRow("short length on top, hits after a long gap")
            << SearchRequest{{type(64.3), type(70.8), type(1e-4, 0, MaxCount)}, 341.5, 0, 0, 999};
        QTest::newRow("length near the double limit")
            << SearchRequest{{type(64.3), type(1.7e308, 0, MaxCount)}, 1e300, 0, 0, 99};
        QTest::newRow("route 1e13, a million counts of two types") << SearchRequest{
            {type(10000000.3, 0, 1000000), type(10000000.7, 0, 1000000)}, 1e13, 0, 0, 999};
        std::vector<SearchType> nearlyEqual;
        for (int k = 0; k < 10; ++k)
            nearlyEqual.push_back(type(400.0 + k / 100.0));
        QTest::newRow("nearly equal lengths") << SearchRequest{nearlyEqual, 3999.99, 0, 0, 999};
    }

    void namedCasesMatchTheOdometer() {
        QFETCH(SearchRequest, req);
        Odometer::Walk reference = Odometer::Literal(req, 1000000);
        if (!reference.finished)
            reference = Odometer::Pruned(req);
        const QString diff = mismatch(req, reference.found);
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    // Hard inputs, each with the rows it must give and the steps it took when last recorded (the
    // search's own count of work, the same on every machine). More than twice that is a search that
    // slowed down, caught here rather than in the hands of a user; less than half is work that went
    // uncounted, or a record to renew.
    void workStaysBounded_data() {
        QTest::addColumn<SearchRequest>("req");
        QTest::addColumn<int>("rows");
        QTest::addColumn<qint64>("recorded");
        using namespace SearchCases;
        QTest::newRow("start-up table") << startUp() << 4 << qint64(239);
        QTest::newRow("999 rows") << limit999() << 999 << qint64(4002);
        QTest::newRow("ten types, unreachable") << unreachableTen() << 0 << qint64(13);
        QTest::newRow("5 km route") << route5km() << 999 << qint64(28926);
        QTest::newRow("eight decimals") << eightDecimals() << 3 << qint64(1571);
        QTest::newRow("eight decimals, 100 m") << eightDecimals(1e5) << 999 << qint64(2554);
        QTest::newRow("short-listed type, 4.2 km") << oddTypeFirst(4199999.9) << 0 << qint64(58897);
        QTest::newRow("short-listed type, 5 km") << oddTypeFirst(5e6) << 0 << qint64(54974);
        QTest::newRow("thousandths, 50 m") << thousandths(50000.052) << 0 << qint64(30515);
        QTest::newRow("hundredths, 430 m") << hundredths(430000.0) << 0 << qint64(30761);
        QTest::newRow("tiny lengths") << tinyLengths() << 999 << qint64(1107);
        QTest::newRow("near multiples") << nearMultiples() << 0 << qint64(784940);
        QTest::newRow("route beyond 2^51") << hugeRoute() << 999 << qint64(120755);
        // 64.3, 70.8 and 77.5 sum to 999.1 or 1000.8 near 1000, never within the 0.4 mm that the
        // short types with huge counts add below the window.
        const SearchType tiny = type(1e-10, 0, MaxCount), small = type(3e-10, 0, MaxCount);
        QTest::newRow("short type above three")
            << SearchRequest{{type(64.3), type(70.8), type(77.5), tiny}, 1000.25, 0, 0, 999} << 0
            << qint64(424);
        QTest::newRow("short types interleaved")
            << SearchRequest{{type(64.3), tiny, type(70.8), small, type(77.5)}, 1000.13, 0, 0, 999}
            << 0 << qint64(599);
        // 1e308 plus a multiple of 1e300 never rounds to the largest double exactly.
        const std::vector<SearchType> largest{type(1e308, 0, MaxCount), type(1e300, 0, MaxCount)};
        QTest::newRow("window at the largest double")
            << SearchRequest{largest, std::numeric_limits<double>::max(), 10, 10, 999} << 0
            << qint64(1);
    }

    void workStaysBounded() {
        QFETCH(SearchRequest, req);
        QFETCH(int, rows);
        QFETCH(qint64, recorded);
        Kern::SearchStats stats;
        QCOMPARE(int(Kern::searchCombinations(req, nullptr, &stats).size()), rows);
        const qint64 steps = qint64(stats.steps);
        QVERIFY2(recorded / 2 <= steps && steps <= 2 * recorded,
                 qPrintable(QString::number(steps)));
    }

    // Cancelled before it starts, a search stops at its first step. Cancelled from another thread,
    // it returns soon with the first rows of the full result; `found` counts them while it runs.
    // Beyond 2^53 mm, where only exact rounding hits the window, rows come slowly; near-multiples
    // of 3 * 10^7 mm are beyond every table and would run for minutes without one.
    void cancelReturnsTheFirstRows() {
        Kern::SearchControl cancelled;
        cancelled.cancel = true;
        QVERIFY(Kern::searchCombinations(SearchCases::limit999(), &cancelled).size() < 999);
        const std::vector<SearchType> slowTypes{type(61652591.038, 0, MaxCount), type(65084620.4),
                                                type(272.0, 0, MaxCount)};
        const std::vector<SearchType> noTypes{
            type(50000004, 0, MaxCount), type(59999991), type(50000006, 0, MaxCount),
            type(29999997, 0, MaxCount), type(119999995, 0, MaxCount)};
        const SearchRequest slowRows{slowTypes, 29093934971937352.0, 9, 5, 999};
        const SearchRequest noRows{noTypes, 56395319971348.0, 0, 0, 999};
        for (const SearchRequest& r : {slowRows, noRows}) {
            Kern::SearchControl control;
            const qint64 wanted = &r == &slowRows ? 2 : 0;
            std::thread canceller([&] {
                while (control.found.load() < wanted)
                    std::this_thread::yield();
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                control.cancel = true;
            });
            const std::vector<FoundCombination> partial = Kern::searchCombinations(r, &control);
            canceller.join();
            QCOMPARE(control.found.load(), qint64(partial.size()));
            QVERIFY(qint64(partial.size()) >= wanted && partial.size() < 999);
            SearchRequest first = r;
            first.limit = qint64(partial.size());
            if (first.limit > 0)
                QCOMPARE(difference(partial, Kern::searchCombinations(first)), QString());
        }
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
