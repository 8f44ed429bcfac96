#pragma once
// The peak working set of this process, for the benchmarks' figures (link psapi).
#include <windows.h>
#include <psapi.h>

#include <cstddef>

inline size_t PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}
