// zerno-soak [--hours H] [--seed N] [--script FILE]
// The long soak: H virtual hours (24 unless told) of random play with the device's invariants
// checked after every handler. Prints what the player got through and how long it took; on a
// failure, what broke, and with --script the zerno-sim script that leads there.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/reliability/soak.h"

int main(int argc, char** argv)
{
    SoakOptions options;
    options.virtualMs = 24LL * 3600 * 1000;
    std::string scriptPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--hours" && i + 1 < argc)
            options.virtualMs = int64_t(std::atof(argv[++i]) * 3600 * 1000);
        else if (arg == "--seed" && i + 1 < argc)
            options.seed = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--script" && i + 1 < argc)
            scriptPath = argv[++i];
        else {
            std::fprintf(stderr, "usage: zerno-soak [--hours H] [--seed N] [--script FILE]\n");
            return 2;
        }
    }
    options.keepScript = !scriptPath.empty();

    const LayoutResult layout = loadLayoutFile(ZERNO_LAYOUT_FILE);
    if (!layout) {
        std::fprintf(stderr, "zerno-soak: %s\n", layout.error().c_str());
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const SoakReport report = runSoak(*layout, options);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("seed %u: %.2f virtual hours in %.2f s\n", options.seed, double(report.virtualMs) / 3600000.0, seconds);
    std::printf("  handlers checked %ld, script lines %ld\n", report.handlers, report.inputs);
    std::printf("  games %ld, game overs %ld, misses %ld, chance times %ld, truck breaks %ld, scores past 999 %ld, best score %d\n",
                report.games, report.gameOvers, report.misses, report.chanceTimes, report.breaks, report.wraps,
                report.bestScore);
    if (!scriptPath.empty()) {
        std::ofstream script(scriptPath);
        for (const std::string& line : report.script)
            script << line << '\n';
        std::printf("  script: %s (%zu lines)\n", scriptPath.c_str(), report.script.size());
    }
    if (!report.failure.empty()) {
        std::printf("FAILED %s\n", report.failure.c_str());
        return 1;
    }
    std::printf("every invariant held\n");
    return 0;
}
