// Games kept by the recorder replay in zerno-sim to the very state the device ended in, though the
// device was driven as on screen: ticks caught up late, now and then by more than an interval, a
// wall clock that never reads what the tick was due at, inputs in the same millisecond as ticks.
#include <gtest/gtest.h>
#include <stdexcept>

#include <random>
#include <sstream>

#include "script/game_recorder.h"
#include "script/sim_runner.h"
#include "tests/device/device_fixture.h"
#include "tests/replay/player_bot.h"

namespace {

// The world's clock: past midnight during the session, UTC five and a half hours behind, and a
// reading a fraction late after every tick, as on a busy machine.
class WallClock : public ClockPort {
public:
    explicit WallClock(const Scheduler& scheduler) : scheduler_(scheduler) {}
    TimeOfDay localTime() override { return at(DayStart + scheduler_.now() + ++reads_ % 3); }
    TimeOfDay utcTime() override { return at(DayStart - 19800000 + scheduler_.now() + ++reads_ % 3); }

private:
    static constexpr int64_t DayStart = 23 * 3600000LL + 59 * 60000 + 30000;
    static TimeOfDay at(int64_t ms)
    {
        ms = (ms + 86400000) % 86400000;
        return {int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000)};
    }
    const Scheduler& scheduler_;
    int reads_ = 0;
};

// The device driven the way the window drives it, the recorder told of everything.
class ScreenSession {
public:
    ScreenSession()
    {
        const DevicePorts ports{&sound, &keys, &game, &clock, nullptr};
        form = DeviceFactory(devicetest::deviceLayout()).make(scheduler, ports);
        recorder.attach(*form);
        input = std::make_unique<DeviceInput>(*form);
        input->onInput = [this](const InputEvent& event) { recorder.input(event); };
        recorder.onGameRecorded = [this](const RecordedGame& recorded) {
            games.push_back(recorded);
            std::ostringstream state;
            writeStateBlock(state, *form, 0);
            endStates.push_back(state.str());
        };
        tickWatch = scheduler.ticks.add([this](const Timer& timer) { ticked.push_back(timer.name()); });
    }

    int id(const char* name) const { return form->componentIndex(name); }

    // The host wakes up at `time`: every tick due runs, a timer left a whole interval behind once.
    void runTo(int64_t time)
    {
        scheduler.catchUpTo(time);
        recorder.afterEvent();
    }
    void click(const char* name, bool letGoOver = true)
    {
        const Rect& rect = form->components()[size_t(id(name))].rect;
        input->press(id(name), MouseButton::Left, rect.left + 3, rect.top + 3);
        recorder.afterEvent();
        input->release(letGoOver ? id(name) : -1, MouseButton::Left, rect.left + 3, rect.top + 3);
        recorder.afterEvent();
    }
    void key(uint16_t code)
    {
        input->keyDown(code);
        recorder.afterEvent();
        input->keyUp(code);
        recorder.afterEvent();
    }

    Scheduler scheduler;
    SoundLog sound{scheduler};
    devicetest::MemoryKey keys, game;
    WallClock world{scheduler};
    ReplayClock clock{world, scheduler};
    GameRecorder recorder{scheduler, clock};
    std::unique_ptr<TForm1> form;
    std::unique_ptr<DeviceInput> input;
    std::vector<RecordedGame> games;
    std::vector<std::string> endStates;
    std::vector<std::string> ticked;
    Watch tickWatch;
};

std::string replayedState(const std::string& script)
{
    devicetest::MemoryKey keys, game;
    std::ostringstream out, err;
    std::istringstream in(script + "state\n");
    SimRunner runner(devicetest::deviceLayout(), keys, game, {}, out);
    EXPECT_EQ(runner.run(in, err), 0) << err.str();
    const std::string text = out.str();
    const size_t state = text.rfind("state ");
    return state == std::string::npos ? text : "state 0" + text.substr(text.find('\n', state));
}

TEST(GameRecorder, EveryGameReplaysInZernoSimToTheStateTheDeviceEndedIn)
{
    ScreenSession screen;
    std::mt19937 chance(2026);
    const auto step = [&](int most) { return int64_t(chance() % uint32_t(most + 1)); };
    screen.click("Im_Front");
    int started = 0;
    for (int64_t end = 240000; screen.scheduler.now() < end;) {
        // Mostly a few milliseconds late; now and then a stall of a good part of a second.
        screen.runTo(screen.scheduler.now() + (chance() % 40 == 0 ? 150 + step(500) : step(12)));
        TForm1& form = *screen.form;
        if (!form.GameRunning && chance() % 30 == 0) {
            screen.click(++started % 2 ? "Puls_GameA" : "Puls_GameB");
            // Near chance time, with seven parcels on the truck: a break and double score soon.
            if (started % 3 == 1) {
                screen.recorder.setVariable("Score", 296);
                screen.recorder.setVariable("TruckLoad", 7);
            }
            if (started == 4)  // the key dialog changed Folko's keys to W and S
                for (int n : {1, 2}) {
                    form.KeyLetters[size_t(n)] = n == 1 ? 23 : 19;
                    form.AssegnaWord(n, form.KeyLetters[size_t(n)]);
                }
            continue;
        }
        // The player looks away one second in four: parcels are missed.
        if (screen.scheduler.now() / 1000 % 4 != 3)
            for (uint16_t key : replaytest::botKeys(form))
                screen.key(key);
        if (form.GameRunning && chance() % 4000 == 0)
            screen.click("Puls_ACL", chance() % 2 == 0);
    }
    screen.recorder.close();

    ASSERT_GE(screen.games.size(), 5u);
    for (const char* timer : {"TimerChance", "TimerBonus", "TimerMiss"})
        EXPECT_NE(std::find(screen.ticked.begin(), screen.ticked.end(), timer), screen.ticked.end()) << timer;
    int caughtUp = 0;
    for (size_t n = 0; n < screen.games.size(); ++n) {
        SCOPED_TRACE("game " + std::to_string(n + 1) + ":\n" + screen.games[n].script.substr(0, 2000));
        caughtUp += screen.games[n].script.find("\ncatchup ") != std::string::npos;
        EXPECT_EQ(replayedState(screen.games[n].script), screen.endStates[n]);
    }
    EXPECT_GT(caughtUp, 0);
}

// A name the state does not hold is refused in every build, not only where asserts are on.
TEST(GameRecorder, RefusesAStateVariableTheDeviceDoesNotHold)
{
    ScreenSession screen;
    EXPECT_THROW(screen.recorder.setVariable("NoSuchVariable", 1), std::invalid_argument);
}

}  // namespace
