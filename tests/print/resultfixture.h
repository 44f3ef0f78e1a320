#pragma once

// A result grid whose cells are easy to predict and a print run of it, for the printing tests
// and the template fuzz target.

#include "drubild.h"
#include "drucken.h"
#include "kern.h"
#include "printerchoice.h"
#include "resulttablemodel.h"

// Fills grid with a result of n types (article numbers 24061, 24062, ...) and k rows whose cells
// are easy to predict: row r has 10 + r pieces, the count (r + t) % 3 of type t (0 shows
// empty), and a total price of (k - r + 1) * 2.5 + 0.25, so the cheapest row is the last found.
// Returns the result the grid shows.
inline Kern::SearchResult fillResults(Kern::ResultTableModel& grid, int n, int k) {
    Kern::SearchResult result;
    for (int t = 1; t <= n; ++t)
        result.articleNumbers.push_back(QString::number(24060 + t));
    for (int r = 1; r <= k; ++r) {
        Kern::FoundCombination f;
        f.total = 1000.0 + (r % 3) / 10.0;
        f.deviation = (r % 3) / 10.0;
        for (int t = 1; t <= n; ++t)
            f.counts[std::size_t(t - 1)] = (r + t) % 3;
        f.pieces = 10 + r;
        f.totalPrice = (k - r + 1) * 2.5 + 0.25;
        result.rows.push_back(f);
    }
    grid.SetUpResultTable(result);
    grid.FillResultTable(result.rows);
    return result;
}

// One print run of a grid up to the finished document, the preview not shown; the template is
// looked for in templateDirectory alone. The preview starts with printing, or a set-up of its own.
struct Printout {
    Printout(const Kern::ResultTableModel& grid, const QString& templateDirectory,
             PrinterChoice* printing = nullptr)
        : run(grid, QStringList{templateDirectory}), preview(printing ? *printing : ownChoice) {}
    const QTextDocument& build() {
        if (!preview.buildPages(run))
            qWarning("pages not built");
        run.busy.release();
        return document();
    }
    const QTextDocument& document() const { return *preview.findChild<SelfContainedDocument*>(); }
    PrinterChoice ownChoice;
    Drucken::PrintRun run;
    DruBild preview;
};
