// The browser edition's side of the device core: the core's five ports filled from the page
// (Web Audio, the page's clock, the browser's storage holding the settings file's text, and a
// listener the page's drawing reads), and a few plain C functions the page calls. Every input goes
// through DeviceInput, as the desktop window's does; every tick through the one scheduler, with
// the desktop's catch-up rule on the page's clock.
#include <emscripten.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "device/device_factory.h"
#include "device/device_input.h"
#include "device/form1.h"
#include "device/input_actions.h"
#include "device/layout.h"
#include "script/game_recorder.h"
#include "script/sim_runner.h"
#include "settings/store.h"
#include "settings/store_data.h"
#include "settings/stored_values.h"

// ---- What the page does for the core ----

EM_JS(void, pagePlay, (int sample), { Module.zernoPlay && Module.zernoPlay(sample); });
EM_JS(void, pageSilence, (), { Module.zernoSilence && Module.zernoSilence(); });
EM_JS(void, pageKeepSettings, (const char* text), { Module.zernoKeepSettings && Module.zernoKeepSettings(UTF8ToString(text)); });
EM_JS(void, pageGameRecorded, (int mode, int score, double lengthMs, const char* script),
      { Module.zernoGameRecorded && Module.zernoGameRecorded(mode, score, lengthMs, UTF8ToString(script)); });
EM_JS(void, pageReport, (const char* text, const char* detail),
      { Module.zernoReport && Module.zernoReport(UTF8ToString(text), UTF8ToString(detail)); });
// The page's clock in ms since the device was made (a test may hold it still and step it).
EM_JS(double, pageNow, (), { return Module.zernoNow ? Module.zernoNow() : 0; });
EM_JS(double, pageTimeOfDay, (int utc), {
    const d = new Date();
    return utc ? ((d.getUTCHours() * 60 + d.getUTCMinutes()) * 60 + d.getUTCSeconds()) * 1000 + d.getUTCMilliseconds()
               : ((d.getHours() * 60 + d.getMinutes()) * 60 + d.getSeconds()) * 1000 + d.getMilliseconds();
});

