#pragma once

// What the fuzz targets share: the input as bytes for the readers, and the check of a property,
// whose violation is a crash, so libFuzzer keeps the input and the corpus replay fails on it.
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline QByteArray fuzzBytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

[[noreturn]] inline void propertyFailed(const char* file, int line, const char* condition) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, condition);
    std::abort();
}

#define FUZZ_CHECK(condition)                                                                      \
    ((condition) ? void() : propertyFailed(__FILE__, __LINE__, #condition))
