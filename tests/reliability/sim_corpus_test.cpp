// Every script the zerno-sim fuzzer found or started from, replayed on the normal build: each
// runs to its end or stops at the line the runner refuses, and the state block can be printed
// whatever the script did. The sanitizer build of the suite replays them under ASan and UBSan.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim_script_input.h"

namespace {

namespace fs = std::filesystem;

TEST(SimScriptCorpus, EveryKeptScriptRunsOrStopsAtTheLineItNames)
{
    const LayoutResult layout = loadLayoutFile(ZERNO_LAYOUT_FILE);
    ASSERT_EQ(layout.error, "");
    int replayed = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(ZERNO_SIM_CORPUS)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        SCOPED_TRACE(entry.path().filename().string());
        const SimScriptResult result =
            runSimScript(layout.components, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        if (!result.error.empty()) {
            EXPECT_EQ(result.error.rfind("line " + std::to_string(result.linesRun) + ": ", 0), 0u) << result.error;
        }
        ++replayed;
    }
    EXPECT_GE(replayed, 8);
}

}  // namespace
