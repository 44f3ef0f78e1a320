// The combination search against the literal odometer it replaces, and the search alone on
// inputs the odometer could not finish. After the table of runs, the ratio of the odometer's
// time to the search's time is printed for every case measured both ways.
//
// Run: sfx_bench (Google Benchmark options apply, e.g. --benchmark_filter=StartUp).

// Totals rounded as the search rounds them: no fused multiply-add (see odometer.h).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("fp-contract=off")
#elif defined(__clang__)
#pragma clang fp contract(off)
#endif

#include "odometer.h"
#include "search.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

namespace {

using Kern::SearchRequest;
using Kern::SearchType;

std::vector<SearchType> types(std::initializer_list<double> lengths, qint64 maximum = 9999) {
    std::vector<SearchType> out;
    for (double l : lengths)
        out.push_back(SearchType{l, 0, maximum, 0});
    return out;
}

std::vector<SearchType> startUpTypes(qint64 maximum = 9999) {
    return types({64.3, 70.8, 77.5, 94.2, 171.7, 188.3, 229.3, 236.1}, maximum);
}

SearchRequest startUp() {
    return SearchRequest{startUpTypes(), 1000.0, 0, 0, 500};
}
SearchRequest wide120() {
    return SearchRequest{startUpTypes(), 1000.0, 10, 10, 500};
}
SearchRequest limit999() {
    return SearchRequest{startUpTypes(), 3000.0, 10, 10, 999};
}
SearchRequest unreachableTen() {
    return SearchRequest{types({100.2, 120.4, 150.6, 200.8, 60.2, 80.4, 90.6, 110.8, 130.2, 240.4}),
                         3000.1, 0, 0, 999};
}

// Vectors the uncapped odometer examines on unreachableTen(), counted once with it (it takes
// seconds).
constexpr qint64 UnreachableTenVisits = 192552945;
constexpr qint64 UnreachableTenCap = 2000000;

void search(benchmark::State& state, SearchRequest request) {
    size_t found = 0;
    for (auto _ : state) {
        const auto result = Kern::SearchCombinations(request);
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

// The full walk takes seconds per iteration: it runs up to the cap, and its time is scaled up by
// the share of the vectors it examined (the cost per vector is the same throughout).
void odometerExtrapolated(benchmark::State& state, SearchRequest request) {
    Odometer::Walk walk;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        walk = Odometer::Literal(request, UnreachableTenCap);
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        benchmark::DoNotOptimize(walk.found.data());
        state.SetIterationTime(spent.count() * double(UnreachableTenVisits) / double(walk.visited));
    }
    state.counters["found"] = double(walk.found.size());
    state.counters["visited"] = double(walk.visited);
    state.SetLabel("capped at " + std::to_string(UnreachableTenCap) +
                   " vectors, time extrapolated to " + std::to_string(UnreachableTenVisits));
}

} // namespace

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
                  SearchRequest{startUpTypes(Kern::MaxCount), 99999999.0, 0, 0, 999})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, Route5km, SearchRequest{startUpTypes(), 5e6, 0, 0, 999})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, Route100mTwoDecimals,
                  SearchRequest{types({64.31, 70.83, 77.52, 94.27, 171.71, 188.33, 229.35, 236.18}),
                                100000.0, 0, 0, 999})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, Route100mTwoDecimalsTenTypes,
                  SearchRequest{types({100.22, 120.44, 150.66, 200.88, 60.22, 80.44, 90.66, 110.88,
                                       130.22, 240.44}),
                                100000.05, 0, 0, 999})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, EightDecimals,
                  SearchRequest{types({64.12345678, 70.87654321, 77.55555557, 94.20000001,
                                       171.71717171, 188.31313131, 229.37373737, 236.19191919}),
                                1000.0, 0, 0, 999})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, EightDecimals100m,
                  SearchRequest{types({64.12345678, 70.87654321, 77.55555557, 94.20000001,
                                       171.71717171, 188.31313131, 229.37373737, 236.19191919}),
                                100000.0, 0, 0, 999})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(search, Route1e300,
                  SearchRequest{startUpTypes(Kern::MaxCount), 1e300, 10, 10, 999})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(search, TinyLengths,
                  SearchRequest{types({64.3, 1e-300, 70.8, 77.5, 2e-300}, Kern::MaxCount), 1000.3,
                                0, 0, 999})
    ->Unit(benchmark::kMillisecond);
// Short lengths with huge counts on the slow places, no combination in the window.
BENCHMARK_CAPTURE(search, ShortLengthsNoHit,
                  SearchRequest{{{64.3, 0, 9999, 0},
                                 {70.8, 0, 9999, 0},
                                 {77.5, 0, 9999, 0},
                                 {1e-10, 0, Kern::MaxCount, 0},
                                 {3e-10, 0, Kern::MaxCount, 0}},
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

namespace {

// The usual console table, then one line per case with the odometer's time over the search's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            // "search/StartUp", "odometerExtrapolated/UnreachableTen/iterations:1/manual_time"
            const std::string name = run.benchmark_name();
            const size_t slash = name.find('/');
            const size_t end = name.find('/', slash + 1);
            const std::string method = name.substr(0, slash);
            const std::string caseName = name.substr(slash + 1, end - slash - 1);
            const double seconds = run.real_accumulated_time / double(run.iterations);
            (method == "search" ? m_search : m_odometer)[caseName] = seconds;
            if (method == "odometerExtrapolated")
                m_extrapolated[caseName] = true;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [caseName, odometerSeconds] : m_odometer) {
            const auto found = m_search.find(caseName);
            if (found == m_search.end() || found->second <= 0)
                continue;
            std::printf("%-16s odometer %12.3f ms  search %10.4f ms  ratio %12.0f%s\n",
                        caseName.c_str(), odometerSeconds * 1e3, found->second * 1e3,
                        odometerSeconds / found->second,
                        m_extrapolated.count(caseName) ? "  (odometer extrapolated)" : "");
        }
    }

private:
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
