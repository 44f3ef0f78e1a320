// What one key costs in the calculator window on a long tape: the engine, the tape and the
// display with the event loop run after every key, so that layout and painting are counted.
// The tape is filled to the given number of lines first; per-key times at 1,000 and 40,000
// lines show whether the cost grows with the tape.
//
// Run: QT_QPA_PLATFORM=offscreen sfx_calculator_bench

#include "RechnerF.h"
#include "tapelist.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<RechnerF> openCalculator() {
    auto dlg = std::make_unique<RechnerF>();
    dlg->show();
    dlg->Form_Activate();
    QApplication::processEvents();
    return dlg;
}

int tapeLines(const RechnerF& dlg) {
    return dlg.findChild<TapeList*>(QStringLiteral("Bon"))->count();
}

// "1 +" adds one line to the tape; "=" every tenth time adds a result and its rule.
void typeLine(RechnerF& dlg, int i) {
    dlg.Taste_Click(QStringLiteral("1"));
    dlg.Taste_Click(i % 10 == 9 ? QStringLiteral("=") : QStringLiteral("+"));
}

void keysOnLongTape(benchmark::State& state) {
    auto dlg = openCalculator();
    for (int i = 0; tapeLines(*dlg) < state.range(0); ++i)
        typeLine(*dlg, i);
    QApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        typeLine(*dlg, i++);
        QApplication::processEvents();
    }
    state.SetItemsProcessed(2 * state.iterations());
    state.counters["time/key"] = benchmark::Counter(
        2 * double(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
        benchmark::Counter::kIs1000);
}

} // namespace

BENCHMARK(keysOnLongTape)->Arg(1000)->Arg(40000)->Unit(benchmark::kMicrosecond)->Iterations(400);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
