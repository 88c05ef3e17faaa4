// zerno-sim's runner: the device core on a virtual clock, driven by a script, printing what the
// device asks of the world (sounds, store writes, ticks) and its state on request.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "device_factory.h"
#include "device_input.h"
#include "form1.h"

struct SimOptions {
    TimeOfDay startTime{10, 0, 0, 0};
    DeviceListener* listener = nullptr;  // told of every change, as a view on screen is
};

class SimRunner {
public:
    // keySettings and game are the two open keys of the store the device reads and writes;
    // device holds a layout that is right.
    SimRunner(DeviceFactory device, StoreKey& keySettings, StoreKey& game, SimOptions options, std::ostream& out);
    ~SimRunner();

    // Runs every line of the script. Returns 0, or 2 after writing "line N: what is wrong" to err.
    int run(std::istream& script, std::ostream& err);
    // Runs one line; returns the error text, empty when the line was understood.
    std::string runLine(const std::string& line);

    void printState();
    TForm1& form() { return *form_; }
    DeviceInput& input() { return *input_; }
    Scheduler& scheduler() { return scheduler_; }

private:
    class Ports;
    using Args = std::vector<std::string>;
    struct Command;
    static const Command commands[];

    // One handler a command: the command's name and the words after it, their number checked.
    std::string runMouse(const std::string& command, const Args& args);
    std::string runKey(const std::string& command, const Args& args);
    std::string runWait(const std::string& command, const Args& args);
    std::string runSet(const std::string& command, const Args& args);
    std::string runLight(const std::string& command, const Args& args);
    std::string runTrace(const std::string& command, const Args& args);
    std::string runState(const std::string& command, const Args& args);
    std::string componentIndex(const std::string& name, int& index) const;

    std::ostream& out_;
    Scheduler scheduler_;
    std::unique_ptr<Ports> ports_;
    std::unique_ptr<TForm1> form_;
    bool trace_ = false;
    std::unique_ptr<DeviceInput> input_;
};

// Parses HH:MM:SS or HH:MM:SS.mmm.
bool parseTimeOfDay(const std::string& text, TimeOfDay& time);
