// Settings reader on any bytes: a preset from 0 to 11 always, and what it read is written and
// read back unchanged.
#include "fuzzcheck.h"
#include "settings.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    double preset = -1;
    QString name;
    Kern::parseSettings(fuzzBytes(data, size), &preset, &name);
    FUZZ_CHECK(preset >= 0 && preset <= 11 && preset == std::floor(preset));
    FUZZ_CHECK(!name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r')));
    double presetBack = -1;
    QString nameBack;
    Kern::parseSettings(Kern::formatSettings(preset, name), &presetBack, &nameBack);
    FUZZ_CHECK(presetBack == preset && nameBack == name);
    return 0;
}
