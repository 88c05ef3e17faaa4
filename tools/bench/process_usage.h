// What this process has used: CPU time and wake-ups of all its threads, its peak resident
// memory, and the shared libraries it has mapped.
#pragma once

#include <cstdio>
#include <cstring>
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
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            std::sscanf(line + 6, "%ld", &kb);
    std::fclose(status);
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
    FILE* maps = std::fopen("/proc/self/maps", "r");
    if (!maps)
        return libraries;
    char line[4096];
    while (std::fgets(line, sizeof line, maps)) {
        const char* path = std::strchr(line, '/');
        if (!path)
            continue;
        std::string name(path);
        name.erase(name.find_last_not_of('\n') + 1);
        const size_t slash = name.rfind('/');
        if (name.find(".so", slash) != std::string::npos)
            libraries.insert(name);
    }
    std::fclose(maps);
    return libraries;
}

// One line a library, "lib PATH", for the process that measures to read.
inline void printMappedLibraries()
{
    for (const std::string& library : mappedLibraries())
        std::printf("lib %s\n", library.c_str());
}
