// What this process has used: CPU time and wake-ups of all its threads, its peak resident
// memory, and the shared libraries it has mapped.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <sys/resource.h>

inline double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
         + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Context switches of all the process's threads so far, those that ended included, voluntary
// or not: each is a thread that went to sleep and was woken, or was put aside.
inline long contextSwitches()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

// What the memory benchmark reads from a process it measures: "peak N kB", its peak resident
// memory (VmHWM, -1 when it cannot be read), then one line a shared library mapped into it now,
// "lib PATH".
inline void printMemoryUse()
{
    long peakKb = -1;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            peakKb = std::atol(line.c_str() + 6);
    std::printf("peak %ld kB\n", peakKb);

    std::set<std::string> libraries;
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        const size_t path = line.find('/');
        if (path == std::string::npos)
            continue;
        const std::string name = line.substr(path);
        if (name.find(".so", name.rfind('/')) != std::string::npos)
            libraries.insert(name);
    }
    for (const std::string& library : libraries)
        std::printf("lib %s\n", library.c_str());
    std::fflush(stdout);
}
