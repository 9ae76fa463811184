#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant ends the run, so the fuzzer keeps the input.
inline void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}
