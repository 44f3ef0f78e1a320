#pragma once

#include "kern.h"
#include "resulttablemodel.h"

// Fills grid with a result of n types (article numbers 24061, 24062, ...) and k rows whose cells
// are easy to predict: row r has 10 + r pieces, the count (r + t) % 3 of type t (0 shows
// empty), and a total price of (k - r + 1) * 2.5 + 0.25, so the cheapest row is the last found.
inline void fillResults(Kern::ResultTableModel& grid, int n, int k) {
    Kern::SelectedCount = n;
    for (int t = 1; t <= Kern::MaxTypes; ++t)
        Kern::ArticleNumbers[std::size_t(t)] = t <= n ? QString::number(24060 + t) : QString();
    Kern::CombinationCount = k;
    for (int r = 1; r <= k; ++r) {
        Kern::StoreRow& s = Kern::ResultStore[std::size_t(r)];
        s.fill(0);
        s[0] = 1000.0 + (r % 3) / 10.0;
        s[1] = (r % 3) / 10.0;
        for (int t = 1; t <= n; ++t)
            s[std::size_t(1 + t)] = (r + t) % 3;
        s[12] = 10 + r;
        s[13] = (k - r + 1) * 2.5 + 0.25;
    }
    grid.SetUpResultTable();
    grid.FillResultTable();
}
