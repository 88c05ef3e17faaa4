// zerno-sim's runner: the script commands, the output lines and the errors, which other programs
// and bug reports rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "script/sim_runner.h"
#include "tests/device/device_fixture.h"
#include "tests/support/broken_layout.h"

namespace {

struct SimRun {
    int status;
    std::string out;
    std::string err;
};

SimRun run(const std::string& script, SimOptions options = {})
{
    devicetest::MemoryKey keys, game;
    std::ostringstream out, err;
    std::istringstream in(script);
    SimRunner runner(devicetest::deviceLayout(), keys, game, options, out);
    const int status = runner.run(in, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

// The output after the four key letters written back at creation.
std::string afterCreation(const SimRun& result)
{
    const std::string creation = "0 store Key1 17\n0 store Key2 1\n0 store Key3 16\n0 store Key4 12\n";
    EXPECT_EQ(result.out.substr(0, creation.size()), creation);
    return result.out.substr(std::min(creation.size(), result.out.size()));
}

std::vector<std::string> linesStarting(const SimRun& result, const std::string& start)
{
    std::vector<std::string> found;
    for (const std::string& line : lines(result.out))
        if (line.rfind(start + " ", 0) == 0)
            found.push_back(line);
    return found;
}

// The first line that starts with these words.
std::string stateLine(const SimRun& result, const std::string& start)
{
    const std::vector<std::string> found = linesStarting(result, start);
    return found.empty() ? "(no line " + start + ")" : found.front();
}

TEST(SimRunner, OpeningTheCoverPrintsTheResetDisplayInTheStateBlock)
{
    const SimRun result = run("click Im_Front\nstate\n");
    ASSERT_EQ(result.status, 0);
    // Named one by one: the cover, PM, the alarm and the ten digit pictures stay dark.
    std::set<std::string> dark = {"Im_Front", "Im_TimePM", "Im_Alarm"};
    for (char digit = '0'; digit <= '9'; ++digit)
        dark.insert(std::string("Im_Num") + digit);
    std::string lit = "lit";
    for (const ComponentDef& def : devicetest::deviceLayout())
        if (!dark.count(def.name))
            lit += " " + def.name;
    const std::string expected = "state 0\n" + lit + "\ndigits 1200\n"
        "var GameMode 3\nvar GameRunning 0\nvar Score 0\nvar ScoreStep 0\nvar MissCount 0\nvar FolkoLevel 0\n"
        "var ZernoLevel 0\nvar FolkoFree 0\nvar ZernoFree 0\nvar TickPhase 0\nvar MissSpot 0\nvar MissStep 0\n"
        "var CarrySpot 0\nvar BonusStep 0\nvar ChanceStep 0\nvar BlinkPhase 0\nvar OverStep 0\nvar TruckLoad 0\n"
        "var TruckStep 0\nvar MaxPacks 0\nvar DoubleScore 0\nvar HiscoreA 0\nvar HiscoreB 0\n"
        "timer TimerClock off 1\ntimer TimerGioco off 250\ntimer TimerZernoPack off 200\n"
        "timer TimerFolkoPack off 200\ntimer TimerFolkoMovePack off 150\ntimer TimerZernoMovePack off 150\n"
        "timer TimerPackBus off 200\ntimer TimerBusSmoke off 150\ntimer TimerMiss off 1\n"
        "timer TimerBonus off 1\ntimer TimerChance off 300\ntimer TimerBlink off 600\ntimer TimerOver off 1000\n"
        "end\n";
    EXPECT_EQ(afterCreation(result), expected);
    EXPECT_TRUE(result.err.empty());
}

TEST(SimRunner, GameButtonsShowTheHiscoreViewAndStartTheBeltAt415Or375)
{
    const SimRun a = run("click Im_Front\npress Puls_GameA\nstate\nrelease Puls_GameA\nstate\n");
    EXPECT_EQ(linesStarting(a, "digits"), (std::vector<std::string>{"digits ---0", "digits ---0"}));
    EXPECT_EQ(linesStarting(a, "timer TimerGioco"),
              (std::vector<std::string>{"timer TimerGioco off 250", "timer TimerGioco on 415"}));
    EXPECT_EQ(linesStarting(a, "var GameRunning"), (std::vector<std::string>{"var GameRunning 0", "var GameRunning 1"}));
    EXPECT_NE(stateLine(a, "lit").find(" Im_Bus1 Im_Folko1 Im_Folko1A Im_GameA Im_Zerno2A Im_Zerno2 "), std::string::npos);

    const SimRun b = run("click Im_Front\nclick Puls_GameB\nstate\n");
    EXPECT_EQ(stateLine(b, "timer TimerGioco"), "timer TimerGioco on 375");
    EXPECT_EQ(stateLine(b, "var GameMode"), "var GameMode 2");
}

TEST(SimRunner, SoundSilenceStoreAndTickLinesCarryTheVirtualTime)
{
    const SimRun ticks = run("click Im_Front\nclick Puls_GameA\ntrace on\nwait 845\ntrace off\nwait 1000\n"
                          "click Puls_ACL\n");
    EXPECT_EQ(afterCreation(ticks),
              "415 tick TimerGioco\n845 tick TimerGioco\n845 sound SndPack\n1705 sound SndPack\n1845 silence\n");

    // Two misses already: the parcel left at spot 1 ends the game and stores the hiscore.
    const SimRun over = run("click Im_Front\nclick Puls_GameA\nset MissCount 2\nset Score 7\nwait 7000\n");
    EXPECT_NE(over.out.find("\n6726 store HiScoreA 7\n"), std::string::npos) << over.out;
    EXPECT_NE(over.out.find("\n3626 sound SndMiss\n"), std::string::npos);
}

TEST(SimRunner, BlankLinesCommentsAndCarriageReturnsAreIgnored)
{
    const SimRun result = run("\r\n# a comment\n   \n\t\nclick Im_Front\r\n  # indented comment\nstate\r\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(result.err.empty());
    EXPECT_EQ(stateLine(result, "digits"), "digits 1200");
}

TEST(SimRunner, AWrongLineStopsTheRunWithItsNumberAndExitStatus2)
{
    const SimRun result = run("click Im_Front\n\n# comment\nfrobnicate now\nstate\n");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "line 4: unknown command 'frobnicate'\n");
    EXPECT_EQ(result.out.find("state"), std::string::npos);

    const std::vector<std::pair<std::string, std::string>> bad = {
        {"press Im_Nowhere", "unknown component 'Im_Nowhere'"},
        {"light", "'light' takes 1 argument"},
        {"release Puls_GameA left", "'left'"},
        {"keydown a", "'a'"},
        {"wait -5", "'-5'"},
        {"set Nothing 1", "unknown variable 'Nothing'"},
        {"set GameRunning 2", "GameRunning is a flag"},
        {"trace maybe", "'maybe'"},
        {"state now", "'state' takes 0 arguments"},
        {"time 10:00:00", "'time' comes before every other command"},
        {"keys Q A P", "'keys' takes 4 arguments"},
        {"keys Q A P x", "'x'"},
        {"lit Im_Nowhere", "unknown component 'Im_Nowhere'"},
        {"digits 12a4", "'12a4'"},
        {"timer TimerNone on 5", "unknown timer 'TimerNone'"},
        {"timer TimerBlink on 600 601", "'601'"},
        {"timer TimerGioco on 400", "TimerGioco runs only while GameMode is 1 or 2"},
    };
    for (const auto& [line, message] : bad) {
        const SimRun wrong = run("wait 10\n" + line + "\nstate\n");
        EXPECT_EQ(wrong.status, 2) << line;
        EXPECT_EQ(wrong.err.rfind("line 2: ", 0), 0u) << line << ": " << wrong.err;
        EXPECT_NE(wrong.err.find(message), std::string::npos) << line << ": " << wrong.err;
    }
}

// The program itself, on an asset folder whose layout names the cover wrongly: nothing runs.
TEST(SimRunner, ALayoutThatIsNotTheDevicesStopsTheProgramWithStatus2AndEveryProblemNamed)
{
    namespace fs = std::filesystem;
    std::string folder = (fs::temp_directory_path() / "zerno-sim-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    const std::string layout = folder + "/device.layout";
    const std::string text = readTextFile(ZERNO_LAYOUT_FILE).value_or("");
    std::ofstream(layout) << brokenlayout::broken(text, "Im_Front ", "Im_Fornt ");
    const std::string command = "printf 'state\\n' | ZERNO_BROS_ASSETS='" + folder + "' '" ZERNO_SIM "' >'" + folder
                                + "/out' 2>'" + folder + "/err'";
    const int status = std::system(command.c_str());
    const std::string out = readTextFile(folder + "/out").value_or("?"), err = readTextFile(folder + "/err").value_or("?");
    fs::remove_all(folder);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, brokenlayout::withLineNumbers(text, "zerno-sim: " + layout + ": @Im_Front: unknown component 'Im_Fornt'\n"
                                                       "zerno-sim: " + layout + ": no component 'Im_Front'\n"));
}

// A folder opens as a file would and reads as an empty script: the program refuses it as it
// refuses a script that is not there, where it once ran nothing and ended well.
TEST(SimRunner, AScriptThatCannotBeReadOrIsAFolderStopsTheProgramWithStatus2)
{
    namespace fs = std::filesystem;
    std::string folder = (fs::temp_directory_path() / "zerno-sim-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    for (const std::string& script : {folder + "/missing.sim", folder + "/scripts"}) {
        fs::create_directory(folder + "/scripts");
        const std::string command = "ZERNO_BROS_ASSETS='" + fs::path(ZERNO_LAYOUT_FILE).parent_path().string() + "' '"
                                  ZERNO_SIM "' '" + script + "' >'" + folder + "/out' 2>'" + folder + "/err'";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << script;
        EXPECT_EQ(WEXITSTATUS(status), 2) << script;
        EXPECT_EQ(readTextFile(folder + "/out").value_or("?"), "") << script;
        EXPECT_EQ(readTextFile(folder + "/err").value_or("?"), "zerno-sim: cannot read " + script + "\n");
    }
    fs::remove_all(folder);
}

TEST(SimRunner, TimeOfDayParsesHoursMinutesSecondsAndOptionalMilliseconds)
{
    EXPECT_EQ(parseTimeOfDay("23:59:58.123").value().msOfDay(), ((23 * 60 + 59) * 60 + 58) * 1000LL + 123);
    EXPECT_EQ(parseTimeOfDay("00:05:00").value().msOfDay(), 5 * 60 * 1000);
    for (const char* wrong : {"24:00:00", "10:60:00", "10:00:60", "9:00:00", "10:00", "10:00:00.5", "10:00:00.1234",
                              "10-00-00", "aa:bb:cc", "-1:00:00", "10:00:00.-12", "", " 10:00:00"})
        EXPECT_FALSE(parseTimeOfDay(wrong)) << wrong;
}

TEST(SimRunner, TheStartTimeIsTheTimeOfDayAtVirtualTimeZero)
{
    SimOptions options;
    options.startTime = parseTimeOfDay("13:06:59.500").value();
    const SimRun result = run("click Im_Front\nclick Puls_Time\nwait 1\nstate\nwait 1000\nstate\n", options);
    EXPECT_EQ(linesStarting(result, "digits"), (std::vector<std::string>{"digits -106", "digits -107"}));
    EXPECT_NE(stateLine(result, "lit").find(" Im_TimePM "), std::string::npos);
}

TEST(SimRunner, AReleaseGoesOnlyToTheComponentThatReceivedThePress)
{
    // On the closed device the buttons are hidden: a click on one reaches nothing.
    const SimRun closed = run("click Puls_GameA\nstate\n");
    EXPECT_EQ(stateLine(closed, "var GameRunning"), "var GameRunning 0");
    EXPECT_EQ(stateLine(closed, "lit"), "lit Im_NumPos1 Im_NumPos2 Im_NumPos3 Im_NumPos4 Im_Front");
    // Let go over another button: the pressed one gets the release.
    const SimRun moved = run("click Im_Front\npress Puls_GameA\nrelease Puls_GameB\nstate\n");
    EXPECT_EQ(stateLine(moved, "var GameMode"), "var GameMode 1");
    // A release without a press, or of another mouse button, does nothing.
    const SimRun alone = run("click Im_Front\nrelease Puls_GameB\npress Puls_GameA right\nrelease Puls_GameA\nstate\n");
    EXPECT_EQ(stateLine(alone, "var GameMode"), "var GameMode 3");
}

TEST(SimRunner, ValuesTheDeviceCannotHoldAreRefused)
{
    for (const char* line : {"set Score 1000", "set Score -1", "set GameMode 4", "set GameMode -1"}) {
        const SimRun result = run("click Im_Front\nclick Puls_GameA\n" + std::string(line) + "\nwait 1000\n");
        EXPECT_EQ(result.status, 2) << line;
        EXPECT_EQ(result.err.rfind("line 3: ", 0), 0u) << line << ": " << result.err;
    }
    EXPECT_EQ(run("set Score 999\nset GameMode 0\nset HiscoreA 5000\n").status, 0);
    // A wait that would run the virtual clock past its last millisecond.
    const SimRun endless = run("wait 10\nwait 9223372036854775807\n");
    EXPECT_EQ(endless.status, 2);
    EXPECT_EQ(endless.err.rfind("line 2: ", 0), 0u);
}

}  // namespace

namespace {

// Untrusted scripts: waits adding up past a day of device time are refused before anything runs.
TEST(SimRunner, WaitsAddingUpPastADayAreRefusedBeforeTheFirstLineRuns)
{
    const SimRun refused = run("click Im_Front\nstate\nwait 43200000\n# half a day\ncatchup 43200001\nstate\n");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err.rfind("line 5: ", 0), 0u) << refused.err;
    EXPECT_EQ(refused.out.find("state"), std::string::npos);
    const SimRun day = run("click Im_Front\nwait 43200000\ncatchup 43200000\nstate\n");
    EXPECT_EQ(day.status, 0) << day.err;
    EXPECT_NE(day.out.find("state 86400000"), std::string::npos);
}

TEST(SimRunner, ATimerLineSetsTheIntervalAndWhenTheNextTickIsDue)
{
    const SimRun result = run("trace on\ntimer TimerBlink on 600 25\ntimer TimerOver off 700\nwait 1300\n"
                              "timer TimerBlink off 600\nstate\n");
    EXPECT_EQ(linesStarting(result, "25"), (std::vector<std::string>{"25 tick TimerBlink"}));
    EXPECT_EQ(linesStarting(result, "625"), (std::vector<std::string>{"625 tick TimerBlink"}));
    EXPECT_EQ(linesStarting(result, "1225"), (std::vector<std::string>{"1225 tick TimerBlink"}));
    EXPECT_EQ(stateLine(result, "timer TimerOver"), "timer TimerOver off 700");
}

TEST(SimRunner, KeysLettersDigitsAndTheTimeLineSetWhatTheStoreAndOptionsWould)
{
    // The keys line moves Folko with other letters: Q, the default, no longer does.
    const SimRun keys = run("keys W S O K\nclick Im_Front\nclick Puls_GameA\nkeydown Q\nkeyup Q\nstate\n"
                            "keydown W\nkeyup W\nstate\n");
    EXPECT_EQ(linesStarting(keys, "var FolkoLevel"),
              (std::vector<std::string>{"var FolkoLevel 1", "var FolkoLevel 2"}));
    const SimRun digits = run("digits 9-07\nstate\n");
    EXPECT_EQ(stateLine(digits, "digits"), "digits 9-07");

    // Local time on the clock, UTC in the belt's draws: each from its own part of the line.
    const std::string clock = "click Im_Front\nclick Puls_Time\nwait 1\nstate\n";
    EXPECT_EQ(stateLine(run("time 13:06:59.500 utc 02:06:59.500\n" + clock), "digits"), "digits -106");
    // Zerno takes every parcel at spot 1: with more parcels about, the sounds follow the draws.
    const std::string belt = "click Im_Front\nclick Puls_GameA\nkeydown L\nkeyup L\nwait 8000\n";
    SimOptions utc;
    utc.startTime = parseTimeOfDay("02:06:59.500").value();
    EXPECT_EQ(run("time 13:06:59.500 utc 02:06:59.500\n" + belt).out, run(belt, utc).out);
    EXPECT_NE(run("time 13:06:59.500\n" + belt).out, run(belt, utc).out);
    // --time wins over the script's line.
    SimOptions given = utc;
    given.startTimeGiven = true;
    EXPECT_EQ(run("time 13:06:59.500\n" + belt, given).out, run(belt, utc).out);
}

}  // namespace
