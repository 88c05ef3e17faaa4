// libFuzzer target for zerno-sim's script runner: any bytes as a script, on a fresh device.
#include <cstdio>
#include <cstdlib>

#include "tools/fuzz/sim_script/sim_script_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const LayoutResult layout = loadLayoutFile(ZERNO_LAYOUT_FILE);
    if (!layout) {
        std::fprintf(stderr, "%s\n", layout.error().c_str());
        std::abort();
    }
    const SimScriptResult result = runSimScript(*layout, data, size);
    if (!result.outsideLevelTable.empty()) {
        std::fprintf(stderr, "outside the level table: %s\n", result.outsideLevelTable.c_str());
        std::abort();
    }
    return 0;
}
