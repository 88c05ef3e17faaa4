// The soak in the suite: two virtual hours of random play with the device's invariants checked
// after every handler, and the invariants themselves shown to catch broken states.
#include <gtest/gtest.h>

#include <sstream>

#include "script/sim_runner.h"
#include "settings/store.h"
#include "tests/reliability/device_invariants.h"
#include "tests/reliability/soak.h"
#include "tools/bench/player.h"

namespace {

const std::vector<ComponentDef>& deviceLayout()
{
    static const LayoutResult layout = loadLayoutFile(ZERNO_LAYOUT_FILE);
    EXPECT_TRUE(layout) << layout.error();
    return layout.value();
}

TEST(Soak, TwoVirtualHoursOfRandomPlayKeepEveryInvariant)
{
    SoakOptions options;
    options.seed = 20261207;
    options.virtualMs = 2LL * 3600 * 1000;
    const SoakReport report = runSoak(deviceLayout(), options);
    EXPECT_EQ(report.failure, "");
    EXPECT_GE(report.virtualMs, options.virtualMs);
    // The player must reach the device's rarer states, or the invariants were never tried there.
    EXPECT_GT(report.games, 5);
    EXPECT_GT(report.gameOvers, 2);
    EXPECT_GT(report.chanceTimes, 0);
    EXPECT_GT(report.breaks, 0);
    EXPECT_GT(report.wraps, 0);
}

TEST(Soak, TheSameSeedPlaysTheSameGame)
{
    SoakOptions options;
    options.seed = 7;
    options.virtualMs = 10LL * 60 * 1000;
    options.keepScript = true;
    const SoakReport first = runSoak(deviceLayout(), options);
    const SoakReport second = runSoak(deviceLayout(), options);
    EXPECT_EQ(first.script, second.script);
    EXPECT_EQ(first.handlers, second.handlers);
    options.seed = 8;
    EXPECT_NE(runSoak(deviceLayout(), options).script, first.script);
}

// A runner with a game under way, its invariants watching every tick.
class Invariants : public testing::Test {
protected:
    Invariants()
        : keys_(store_.OpenKey(KeySettingsStorePath)),
          game_(store_.OpenKey(SettingsStorePath)),
          runner_(deviceLayout(), *keys_, *game_, SimOptions{}, out_),
          invariants_(runner_.form())
    {
        run("click Im_Front");
        run("click Puls_GameA");
        run("wait 2000");
    }

    void run(const std::string& line)
    {
        const Expected<void> ran = runner_.runLine(line);
        ASSERT_TRUE(ran) << line << ": " << ran.error();
    }

    // Runs one line as a handler of its own and returns what the invariants say of it.
    std::string check(const std::string& line)
    {
        invariants_.before({});
        run(line);
        return invariants_.after();
    }

    std::ostringstream out_;
    MemoryStore store_;
    std::unique_ptr<StoreKey> keys_;
    std::unique_ptr<StoreKey> game_;
    SimRunner runner_;
    DeviceInvariants invariants_;
};

TEST_F(Invariants, HoldInAGameJustStarted)
{
    EXPECT_EQ(check("wait 1"), "");
}

TEST_F(Invariants, CatchCountersOutOfRange)
{
    EXPECT_NE(check("set MissCount 4"), "");
    run("set MissCount 0");
    EXPECT_NE(check("set TruckLoad 9"), "");
}

TEST_F(Invariants, CatchAParcelMadeOutOfNothing)
{
    const std::string broken = check("light Im_Pack0503");
    EXPECT_NE(broken.find("parcels"), std::string::npos) << broken;
}

TEST_F(Invariants, CatchATimerRunningOutsideItsState)
{
    // The game-over animation and the clock never run beside a game's belt.
    runner_.form().TimerOver.setEnabled(true);
    EXPECT_NE(check("wait 0"), "");
    runner_.form().TimerOver.setEnabled(false);
    runner_.form().TimerClock.setEnabled(true);
    EXPECT_NE(check("wait 0"), "");
}

TEST_F(Invariants, CatchABeltIntervalNoLevelGives)
{
    // What the belt would be left with by a level lookup outside Game A and Game B.
    runner_.form().TimerGioco.setInterval(0);
    EXPECT_NE(check("wait 0"), "");
    runner_.form().TimerGioco.setInterval(431);
    EXPECT_NE(check("wait 0"), "");
    runner_.form().TimerGioco.setInterval(430 + 2 * 150);
    EXPECT_EQ(check("wait 0"), "");
}

// What the soak found, kept as timelines of their own.
class SoakFindings : public Invariants {
protected:
    // The player who watches the belts, at the keys for `ms` of virtual time.
    void play(int64_t ms)
    {
        for (int64_t t = 0; t < ms; t += 20) {
            for (uint16_t key : {folkoMove(runner_.form()), zernoMove(runner_.form())})
                if (key != 0) {
                    run("keydown " + std::to_string(key));
                    run("keyup " + std::to_string(key));
                }
            run("wait 20");
        }
    }
    // The third miss comes with the player away; `button` is pressed during its animation and
    // let go only after the game is over.
    void holdThroughTheLastMiss(const std::string& button)
    {
        run("set MissCount 2");
        while (!runner_.form().TimerMiss.enabled())
            run("wait 10");
        run("press " + button);
        while (runner_.form().GameRunning)
            run("wait 10");
        ASSERT_TRUE(runner_.form().TimerOver.enabled());
        run("release " + button);
    }
};

TEST_F(SoakFindings, AGameButtonHeldThroughTheLastMissStartsAGameThatTheOldGameOverLeavesAlone)
{
    holdThroughTheLastMiss("Puls_GameA");
    TForm1& form = runner_.form();
    EXPECT_TRUE(form.GameRunning);
    EXPECT_FALSE(form.TimerOver.enabled());
    // Past the 299 seconds the old animation would have run: the new game still plays Game A.
    play(310000);
    EXPECT_EQ(form.GameMode, 1);
    EXPECT_TRUE(form.GameRunning || form.TimerOver.enabled());
    EXPECT_TRUE(form.TimerGioco.enabled() || form.TimerMiss.enabled() || form.TimerChance.enabled()
                || form.TimerBonus.enabled() || form.TimerOver.enabled());
    EXPECT_GT(form.TimerGioco.interval(), 0);
}

TEST_F(SoakFindings, TimeHeldThroughTheLastMissShowsTheClockWithoutTheGameOverAnimation)
{
    holdThroughTheLastMiss("Puls_Time");
    TForm1& form = runner_.form();
    EXPECT_EQ(form.GameMode, 0);
    EXPECT_TRUE(form.TimerClock.enabled());
    EXPECT_FALSE(form.TimerOver.enabled());
    // The scolding figure's head no longer bows on the clock's screen.
    const bool headUp = form.isLit(form.Im_MissR4) || form.isLit(form.Im_MissL3);
    run("wait 5000");
    EXPECT_EQ(form.isLit(form.Im_MissR4) || form.isLit(form.Im_MissL3), headUp);
}

}  // namespace
