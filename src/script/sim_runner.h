// zerno-sim's runner: the device core on a virtual clock, driven by a script, printing what the
// device asks of the world (sounds, store writes, ticks) and its state on request.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "device/device_factory.h"
#include "device/device_input.h"
#include "device/form1.h"
#include "device/virtual_ports.h"
#include "script/script_words.h"

// The state block of `state`: every lit component, the digits, the variables and the timers.
void writeStateBlock(std::ostream& out, TForm1& form, int64_t time);

struct SimOptions {
    TimeOfDay startTime = TimeOfDay::fromMs(VirtualStartMs);
    // Set by --time: a `time` line in the script then changes nothing.
    bool startTimeGiven = false;
    DeviceListener* listener = nullptr;  // told of every change, as a view on screen is
};

class SimRunner {
public:
    // keySettings and game are the two open keys of the store the device reads and writes;
    // device holds a layout that is right.
    SimRunner(DeviceFactory device, StoreKey& keySettings, StoreKey& game, SimOptions options, std::ostream& out);
    // Runs the script's lines on a device that lives elsewhere, on its own ports: a replay
    // watched in the window. A `time` line is handed to setTime (times of day in ms).
    using SetTime = std::function<void(int64_t localMs, int64_t utcMs)>;
    SimRunner(TForm1& form, Scheduler& scheduler, SetTime setTime, std::ostream& out);
    ~SimRunner();

    // Runs every line of the script. Returns 0, or 2 after writing "line N: what is wrong" to err.
    int run(std::istream& script, std::ostream& err);
    // Runs one line; fails with what is wrong when the line is not understood.
    Expected<void> runLine(const std::string& line);

    void printState() { writeStateBlock(out_, *form_, scheduler_.now()); }
    TForm1& form() { return *form_; }
    Scheduler& scheduler() { return scheduler_; }

private:
    class Ports;

    Expected<void> run(Word command, const std::vector<std::string>& args);
    Expected<int> componentIndex(const std::string& name) const;

    std::ostream& out_;
    Scheduler ownScheduler_;
    Scheduler& scheduler_;
    std::unique_ptr<Ports> ports_;
    std::unique_ptr<TForm1> ownForm_;
    TForm1* form_ = nullptr;
    SetTime setTime_;
    bool trace_ = false;
    // A `time` line is only understood before every other command.
    bool started_ = false;
    // --time given on the command line: it wins over the script's `time` line.
    bool timeGiven_ = false;
    std::unique_ptr<DeviceInput> input_;
    Watch traceWatch_;
};

// The most device time a script's waits and catch-ups may add up to: a day. No game lasts that
// long (a flawless one would need a player at the keys all day and night), and a day of device time
// runs on the virtual clock in well under a second, so a script from anywhere can be checked whole
// before it plays. Beyond it, a script is refused unplayed: its last line could hold the device's
// clock ticking for years of real time.
constexpr int64_t ScriptDeviceTimeLimitMs = 24LL * 3600 * 1000;

// Opens the script file at path for reading. False when it cannot be read, a folder included:
// one opens as a file here but reads as an empty script.
bool openScript(const std::string& path, std::ifstream& file);
