// Gamepads: one of SDL's virtual controllers plugged in, played and pulled out, through the
// device window's own input path on the real clock.
#include <gtest/gtest.h>

#include <QApplication>
#include <SDL.h>

#include <string>

#include "device/view/device_session.h"
#include "device/view/device_view.h"
#include "device/view/gamepads.h"
#include "device/virtual_ports.h"
#include "settings/store.h"

namespace {

// A controller with every button and axis of SDL's standard layout: plugged in while it lives.
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
        joystick_ = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        EXPECT_NE(joystick_, nullptr) << SDL_GetError();
    }
    ~VirtualPad()
    {
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
        SDL_JoystickClose(joystick_);
        for (int index = 0; index < SDL_NumJoysticks(); ++index)
            if (SDL_JoystickGetDeviceInstanceID(index) == id)
                SDL_JoystickDetachVirtual(index);
    }
    // A button (0 and up) or, from 100 on, an axis 100 + axis pushed to value.
    void set(int control, int value)
    {
        if (control < 100)
            SDL_JoystickSetVirtualButton(joystick_, control, Uint8(value != 0));
        else
            SDL_JoystickSetVirtualAxis(joystick_, control - 100, Sint16(value));
    }

private:
    SDL_Joystick* joystick_ = nullptr;
};

constexpr int leftStick = 100 + SDL_CONTROLLER_AXIS_LEFTY;
constexpr int rightStick = 100 + SDL_CONTROLLER_AXIS_RIGHTY;

class Gamepad : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The moves on letters of their own: a pad reads the stored ones.
        for (int n = 1; n <= 4; ++n)
            keys->WriteInteger("Key" + std::to_string(n), "WSIK"[n - 1] - 64);
        Expected<DeviceFactory> device = DeviceFactory::fromFile(ZERNO_ASSET_DIR "/device.layout");
        ASSERT_TRUE(device) << device.error();
        session.make(*device, {&sound, keys.get(), game.get(), &clock});
        view.input()->onInput = [this](const InputEvent& event) {
            const bool key = event.kind == InputEvent::Kind::KeyDown || event.kind == InputEvent::Kind::KeyUp;
            const bool down = event.kind == InputEvent::Kind::KeyDown || event.kind == InputEvent::Kind::Press;
            handed += std::string(down ? "+" : "-")
                      + (key ? std::string(1, char(event.key)) : form->components()[size_t(event.component)].def.name)
                      + " ";
        };
        const Expected<void> started = pads.start();
        ASSERT_TRUE(started) << started.error();
        view.deliver([&] { form->Im_FrontClick(); });
    }

    // The pad's control held (value) then let go, each read once.
    void push(VirtualPad& pad, int control, int value = 1)
    {
        pad.set(control, value);
        pads.poll();
        pad.set(control, 0);
        pads.poll();
    }
    bool lit(const char* name) const { return form->isLit(form->componentIndex(name)); }

    MemoryStore store;
    std::unique_ptr<StoreKey> keys = store.OpenKey(KeySettingsStorePath);
    std::unique_ptr<StoreKey> game = store.OpenKey(SettingsStorePath);
    DeviceSession session;
    Scheduler& scheduler = session.scheduler;
    SoundLog sound{scheduler};
    VirtualClock clock{scheduler};
    DeviceView& view = *session.view;
    std::unique_ptr<TForm1>& form = session.form;
    Gamepads pads{view};
    std::string handed;  // every input the device got: "+W -W +Puls_GameA -Puls_GameA ..."
};

TEST_F(Gamepad, PluggedInAndPulledOutAtAnyTimeWithoutARestart)
{
    pads.poll();
    ASSERT_EQ(pads.attached(), 0u);
    EXPECT_EQ(pads.interval(), Gamepads::idleIntervalMs);
    {
        VirtualPad pad;
        pads.poll();
        ASSERT_EQ(pads.attached(), 1u);
        EXPECT_EQ(pads.interval(), Gamepads::playIntervalMs);
        // Pulled out with GAME A held down: the pad lets it go, and the game starts as on a release.
        pad.set(SDL_CONTROLLER_BUTTON_START, 1);
        pads.poll();
        EXPECT_FALSE(lit("Puls_GameA"));
    }
    pads.poll();
    EXPECT_EQ(pads.attached(), 0u);
    EXPECT_EQ(pads.interval(), Gamepads::idleIntervalMs);
    EXPECT_TRUE(lit("Puls_GameA"));
    EXPECT_TRUE(form->GameRunning);
    // Another pad, during the game: Folko follows it.
    VirtualPad again;
    pads.poll();
    push(again, SDL_CONTROLLER_BUTTON_DPAD_UP);
    EXPECT_EQ(form->FolkoLevel, 2);
}

