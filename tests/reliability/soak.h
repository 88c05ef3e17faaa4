// The soak: zerno-sim's runner driven for hours of virtual time by a seeded random player who
// presses the device's buttons and the workers' keys, now at random and now like someone who
// watches the belts, with the device's invariants checked after every handler.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/layout.h"

struct SoakOptions {
    uint32_t seed = 1;
    int64_t virtualMs = 2LL * 60 * 60 * 1000;
    bool keepScript = false;  // keep every line run, for the report's script
};

struct SoakReport {
    int64_t virtualMs = 0;     // virtual time reached
    long handlers = 0;         // handlers checked: inputs and timer ticks
    long inputs = 0;           // script lines run
    long games = 0;            // games started
    long gameOvers = 0;
    long misses = 0;
    long chanceTimes = 0;
    long breaks = 0;           // truck breaks begun
    long wraps = 0;            // scores folded back past 999
    int bestScore = 0;
    std::string failure;       // empty when every check held
    // With keepScript, every line run: zerno-sim replays it to the same state.
    std::vector<std::string> script;
};

SoakReport runSoak(std::vector<ComponentDef> layout, const SoakOptions& options);
