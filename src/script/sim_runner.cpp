#include "script/sim_runner.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <istream>
#include <iterator>
#include <ostream>
#include <sstream>

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
            out << event.time << (event.what == "silence" ? " " : " sound ") << event.what << '\n';
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
    const DevicePorts devicePorts{.sound = &ports_->sound, .keySettingsStore = &ports_->keys,
                                  .settingsStore = &ports_->settings, .clock = &ports_->clock,
                                  .listener = options.listener};
    ownForm_ = device.make(scheduler_, devicePorts, [this] {
        traceWatch_ = scheduler_.ticks.add([this](const Timer& timer) {
            if (trace_)
                out_ << scheduler_.now() << " tick " << timer.name() << '\n';
        });
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

void writeStateBlock(std::ostream& out, TForm1& form, int64_t time)
{
    out << word(Word::State) << ' ' << time << '\n' << stateLines(form, time, StateLines::Block) << "end\n";
}

Expected<void> SimRunner::runLine(const std::string& line)
{
    const auto [command, args] = splitLine(line);
    if (command.empty())
        return {};
    const std::optional<Word> named = wordNamed(command);
    if (!named)
        return failure("unknown command '" + command + "'");
    if (Expected<void> counted = checkCount(*named, args.size()); !counted)
        return counted;
    Expected<void> ran = run(*named, args);
    started_ = true;
    return ran;
}

Expected<int> SimRunner::componentIndex(const std::string& name) const
{
    if (const int index = form_->componentIndex(name); index >= 0)
        return index;
    return failure("unknown component '" + name + "'");
}

// Runs one command, the number of its words checked.
Expected<void> SimRunner::run(Word command, const std::vector<std::string>& args)
{
    switch (command) {
    case Word::Time: {
        if (started_)
            return failure("'time' comes before every other command");
        const std::optional<TimeOfDay> local = parseTimeOfDay(args[0]);
        if (!local)
            return failure("time takes HH:MM:SS or HH:MM:SS.mmm, not '" + args[0] + "'");
        if (args.size() == 2 || (args.size() == 3 && args[1] != "utc"))
            return failure("expected 'utc HH:MM:SS.mmm' or nothing after the time");
        const std::optional<TimeOfDay> utc = args.size() == 3 ? parseTimeOfDay(args[2]) : local;
        if (!utc)
            return failure("time takes HH:MM:SS or HH:MM:SS.mmm, not '" + args[2] + "'");
        if (!timeGiven_)
            setTime_(local->msOfDay(), utc->msOfDay());
        return {};
    }
    case Word::Click:
    case Word::Press:
    case Word::Release: {
        const Expected<int> index = componentIndex(args[0]);
        if (!index)
            return failure(index.error());
        const MouseButton button = args.size() == 1                                 ? MouseButton::Left
                                 : ' ' + args[1] == buttonWord(MouseButton::Right) ? MouseButton::Right
                                                                                   : MouseButton::Middle;
        if (args.size() == 2 && ' ' + args[1] != buttonWord(button))
            return failure("expected 'right', 'middle' or nothing after the name, not '" + args[1] + "'");
        // The pointer stands at the component's top left corner.
        const Rect& rect = form_->components()[size_t(*index)].rect;
        if (command != Word::Release)
            input_->press(*index, button, rect.left, rect.top);
        if (command != Word::Press)
            input_->release(*index, button, rect.left, rect.top);
        return {};
    }
    case Word::KeyDown:
    case Word::KeyUp: {
        const Expected<uint16_t> code = parseKey(args[0]);
        if (!code)
            return failure(code.error());
        if (command == Word::KeyDown)
            input_->keyDown(*code);
        else
            input_->keyUp(*code);
        return {};
    }
    case Word::Wait:
    case Word::CatchUp: {
        const std::optional<int64_t> ms = waitOf({word(command), args}, command, scheduler_.now());
        if (!ms)
            return failure(word(command) + " takes a number of milliseconds, not '" + args[0] + "'");
        // As the screen's timer host after a stall: a timer a whole interval behind ticks once.
        if (command == Word::CatchUp)
            scheduler_.catchUpTo(scheduler_.now() + *ms);
        else
            scheduler_.advanceTo(scheduler_.now() + *ms);
        return {};
    }
    case Word::Keys: {
        std::array<uint16_t, 4> codes{};
        for (size_t n = 0; n < 4; ++n) {
            const Expected<uint16_t> code = parseKey(args[n]);
            if (!code)
                return failure(code.error());
            codes[n] = *code;
        }
        for (size_t n = 0; n < 4; ++n) {
            // A letter as the key dialog sets it; a code as a hand-edited settings value leaves it.
            if (codes[n] >= 'A' && codes[n] <= 'Z')
                form_->KeyLetters[n + 1] = int(codes[n]) - 'A' + 1;
            form_->KeyCodes[n + 1] = codes[n];
        }
        form_->SetPadHints();
        return {};
    }
    case Word::Lit: {
        std::vector<bool> lit(form_->components().size());
        for (const std::string& name : args) {
            const Expected<int> index = componentIndex(name);
            if (!index)
                return failure(index.error());
            lit[size_t(*index)] = true;
        }
        for (size_t index = 0; index < lit.size(); ++index)
            form_->setLit(int(index), lit[index]);
        return {};
    }
    case Word::Digits: {
        const std::string& digits = args[0];
        if (digits.size() != 4 || digits.find_first_not_of("-0123456789") != std::string::npos)
            return failure("digits takes four digits 0..9 or '-', not '" + digits + "'");
        for (size_t n = 0; n < 4; ++n)
            form_->showDigit(int(n) + 1, digits[n] == '-' ? -1 : digits[n] - '0');
        return {};
    }
    case Word::Timer: {
        Timer* timer = nullptr;
        for (Timer* known : form_->timers())
            if (args[0] == known->name())
                timer = known;
        if (!timer)
            return failure("unknown timer '" + args[0] + "'");
        if (args[1] != "on" && args[1] != "off")
            return failure("a timer is on or off, not '" + args[1] + "'");
        const std::optional<int64_t> interval = parseInt(args[2]);
        if (!interval || *interval < 0 || *interval > INT32_MAX)
            return failure("'" + args[2] + "' is not an interval in milliseconds");
        const std::optional<int64_t> dueIn = args.size() == 4 ? parseInt(args[3]) : interval;
        if (!dueIn || *dueIn < 0 || *dueIn > *interval)
            return failure("the next tick is due in 0.." + args[2] + " ms, not '" + args[3] + "'");
        // As with GameMode: a game's belt, its misses, chance time and handovers run in Game A and
        // Game B only, where the belt finds its level.
        const TForm1& form = *form_;
        const bool ofAGame = timer == &form.TimerGioco || timer == &form.TimerMiss || timer == &form.TimerChance
                          || timer == &form.TimerBonus || timer == &form.TimerFolkoMovePack
                          || timer == &form.TimerZernoMovePack;
        if (args[1] == "on" && ofAGame && form.GameMode != TForm1::ModeGameA && form.GameMode != TForm1::ModeGameB)
            return failure(std::string(timer->name()) + " runs only while GameMode is 1 or 2");
        timer->restore(args[1] == "on", int(*interval), scheduler_.now() + *dueIn);
        return {};
    }
    case Word::Set: {
        const auto variable = std::find_if(TForm1::StateTable.begin(), TForm1::StateTable.end(),
                                           [&](const TForm1::StateVariable& known) { return args[0] == known.name; });
        if (variable == TForm1::StateTable.end())
            return failure("unknown variable '" + args[0] + "'");
        TForm1& form = *form_;
        const std::optional<int64_t> number = parseInt(args[1]);
        if (!number || *number < INT32_MIN || *number > INT32_MAX)
            return failure("'" + args[1] + "' is not a number");
        const int64_t value = *number;
        const std::string name = variable->name;
        if (variable->isFlag() && value != 0 && value != 1)
            return failure(name + " is a flag: 0 or 1, not '" + args[1] + "'");
        if (variable->setHeldToRange && (value < variable->least || value > variable->most))
            return failure(name + " is " + std::to_string(variable->least) + ".." + std::to_string(variable->most)
                           + ", not '" + args[1] + "'");
        // Nor does a game's belt ever run, or wait to run again, outside Game A and Game B.
        const bool beltMayRun = form.GameRunning || form.TimerGioco.enabled() || form.TimerMiss.enabled()
                             || form.TimerChance.enabled() || form.TimerBonus.enabled();
        if (name == "GameMode" && value != TForm1::ModeGameA && value != TForm1::ModeGameB && beltMayRun)
            return failure("GameMode is 1 or 2 while a game's belt runs, not '" + args[1] + "'");
        variable->set(form, int(value));
        return {};
    }
    case Word::Light:
    case Word::Dark: {
        const Expected<int> index = componentIndex(args[0]);
        if (!index)
            return failure(index.error());
        form_->setLit(*index, command == Word::Light);
        return {};
    }
    case Word::Trace:
        if (args[0] != "on" && args[0] != "off")
            return failure("trace is on or off, not '" + args[0] + "'");
        trace_ = args[0] == "on";
        return {};
    case Word::State:
        printState();
        return {};
    case Word::Count:
        break;
    }
    return {};
}

namespace {

// Reads a whole script without running it: fails with "line N: what is wrong" for the wait or
// catchup that takes the device time past ScriptDeviceTimeLimitMs. Lines that are wrong in other
// ways are left to the run, which names them.
Expected<void> checkScriptDeviceTime(const std::string& script)
{
    std::istringstream lines(script);
    std::string line;
    int64_t total = 0;
    for (int number = 1; readScriptLine(lines, line); ++number) {
        const ScriptLine words = splitLine(line);
        const Word command = words.command == word(Word::CatchUp) ? Word::CatchUp : Word::Wait;
        const std::optional<int64_t> ms = waitOf(words, command, 0);
        if (!ms)
            continue;
        if (*ms > ScriptDeviceTimeLimitMs - total)
            return failure("line " + std::to_string(number) + ": the script's waits come to more than " +
                   std::to_string(ScriptDeviceTimeLimitMs / 3600000) + " hours of device time, longer than any game; it is not played");
        total += *ms;
    }
    return {};
}

}  // namespace

int SimRunner::run(std::istream& script, std::ostream& err)
{
    // The whole script is read and checked before its first line runs.
    const std::string text{std::istreambuf_iterator<char>(script), {}};
    if (const Expected<void> refused = checkScriptDeviceTime(text); !refused) {
        err << refused.error() << '\n';
        return 2;
    }
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; readScriptLine(lines, line); ++number) {
        if (const Expected<void> ran = runLine(line); !ran) {
            out_.flush();
            err << "line " << number << ": " << ran.error() << '\n';
            return 2;
        }
    }
    return 0;
}