TEST_F(Gamepad, EachControlIsTheKeyOrButtonItStandsFor)
{
    struct Case {
        int control;
        int value;
        const char* pressedLook;  // hidden while held (ACL has none)
        const char* handed;
        int folko, zerno;     // the floors after it
        const char* digits;   // while held, for the game buttons: the hiscore
    };
    const Case cases[] = {
        {SDL_CONTROLLER_BUTTON_START, 1, "Puls_GameA", "+Puls_GameA -Puls_GameA ", 1, 2, "-120"},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, 1, "Puls_Left", "+W -W ", 2, 2, nullptr},
        {leftStick, -32768, "Puls_Left", "+W -W ", 3, 2, nullptr},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1, "Puls_Left", "+S -S ", 2, 2, nullptr},
        {leftStick, 32767, "Puls_Left", "+S -S ", 1, 2, nullptr},
        {SDL_CONTROLLER_BUTTON_Y, 1, "Puls_Right", "+I -I ", 1, 3, nullptr},
        {rightStick, 30000, "Puls_Right", "+K -K ", 1, 2, nullptr},
        {SDL_CONTROLLER_BUTTON_A, 1, "Puls_Right", "+K -K ", 1, 1, nullptr},
        {rightStick, -20000, "Puls_Right", "+I -I ", 1, 2, nullptr},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 1, "Puls_Time", "+Puls_Time -Puls_Time ", 1, 2, nullptr},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 1, nullptr, "+Puls_ACL -Puls_ACL ", 1, 2, nullptr},
        {SDL_CONTROLLER_BUTTON_BACK, 1, "Puls_GameB", "+Puls_GameB -Puls_GameB ", 1, 2, "--45"},
    };
    form->HiscoreA = 120;
    form->HiscoreB = 45;
    VirtualPad pad;
    pads.poll();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.handed);
        handed.clear();
        pad.set(c.control, c.value);
        pads.poll();
        EXPECT_TRUE(!c.pressedLook || !lit(c.pressedLook));
        EXPECT_EQ(c.digits ? form->digitsText() : "", c.digits ? c.digits : "");
        pad.set(c.control, 0);
        pads.poll();
        EXPECT_TRUE(!c.pressedLook || lit(c.pressedLook));
        EXPECT_EQ(handed, c.handed);
        EXPECT_EQ(form->FolkoLevel, c.folko);
        EXPECT_EQ(form->ZernoLevel, c.zerno);
    }
    // Back, after ACL had ended Game A, started Game B.
    EXPECT_TRUE(form->GameRunning);
    EXPECT_EQ(form->GameMode, TForm1::ModeGameB);
}

TEST_F(Gamepad, SticksActOncePerPushAndMovesFollowTheLettersChosenNow)
{
    VirtualPad pad;
    pads.poll();
    // Within the dead zone nothing; a push wobbling at the edge, or coming back only part of the
    // way, acts once; back within a quarter of the travel, it lets go.
    for (int value : {6000, -6000, 20000, 16000, 31000, 12000, 25000, 4000, -24000, 0})
        pad.set(leftStick, value), pads.poll();
    EXPECT_EQ(handed, "+S -S +W -W ");

    form->AssegnaWord(1, 'E' - 64);
    handed.clear();
    push(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    EXPECT_EQ(handed, "+E -E ");

    // While the key dialog is up the device gets nothing from a pad, as its window gets no key.
    view.deliver([&] { form->setEnabled(false); });
    handed.clear();
    push(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    push(pad, SDL_CONTROLLER_BUTTON_BACK);
    EXPECT_EQ(handed, "");
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
