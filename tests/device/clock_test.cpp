// Clock mode: the TIME button and the clock tick.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/device/device_fixture.h"

namespace {

using devicetest::Device;
using Times = std::vector<int64_t>;

int64_t timeOfDay(int hour, int minute, int second = 0, int ms = 0)
{
    return ((hour * 60LL + minute) * 60 + second) * 1000 + ms;
}

std::string meridiem(const Device& device)
{
    return std::string(device.lit("Im_TimeAM") ? "AM" : "") + (device.lit("Im_TimePM") ? "PM" : "");
}

TEST(Clock, ShowsTheLocalTimeOnTwelveHoursWithAmOrPm)
{
    struct Case {
        int hour, minute;
        std::string digits, meridiem;
    };
    const Case cases[] = {
        {0, 5, "1205", "AM"}, {12, 0, "1200", "PM"}, {13, 7, "-107", "PM"},
        {23, 59, "1159", "PM"}, {10, 30, "1030", "AM"}, {9, 3, "-903", "AM"},
    };
    for (const Case& c : cases) {
        Device device;
        device.clock.localStart = timeOfDay(c.hour, c.minute);
        device.clock.utcStart = device.clock.localStart + timeOfDay(5, 1);  // the clock is local
        device.click("Im_Front");
        device.click("Puls_Time");
        device.wait(1);
        EXPECT_EQ(device.digits(), c.digits) << c.hour << ":" << c.minute;
        EXPECT_EQ(meridiem(device), c.meridiem) << c.hour << ":" << c.minute;
        EXPECT_TRUE(device.lit("Im_TimePP"));
    }
}

TEST(Clock, HoldingTimeShowsTheAlarmTimeOnAnEmptyDisplayAndReleasingStartsTheClock)
{
    Device device;
    device.click("Im_Front");
    device.wait(700);
    device.press("Puls_Time");
    std::set<std::string> lcd;
    for (const std::string& name : device.litNames())
        if (name.rfind("Puls_", 0) != 0 && name != "Im_Base" && name.rfind("Im_Schermo", 0) != 0)
            lcd.insert(name);
    EXPECT_EQ(lcd, (std::set<std::string>{"Im_Bus1", "Im_TimePP", "Im_TimePM", "Im_NumPos1", "Im_NumPos2",
                                          "Im_NumPos3", "Im_NumPos4"}));
    EXPECT_EQ(device.digits(), "1200");
    EXPECT_FALSE(device.lit("Puls_Time"));
    device.wait(5000);
    EXPECT_TRUE(device.ticks.empty());

    device.release("Puls_Time");
    EXPECT_TRUE(device.lit("Puls_Time"));
    EXPECT_EQ(device.f().GameMode, 0);
    EXPECT_EQ(device.digits(), "1200");  // until the first tick, 1 ms later
    device.wait(1);
    EXPECT_EQ(device.digits(), "1000");
    EXPECT_EQ(meridiem(device), "AM");
}

TEST(Clock, TicksEverySecondFromItsStartSoANewMinuteShowsUpToASecondLate)
{
    Device device;
    device.clock.localStart = timeOfDay(10, 0, 59, 500);
    device.click("Im_Front");
    device.click("Puls_Time");
    device.waitUntil(1);
    EXPECT_EQ(device.digits(), "1000");
    device.waitUntil(1000);  // the minute turned at 500
    EXPECT_EQ(device.digits(), "1000");
    device.waitUntil(1001);
    EXPECT_EQ(device.digits(), "1001");
    device.waitUntil(3001);
    EXPECT_EQ(device.ticksOf("TimerClock"), (Times{1, 1001, 2001, 3001}));
}

}  // namespace
