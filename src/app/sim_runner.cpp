#include "sim_runner.h"

#include "virtual_ports.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>

namespace {

bool parseInt(const std::string& text, int64_t& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && ptr == end;
}

// A key as a script names it: a letter A..Z or a key code. Gives what is wrong, or nothing.
std::string parseKey(const std::string& key, uint16_t& code)
{
    int64_t number = 0;
    if (key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z')
        number = key[0];
    else if (!parseInt(key, number) || number < 0 || number > 65535)
        return "a key is a letter A..Z or a key code 0..65535, not '" + key + "'";
    code = uint16_t(number);
    return {};
}

}  // namespace

bool parseTimeOfDay(const std::string& text, TimeOfDay& time)
{
    int64_t h = 0, m = 0, s = 0, ms = 0;
    if (text.size() != 8 && text.size() != 12)
        return false;
    if (text[2] != ':' || text[5] != ':' || (text.size() == 12 && text[8] != '.'))
        return false;
    if (!parseInt(text.substr(0, 2), h) || !parseInt(text.substr(3, 2), m) || !parseInt(text.substr(6, 2), s))
        return false;
    if (text.size() == 12 && !parseInt(text.substr(9, 3), ms))
        return false;
    if (h > 23 || m > 59 || s > 59 || h < 0 || m < 0 || s < 0 || ms < 0)
        return false;
    time = {int(h), int(m), int(s), int(ms)};
    return true;
}

bool openScript(const std::string& path, std::ifstream& file)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return false;
    file.open(path);
    return bool(file);
}

// The runner's side of the device's ports: every sound request and store write is printed with
// the virtual time.
class SimRunner::Ports {
public:
    class LoggedKey : public StoreKey {
    public:
        LoggedKey(Ports& ports, StoreKey& key) : ports_(ports), key_(key) {}
        int ReadInteger(const std::string& name, int defaultValue) override
        {
            return key_.ReadInteger(name, defaultValue);
        }
        void WriteInteger(const std::string& name, int value) override
        {
            ports_.out << ports_.scheduler.now() << " store " << name << ' ' << value << '\n';
            key_.WriteInteger(name, value);
        }

    private:
        Ports& ports_;
        StoreKey& key_;
    };

    Ports(std::ostream& out_, Scheduler& scheduler_, StoreKey& keySettings, StoreKey& game, TimeOfDay start)
        : out(out_), scheduler(scheduler_), sound(scheduler_), clock(scheduler_, start.msOfDay()),
          keys(*this, keySettings), settings(*this, game)
    {
        sound.onEvent = [this](const TimedEvent& event) {
            if (event.what == "silence")
                out << event.time << " silence\n";
            else
                out << event.time << " sound " << event.what << '\n';
        };
    }

    std::ostream& out;
    Scheduler& scheduler;
    SoundLog sound;
    VirtualClock clock;
    LoggedKey keys;
    LoggedKey settings;
};

SimRunner::SimRunner(DeviceFactory device, StoreKey& keySettings, StoreKey& game, SimOptions options, std::ostream& out)
    : out_(out), scheduler_(ownScheduler_),
      ports_(std::make_unique<Ports>(out, scheduler_, keySettings, game, options.startTime)),
      timeGiven_(options.startTimeGiven)
{
    setTime_ = [this](int64_t localMs, int64_t utcMs) {
        ports_->clock.localStart = localMs;
        ports_->clock.utcStart = utcMs;
    };
    DevicePorts devicePorts;
    devicePorts.sound = &ports_->sound;
    devicePorts.clock = &ports_->clock;
    devicePorts.keySettingsStore = &ports_->keys;
    devicePorts.settingsStore = &ports_->settings;
    devicePorts.listener = options.listener;
    ownForm_ = device.make(scheduler_, devicePorts, [this] {
        scheduler_.onTick = [this](const Timer& timer) {
            if (trace_)
                out_ << scheduler_.now() << " tick " << timer.name() << '\n';
        };
    });
    form_ = ownForm_.get();
    input_ = std::make_unique<DeviceInput>(*form_);
}

