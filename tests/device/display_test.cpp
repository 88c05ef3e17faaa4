// The segment display: the number display, the whole-display patterns, the group operations and
// the pictures the cells share.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tests/device/device_fixture.h"

namespace {

using devicetest::cellName;
using devicetest::Device;
using Names = std::vector<std::string>;

std::string shown(Device& device, int number)
{
    device.f().TrasformaScore(number);
    return device.digits();
}

TEST(Display, TrasformaScoreShowsNumbersWithoutLeadingZerosAndTakesAThousandOffTheScore)
{
    Device device;
    EXPECT_EQ(shown(device, 0), "---0");
    EXPECT_EQ(shown(device, 7), "---7");
    EXPECT_EQ(shown(device, 42), "--42");
    EXPECT_EQ(shown(device, 305), "-305");
    EXPECT_EQ(shown(device, 100), "-100");

    TForm1& form = device.f();
    form.Score = 999;
    form.ScoreStep = 2;
    form.addScoreStep();
    EXPECT_EQ(form.Score, 1);
    EXPECT_EQ(device.digits(), "---1");
}

TEST(Display, HandEditedHiscoresOutOfRangeShowOnlyRealDigitPictures)
{
    Device device;
    for (int number : {-1, -12345, 1000, 2500, 1000000}) {
        device.f().TrasformaScore(number);
        for (int position = 1; position <= 4; ++position) {
            const int picture = device.f().components()[size_t(device.f().ScoreDigits[size_t(position)])].picture;
            EXPECT_TRUE(picture == -1 || device.f().digitShown(position) >= 0) << number << " at " << position;
        }
        EXPECT_EQ(device.digits()[0], '-') << number;
    }
}

TEST(Display, RiempiSchermoLightsEveryLcdSegmentButPmAlarmAndTheDigitPicturesAndSvuotaSchermoAllButTheTruck)
{
    Device device;
    device.f().RiempiSchermo();
    // Named one by one: the body, its buttons, PM, the alarm and the ten digit pictures stay dark.
    std::set<std::string> dark = {"Im_Base",   "Im_SchermoLTop", "Im_SchermoRTop", "Puls_Left", "Puls_Right",
                                  "Puls_GameA", "Puls_GameB",    "Puls_Time",      "Puls_ACL",  "Puls_Alarm",
                                  "Im_TimePM", "Im_Alarm"};
    for (char digit = '0'; digit <= '9'; ++digit)
        dark.insert(std::string("Im_Num") + digit);
    Names expected;
    for (const ComponentDef& def : devicetest::deviceLayout())
        if (!dark.count(def.name))
            expected.push_back(def.name);
    ASSERT_EQ(expected.size(), devicetest::deviceLayout().size() - 22);
    EXPECT_EQ(device.litNames(), expected);
    EXPECT_EQ(device.digits(), "1200");

    device.f().SvuotaSchermo();
    EXPECT_EQ(device.litNames(), (Names{"Im_Bus1", "Im_NumPos1", "Im_NumPos2", "Im_NumPos3", "Im_NumPos4", "Im_Front"}));
    EXPECT_EQ(device.digits(), "----");
}

TEST(Display, MostraMissOnlyAddsMarksAndHidesThemAll)
{
    Device device;
    TForm1& form = device.f();
    auto marks = [&] {
        std::string lit;
        for (const char* name : {"Im_Miss0", "Im_Miss1", "Im_Miss2", "Im_Miss3"})
            lit += device.lit(name) ? '+' : '-';
        return lit;
    };
    form.MostraMiss(true, 3);
    form.MostraMiss(true, 1);
    EXPECT_EQ(marks(), "++++");
    form.MostraMiss(false, 2);
    EXPECT_EQ(marks(), "----");
    form.MostraMiss(true, -1);
    EXPECT_EQ(marks(), "----");
    form.MostraMiss(true, 0);
    EXPECT_EQ(marks(), "+---");
}

TEST(Display, GroupOperationsSwitchWholeFamilies)
{
    // Each family by its segments' names and number: all of them, and nothing else.
    const std::tuple<void (TForm1::*)(bool), const char*, size_t> groups[] = {
        {&TForm1::MostraPackAll, "Im_Pack[0-9]{4}", 53},     {&TForm1::MostraPackBusAll, "Im_Pack[LR][1-5]", 10},
        {&TForm1::MostraBusAll, "Im_Bus[1-6]", 6},           {&TForm1::MostraFolkoAll, "Im_Folko[1-3][AB]?", 8},
        {&TForm1::MostraZernoAll, "Im_Zerno[1-3][AB]?", 9},  {&TForm1::MostraSceneAll, "Im_Miss[LR][1-5]", 9},
        {&TForm1::MostraCharsOffAll, "Im_(Folko|Zerno)Off[12]", 4},
    };
    Device device;
    const std::set<std::string> before = device.litSet();
    for (const auto& [operation, family, count] : groups) {
        std::set<std::string> expected = before;
        for (const ComponentDef& def : devicetest::deviceLayout())
            if (std::regex_match(def.name, std::regex(family)))
                expected.insert(def.name);
        EXPECT_EQ(expected.size(), before.size() + count) << family;
        (device.f().*operation)(true);
        EXPECT_EQ(device.litSet(), expected) << family;
        (device.f().*operation)(false);
        EXPECT_EQ(device.litSet(), before) << family;
    }
}

TEST(Display, EntryCellsShareTheNextCellsPictureAndRectangleAndSeamCellsHaveNone)
{
    Device device;
    auto component = [&](const std::string& name) { return device.f().components()[size_t(device.id(name))]; };
    auto same = [&](const std::string& a, const std::string& b) {
        EXPECT_NE(component(a).picture, -1) << a;
        EXPECT_EQ(component(a).picture, component(b).picture) << a << " and " << b;
        EXPECT_EQ(component(a).rect, component(b).rect) << a << " and " << b;
    };
    for (int row : {1, 3, 5})
        same(cellName(9, row), cellName(8, row));
    for (int row : {2, 4})
        same(cellName(0, row), cellName(1, row));
    EXPECT_EQ(component("Im_PackR5").picture, component("Im_PackL2").picture);
    EXPECT_EQ(component("Im_Miss3").picture, component("Im_Miss1").picture);
    for (const char* seam : {"Im_Pack0401", "Im_Pack0403", "Im_Pack0405", "Im_Pack0502", "Im_Pack0504"})
        EXPECT_EQ(component(seam).picture, -1) << seam;
}

}  // namespace
