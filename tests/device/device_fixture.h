// A device core on a virtual clock for the device suites: the real layout, an in-memory store,
// a sound log, a settable time of day, and a record of every timer tick.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <variant>
#include <vector>

#include "device/device_factory.h"
#include "device/form1.h"
#include "device/layout.h"
#include "device/virtual_ports.h"

namespace devicetest {

inline const std::vector<ComponentDef>& deviceLayout()
{
    static const LayoutResult layout = loadLayoutFile(ZERNO_LAYOUT_FILE);
    static const std::vector<ComponentDef> none;
    if (!layout)
        ADD_FAILURE() << layout.error();
    return layout ? *layout : none;
}

// One key of the settings store, in memory; value names compare without regard to case.
class MemoryKey : public StoreKey {
public:
    int ReadInteger(const std::string& name, int defaultValue) override
    {
        const auto it = values.find(lower(name));
        return it == values.end() ? defaultValue : it->second;
    }
    void WriteInteger(const std::string& name, int value) override
    {
        values[lower(name)] = value;
        writes.emplace_back(name, value);
    }
    std::map<std::string, int> values;
    std::vector<std::pair<std::string, int>> writes;  // names as written

private:
    static std::string lower(std::string text)
    {
        for (char& c : text)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        return text;
    }
};

inline std::string cellName(int column, int row)
{
    char name[16];
    std::snprintf(name, sizeof name, "Im_Pack%02d%02d", column, row);
    return name;
}

class Device {
public:
    // The store holds these hiscores (0: none) before the window is created.
    explicit Device(int hiscoreA = 0, int hiscoreB = 0)
    {
        if (hiscoreA)
            game.values["hiscorea"] = hiscoreA;
        if (hiscoreB)
            game.values["hiscoreb"] = hiscoreB;
        const DevicePorts ports{&sound, &keys, &game, &clock, nullptr};
        form = DeviceFactory(deviceLayout()).make(scheduler, ports, [this] {
            tickWatch = scheduler.ticks.add([this](const Timer& timer) { ticks.push_back({scheduler.now(), timer.name()}); });
        });
    }

    TForm1& f() { return *form; }
    int id(const std::string& name) const
    {
        const int index = form->componentIndex(name);
        if (index < 0)
            ADD_FAILURE() << "no component " << name;
        return index;
    }
    bool lit(const std::string& name) const { return form->isLit(id(name)); }
    void light(const std::string& name) { form->setLit(id(name), true); }
    bool cell(int column, int row) const { return lit(cellName(column, row)); }

    void press(const std::string& name, MouseButton button = MouseButton::Left) { form->MouseDown(id(name), button, 1, 1); }
    void release(const std::string& name, MouseButton button = MouseButton::Left)
    {
        form->MouseUp(id(name), button, 1, 1, true);
    }
    void click(const std::string& name)
    {
        press(name);
        release(name);
    }
    void keyDown(char letter) { form->FormKeyDown(uint16_t(letter)); }
    void keyUp(char letter) { form->FormKeyUp(uint16_t(letter)); }
    void key(char letter)
    {
        keyDown(letter);
        keyUp(letter);
    }

    int64_t now() const { return scheduler.now(); }
    void wait(int64_t ms) { scheduler.advanceTo(scheduler.now() + ms); }
    void waitUntil(int64_t time) { scheduler.advanceTo(time); }

    // The opened device with GAME A (or B) pressed and released now.
    void startGame(char mode = 'A')
    {
        if (lit("Im_Front"))
            click("Im_Front");
        click(mode == 'A' ? "Puls_GameA" : "Puls_GameB");
    }

    // A game lost at once: two misses already, and the first belt tick (a right one, at 415)
    // finds a parcel at spot 1 with the right worker upstairs. The game is over at 3716.
    void playToGameOver(int score = 0, char mode = 'A')
    {
        startGame(mode);
        form->MissCount = 2;
        form->Score = score;
        form->TickPhase = 2;
        light("Im_Pack1001");
        waitUntil(415 + 3301);
    }

    // The four digit positions, '-' for a blank one.
    std::string digits() const { return form->digitsText(); }

    std::vector<std::string> litNames() const  // in layout order
    {
        std::vector<std::string> names;
        for (const Component& component : form->components())
            if (component.visible)
                names.push_back(component.def.name);
        return names;
    }
    std::set<std::string> litSet() const
    {
        const std::vector<std::string> names = litNames();
        return {names.begin(), names.end()};
    }

    // When (from `since` on, and counted from it) one timer ticked or one sound was asked for.
    std::vector<int64_t> ticksOf(const std::string& timer, int64_t since = 0) const { return timesOf(ticks, timer, since); }
    std::vector<int64_t> soundsOf(const std::string& what, int64_t since = 0) const
    {
        return timesOf(sound.events, what, since);
    }

    Scheduler scheduler;
    SoundLog sound{scheduler};
    VirtualClock clock{scheduler};
    MemoryKey keys;
    MemoryKey game;
    std::vector<TimedEvent> ticks;
    Watch tickWatch;
    std::unique_ptr<TForm1> form;

private:
    static std::vector<int64_t> timesOf(const std::vector<TimedEvent>& events, const std::string& what, int64_t since)
    {
        std::vector<int64_t> times;
        for (const TimedEvent& event : events)
            if (event.what == what && event.time >= since)
                times.push_back(event.time - since);
        return times;
    }
};

// Everything a handler can change: visibility, pictures, the game state and the timers.
struct Snapshot {
    explicit Snapshot(TForm1& form)
    {
        for (const Component& component : form.components())
            segments.push_back({component.visible, component.picture});
        for (const auto& variable : TForm1::StateTable)
            state.push_back(variable.get(form));
        for (Timer* timer : form.timers())
            timers.push_back({timer->enabled(), timer->interval(), timer->enabled() ? timer->due() : 0});
    }
    bool operator==(const Snapshot&) const = default;

    std::vector<std::pair<bool, int>> segments;
    std::vector<int> state;
    std::vector<std::tuple<bool, int, int64_t>> timers;
};

}  // namespace devicetest