SimRunner::SimRunner(TForm1& form, Scheduler& scheduler, SetTime setTime, std::ostream& out)
    : out_(out), scheduler_(scheduler), form_(&form), setTime_(std::move(setTime)),
      input_(std::make_unique<DeviceInput>(form))
{
}

SimRunner::~SimRunner() = default;

void SimRunner::printState()
{
    writeStateBlock(out_, *form_, scheduler_.now());
}

void writeStateBlock(std::ostream& out, TForm1& form, int64_t time)
{
    out << "state " << time << '\n' << "lit";
    for (const Component& component : form.components())
        if (component.visible)
            out << ' ' << component.def.name;
    out << "\ndigits " << form.digitsText() << '\n';
    for (const auto& variable : TForm1::StateTable) {
        out << "var " << variable.name << ' ' << variable.get(form) << '\n';
    }
    for (Timer* timer : form.timers())
        out << "timer " << timer->name() << (timer->enabled() ? " on " : " off ") << timer->interval() << '\n';
    out << "end\n";
}

// The script's commands: each name, how many words may follow it, and the handler.
struct SimRunner::Command {
    const char* name;
    size_t least;
    size_t most;
    std::string (SimRunner::*handler)(const std::string& command, const Args& args);
};

const SimRunner::Command SimRunner::commands[] = {
    {"time", 1, 3, &SimRunner::runTime},
    {"click", 1, 1, &SimRunner::runMouse},
    {"press", 1, 2, &SimRunner::runMouse},
    {"release", 1, 2, &SimRunner::runMouse},
    {"keydown", 1, 1, &SimRunner::runKey},
    {"keyup", 1, 1, &SimRunner::runKey},
    {"wait", 1, 1, &SimRunner::runWait},
    {"catchup", 1, 1, &SimRunner::runWait},
    {"keys", 4, 4, &SimRunner::runKeys},
    {"lit", 0, SIZE_MAX, &SimRunner::runLit},
    {"digits", 1, 1, &SimRunner::runDigits},
    {"timer", 3, 4, &SimRunner::runTimer},
    {"set", 2, 2, &SimRunner::runSet},
    {"light", 1, 1, &SimRunner::runLight},
    {"dark", 1, 1, &SimRunner::runLight},
    {"trace", 1, 1, &SimRunner::runTrace},
    {"state", 0, 0, &SimRunner::runState},
};

std::string SimRunner::runLine(const std::string& line)
{
    std::istringstream words(line);
    std::string command;
    if (!(words >> command) || command[0] == '#')
        return {};
    Args args;
    for (std::string word; words >> word;)
        args.push_back(word);
    for (const Command& known : commands) {
        if (command != known.name)
            continue;
        if (args.size() < known.least || args.size() > known.most)
            return "'" + command + "' takes "
                 + (known.least == known.most ? std::to_string(known.least)
                    : known.most == SIZE_MAX  ? std::to_string(known.least) + " or more"
                    : std::to_string(known.least) + (known.most == known.least + 1 ? " or " : " to ")
                          + std::to_string(known.most))
                 + (known.most == 1 ? " argument" : " arguments");
        std::string error = (this->*known.handler)(command, args);
        started_ = true;
        return error;
    }
    return "unknown command '" + command + "'";
}

std::string SimRunner::componentIndex(const std::string& name, int& index) const
{
    index = form_->componentIndex(name);
    return index < 0 ? "unknown component '" + name + "'" : std::string();
}

std::string SimRunner::runMouse(const std::string& command, const Args& args)
{
    TForm1& form = *form_;
    int index = -1;
    if (auto error = componentIndex(args[0], index); !error.empty())
        return error;
    MouseButton button = MouseButton::Left;
    if (args.size() == 2) {
        if (args[1] != "right" && args[1] != "middle")
            return "expected 'right', 'middle' or nothing after the name, not '" + args[1] + "'";
        button = args[1] == "right" ? MouseButton::Right : MouseButton::Middle;
    }
    // The pointer stands at the component's top left corner.
    const Rect& rect = form.components()[size_t(index)].rect;
    if (command != "release")
        input_->press(index, button, rect.left, rect.top);
    if (command != "press")
        input_->release(index, button, rect.left, rect.top);
    return {};
}

