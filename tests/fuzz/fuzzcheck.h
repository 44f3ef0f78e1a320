#pragma once

#include <cstdio>
#include <cstdlib>

// A property a fuzz target checks: a violation is a crash, so libFuzzer keeps the input and the
// corpus replay fails on it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
