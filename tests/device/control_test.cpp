// Game control: opening the device, and the ACL, GAME A and GAME B buttons.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "device/device_input.h"
#include "tests/device/device_fixture.h"

namespace {

using devicetest::Device;
using devicetest::Snapshot;

TEST(Control, OpeningTheCoverShowsTheResetDisplay)
{
    Device device;
    device.click("Im_Front");
    EXPECT_EQ(device.f().ClientWidth, TForm1::OpenWidth);
    EXPECT_FALSE(device.lit("Im_Front") || device.lit("Im_TimePM") || device.lit("Im_Alarm"));
    for (const char* name : {"Im_Base", "Puls_Left", "Puls_ACL", "Im_GameB", "Im_Pack1201", "Im_Miss3", "Im_Zerno3B"})
        EXPECT_TRUE(device.lit(name)) << name;
    EXPECT_EQ(device.digits(), "1200");
    EXPECT_EQ(device.f().GameMode, 3);
}

TEST(Control, RightButtonOnTheButtonsChangesNothingNotEvenThePicture)
{
    Device device;
    device.click("Im_Front");
    for (bool inGame : {false, true}) {
        if (inGame) {
            device.click("Puls_GameA");
            device.wait(1000);
        }
        const Snapshot before(device.f());
        for (const char* button : {"Puls_ACL", "Puls_GameA", "Puls_GameB", "Puls_Time"}) {
            device.press(button, MouseButton::Right);
            EXPECT_TRUE(Snapshot(device.f()) == before) << button << " pressed, in game " << inGame;
            device.release(button, MouseButton::Right);
            EXPECT_TRUE(Snapshot(device.f()) == before) << button << " released, in game " << inGame;
        }
    }
}

TEST(Control, HoldingAGameButtonShowsItsHiscoreAndReleasingStartsTheBelt)
{
    for (char mode : {'A', 'B'}) {
        const std::string button = mode == 'A' ? "Puls_GameA" : "Puls_GameB";
        const std::string mark = mode == 'A' ? "Im_GameA" : "Im_GameB";
        Device device(120, 33);
        device.click("Im_Front");
        device.wait(5000);
        device.press(button);
        std::set<std::string> lcd;
        for (const std::string& name : device.litSet())
            if (name.rfind("Puls_", 0) != 0 && name != "Im_Base" && name.rfind("Im_Schermo", 0) != 0)
                lcd.insert(name);
        EXPECT_EQ(lcd, (std::set<std::string>{"Im_Bus1", mark, "Im_Folko1", "Im_Folko1A", "Im_Zerno2", "Im_Zerno2A",
                                              "Im_NumPos1", "Im_NumPos2", "Im_NumPos3", "Im_NumPos4"}));
        EXPECT_FALSE(device.lit(button));
        EXPECT_EQ(device.digits(), mode == 'A' ? "-120" : "--33");
        EXPECT_EQ(device.f().GameMode, 3);

        device.release(button);
        EXPECT_TRUE(device.lit(button));
        EXPECT_EQ(device.digits(), "---0");
        EXPECT_EQ(device.f().GameMode, mode == 'A' ? 1 : 2);
        EXPECT_TRUE(device.f().GameRunning && device.f().FolkoFree && device.f().ZernoFree);
        const int first = mode == 'A' ? 415 : 375;
        EXPECT_EQ(device.f().TimerGioco.interval(), first);
        device.wait(first);
        EXPECT_EQ(device.ticksOf("TimerGioco", 5000), std::vector<int64_t>{first});
    }
}

TEST(Control, GameButtonsDuringAGameOnlyShowTheirPressedLook)
{
    Device device;
    device.startGame();
    device.wait(1000);
    for (const char* button : {"Puls_GameA", "Puls_GameB", "Puls_Time"}) {
        const Snapshot before(device.f());
        device.press(button);
        EXPECT_FALSE(device.lit(button));
        device.release(button);
        EXPECT_TRUE(Snapshot(device.f()) == before) << button;
    }
}

TEST(Control, AclFreezesWhileHeldAndReleasesOntoTheResetDisplayForGood)
{
    Device device;
    device.startGame();
    device.wait(3000);
    device.f().Score = 57;
    device.press("Puls_ACL");
    for (Timer* timer : device.f().timers())
        EXPECT_FALSE(timer->enabled()) << timer->name();
    device.release("Puls_ACL");
    EXPECT_EQ(device.sound.events.back().what, "silence");
    EXPECT_EQ(device.f().GameMode, 3);
    EXPECT_FALSE(device.f().GameRunning || device.f().FolkoFree || device.f().ZernoFree);
    EXPECT_EQ(device.f().Score, 57);
    EXPECT_EQ(device.digits(), "1200");
    const size_t ticks = device.ticks.size();
    device.wait(60000);
    EXPECT_EQ(device.ticks.size(), ticks);
}

TEST(Control, GameAPressedDuringTheGameOverAnimationStopsItAndTheReleaseStartsAFreshGame)
{
    Device device;
    device.playToGameOver(12);
    device.wait(5000);
    device.press("Puls_GameA");
    EXPECT_FALSE(device.f().TimerOver.enabled());
    EXPECT_EQ(device.digits(), "--12");  // the hiscore this game has just set
    EXPECT_FALSE(device.lit("Im_MissR4") || device.lit("Im_MissR5") || device.lit("Im_Miss3"));
    device.release("Puls_GameA");
    EXPECT_EQ(device.f().MissCount, 0);
    EXPECT_EQ(device.f().Score, 0);
    EXPECT_TRUE(device.f().GameRunning);
}


TEST(Control, EachReleaseGoesToThePressThatOwnsIt)
{
    // One step: press (+) or release (-) of a button over a component (empty: over nothing);
    // `down` tells whether the held button is still down at a press.
    struct Step {
        char what;
        const char* over;
        MouseButton button = MouseButton::Left;
        bool down = true;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::string> handed;  // what reached the device, in order
    };
    const MouseButton right = MouseButton::Right;
    const std::vector<Case> cases = {
        {"let go elsewhere", {{'+', "Puls_GameA"}, {'-', "Puls_GameB"}},
         {"press Puls_GameA", "release Puls_GameA off"}},
        {"a second button while one is held", {{'+', "Puls_GameA"}, {'+', "Puls_GameB", right}, {'-', "Puls_GameB", right},
          {'-', "Puls_GameA"}},
         {"press Puls_GameA", "release Puls_GameA over"}},
        {"the held release went to the window system", {{'+', "Puls_GameA"}, {'+', "Puls_GameB", right, false},
          {'-', "Puls_GameB", right}},
         {"press Puls_GameA", "release Puls_GameA off", "press Puls_GameB", "release Puls_GameB over"}},
        {"over nothing, and then a release", {{'+', ""}, {'-', "Puls_GameA"}}, {}},
    };
    for (const Case& c : cases) {
        Device device;
        device.f().Im_FrontClick();
        DeviceInput input(device.f());
        std::vector<std::string> handed;
        input.onInput = [&](const InputEvent& event) {
            const std::string name = device.f().components()[size_t(event.component)].def.name;
            if (event.kind == InputEvent::Kind::Press)
                handed.push_back("press " + name);
            else if (event.kind == InputEvent::Kind::Release)
                handed.push_back("release " + name + (event.over ? " over" : " off"));
        };
        for (const Step& step : c.steps) {
            const int component = *step.over ? device.id(step.over) : -1;
            if (step.what == '+')
                input.press(component, step.button, 0, 0, step.down);
            else
                input.release(component, step.button, 0, 0);
        }
        EXPECT_EQ(handed, c.handed) << c.name;
        EXPECT_EQ(input.held(), -1) << c.name;
    }
}

}  // namespace
