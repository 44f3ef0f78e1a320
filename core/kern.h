#pragma once

#include "search.h"

#include <QString>

#include <array>

// Values that several parts of the program share for the whole run.
namespace Kern {

constexpr int TrackRows = 10;
constexpr int StoreRows = 5000;
constexpr int StoreColumns = 15;

extern int RowCount;                           // rows of the track table the search reads (10)
extern int SelectedCount;                      // n, the types taken by the last search
extern std::array<QString, 12> ArticleNumbers; // of the selected types 1..n; slot 0 unused
extern int CombinationCount;                   // k
extern double RouteLength;                     // taken by the start button
extern double CombinationLimit;                // taken by the start button (leading-number value)

// The result store: rows 1..5000, columns 0..14 (row 0 unused).
using StoreRow = std::array<double, StoreColumns>;
extern std::array<StoreRow, StoreRows + 1> ResultStore;

// Screen preset and its factors (1 until the presets are applied).
extern double ScreenPreset;
extern double ScaleX;
extern double ScaleY;

// Writes the factors of the given preset to ScaleX and ScaleY; an index that matches no preset
// (anything but the whole numbers 0 to 11) leaves both as they were.
void PresetScale(double preset);

// The number of presets and the factor table, for whoever needs to list them.
constexpr int PresetCount = 12;
struct PresetFactors {
    double x;
    double y;
};
extern const std::array<PresetFactors, PresetCount> Presets;

} // namespace Kern
