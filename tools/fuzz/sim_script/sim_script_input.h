// One input of the zerno-sim script fuzzer: the bytes are a script, run line by line on a fresh
// runner as zerno-sim runs it, up to the first line it refuses. The fuzzer calls this; the test
// suite calls it again on every input kept in tests/fuzz/sim-corpus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/layout.h"

struct SimScriptResult {
    int linesRun = 0;
    std::string error;  // "line N: what is wrong" for the line that stopped the script
    // Empty unless a script brought the device where its belt looks up a level the table does
    // not have (a tick outside Game A and Game B, or a score outside 0..999): what was found.
    std::string outsideLevelTable;
};

// Waits are cut so that one input never plays more than this much virtual time: the fuzzer
// looks for scripts that break the parser and the runner, the soak for long games.
constexpr int64_t SimScriptVirtualBudgetMs = 10LL * 60 * 1000;

SimScriptResult runSimScript(const std::vector<ComponentDef>& layout, const uint8_t* data, size_t size);
