// What every benchmark prints: its measurements in words, and one ROW line per figure that the
// bench runner gathers into the final table beside its target.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

using SteadyTime = std::chrono::steady_clock::time_point;

inline double msBetween(SteadyTime from, SteadyTime to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Summary {
    size_t count = 0;
    double mean = 0;
    double p50 = 0;
    double p99 = 0;
    double max = 0;
};

inline double percentile(const std::vector<double>& sorted, double p)
{
    if (sorted.empty())
        return 0;
    // The nearest-rank percentile: the smallest value with at least p % of the values at or below it.
    size_t rank = size_t(p / 100.0 * double(sorted.size()) + 0.999999);
    rank = std::clamp<size_t>(rank, 1, sorted.size());
    return sorted[rank - 1];
}

inline Summary summarize(std::vector<double> values)
{
    Summary s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    s.count = values.size();
    s.mean = std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
    s.p50 = percentile(values, 50);
    s.p99 = percentile(values, 99);
    s.max = values.back();
    return s;
}

// Whether at least `needed` arguments follow the program's name; if not, prints the usage line.
inline bool argumentsGiven(int argc, int needed, const char* usage)
{
    if (argc > needed)
        return true;
    std::fprintf(stderr, "usage: %s\n", usage);
    return false;
}

// The word after the last `name` among the arguments from `first` on; nullptr when not given.
inline const char* optionText(int argc, char** argv, int first, const char* name)
{
    const char* value = nullptr;
    for (int i = first; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0 && i + 1 < argc)
            value = argv[++i];
    return value;
}

inline double optionValue(int argc, char** argv, int first, const char* name, double fallback)
{
    const char* text = optionText(argc, argv, first, name);
    return text ? std::atof(text) : fallback;
}

template <typename... Values>
std::string format(const char* pattern, Values... values)
{
    char text[160];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

inline std::string ms(double value)
{
    return format(value < 10 ? "%.3f ms" : "%.1f ms", value);
}

// One row of the final table. `met` is whether the measured figure is within the target.
inline void printRow(const std::string& what, const std::string& measured, const std::string& target,
                     const std::string& baseline, bool met)
{
    std::printf("ROW\t%s\t%s\t%s\t%s\t%s\n", what.c_str(), measured.c_str(), target.c_str(), baseline.c_str(),
                met ? "met" : "MISSED");
    std::fflush(stdout);
}

inline void printSummary(const char* what, const Summary& s)
{
    std::printf("  %-44s n %zu, mean %.3f ms, p50 %.3f ms, p99 %.3f ms, max %.3f ms\n", what, s.count, s.mean, s.p50,
                s.p99, s.max);
    std::fflush(stdout);
}
