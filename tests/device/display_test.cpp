// The segment display: the number display, the whole-display patterns, the group operations and
// the pictures the cells share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device_fixture.h"

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
    form.Score = 1001;
    form.TrasformaScore(form.Score);
    EXPECT_EQ(form.Score, 1);
    EXPECT_EQ(device.digits(), "---1");
    form.Score = 1001;  // whichever number is shown
    form.HiscoreA = 250;
    form.TrasformaScore(form.HiscoreA);
    EXPECT_EQ(form.Score, 1);
    EXPECT_EQ(device.digits(), "-250");
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
    Names expected;
    for (const ComponentDef& def : devicetest::deviceLayout()) {
        const std::string& name = def.name;
        const bool other = name == "Im_Base" || name.rfind("Im_Schermo", 0) == 0 || name.rfind("Puls_", 0) == 0;
        const bool digitPicture = name.size() == 7 && name.rfind("Im_Num", 0) == 0;
        if (name == "Im_Front" || (!other && !digitPicture && name != "Im_TimePM" && name != "Im_Alarm"))
            expected.push_back(name);
    }
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
    const std::pair<void (TForm1::*)(bool), size_t> groups[] = {
        {&TForm1::MostraPackAll, 53}, {&TForm1::MostraPackBusAll, 10}, {&TForm1::MostraBusAll, 6},
        {&TForm1::MostraFolkoAll, 8}, {&TForm1::MostraZernoAll, 9},    {&TForm1::MostraSceneAll, 9},
        {&TForm1::MostraCharsOffAll, 4},
    };
    Device device;
    const size_t before = device.litNames().size();
    for (const auto& [operation, count] : groups) {
        (device.f().*operation)(true);
        EXPECT_EQ(device.litNames().size(), before + count) << count;
        (device.f().*operation)(false);
        EXPECT_EQ(device.litNames().size(), before) << count;
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
