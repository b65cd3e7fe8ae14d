#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property ends the run like a crash, so libFuzzer keeps the input
// and the replay tests fail on it; assert() would vanish in release builds.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
