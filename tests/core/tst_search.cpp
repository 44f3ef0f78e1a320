#include "searchfixture.h"

#include <QtTest>

#include <atomic>
#include <thread>

using namespace SearchFixture;

Q_DECLARE_METATYPE(SearchRequest)

class TestSearch : public QObject {
    Q_OBJECT

private slots:

    // Small random tables against the literal odometer, and the edge cases against the pruned walk
    // that stands in for it where it would not end.
    void randomTablesMatchTheOdometer() {
        QRandomGenerator rng(20240611);
        int compared = 0, withHits = 0;
        for (int round = 0; round < 4000; ++round) {
            const SearchRequest r = randomRequest(rng);
            const Odometer::Walk reference = Odometer::Literal(r, 100000);
            if (!reference.finished)
                continue;
            ++compared;
            withHits += reference.found.empty() ? 0 : 1;
            const QString diff = difference(Kern::searchCombinations(r), reference.found);
            QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("round %1, ").arg(round) + diff));
            QCOMPARE(difference(Odometer::Pruned(r).found, reference.found), QString());
        }
        QVERIFY2(compared >= 3000, qPrintable(QString::number(compared)));
        QVERIFY2(withHits >= 1300, qPrintable(QString::number(withHits)));
        for (const NamedRequest& c : edgeCases())
            QVERIFY2(
                difference(Kern::searchCombinations(c.request), reference(c.request)).isEmpty(),
                c.name);
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
        QTest::newRow("start-up table") << startUp() << 4 << qint64(214);
        QTest::newRow("999 rows") << limit999() << 999 << qint64(3531);
        QTest::newRow("ten types, unreachable") << unreachableTen() << 0 << qint64(13);
        QTest::newRow("5 km route") << route5km() << 999 << qint64(34531);
        QTest::newRow("eight decimals") << eightDecimals() << 3 << qint64(472);
        QTest::newRow("eight decimals, 100 m") << eightDecimals(1e5) << 999 << qint64(2554);
        QTest::newRow("short-listed type, 4.2 km") << oddTypeFirst(4199999.9) << 0 << qint64(61610);
        QTest::newRow("short-listed type, 5 km") << oddTypeFirst(5e6) << 0 << qint64(57541);
        QTest::newRow("thousandths, 50 m") << thousandths(50000.052) << 0 << qint64(2198);
        QTest::newRow("hundredths, 430 m") << hundredths(430000.0) << 0 << qint64(9437);
        QTest::newRow("tiny lengths") << tinyLengths() << 999 << qint64(1008);
        QTest::newRow("near multiples") << nearMultiples() << 0 << qint64(28575);
        QTest::newRow("route beyond 2^51") << hugeRoute() << 999 << qint64(120755);
        QTest::newRow("odd unit, ten types, 10 m") << oddUnitTen(10000.35) << 0 << qint64(9026);
        QTest::newRow("odd unit, ten types, 1 km") << oddUnitTen(1000000.3) << 999 << qint64(25841);
        QTest::newRow("near 20.94 mm, 62 m") << nearUnit2094(62000.0) << 0 << qint64(8222);
        QTest::newRow("hunted near 18.08 mm, 7.8 km") << huntedNearUnit() << 0 << qint64(4126);
        QTest::newRow("hunted wide band, 9.6 km") << huntedWideBand() << 999 << qint64(3890);
        QTest::newRow("hunted raised minimums") << huntedRaisedMinimums() << 500 << qint64(11211);
        QTest::newRow("hunted coarse grid, 21.7 m") << huntedCoarseGrid() << 0 << qint64(10018);
        QTest::newRow("hunted long runs, 7.95 km") << huntedLongRun() << 500 << qint64(258890);
        QTest::newRow("hunted fine unit, 2.4 km") << huntedFineUnit() << 999 << qint64(6144);
        QTest::newRow("hunted few counts, 1 km") << huntedFewCounts() << 500 << qint64(1136);
        QTest::newRow("hunted short prefixes, 7.9 km")
            << huntedShortPrefixes() << 999 << qint64(12879);
        QTest::newRow("hunted near 25.51 mm, 2.26 km")
            << huntedWideStepper() << 500 << qint64(14317);
        QTest::newRow("hunted strides, 3.1 km") << huntedStrides() << 500 << qint64(150577);
        QTest::newRow("hunted grid unit, 6.4 km") << huntedGridUnit() << 999 << qint64(10725);
        QTest::newRow("hunted bounded residues, 5 km")
            << huntedBoundedResidue() << 999 << qint64(15857);
        QTest::newRow("hunted coarse decimals, 4.6 km")
            << huntedCoarseDecimals() << 0 << qint64(10232);
        QTest::newRow("hunted far apart, 713 m") << huntedFarApart() << 500 << qint64(3560);
        QTest::newRow("hunted idle type, 500 m")
            << huntedIdleType(500000.31) << 999 << qint64(2196);
        QTest::newRow("hunted idle type, 4.5 km") << huntedIdleType() << 999 << qint64(352064);
        QTest::newRow("hunted half steps, 4.6 km") << huntedHalfSteps() << 999 << qint64(238959);
        QTest::newRow("hunted pair grid, 4.5 km")
            << huntedPairGrid(4500000.13) << 999 << qint64(405601);
        QTest::newRow("hunted many runs, 3.4 km") << huntedManyRuns() << 500 << qint64(994);
        QTest::newRow("hunted odd piece, 6.7 km") << huntedOddPiece() << 500 << qint64(3314);
        QTest::newRow("hunted long pieces, 9.1 km") << huntedLongPieces() << 999 << qint64(1960);
        QTest::newRow("hunted half-unit pair, 3.7 km")
            << huntedHalfUnitPair() << 999 << qint64(24874);
        QTest::newRow("hunted dense sums, 5.5 km") << huntedDenseSums() << 999 << qint64(113468);
        QTest::newRow("hunted eleven counts, 9.1 km")
            << huntedElevenCounts() << 999 << qint64(33594);
        QTest::newRow("hunted stacked type, 1.47 km")
            << huntedStackedType() << 999 << qint64(114804);
        QTest::newRow("hunted short unit, 8.2 km") << huntedShortUnit() << 999 << qint64(22532);
        QTest::newRow("hunted near hundredths, 469 m")
            << huntedNearHundredths() << 999 << qint64(27324);
        QTest::newRow("traded type, 4 km") << tradedType() << 500 << qint64(2474);
        // 64.3, 70.8 and 77.5 sum to 999.1 or 1000.8 near 1000, never within the 0.4 mm that the
        // short types with huge counts add below the window.
        const SearchType tiny = type(1e-10, 0, MaxCount), small = type(3e-10, 0, MaxCount);
        QTest::newRow("short type above three")
            << SearchRequest{{type(64.3), type(70.8), type(77.5), tiny}, 1000.25, 0, 0, 999} << 0
            << qint64(1);
        QTest::newRow("short types interleaved")
            << SearchRequest{{type(64.3), tiny, type(70.8), small, type(77.5)}, 1000.13, 0, 0, 999}
            << 0 << qint64(13);
        // 1e308 plus a multiple of 1e300 never rounds to the largest double exactly.
        const std::vector<SearchType> largest{type(1e308, 0, MaxCount), type(1e300, 0, MaxCount)};
        QTest::newRow("window at the largest double")
            << SearchRequest{largest, std::numeric_limits<double>::max(), 10, 10, 999} << 0
            << qint64(1);
    }

    // The progress another thread reads meanwhile never goes back, and ends at 1.
    void workStaysBounded() {
        QFETCH(SearchRequest, req);
        QFETCH(int, rows);
        QFETCH(qint64, recorded);
        Kern::SearchControl control;
        std::atomic<bool> done{false};
        bool monotone = true;
        std::thread watcher([&] {
            for (double last = 0; !done.load();) {
                const double now = control.progress.load();
                monotone = monotone && now >= last && now <= 1;
                last = now;
            }
        });
        Kern::SearchStats stats;
        const size_t found = Kern::searchCombinations(req, &control, &stats).size();
        done = true;
        watcher.join();
        QCOMPARE(int(found), rows);
        QVERIFY(monotone);
        QCOMPARE(control.progress.load(), 1.0);
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
            QVERIFY(control.progress.load() < 1);
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
