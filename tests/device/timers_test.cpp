// The timers on the virtual clock: countdowns, restarts and the order of ticks due together.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/scheduler.h"
#include "tests/device/device_fixture.h"

namespace {

using Log = std::vector<std::string>;

// Timers on one scheduler that log "name@time" for each tick.
struct Bench {
    Scheduler scheduler;
    Log log;
    void watch(Timer& timer)
    {
        timer.onTimer = [this, &timer] { log.push_back(std::string(timer.name()) + "@" + std::to_string(scheduler.now())); };
    }
    void to(int64_t time) { scheduler.advanceTo(time); }
};

TEST(Timers, EnablingOrANewIntervalStartsAFullCountdownAndNothingElseDoes)
{
    Bench bench;
    Timer timer(bench.scheduler, "T", 100);
    bench.watch(timer);
    bench.to(30);
    timer.setEnabled(true);   // due at 130
    bench.to(80);
    timer.setEnabled(true);   // already on: still 130
    bench.to(260);
    timer.setInterval(100);   // the same interval: still due at 330
    bench.to(340);
    timer.setInterval(50);    // a new one: due at 390
    bench.to(400);
    EXPECT_EQ(bench.log, (Log{"T@130", "T@230", "T@330", "T@390"}));

    timer.setEnabled(false);
    timer.setInterval(70);    // only stored
    bench.to(1000);
    EXPECT_EQ(bench.log.size(), 4u);
    timer.setEnabled(true);
    bench.to(1070);
    EXPECT_EQ(bench.log.back(), "T@1070");
}

TEST(Timers, TheNextTickIsOneIntervalAfterTheTickOrAfterTheHandlersChange)
{
    Bench bench;
    Timer timer(bench.scheduler, "T", 100);
    int ticks = 0;
    timer.onTimer = [&] {
        bench.log.push_back("T@" + std::to_string(bench.scheduler.now()));
        if (++ticks == 1)
            timer.setInterval(30);
        if (ticks == 2) {
            timer.setEnabled(false);
            timer.setEnabled(true);
        }
        if (ticks == 3)
            timer.setEnabled(false);
    };
    timer.setEnabled(true);
    bench.to(10000);
    EXPECT_EQ(bench.log, (Log{"T@100", "T@130", "T@160"}));
    EXPECT_EQ(bench.scheduler.now(), 10000);
}

TEST(Timers, TicksDueTogetherFireInTheOrderOfTheDevicesTimerTable)
{
    devicetest::Device device;
    const Log table = {"TimerClock", "TimerGioco", "TimerZernoPack", "TimerFolkoPack", "TimerFolkoMovePack",
                       "TimerZernoMovePack", "TimerPackBus", "TimerBusSmoke", "TimerMiss", "TimerBonus",
                       "TimerChance", "TimerBlink", "TimerOver"};
    Log fired;
    auto timers = device.f().timers();
    for (Timer* timer : timers) {
        timer->onTimer = [&fired, timer] { fired.push_back(timer->name()); };
        timer->setInterval(10);
    }
    for (auto it = timers.rbegin(); it != timers.rend(); ++it)  // enabled last to first
        (*it)->setEnabled(true);
    device.wait(10);
    EXPECT_EQ(fired, table);
}

TEST(Timers, OnTheRealClockATimerFarBehindTicksOnceAndKeepsItsIntervalFromThere)
{
    Bench bench;
    Timer behind(bench.scheduler, "Behind", 100);  // due at 100: ten intervals missed by 1050
    Timer late(bench.scheduler, "Late", 1000);     // due at 1000: less than one interval late
    bench.watch(behind);
    bench.watch(late);
    behind.setEnabled(true);
    late.setEnabled(true);
    bench.scheduler.catchUpTo(1050);
    bench.scheduler.catchUpTo(1150);
    EXPECT_EQ(bench.log, (Log{"Late@1000", "Behind@1050", "Behind@1150"}));
    EXPECT_EQ(late.due(), 2000);
}

}  // namespace

TEST(Timers, ATimerGoneLeavesItsSchedulerRunningTheOthers)
{
    Bench bench;
    Timer kept(bench.scheduler, "K", 10);
    bench.watch(kept);
    kept.setEnabled(true);
    {
        Timer gone(bench.scheduler, "G", 5);
        bench.watch(gone);
        gone.setEnabled(true);
        bench.to(5);
    }
    EXPECT_EQ(bench.scheduler.nextDue(), 10);
    bench.to(20);
    EXPECT_EQ(bench.log, (Log{"G@5", "K@10", "K@20"}));
}

// Watchers are told in the order they came, until their Watch goes, and a Watch may outlive the
// scheduler it watched.
TEST(Timers, WatchersAreToldInTurnUntilTheirWatchGoes)
{
    Bench bench;
    Timer timer(bench.scheduler, "T", 10);
    timer.setEnabled(true);
    Watch first = bench.scheduler.ticks.add([&](const Timer& t) { bench.log.push_back(std::string("first ") + t.name()); });
    Watch second = bench.scheduler.ticks.add([&](const Timer&) { bench.log.push_back("second"); });
    bench.to(10);
    first.reset();
    bench.to(20);
    EXPECT_EQ(bench.log, (Log{"first T", "second", "second"}));

    Watch outliving;
    {
        Scheduler gone;
        outliving = gone.catchUps.add([](int64_t) {});
    }
    outliving.reset();  // the list went with its scheduler: nothing to leave
}
