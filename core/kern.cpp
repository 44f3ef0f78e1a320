#include "kern.h"

#include <QtGlobal>

namespace Kern {

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

bool isPreset(double preset) {
    return preset >= 0 && preset < PresetCount && preset == double(qint64(preset));
}

ScreenScale PresetScale(double preset, const ScreenScale& current) {
    ScreenScale scale = current;
    scale.preset = preset;
    if (isPreset(preset)) {
        const PresetFactors& f = Presets[std::size_t(preset)];
        scale.x = f.x;
        scale.y = f.y;
    }
    return scale;
}

} // namespace Kern
