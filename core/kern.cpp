#include "kern.h"

namespace Kern {

int RowCount = TrackRows;
int SelectedCount = TrackRows;
std::array<QString, 12> ArticleNumbers;
int CombinationCount = 0;
double RouteLength = 0.0;
double CombinationLimit = 0.0;
std::array<StoreRow, StoreRows + 1> ResultStore{};

double ScreenPreset = 1;
// The factors stay 1 until a preset has been applied, so nothing is ever laid out at size 0.
double ScaleX = 1.0;
double ScaleY = 1.0;

const std::array<PresetFactors, PresetCount> Presets = {{
    {1.0, 1.0},      // &800 x 600
    {1.28, 1.28},    // &1024 x 768
    {1.6, 1.333333}, // 1280 x 800
    {1.58, 1.58},    // 1&280 x 960
    {1.58, 1.7},     // 1280 x 1024
    {1.72, 1.28},    // 1376 x &768
    {1.75, 1.75},    // 1400 x 10&50
    {1.8, 1.45},     // 1&440 x 900
    {2.0, 1.45},     // 1600 x &900
    {2.0, 2.0},      // 1&600 x 1200
    {2.1, 1.75},     // 1680 x 1050
    {2.4, 1.8},      // 1920 x 1080
}};

void PresetScale(double preset) {
    if (!(preset >= 0 && preset < PresetCount) || preset != double(qint64(preset)))
        return;
    const PresetFactors& f = Presets[std::size_t(preset)];
    ScaleX = f.x;
    ScaleY = f.y;
}

} // namespace Kern