std::string SimRunner::runKey(const std::string& command, const Args& args)
{
    uint16_t code = 0;
    if (auto error = parseKey(args[0], code); !error.empty())
        return error;
    if (command == "keydown")
        input_->keyDown(code);
    else
        input_->keyUp(code);
    return {};
}

std::string SimRunner::runTime(const std::string&, const Args& args)
{
    if (started_)
        return "'time' comes before every other command";
    TimeOfDay local, utc;
    if (!parseTimeOfDay(args[0], local))
        return "time takes HH:MM:SS or HH:MM:SS.mmm, not '" + args[0] + "'";
    utc = local;
    if (args.size() == 2 || (args.size() == 3 && args[1] != "utc"))
        return "expected 'utc HH:MM:SS.mmm' or nothing after the time";
    if (args.size() == 3 && !parseTimeOfDay(args[2], utc))
        return "time takes HH:MM:SS or HH:MM:SS.mmm, not '" + args[2] + "'";
    if (!timeGiven_)
        setTime_(local.msOfDay(), utc.msOfDay());
    return {};
}

std::string SimRunner::runWait(const std::string& command, const Args& args)
{
    int64_t ms = 0;
    if (!parseInt(args[0], ms) || ms < 0 || ms > INT64_MAX - scheduler_.now())
        return command + " takes a number of milliseconds, not '" + args[0] + "'";
    // As the screen's timer host after a stall: a timer a whole interval behind ticks once.
    if (command == "catchup")
        scheduler_.catchUpTo(scheduler_.now() + ms);
    else
        scheduler_.advanceTo(scheduler_.now() + ms);
    return {};
}

std::string SimRunner::runKeys(const std::string&, const Args& args)
{
    TForm1& form = *form_;
    std::array<uint16_t, 4> codes{};
    for (size_t n = 0; n < 4; ++n)
        if (auto error = parseKey(args[n], codes[n]); !error.empty())
            return error;
    for (int n = 1; n <= 4; ++n) {
        // A letter as the key dialog sets it; a code as a hand-edited settings value leaves it.
        const uint16_t code = codes[size_t(n - 1)];
        if (code >= 'A' && code <= 'Z')
            form.KeyLetters[size_t(n)] = int(code) - 'A' + 1;
        form.KeyCodes[size_t(n)] = code;
    }
    form.SetPadHints();
    return {};
}

std::string SimRunner::runLit(const std::string&, const Args& args)
{
    TForm1& form = *form_;
    std::vector<bool> lit(form.components().size());
    for (const std::string& name : args) {
        int index = -1;
        if (auto error = componentIndex(name, index); !error.empty())
            return error;
        lit[size_t(index)] = true;
    }
    for (size_t index = 0; index < lit.size(); ++index)
        form.setLit(int(index), lit[index]);
    return {};
}

std::string SimRunner::runDigits(const std::string&, const Args& args)
{
    const std::string& digits = args[0];
    const bool right = digits.size() == 4 && std::all_of(digits.begin(), digits.end(), [](char c) {
        return c == '-' || (c >= '0' && c <= '9');
    });
    if (!right)
        return "digits takes four digits 0..9 or '-', not '" + digits + "'";
    for (int position = 1; position <= 4; ++position) {
        const char c = digits[size_t(position - 1)];
        form_->showDigit(position, c == '-' ? -1 : c - '0');
    }
    return {};
}

