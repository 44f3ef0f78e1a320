// The combination search against the literal odometer it replaces, and the search alone on
// inputs the odometer could not finish. After the table of runs, one line per case gives the
// CPU time of the search and, where the odometer was run too, its CPU time and the ratio of the
// two (CPU time, so that other work on the machine does not tilt the ratio).
//
// Run: sfx_bench (Google Benchmark options apply, e.g. --benchmark_filter=StartUp; with
// --benchmark_repetitions=5 the lines give the medians).

#include "odometer.h"
#include "search.h"
#include "searchcases.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <string>

namespace {

using namespace SearchCases;

// Vectors the uncapped odometer examines on unreachableTen(), counted once with it (it takes
// seconds).
constexpr qint64 UnreachableTenVisits = 192552945;
constexpr qint64 UnreachableTenCap = 2000000;

double cpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

void search(benchmark::State& state, SearchRequest request) {
    size_t found = 0;
    for (auto _ : state) {
        const auto result = Kern::searchCombinations(request);
        found = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    state.counters["found"] = double(found);
}

void odometer(benchmark::State& state, SearchRequest request) {
    Odometer::Walk walk;
    for (auto _ : state) {
        walk = Odometer::Literal(request);
        benchmark::DoNotOptimize(walk.found.data());
    }
    state.counters["found"] = double(walk.found.size());
    state.counters["visited"] = double(walk.visited);
}

// The full walk takes seconds per iteration: it runs up to the cap, and its CPU time is scaled
// up by the share of the vectors it examined (the cost per vector is the same throughout).
void odometerExtrapolated(benchmark::State& state, SearchRequest request) {
    Odometer::Walk walk;
    for (auto _ : state) {
        const double start = cpuSeconds();
        walk = Odometer::Literal(request, UnreachableTenCap);
        const double spent = cpuSeconds() - start;
        benchmark::DoNotOptimize(walk.found.data());
        state.SetIterationTime(spent * double(UnreachableTenVisits) / double(walk.visited));
    }
    state.counters["found"] = double(walk.found.size());
    state.counters["visited"] = double(walk.visited);
    state.SetLabel("capped at " + std::to_string(UnreachableTenCap) +
                   " vectors, CPU time extrapolated to " + std::to_string(UnreachableTenVisits));
}

} // namespace

// Cases measured both ways.
BENCHMARK_CAPTURE(search, StartUp, startUp())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(odometer, StartUp, startUp())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(search, Wide120, wide120())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(odometer, Wide120, wide120())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(search, Limit999, limit999())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(odometer, Limit999, limit999())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(search, UnreachableTen, unreachableTen())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(odometerExtrapolated, UnreachableTen, unreachableTen())
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Inputs far outside what the program is for: the search must still end quickly.
BENCHMARK_CAPTURE(search, Route99999999, SearchRequest{startUpTypes(), 99999999.0, 0, 0, 999})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(search, Route99999999HugeCounts,
                  SearchRequest{startUpTypes(MaxCount), 99999999.0, 0, 0, 999})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, Route5km, route5km())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, Route100mTwoDecimals,
                  SearchRequest{types({64.31, 70.83, 77.52, 94.27, 171.71, 188.33, 229.35, 236.18}),
                                100000.0, 0, 0, 999})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, Route100mTwoDecimalsTenTypes,
                  SearchRequest{types({100.22, 120.44, 150.66, 200.88, 60.22, 80.44, 90.66, 110.88,
                                       130.22, 240.44}),
                                100000.05, 0, 0, 999})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, EightDecimals, eightDecimals())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, EightDecimals100m, eightDecimals(1e5))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, Route1e300, SearchRequest{startUpTypes(MaxCount), 1e300, 10, 10, 999})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(search, TinyLengths,
                  SearchRequest{types({64.3, 1e-300, 70.8, 77.5, 2e-300}, MaxCount), 1000.3, 0, 0,
                                999})
    ->Unit(benchmark::kMillisecond);
// Short lengths with huge counts on the slow places, no combination in the window.
BENCHMARK_CAPTURE(search, ShortLengthsNoHit,
                  SearchRequest{{{64.3, 0, 9999, 0},
                                 {70.8, 0, 9999, 0},
                                 {77.5, 0, 9999, 0},
                                 {1e-10, 0, MaxCount, 0},
                                 {3e-10, 0, MaxCount, 0}},
                                1000.25,
                                0,
                                0,
                                999})
    ->Unit(benchmark::kMillisecond);
