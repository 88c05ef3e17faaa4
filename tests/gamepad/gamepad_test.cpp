// Gamepads: a virtual controller plugged in, played and pulled out, through the device window's
// own input path on the real clock.
#include <gtest/gtest.h>

#include <QApplication>
#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

#include "device_factory.h"
#include "device_view.h"
#include "gamepads.h"
#include "store.h"

namespace {

class NoSound : public SoundPort {
public:
    void Suona(Sample) override {}
    void Silenzio() override {}
};

class NoonClock : public ClockPort {
public:
    TimeOfDay localTime() override { return {12, 0, 0, 0}; }
    TimeOfDay utcTime() override { return {12, 0, 0, 0}; }
};

// A controller with every button and axis of SDL's standard layout, as SDL's virtual driver
// makes one: plugged in on construction, pulled out on destruction.
class VirtualPad {
public:
    VirtualPad()
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.name = "Virtual test pad";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        joystick_ = SDL_JoystickOpen(index);
        EXPECT_NE(joystick_, nullptr) << SDL_GetError();
    }
    ~VirtualPad() { unplug(); }

    void unplug()
    {
        if (!joystick_)
            return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        for (int index = 0; index < SDL_NumJoysticks(); ++index)
            if (SDL_JoystickGetDeviceInstanceID(index) == id)
                SDL_JoystickDetachVirtual(index);
    }
    void button(SDL_GameControllerButton button, bool down) { SDL_JoystickSetVirtualButton(joystick_, button, down); }
    void axis(SDL_GameControllerAxis axis, int value) { SDL_JoystickSetVirtualAxis(joystick_, axis, Sint16(value)); }

private:
    SDL_Joystick* joystick_ = nullptr;
};

class Gamepad : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeviceFactory device(ZERNO_ASSET_DIR "/device.layout");
        ASSERT_EQ(device.error(), "");
        // The moves are on letters of their own: a pad reads the stored ones.
        keys->WriteInteger("Key1", 'W' - 64);
        keys->WriteInteger("Key2", 'S' - 64);
        keys->WriteInteger("Key3", 'I' - 64);
        keys->WriteInteger("Key4", 'K' - 64);
        ports.sound = &sound;
        ports.clock = &clock;
        ports.keySettingsStore = keys.get();
        ports.settingsStore = game.get();
        ports.listener = &view;
        form = device.make(scheduler, ports);
        view.attach(*form, host);
        view.input()->onInput = [this](const InputEvent& event) { handed.push_back(event); };
        std::string whyNot;
        ASSERT_TRUE(pads.start(&whyNot)) << whyNot;
        pads.poll();
        ASSERT_EQ(pads.attached(), 0u);
        view.deliver([&] { view.input()->press(form->Im_Front, MouseButton::Left, 0, 0); });
        view.deliver([&] { view.input()->release(form->Im_Front, MouseButton::Left, 0, 0); });
        handed.clear();
    }

    bool lit(const char* name) const { return form->isLit(form->componentIndex(name)); }
    // The four digit positions, '-' for a blank one.
    std::string digits() const
    {
        std::string text;
        for (int position = 1; position <= 4; ++position) {
            const int digit = form->digitShown(position);
            text += digit < 0 ? '-' : char('0' + digit);
        }
        return text;
    }
    // The shoulder that stands for ACL, pressed and let go: no game runs then.
    void reset(VirtualPad& pad)
    {
        pad.button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
        pads.poll();
        pad.button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, false);
        pads.poll();
    }
    std::string keysHanded() const
    {
        std::string text;
        for (const InputEvent& event : handed)
            if (event.kind == InputEvent::Kind::KeyDown || event.kind == InputEvent::Kind::KeyUp)
                text += (event.kind == InputEvent::Kind::KeyDown ? "+" : "-") + std::string(1, char(event.key));
        return text;
    }

    MemoryStore store;
    std::unique_ptr<StoreKey> keys = store.OpenKey(KeySettingsStorePath);
    std::unique_ptr<StoreKey> game = store.OpenKey(SettingsStorePath);
    NoSound sound;
    NoonClock clock;
    DevicePorts ports;
    Scheduler scheduler;
    TimerHost host{scheduler};
    DeviceView view;
    std::unique_ptr<TForm1> form;
    Gamepads pads{view};
    std::vector<InputEvent> handed;
};

TEST_F(Gamepad, PluggedInAndPulledOutAtAnyTimeWithoutARestart)
{
    {
        VirtualPad pad;
        pads.poll();
        ASSERT_EQ(pads.attached(), 1u);
        EXPECT_EQ(pads.interval(), Gamepads::playIntervalMs);
        // Pulled out with GAME A held down: the pad lets it go, and the game starts as on a release.
        pad.button(SDL_CONTROLLER_BUTTON_START, true);
        pads.poll();
        ASSERT_FALSE(lit("Puls_GameA"));
    }
    pads.poll();
    EXPECT_EQ(pads.attached(), 0u);
    EXPECT_EQ(pads.interval(), Gamepads::idleIntervalMs);
    EXPECT_TRUE(lit("Puls_GameA"));
    EXPECT_TRUE(form->GameRunning);
    EXPECT_EQ(form->GameMode, TForm1::ModeGameA);

    // Another pad, during the game: the workers follow it.
    VirtualPad again;
    pads.poll();
    ASSERT_EQ(pads.attached(), 1u);
    again.button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    pads.poll();
    EXPECT_EQ(form->FolkoLevel, 2);
}