std::string SimRunner::runTimer(const std::string&, const Args& args)
{
    Timer* timer = nullptr;
    for (Timer* known : form_->timers())
        if (args[0] == known->name())
            timer = known;
    if (!timer)
        return "unknown timer '" + args[0] + "'";
    if (args[1] != "on" && args[1] != "off")
        return "a timer is on or off, not '" + args[1] + "'";
    int64_t interval = 0, dueIn = 0;
    if (!parseInt(args[2], interval) || interval < 0 || interval > INT32_MAX)
        return "'" + args[2] + "' is not an interval in milliseconds";
    dueIn = interval;
    if (args.size() == 4 && (!parseInt(args[3], dueIn) || dueIn < 0 || dueIn > interval))
        return "the next tick is due in 0.." + args[2] + " ms, not '" + args[3] + "'";
    // As with GameMode: a game's belt, its misses, chance time and handovers run in Game A and
    // Game B only, where the belt finds its level.
    const TForm1& form = *form_;
    const bool ofAGame = timer == &form.TimerGioco || timer == &form.TimerMiss || timer == &form.TimerChance
                      || timer == &form.TimerBonus || timer == &form.TimerFolkoMovePack
                      || timer == &form.TimerZernoMovePack;
    if (args[1] == "on" && ofAGame && form.GameMode != TForm1::ModeGameA && form.GameMode != TForm1::ModeGameB)
        return std::string(timer->name()) + " runs only while GameMode is 1 or 2";
    timer->restore(args[1] == "on", int(interval), scheduler_.now() + dueIn);
    return {};
}

std::string SimRunner::runSet(const std::string&, const Args& args)
{
    TForm1& form = *form_;
    int64_t value = 0;
    for (const auto& variable : TForm1::StateTable) {
        if (args[0] != variable.name)
            continue;
        if (!parseInt(args[1], value) || value < INT32_MIN || value > INT32_MAX)
            return "'" + args[1] + "' is not a number";
        const std::string name = variable.name;
        if (variable.isFlag() && value != 0 && value != 1)
            return name + " is a flag: 0 or 1, not '" + args[1] + "'";
        if (variable.setHeldToRange && (value < variable.least || value > variable.most))
            return name + " is " + std::to_string(variable.least) + ".." + std::to_string(variable.most) + ", not '"
                 + args[1] + "'";
        // Nor does a game's belt ever run, or wait to run again, outside Game A and Game B.
        const bool beltMayRun = form.GameRunning || form.TimerGioco.enabled() || form.TimerMiss.enabled()
                             || form.TimerChance.enabled() || form.TimerBonus.enabled();
        if (name == "GameMode" && value != TForm1::ModeGameA && value != TForm1::ModeGameB && beltMayRun)
            return "GameMode is 1 or 2 while a game's belt runs, not '" + args[1] + "'";
        variable.set(form, int(value));
        return {};
    }
    return "unknown variable '" + args[0] + "'";
}

std::string SimRunner::runLight(const std::string& command, const Args& args)
{
    int index = -1;
    if (auto error = componentIndex(args[0], index); !error.empty())
        return error;
    form_->setLit(index, command == "light");
    return {};
}

std::string SimRunner::runTrace(const std::string&, const Args& args)
{
    if (args[0] != "on" && args[0] != "off")
        return "trace is on or off, not '" + args[0] + "'";
    trace_ = args[0] == "on";
    return {};
}

std::string SimRunner::runState(const std::string&, const Args&)
{
    printState();
    return {};
}

std::string checkScriptDeviceTime(const std::string& script)
{
    std::istringstream lines(script);
    std::string line;
    int64_t total = 0;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line);
        std::string command, amount, more;
        if (!(words >> command >> amount) || (command != "wait" && command != "catchup") || (words >> more))
            continue;
        int64_t ms = 0;
        if (!parseInt(amount, ms) || ms < 0)
            continue;
        if (ms > ScriptDeviceTimeLimitMs - total)
            return "line " + std::to_string(number) + ": the script's waits come to more than "
                 + std::to_string(ScriptDeviceTimeLimitMs / 3600000) + " hours of device time, longer than any game; it is not played";
        total += ms;
    }
    return {};
}

int SimRunner::run(std::istream& script, std::ostream& err)
{
    // The whole script is read and checked before its first line runs.
    const std::string text{std::istreambuf_iterator<char>(script), {}};
    if (const std::string refused = checkScriptDeviceTime(text); !refused.empty()) {
        err << refused << '\n';
        return 2;
    }
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string error = runLine(line);
        if (!error.empty()) {
            out_.flush();
            err << "line " << number << ": " << error << '\n';
            return 2;
        }
    }
    return 0;
}
