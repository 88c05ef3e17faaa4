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

// VmHWM from /proc/self/status, in kB; -1 when it cannot be read.
inline long peakResidentKb()
{
    std::ifstream status("/proc/self/status");
    long kb = -1;
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            kb = std::atol(line.c_str() + 6);
    return kb;
}

// Context switches of all the process's threads so far, those that ended included, voluntary
// or not: each is a thread that went to sleep and was woken, or was put aside.
inline long contextSwitches()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

// The paths of the shared libraries mapped into this process now.
inline std::set<std::string> mappedLibraries()
{
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
    return libraries;
}

// One line a library, "lib PATH", for the process that measures to read.
inline void printMappedLibraries()
{
    for (const std::string& library : mappedLibraries())
        std::printf("lib %s\n", library.c_str());
}
