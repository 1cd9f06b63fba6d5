#pragma once

#include <cstdio>
#include <cstdlib>

// An invariant that must hold whatever bytes came in. A broken one stops the
// fuzzer with the input saved, like a crash.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