// Ten nearly equal lengths: every sum near 100 m misses by a few hundredths.
BENCHMARK_CAPTURE(search, NearlyEqualLengths,
                  SearchRequest{types({400.0, 400.01, 400.02, 400.03, 400.04, 400.05, 400.06,
                                       400.07, 400.08, 400.09}),
                                99999.99, 0, 0, 999})
    ->Unit(benchmark::kMillisecond);
// Lengths close to multiples of one another: the reach tables have to be built.
BENCHMARK_CAPTURE(search, NearMultiples,
                  SearchRequest{types({100.0, 200.01, 300.02, 400.03, 500.04, 600.05, 700.06,
                                       800.07, 900.08, 1000.09}),
                                99999.99, 0, 0, 999})
    ->Unit(benchmark::kMillisecond);

// Families of inputs that ran for minutes or never ended; the names give the route.
BENCHMARK_CAPTURE(search, OddType4000km, oddTypeFirst(4000000.1))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, OddType4200km, oddTypeFirst(4199999.9))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, OddType5000km, oddTypeFirst(5000000.0))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, Thousandths40m, thousandths(40000.029))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, Thousandths50m, thousandths(50000.052))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, Hundredths100m, hundredths(100000.0))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, Hundredths430m, hundredths(430000.0))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, TinyLengthRows, tinyLengths())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, WholeNearMultiples, nearMultiples())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, RouteBeyond2e51, hugeRoute())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, OddUnitTen10m, oddUnitTen(10000.35))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, OddUnitTen1km, oddUnitTen(1000000.3))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, NearUnit2094At20m, nearUnit2094(20000.0))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, NearUnit2094At62m, nearUnit2094(62000.0))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, HuntedNearUnit, huntedNearUnit())->Unit(benchmark::kMillisecond);
// Climbed tables with index tables of millions of entries, measured once.
BENCHMARK_CAPTURE(search, HuntedLongIndexTables, huntedLongIndexTables())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(search, HuntedPairBesideTable, huntedPairBesideTable())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
// The third type stepped against 35 counts of the second on five decimals, whose steps are too
// many for a table of next hits; 500 rows at 8.8 km.
BENCHMARK_CAPTURE(search, HuntedFewCounts8800m, huntedFewCounts(8812345.6789))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
// Types that trade against a faster one, at 8.4 km: 500 rows.
BENCHMARK_CAPTURE(search, HuntedOddUnit8400m, huntedOddUnit())
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

namespace {

// The usual console table, then one line per case with the CPU times and, where both were
// measured, the odometer's CPU time over the search's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With --benchmark_repetitions the median, reported after the runs, stands for the
            // case.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!(median || (run.run_type == Run::RT_Iteration && run.iterations > 0)))
                continue;
            // "search/StartUp", "odometerExtrapolated/UnreachableTen/iterations:1/manual_time"
            const std::string name = run.run_name.str();
            const size_t slash = name.find('/');
            const size_t end = name.find('/', slash + 1);
            const std::string method = name.substr(0, slash);
            const std::string caseName = name.substr(slash + 1, end - slash - 1);
            const bool extrapolated = method == "odometerExtrapolated";
            const double seconds =
                (extrapolated ? run.real_accumulated_time : run.cpu_accumulated_time) /
                double(run.iterations);
            if (method == "search" && !m_search.count(caseName))
                m_order.push_back(caseName);
            (method == "search" ? m_search : m_odometer)[caseName] = seconds;
            if (extrapolated)
                m_extrapolated[caseName] = true;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-30s %14s %16s %12s\n", "case", "search CPU ms", "odometer CPU ms",
                    "ratio");
        for (const std::string& caseName : m_order) {
            const double search = m_search[caseName];
            const auto odometer = m_odometer.find(caseName);
            if (odometer == m_odometer.end() || search <= 0) {
                std::printf("%-30s %14.4f\n", caseName.c_str(), search * 1e3);
                continue;
            }
            std::printf("%-30s %14.4f %16.3f %12.0f%s\n", caseName.c_str(), search * 1e3,
                        odometer->second * 1e3, odometer->second / search,
                        m_extrapolated.count(caseName) ? "  (odometer extrapolated)" : "");
        }
    }

private:
    std::vector<std::string> m_order;
    std::map<std::string, double> m_search, m_odometer;
    std::map<std::string, bool> m_extrapolated;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