namespace {

class PageSound : public SoundPort {
public:
    void Suona(Sample sample) override { pagePlay(int(sample)); }
    void Silenzio() override { pageSilence(); }
};

// The time of day from the browser, or, once a script sets one, a virtual clock running with the
// scheduler as zerno-sim's does.
class PageClock : public ClockPort {
public:
    explicit PageClock(const Scheduler& scheduler) : scheduler_(scheduler) {}
    TimeOfDay localTime() override { return at(localStart, false); }
    TimeOfDay utcTime() override { return at(utcStart, true); }
    std::optional<int64_t> localStart;
    std::optional<int64_t> utcStart;

private:
    TimeOfDay at(const std::optional<int64_t>& start, bool utc) const
    {
        if (start)
            return TimeOfDay::fromMs(*start + scheduler_.now());
        return TimeOfDay::fromMs(int64_t(pageTimeOfDay(utc ? 1 : 0)));
    }
    const Scheduler& scheduler_;
};

// The settings file's text, kept by the page in the browser's storage. Every write hands the
// whole text back to the page, which keeps it (or cannot, and the game goes on).
class PageStore : public Store {
public:
    // False when the text is not settings: the store starts empty, as the desktop's does with a
    // file it sets aside; error tells why.
    bool load(const std::string& text, std::string& error)
    {
        StoreParseResult result = StoreData::parse(text);
        if (!result.ok) {
            error = result.where();
            data_ = StoreData();
            return false;
        }
        data_ = std::move(result.data);
        return true;
    }
    const StoreData& data() const { return data_; }

protected:
    std::optional<StoreValue> readValue(const std::string& header, const std::string& name) override
    {
        if (const StoreValue* value = data_.find(header, name))
            return *value;
        return std::nullopt;
    }
    WriteResult writeValue(const std::string& header, const std::string& name, const std::string& text,
                           const KeepStored& keep) override
    {
        const StoreValue* stored = data_.find(header, name);
        if (stored && keep && keep(*stored))
            return {WriteResult::Kept, {}};
        if (stored && stored->isString && stored->data == text)
            return {};
        data_.setString(header, name, text);
        pageKeepSettings(data_.toText().c_str());
        return {};
    }

private:
    StoreData data_;
};

class PageListener : public DeviceListener {
public:
    void componentChanged(int) override { ++changes; }
    void geometryChanged() override { ++changes; }
    void enabledChanged() override { ++changes; }
    int changes = 0;
};

struct Device {
    Scheduler scheduler;
    PageSound sound;
    PageClock clock{scheduler};
    // The device reads the time through the recorder's clock, which counts a kept game's time of
    // day on the device's own milliseconds, as on the desktop.
    ReplayClock replayClock{clock, scheduler};
    GameRecorder recorder{scheduler, replayClock};
    PageStore store;
    std::unique_ptr<StoreKey> keySettings;
    std::unique_ptr<StoreKey> settings;
    PageListener listener;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<DeviceInput> input;
    std::unique_ptr<SimRunner> runner;
    std::ostringstream runnerOut;
};

std::unique_ptr<Device> device;

// A script played back: a device of its own, as zerno-sim makes it (its settings in memory, the
// virtual clock from 10:00:00 or the script's time), so that a replay ends as zerno-sim's run of
// the same script does and leaves the player's own device, scores and settings as they were.
struct Replay {
    MemoryStore store;
    std::unique_ptr<StoreKey> keys = store.OpenKey(KeySettingsStorePath);
    std::unique_ptr<StoreKey> game = store.OpenKey(SettingsStorePath);
    std::ostringstream out;
    std::unique_ptr<SimRunner> runner;
};
std::vector<ComponentDef> deviceLayout;  // the layout the device was made from, for replays
std::unique_ptr<Replay> replay;

std::unique_ptr<SimRunner> makeRunner(Replay& on, DeviceListener* listener, std::ostream& out)
{
    SimOptions options;
    options.listener = listener;
    return std::make_unique<SimRunner>(DeviceFactory(deviceLayout), *on.keys, *on.game, options, out);
}

// The device the page shows: a replay's while one plays, else the player's.
TForm1& shown()
{
    return replay ? replay->runner->form() : *device->form;
}
std::string text;  // the last text handed to the page

const char* give(std::string value)
{
    text = std::move(value);
    return text.c_str();
}

// Runs an input as the desktop window runs one: the ticks due by now first, then the handler.
template <typename Handler>
void deliver(Handler handler)
{
    if (!device || !device->form)
        return;
    device->scheduler.catchUpTo(std::max<int64_t>(device->scheduler.now(), int64_t(pageNow())));
    device->recorder.afterEvent();
    handler(*device->form, *device->input);
    device->recorder.afterEvent();
}

// The player's settings key that holds a stored value.
StoreKey& keyOf(const StoredValue& value)
{
    return value.keyPath == KeySettingsStorePath ? *device->keySettings : *device->settings;
}

// What a runner printed since the last call, handed to the page and forgotten.
const char* giveOutput(std::ostringstream& out)
{
    const char* given = give(out.str());
    out.str({});
    return given;
}

std::string jsonText(const char* value)
{
    std::string out = "\"";
    for (const char* c = value; c && *c; ++c) {
        if (*c == '"' || *c == '\\')
            out += '\\';
        out += *c;
    }
    return out + "\"";
}

const char* padButtonName(PadButton button)
{
    switch (button) {
    case PadButton::DPadUp: return "dpadUp";
    case PadButton::DPadDown: return "dpadDown";
    case PadButton::North: return "north";
    case PadButton::South: return "south";
    case PadButton::Start: return "start";
    case PadButton::Back: return "back";
    case PadButton::LeftShoulder: return "leftShoulder";
    case PadButton::RightShoulder: return "rightShoulder";
    case PadButton::None: break;
    }
    return "";
}

const char* padStickName(PadStick stick)
{
    switch (stick) {
    case PadStick::LeftY: return "leftY";
    case PadStick::RightY: return "rightY";
    case PadStick::None: break;
    }
    return "";
}

}  // namespace

