// Settings reader on any bytes: a preset from 0 to 11 always, and what it read is written and
// read back unchanged.
#include "fuzzcheck.h"
#include "settings.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    double preset = -1;
    QString name;
    Kern::parseSettings(bytes, &preset, &name);
    FUZZ_CHECK(preset >= 0 && preset <= 11 && preset == std::floor(preset));
    FUZZ_CHECK(!name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r')));

    const QByteArray written = Kern::formatSettings(preset, name);
    double presetBack = -1;
    QString nameBack;
    Kern::parseSettings(written, &presetBack, &nameBack);
    FUZZ_CHECK(presetBack == preset);
    FUZZ_CHECK(nameBack == name);
    return 0;
}
