// Building the print document: long result lists, and inputs that once made printing crawl (a
// template override of megabytes, article numbers of 32,767 characters). Besides the time of a
// whole build, the CPU milliseconds per printed page are given as a counter.
//
// Run: sfx_print_bench (Google Benchmark options apply, e.g. --benchmark_filter=build).

#include "drubild.h"
#include "drucken.h"
#include "resultfixture.h"

#include <QApplication>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <ctime>

namespace {

double cpuSeconds() {
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// One print run up to the finished layout, as the preview gets it (with drawn: and the pages
// drawn as the preview draws them when it is shown); the template is looked for in
// templateDirectory.
void buildRuns(benchmark::State& state, const Kern::ResultTableModel& grid,
               const QString& templateDirectory, bool drawn = false) {
    int pages = 0;
    double cpu = 0;
    for (auto _ : state) {
        const double start = cpuSeconds();
        Printout printout(grid, templateDirectory);
        if (!printout.preview.buildPages(printout.run))
            state.SkipWithError("pages not built");
        pages = printout.document().pageCount();
        if (drawn)
            printout.preview.HighEdit1->updatePreview();
        cpu += cpuSeconds() - start;
    }
    state.counters["pages"] = pages;
    state.counters["cpu_ms_per_page"] = cpu * 1e3 / double(state.iterations()) / std::max(pages, 1);
}

void build(benchmark::State& state) {
    Kern::ResultTableModel grid;
    fillResults(grid, 8, int(state.range(0)));
    QTemporaryDir noOverride;
    buildRuns(state, grid, noOverride.path());
}
BENCHMARK(build)->Arg(999)->Arg(5000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void buildAndDraw(benchmark::State& state) {
    Kern::ResultTableModel grid;
    fillResults(grid, 8, int(state.range(0)));
    QTemporaryDir noOverride;
    buildRuns(state, grid, noOverride.path(), true);
}
BENCHMARK(buildAndDraw)->Arg(999)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// Ten article numbers of the longest a track file can hold.
void longArticleNumbers(benchmark::State& state) {
    Kern::ResultTableModel grid;
    Kern::SearchResult result = fillResults(grid, Kern::MaxTypes, 4);
    for (int t = 1; t <= Kern::MaxTypes; ++t)
        result.articleNumbers[std::size_t(t - 1)] = QString(32767, QChar('0' + t % 10));
    grid.SetUpResultTable(result);
    grid.FillResultTable(result.rows);
    QTemporaryDir noOverride;
    buildRuns(state, grid, noOverride.path());
}
BENCHMARK(longArticleNumbers)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// A 4 MB override of about 24,000 table rows in the user's data folder.
void hugeTemplate(benchmark::State& state) {
    Kern::ResultTableModel grid;
    fillResults(grid, 8, 50);
    QTemporaryDir dir;
    QFile file(dir.filePath(Drucken::TemplateName));
    const QByteArray row = "<tr>" + QByteArray(15, 'x').replace("x", "<td>&nbsp;</td>") + "</tr>";
    if (!file.open(QIODevice::WriteOnly) || !file.write("<table>") ||
        !file.write(row.repeated(4000000 / row.size())) || !file.write("</table>"))
        state.SkipWithError("template not written");
    file.close();
    buildRuns(state, grid, dir.path());
}
BENCHMARK(hugeTemplate)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