extern "C" {

// The store's text as the browser kept it (empty for none), then the device from its layout text.
// Gives an empty text when the device is ready, else what went wrong. A store text that is not
// settings is reported and the store starts empty.
EMSCRIPTEN_KEEPALIVE const char* zerno_create(const char* storeText, const char* layoutText)
{
    device = std::make_unique<Device>();
    device->store.setErrorReport([](const StoreReport& report) { pageReport(report.text.c_str(), report.detail.c_str()); });
    std::string storeError;
    if (!device->store.load(storeText, storeError))
        pageReport("The settings kept in this browser are not readable as settings; they are set aside and the "
                   "defaults are used.",
                   storeError.c_str());
    device->keySettings = device->store.OpenKey(KeySettingsStorePath);
    device->settings = device->store.OpenKey(SettingsStorePath);
    LayoutResult layout = parseDeviceLayout(layoutText);
    if (!layout)
        return give(layout.error());
    DevicePorts ports;
    ports.sound = &device->sound;
    ports.clock = &device->replayClock;
    ports.keySettingsStore = device->keySettings.get();
    ports.settingsStore = device->settings.get();
    ports.listener = &device->listener;
    deviceLayout = *layout;
    DeviceFactory factory(std::move(*layout));
    device->form = factory.make(device->scheduler, ports);
    device->input = std::make_unique<DeviceInput>(*device->form);
    // Every game played is kept as a script, handed to the page as it ends.
    device->recorder.attach(*device->form);
    device->recorder.onGameRecorded = [](const RecordedGame& game) {
        pageGameRecorded(game.mode, game.score, double(game.lengthMs), game.script.c_str());
    };
    device->input->onInput = [](const InputEvent& event) { device->recorder.input(event); };
    return give({});
}

// ---- Time ----

// Every tick due by the page's clock, as the desktop's timer host runs them: a timer a whole
// interval behind (a background tab's timers are slowed) ticks once and goes on from there.
EMSCRIPTEN_KEEPALIVE void zerno_catch_up()
{
    deliver([](TForm1&, DeviceInput&) {});
}
// The time of the next due tick, or -1 when no timer runs.
EMSCRIPTEN_KEEPALIVE double zerno_next_due()
{
    if (!device)
        return -1;
    const std::optional<int64_t> due = device->scheduler.nextDue();
    return due ? double(*due) : -1;
}
EMSCRIPTEN_KEEPALIVE double zerno_now() { return device ? double(device->scheduler.now()) : 0; }

// ---- Input, through the same rules as the desktop window's ----

EMSCRIPTEN_KEEPALIVE void zerno_press_at(int button, int x, int y, int heldStillDown)
{
    deliver([&](TForm1&, DeviceInput& input) { input.pressAt(MouseButton(button), x, y, heldStillDown != 0); });
}
EMSCRIPTEN_KEEPALIVE void zerno_press(int component, int button, int x, int y)
{
    deliver([&](TForm1&, DeviceInput& input) { input.press(component, MouseButton(button), x, y); });
}
EMSCRIPTEN_KEEPALIVE void zerno_move(int leftHeld, int x, int y)
{
    deliver([&](TForm1&, DeviceInput& input) { input.move(leftHeld != 0, x, y); });
}
EMSCRIPTEN_KEEPALIVE void zerno_release_at(int button, int x, int y)
{
    deliver([&](TForm1&, DeviceInput& input) {
        if (input.holding(MouseButton(button)))
            input.releaseAt(MouseButton(button), x, y);
    });
}
// The press in progress ends without a release of ours (the browser took the pointer).
EMSCRIPTEN_KEEPALIVE void zerno_end_press(int over, int x, int y)
{
    deliver([&](TForm1&, DeviceInput& input) {
        if (input.held() >= 0)
            input.endPress(over != 0, x, y);
    });
}
EMSCRIPTEN_KEEPALIVE void zerno_key_down(int key)
{
    deliver([&](TForm1&, DeviceInput& input) { input.keyDown(uint16_t(key)); });
}
EMSCRIPTEN_KEEPALIVE void zerno_key_up(int key)
{
    deliver([&](TForm1&, DeviceInput& input) { input.keyUp(uint16_t(key)); });
}
EMSCRIPTEN_KEEPALIVE int zerno_held() { return device && device->input ? device->input->held() : -1; }
EMSCRIPTEN_KEEPALIVE int zerno_held_button() { return device && device->input ? int(device->input->heldButton()) : 0; }
// The key code a worker move's stored letter gives now (role 1..4).
EMSCRIPTEN_KEEPALIVE int zerno_key_code(int role)
{
    return device && role >= 1 && role <= KeyRoleCount ? device->form->KeyCodes[size_t(role)] : 0;
}
EMSCRIPTEN_KEEPALIVE int zerno_key_letter(int role)
{
    return device && role >= 1 && role <= KeyRoleCount ? device->form->KeyLetters[size_t(role)] : 0;
}

// ---- The command menu's items ----

EMSCRIPTEN_KEEPALIVE void zerno_set_enabled(int on)
{
    deliver([&](TForm1& form, DeviceInput&) { form.setEnabled(on != 0); });
}
// The key dialog's ACCEPT: each role's letter stored and given to the device, which then takes
// keys again. A letter of 0 (a list showing nothing) keeps that key's code.
EMSCRIPTEN_KEEPALIVE void zerno_accept_keys(int key1, int key2, int key3, int key4)
{
    deliver([&](TForm1& form, DeviceInput&) {
        const int letters[] = {0, key1, key2, key3, key4};
        for (int n = 1; n <= KeyRoleCount; ++n) {
            form.KeyLetters[size_t(n)] = letters[n];
            stored::Keys[size_t(n)]->write(*device->keySettings, letters[n]);
            form.AssegnaWord(n, letters[n]);
        }
        form.SetPadHints();
        form.setEnabled(true);
    });
}
// No question asked, and the digits on display stay as they are.
EMSCRIPTEN_KEEPALIVE void zerno_reset_hiscores()
{
    deliver([](TForm1& form, DeviceInput&) {
        form.HiscoreA = 0;
        form.HiscoreB = 0;
    });
    if (device) {
        stored::HiscoreA.write(*device->settings, 0);
        stored::HiscoreB.write(*device->settings, 0);
    }
}

// ---- The settings the page keeps: stored::All by index ----

EMSCRIPTEN_KEEPALIVE int zerno_read_value(int index)
{
    if (!device || index < 0 || size_t(index) >= stored::All.size())
        return 0;
    const StoredValue& value = *stored::All[size_t(index)];
    return value.read(keyOf(value));
}
EMSCRIPTEN_KEEPALIVE void zerno_write_value(int index, int number)
{
    if (!device || index < 0 || size_t(index) >= stored::All.size())
        return;
    const StoredValue& value = *stored::All[size_t(index)];
    value.write(keyOf(value), number);
}
EMSCRIPTEN_KEEPALIVE const char* zerno_settings_text() { return give(device ? device->store.data().toText() : ""); }

// The declarations the page reads, as JSON: the stored values and the input actions.
EMSCRIPTEN_KEEPALIVE const char* zerno_declarations()
{
    std::string out = "{\"storedValues\":[";
    for (size_t n = 0; n < stored::All.size(); ++n) {
        const StoredValue& value = *stored::All[n];
        out += (n ? "," : "") + std::string("{\"index\":") + std::to_string(n) + ",\"name\":" + jsonText(value.readName)
             + ",\"default\":" + std::to_string(value.defaultValue) + ",\"least\":" + std::to_string(value.least)
             + ",\"most\":" + std::to_string(value.most) + "}";
    }
    out += "],\"inputActions\":[";
    for (size_t n = 0; n < InputActions.size(); ++n) {
        const InputActionInfo& action = InputActions[n];
        out += (n ? "," : "") + std::string("{\"name\":") + jsonText(action.name) + ",\"keyRole\":"
             + std::to_string(action.keyRole) + ",\"defaultLetter\":" + std::to_string(action.defaultLetter)
             + ",\"component\":" + (action.component ? jsonText(action.component) : "null")
             + ",\"padButton\":" + jsonText(padButtonName(action.padButton)) + ",\"padStick\":"
             + jsonText(padStickName(action.padStick)) + ",\"stickDirection\":" + std::to_string(action.stickDirection)
             + "}";
    }
    out += "],\"stickPush\":" + std::to_string(double(StickPush) / StickTravel)
         + ",\"stickRest\":" + std::to_string(double(StickRest) / StickTravel) + "}";
    return give(out);
}

// ---- What the page draws ----

// How many changes the device told of since the last call (0: nothing to draw anew).
EMSCRIPTEN_KEEPALIVE int zerno_take_changes()
{
    if (!device)
        return 0;
    const int changes = device->listener.changes;
    device->listener.changes = 0;
    return changes;
}
EMSCRIPTEN_KEEPALIVE int zerno_component_count() { return device ? int(shown().components().size()) : 0; }
EMSCRIPTEN_KEEPALIVE int zerno_component_visible(int index) { return device ? shown().isLit(index) : 0; }
EMSCRIPTEN_KEEPALIVE int zerno_component_picture(int index)
{
    return device && shown().isLit(index) ? shown().components()[size_t(index)].picture : -1;
}
// left, top, width, height, transparent, cursor (0 default, 1 hand, 2 help) by `what` 0..5.
EMSCRIPTEN_KEEPALIVE int zerno_component_value(int index, int what)
{
    if (!device || index < 0 || size_t(index) >= shown().components().size())
        return 0;
    const Component& component = shown().components()[size_t(index)];
    switch (what) {
    case 0: return component.rect.left;
    case 1: return component.rect.top;
    case 2: return component.rect.width;
    case 3: return component.rect.height;
    case 4: return component.def.transparent;
    default: return int(component.def.cursor);
    }
}
EMSCRIPTEN_KEEPALIVE const char* zerno_component_name(int index)
{
    return give(device && index >= 0 && size_t(index) < shown().components().size()
                    ? shown().components()[size_t(index)].def.name
                    : std::string());
}
EMSCRIPTEN_KEEPALIVE const char* zerno_component_hint(int index)
{
    return give(device && index >= 0 && size_t(index) < shown().components().size()
                    ? shown().components()[size_t(index)].hint
                    : std::string());
}
EMSCRIPTEN_KEEPALIVE int zerno_component_at(int x, int y) { return device ? shown().ComponentAt(x, y) : -1; }
EMSCRIPTEN_KEEPALIVE int zerno_component_index(const char* name) { return device ? shown().componentIndex(name) : -1; }
EMSCRIPTEN_KEEPALIVE int zerno_picture_count() { return device ? int(shown().pictures.size()) : 0; }
EMSCRIPTEN_KEEPALIVE const char* zerno_picture_name(int index)
{
    return give(device && index >= 0 && size_t(index) < shown().pictures.size() ? shown().pictures[size_t(index)]
                                                                                      : std::string());
}
EMSCRIPTEN_KEEPALIVE int zerno_client_width() { return device ? shown().ClientWidth : TForm1::ClosedWidth; }
EMSCRIPTEN_KEEPALIVE int zerno_enabled() { return device ? shown().Enabled : 0; }
EMSCRIPTEN_KEEPALIVE int zerno_is_drag_surface(int index) { return device ? shown().isDragSurface(index) : 0; }

// ---- The state, and a script's lines on this device ----

EMSCRIPTEN_KEEPALIVE const char* zerno_state_block()
{
    if (!device)
        return give({});
    std::ostringstream out;
    if (replay)
        writeStateBlock(out, replay->runner->form(), replay->runner->scheduler().now());
    else
        writeStateBlock(out, *device->form, device->scheduler.now());
    return give(out.str());
}
// Runs one line of a zerno-sim script on the page's device; gives what is wrong, or an empty text.
// What the line prints (a `state` block) is kept for zerno_script_output.
EMSCRIPTEN_KEEPALIVE const char* zerno_run_line(const char* line)
{
    if (!device)
        return give("no device");
    if (!device->runner)
        device->runner = std::make_unique<SimRunner>(*device->form, device->scheduler,
                                                     [](int64_t localMs, int64_t utcMs) {
                                                         device->clock.localStart = localMs;
                                                         device->clock.utcStart = utcMs;
                                                     },
                                                     device->runnerOut);
    const Expected<void> ran = device->runner->runLine(line);
    device->recorder.afterEvent();
    return give(ran ? "" : ran.error());
}
EMSCRIPTEN_KEEPALIVE const char* zerno_script_output()
{
    return device ? giveOutput(device->runnerOut) : give({});
}
// Sets the time of day to run with the scheduler from now on, as a script's `time` does.
EMSCRIPTEN_KEEPALIVE void zerno_set_time(double localMs, double utcMs)
{
    if (!device)
        return;
    device->clock.localStart = int64_t(localMs) - device->scheduler.now();
    device->clock.utcStart = int64_t(utcMs) - device->scheduler.now();
}

// ---- Replays: scripts from a link, a file or the browser's storage ----

// Checks a whole script before it plays, by running it on a device of its own as zerno-sim runs it
// (waits past the bound refused before the first line). Gives "line N: what is wrong", or an empty
// text.
EMSCRIPTEN_KEEPALIVE const char* zerno_check_script(const char* script)
{
    Replay scratch;
    // What the check's run prints is not kept: a script of state lines would fill the memory.
    std::ostream nowhere(nullptr);
    scratch.runner = makeRunner(scratch, nullptr, nowhere);
    std::istringstream in(script);
    std::ostringstream err;
    scratch.runner->run(in, err);
    std::string error = err.str();
    if (!error.empty() && error.back() == '\n')
        error.pop_back();
    return give(error);
}

// A replay's device made, shown in place of the player's until zerno_replay_stop.
EMSCRIPTEN_KEEPALIVE void zerno_replay_start()
{
    if (!device)
        return;
    replay = std::make_unique<Replay>();
    device->recorder.setEnabled(false);
    replay->runner = makeRunner(*replay, &device->listener, replay->out);
    ++device->listener.changes;
}
// One line of the replay's script; gives what is wrong, or an empty text.
EMSCRIPTEN_KEEPALIVE const char* zerno_replay_line(const char* line)
{
    if (!replay)
        return give("no replay");
    const Expected<void> ran = replay->runner->runLine(line);
    return give(ran ? "" : ran.error());
}
// What the replay's device asked of the world since the last call ("T sound SndPack" lines...).
EMSCRIPTEN_KEEPALIVE const char* zerno_replay_output()
{
    return replay ? giveOutput(replay->out) : give({});
}
EMSCRIPTEN_KEEPALIVE double zerno_replay_now() { return replay ? double(replay->runner->scheduler().now()) : -1; }
// The player's device shown again, as it was.
EMSCRIPTEN_KEEPALIVE void zerno_replay_stop()
{
    if (!replay)
        return;
    replay.reset();
    if (device) {
        device->recorder.setEnabled(true);
        ++device->listener.changes;
    }
}

}  // extern "C"
