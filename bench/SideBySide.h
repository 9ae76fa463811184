#pragma once

// A piece of work and its floor (what any program doing it must pay), timed in
// turn in every iteration of one benchmark, so both see the same machine. The
// counters give both medians and their ratio, in wall time and in this thread's
// CPU time, and the work's cost per item (record, calendar) to show how it grows.
// Register with ->UseManualTime(): the benchmark's own time is the work's.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <string>
#include <vector>

namespace hibi::bench {

inline double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

inline double medianOf(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// `items` is how much work one run does; `unit` is "us" or "ms".
template<typename Work, typename Floor>
void SideBySide(benchmark::State &state, Work &&work, Floor &&floor, double items, const std::string &unit = "us")
{
    const double scale = unit == "ms" ? 1e3 : 1e6;
    std::vector<double> wall[2];
    std::vector<double> cpu[2];
    for (auto _ : state) {
        double workWall = 0;
        for (int which : {1, 0}) {   // the floor first, then the work
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = threadCpuSeconds();
            if (which == 0)
                work();
            else
                floor();
            const double cpuSeconds = threadCpuSeconds() - cpuStart;
            const double wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            wall[which].push_back(wallSeconds * scale);
            cpu[which].push_back(cpuSeconds * scale);
            if (which == 0)
                workWall = wallSeconds;
        }
        state.SetIterationTime(workWall);
    }
    const double w = medianOf(wall[0]);
    const double wf = medianOf(wall[1]);
    const double c = medianOf(cpu[0]);
    const double cf = medianOf(cpu[1]);
    state.counters[unit] = w;
    state.counters["floor_" + unit] = wf;
    state.counters["ratio"] = wf > 0 ? w / wf : 0;
    state.counters["cpu_" + unit] = c;
    state.counters["floor_cpu_" + unit] = cf;
    state.counters["cpu_ratio"] = cf > 0 ? c / cf : 0;
    state.counters["ns_per_item"] = w * (1e9 / scale) / items;
}

} // namespace hibi::bench
