// Keeps every game played on the device as a zerno-sim script that plays it again exactly: the
// state the game started from as the commands that rebuild it, the time of day, and each input at
// its millisecond on the device's own clock, in the order the device received it. A game runs from
// the input that starts it (the release of GAME A or GAME B) to the event after which it no longer
// runs: the last miss, ACL, or the window closing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "device/device_input.h"
#include "device/form1.h"
#include "device/ports.h"
#include "device/scheduler.h"

// The device's clock port on screen. Between games it answers the world's clock. While a game is
// kept it answers the time of day read when the game started plus the device's own milliseconds
// since: a tick reads the time it was due, not the moment the host got round to it, so the belt's
// draws stay as random as the wall clock's and a replay starting from that time of day reads the
// very same values.
class ReplayClock : public ClockPort {
public:
    ReplayClock(ClockPort& world, const Scheduler& scheduler) : world_(world), scheduler_(scheduler) {}

    // From now on, count from the world's time of day read now.
    void startFromWorld();
    // From now on, count from these times of day (ms): a replay watched on screen.
    void startFrom(int64_t localMs, int64_t utcMs);
    // Back to the world's clock.
    void stop() { counting_ = false; }

    int64_t localStart() const { return localStart_; }
    int64_t utcStart() const { return utcStart_; }

    TimeOfDay localTime() override { return counting_ ? at(localStart_) : world_.localTime(); }
    TimeOfDay utcTime() override { return counting_ ? at(utcStart_) : world_.utcTime(); }

private:
    TimeOfDay at(int64_t startMs) const { return TimeOfDay::fromMs(startMs + scheduler_.now() - zero_); }

    ClockPort& world_;
    const Scheduler& scheduler_;
    bool counting_ = false;
    int64_t localStart_ = 0;
    int64_t utcStart_ = 0;
    int64_t zero_ = 0;  // the scheduler's time when counting started
};

// A game kept whole: its mode (TForm1::ModeGameA or ModeGameB), final score, and the script.
struct RecordedGame {
    int mode = 0;
    int score = 0;
    int64_t lengthMs = 0;  // from its start to its end on the device's clock
    std::string script;
};

class GameRecorder {
public:
    // The clock must be the one the device reads; the recorder counts it from each game's start.
    GameRecorder(Scheduler& scheduler, ReplayClock& clock) : scheduler_(scheduler), clock_(clock) {}
    GameRecorder(const GameRecorder&) = delete;
    GameRecorder& operator=(const GameRecorder&) = delete;

    // The device to watch, once it exists. Takes the scheduler's catch-up hook.
    void attach(TForm1& form);

    // Each input, told as it is handed to the form, after the ticks due before it have run
    // (DeviceInput's watcher).
    void input(const InputEvent& event);

    // A change made to the device from outside its inputs (a test setting up a scene quickly):
    // made now, and kept in a game's script as the line that makes it. A name the device's state
    // does not hold throws std::invalid_argument.
    void setVariable(const std::string& name, int value);
    void setLit(int component, bool on);

    // After every input and every batch of ticks: a game that started or ended with it is
    // noticed here, so a game ends with every tick due at that millisecond, as the screen shows it.
    void afterEvent();
    // The window is closing: a game under way ends here.
    void close();

    // While off (a replay plays on the device), nothing is kept.
    void setEnabled(bool on);

    // Told of each game as it ends.
    std::function<void(const RecordedGame&)> onGameRecorded;

private:
    // Before an input: ends a game that ended in the ticks before it, and notes the state the
    // input may start a game from.
    void beforeInput();
    void add(const std::string& command);
    void waitUntilNow();
    void finish();
    std::string startState();
    std::string name(int component) const;
    std::string keysLine() const;

    Scheduler& scheduler_;
    ReplayClock& clock_;
    Watch catchUpWatch_;
    TForm1* form_ = nullptr;
    bool enabled_ = true;
    bool recording_ = false;
    bool starting_ = false;      // the last input may have started a game
    int mode_ = 0;               // the game's mode, as it started
    std::string script_;
    int64_t written_ = 0;        // the scheduler time the script has reached
    int64_t started_ = 0;        // the scheduler time the game started
    std::string keysWritten_;
    // The component holding the mouse press, and its button: a game starts on its release.
    int held_ = -1;
    MouseButton heldButton_ = MouseButton::Left;
};
