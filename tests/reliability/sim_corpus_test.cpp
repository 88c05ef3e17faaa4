// Every script the zerno-sim fuzzer started from (tests/fuzz/sim-corpus) or kept (its found/
// folder), replayed on the normal build: each runs to its end or stops at the line the runner
// refuses, never sends the belt outside its level table, and leaves a state block that can be
// printed. The sanitizer build of the suite replays them under ASan and UBSan.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/fuzz/sim_script/sim_script_input.h"

namespace {

namespace fs = std::filesystem;

TEST(SimScriptCorpus, EveryKeptScriptRunsOrStopsAtTheLineItNames)
{
    const LayoutResult layout = loadLayoutFile(ZERNO_LAYOUT_FILE);
    ASSERT_TRUE(layout) << layout.error();
    int replayed = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(ZERNO_SIM_CORPUS)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        SCOPED_TRACE(entry.path().filename().string());
        const SimScriptResult result =
            runSimScript(*layout, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        if (!result.error.empty()) {
            EXPECT_EQ(result.error.rfind("line " + std::to_string(result.linesRun) + ": ", 0), 0u) << result.error;
        }
        EXPECT_EQ(result.outsideLevelTable, "");
        ++replayed;
    }
    EXPECT_GE(replayed, 100);
}

SimScriptResult runScript(const std::string& script)
{
    static const LayoutResult layout = loadLayoutFile(ZERNO_LAYOUT_FILE);
    return runSimScript(layout.value(), reinterpret_cast<const uint8_t*>(script.data()), script.size());
}

TEST(SimScriptCorpus, NoScriptSendsTheBeltOutsideItsLevelTable)
{
    // What the fuzzer's build caught reading past the level table.
    const SimScriptResult step = runScript("click Im_Front\nclick Puls_GameA\nset ScoreStep 3000\n"
                                           "light Im_Pack0001\nkeydown A\nwait 3000\n");
    EXPECT_EQ(step.error, "line 3: ScoreStep is 0..2, not '3000'");
    EXPECT_EQ(step.outsideLevelTable, "");
    for (const char* mode : {"0", "3"}) {
        // During play, and while a miss holds the belt that its end will start again, even with
        // the game said to be over.
        for (const char* wait : {"wait 1000\n", "wait 3500\nset GameRunning 0\n"}) {
            const SimScriptResult result = runScript(std::string("click Im_Front\nclick Puls_GameA\n") + wait
                                                     + "set GameMode " + mode + "\nwait 5000\n");
            EXPECT_NE(result.error.find("GameMode is 1 or 2 while a game's belt runs"), std::string::npos) << result.error;
            EXPECT_EQ(result.outsideLevelTable, "");
        }
    }
    // Between games the mode is anyone's to set.
    EXPECT_EQ(runScript("click Im_Front\nset GameMode 0\nset GameMode 3\nset ScoreStep 2\n").error, "");
}

}  // namespace
