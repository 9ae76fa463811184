#pragma once

// Bench programs that stop after their first paint tell the start-up benchmark
// their CPU time and peak memory up to that moment on standard output, before
// anything that follows (the program's close writes its settings file) adds to
// them; the benchmark takes the moment the line arrives as the paint's.

#include <cstdio>
#include <cstring>

#include <sys/resource.h>

namespace hibi::bench {

inline void PrintCostSoFar()
{
    long kib = 0;
    if (FILE *status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::strncmp(line, "VmHWM:", 6) == 0)
                std::sscanf(line + 6, "%ld", &kib);
        std::fclose(status);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long cpuMicroseconds = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000L + usage.ru_utime.tv_usec
            + usage.ru_stime.tv_usec;
    std::printf("painted peak_kib %ld cpu_us %ld\n", kib, cpuMicroseconds);
    std::fflush(stdout);
}

} // namespace hibi::bench
