#pragma once

// Bench programs that stop after their first paint tell the start-up benchmark
// their peak memory up to that moment on standard output, before anything that
// follows (the program's close writes its settings file) adds to it.

#include <cstdio>
#include <cstring>

namespace hibi::bench {

inline void PrintPeakMemorySoFar()
{
    FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return;
    char line[256];
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmHWM:", 6) == 0) {
            long kib = 0;
            if (std::sscanf(line + 6, "%ld", &kib) == 1)
                std::printf("peak_kib %ld\n", kib);
        }
    std::fclose(status);
    std::fflush(stdout);
}

} // namespace hibi::bench
