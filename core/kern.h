#pragma once

#include <array>

// Constants and the screen-preset table that several parts of the program share.
namespace Kern {

constexpr int TrackRows = 10;
// The most combinations one search keeps.
constexpr int StoreRows = 5000;

// A screen preset and its factors. The factors stay 1 until a preset has been applied, so
// nothing is ever laid out at size 0.
struct ScreenScale {
    double preset = 1;
    double x = 1.0;
    double y = 1.0;
};

// The given preset with its factors; a value that names no preset (anything but the whole
// numbers 0 to 11) keeps the factors of current.
ScreenScale PresetScale(double preset, const ScreenScale& current = ScreenScale());

// True for the whole numbers 0 to 11.
bool isPreset(double preset);

// The number of presets and the factor table, for whoever needs to list them.
constexpr int PresetCount = 12;
struct PresetFactors {
    double x;
    double y;
};
extern const std::array<PresetFactors, PresetCount> Presets;

} // namespace Kern