TEST_F(Gamepad, MovesAreTheStoredKeysWithTheirPressedLookAndSticksActOncePerPush)
{
    VirtualPad pad;
    pads.poll();
    pad.button(SDL_CONTROLLER_BUTTON_START, true);
    pads.poll();
    pad.button(SDL_CONTROLLER_BUTTON_START, false);
    pads.poll();
    ASSERT_TRUE(form->GameRunning);
    handed.clear();

    struct Move {
        const char* what;
        std::function<void(bool)> control;  // held or let go
        const char* padShown;
        int folko, zerno;  // the floors after the push
        const char* keys;  // what the device was handed, down then up
    };
    const auto button = [&](SDL_GameControllerButton b) { return [&pad, b](bool down) { pad.button(b, down); }; };
    const auto stick = [&](SDL_GameControllerAxis a, int pushed) {
        return [&pad, a, pushed](bool down) { pad.axis(a, down ? pushed : 0); };
    };
    const Move moves[] = {
        {"D-pad up", button(SDL_CONTROLLER_BUTTON_DPAD_UP), "Puls_Left", 2, 2, "+W-W"},
        {"left stick up", stick(SDL_CONTROLLER_AXIS_LEFTY, -32768), "Puls_Left", 3, 2, "+W-W"},
        {"D-pad down", button(SDL_CONTROLLER_BUTTON_DPAD_DOWN), "Puls_Left", 2, 2, "+S-S"},
        {"left stick down", stick(SDL_CONTROLLER_AXIS_LEFTY, 32767), "Puls_Left", 1, 2, "+S-S"},
        {"north button", button(SDL_CONTROLLER_BUTTON_Y), "Puls_Right", 1, 3, "+I-I"},
        {"right stick down", stick(SDL_CONTROLLER_AXIS_RIGHTY, 30000), "Puls_Right", 1, 2, "+K-K"},
        {"south button", button(SDL_CONTROLLER_BUTTON_A), "Puls_Right", 1, 1, "+K-K"},
        {"right stick up", stick(SDL_CONTROLLER_AXIS_RIGHTY, -20000), "Puls_Right", 1, 2, "+I-I"},
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(move.what);
        handed.clear();
        move.control(true);
        pads.poll();
        EXPECT_FALSE(lit(move.padShown));
        EXPECT_EQ(form->FolkoLevel, move.folko);
        EXPECT_EQ(form->ZernoLevel, move.zerno);
        move.control(false);
        pads.poll();
        EXPECT_TRUE(lit(move.padShown));
        EXPECT_EQ(keysHanded(), move.keys);
    }

    // Within the dead zone nothing happens; a push held and wobbling at the edge acts once, and
    // coming back only part of the way does not end it.
    handed.clear();
    for (int value : {6000, -6000, 20000, 16000, 31000, 12000, 25000})
        pad.axis(SDL_CONTROLLER_AXIS_LEFTY, value), pads.poll();
    EXPECT_EQ(keysHanded(), "+S");
    pad.axis(SDL_CONTROLLER_AXIS_LEFTY, 4000);
    pads.poll();
    EXPECT_EQ(keysHanded(), "+S-S");

    // Letters chosen anew while the game runs are the pad's from then on.
    form->KeyLetters[1] = 'E' - 64;
    form->AssegnaWord(1, form->KeyLetters[1]);
    handed.clear();
    pad.button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    pads.poll();
    pad.button(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
    pads.poll();
    EXPECT_EQ(keysHanded(), "+E-E");
    EXPECT_EQ(form->FolkoLevel, 2);

    // While the key dialog is up the device takes nothing from a pad, as its window takes no key.
    view.deliver([&] { form->setEnabled(false); });
    handed.clear();
    for (bool down : {true, false}) {
        pad.button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, down);
        pad.button(SDL_CONTROLLER_BUTTON_BACK, down);
        pads.poll();
    }
    EXPECT_TRUE(handed.empty());
    EXPECT_EQ(form->FolkoLevel, 2);
}

TEST_F(Gamepad, StartBackAndTheShouldersAreTheButtonsHeldThenLetGo)
{
    form->HiscoreA = 120;
    form->HiscoreB = 45;
    struct Case {
        SDL_GameControllerButton control;
        const char* button;
        const char* mark;
        const char* hiscore;
        int mode;
    };
    const Case cases[] = {
        {SDL_CONTROLLER_BUTTON_START, "Puls_GameA", "Im_GameA", "-120", TForm1::ModeGameA},
        {SDL_CONTROLLER_BUTTON_BACK, "Puls_GameB", "Im_GameB", "--45", TForm1::ModeGameB},
    };
    VirtualPad pad;
    pads.poll();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        reset(pad);
        ASSERT_FALSE(form->GameRunning);
        ASSERT_EQ(form->GameMode, TForm1::ModeReset);

        pad.button(c.control, true);
        pads.poll();
        EXPECT_FALSE(lit(c.button));
        EXPECT_TRUE(lit(c.mark));
        EXPECT_EQ(digits(), c.hiscore);
        EXPECT_FALSE(form->GameRunning);
        pad.button(c.control, false);
        pads.poll();
        EXPECT_TRUE(lit(c.button));
        EXPECT_TRUE(form->GameRunning);
        EXPECT_EQ(form->GameMode, c.mode);
    }
    // TIME (the right shoulder): the alarm time while held, the clock once let go.
    reset(pad);
    pad.button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    pads.poll();
    EXPECT_FALSE(lit("Puls_Time"));
    EXPECT_TRUE(lit("Im_TimePM"));
    EXPECT_EQ(digits(), "1200");
    pad.button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);
    pads.poll();
    EXPECT_TRUE(lit("Puls_Time"));
    EXPECT_EQ(form->GameMode, TForm1::ModeClock);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
