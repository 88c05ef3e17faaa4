// The truck: each parcel lowered to its place, the smoke, and the break with its bonus points.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/device/device_fixture.h"

namespace {

using devicetest::Device;
using Times = std::vector<int64_t>;

// Where the first, second ... eighth parcel of a load comes to rest.
const char* const restingPlaces[] = {"Im_PackL5", "Im_PackR5", "Im_PackL4", "Im_PackR4",
                                     "Im_PackL3", "Im_PackR3", "Im_PackL2", "Im_PackR2"};

// A game at 0 with Folko on his top floor and `load` parcels already at rest on the truck.
void truckWithLoad(Device& device, int load)
{
    device.startGame();
    device.key('Q');
    device.key('Q');
    device.f().TruckLoad = load;
    for (int i = 0; i < load; ++i)
        device.light(restingPlaces[i]);
}

// Folko hands one parcel up; it lands on the truck 150 ms later.
void handUp(Device& device)
{
    device.light("Im_Pack0005");
    device.f().FolkoTake(6);
    device.wait(150);
}

TEST(Truck, EachParcelFallsDownItsColumnToTheLowestFreePlace)
{
    const size_t steps[] = {5, 4, 4, 3, 3, 2, 2};
    Device device;
    truckWithLoad(device, 0);
    device.f().TimerGioco.setEnabled(false);  // no belt, no misses: only the truck moves
    for (int load = 1; load <= 7; ++load) {
        SCOPED_TRACE("load " + std::to_string(load));
        handUp(device);
        const int64_t landed = device.now();
        device.wait(200);
        EXPECT_FALSE(device.lit("Im_Folko3A"));
        EXPECT_TRUE(device.lit("Im_Folko3"));
        device.wait(1000);
        EXPECT_EQ(device.ticksOf("TimerPackBus", landed).size(), steps[load - 1]);
        EXPECT_FALSE(device.f().TimerPackBus.enabled());
        EXPECT_EQ(device.f().TruckStep, 0);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(device.lit(restingPlaces[i]), i < load) << restingPlaces[i];
        EXPECT_FALSE(device.lit("Im_PackL1") || device.lit("Im_PackR1"));
    }
}

TEST(Truck, FromTheSixthParcelTheTruckSmokesUntilAMissFreezesItWhileTheLoweringGoesOnAfterIt)
{
    Device device;
    truckWithLoad(device, 5);
    device.light("Im_Pack0105");  // the seventh parcel, taken up by the left tick at 565
    handUp(device);               // the sixth: its first step at 350 brings driver and smoke
    auto puff = [&] { return std::string(device.lit("Im_Bus5") ? "5" : "") + (device.lit("Im_Bus6") ? "6" : ""); };
    std::string puffs;
    for (int64_t t : {349, 350, 500, 650, 800, 950}) {
        device.waitUntil(t);
        puffs += device.lit("Im_Bus2") ? "|" : ".";
        puffs += puff();
    }
    EXPECT_EQ(puffs, ".||5|56||5");
    device.light("Im_Pack1001");  // unattended at the right tick at 995: a miss
    device.waitUntil(995);
    ASSERT_EQ(device.f().MissSpot, 1);
    EXPECT_EQ(device.f().TruckStep, 2);  // the seventh parcel is at Im_PackL1
    device.waitUntil(995 + 3301 + 199);
    EXPECT_TRUE(device.lit("Im_PackL1"));
    device.waitUntil(995 + 3301 + 200);
    EXPECT_TRUE(device.lit("Im_PackL2"));
    EXPECT_FALSE(device.lit("Im_PackL1"));
    device.wait(2000);
    EXPECT_EQ(puff(), "5");
    EXPECT_FALSE(device.f().TimerBusSmoke.enabled());
}

TEST(Truck, TheEighthParcelStopsTheBeltForABreakWithTenBonusPoints)
{
    for (int step : {1, 2}) {
        SCOPED_TRACE("points of " + std::to_string(step));
        Device device;
        truckWithLoad(device, 7);
        device.f().ScoreStep = step;
        device.f().DoubleScore = step == 2;
        handUp(device);
        device.waitUntil(350);  // the first lowering step starts the break at once
        const int64_t start = 350;
        EXPECT_TRUE(device.lit("Im_PackR2"));
        EXPECT_FALSE(device.f().TimerGioco.enabled() || device.f().FolkoFree || device.f().ZernoFree);

        device.waitUntil(start + 1999);
        for (const char* load : {"Im_PackL2", "Im_PackL5", "Im_PackR2", "Im_PackR5", "Im_Bus1"})
            EXPECT_TRUE(device.lit(load)) << load;
        device.waitUntil(start + 2000);
        for (const char* gone : {"Im_PackL2", "Im_PackL5", "Im_PackR2", "Im_PackR5", "Im_Bus1"})
            EXPECT_FALSE(device.lit(gone)) << gone;
        device.waitUntil(start + 5250);
        EXPECT_TRUE(device.lit("Im_FolkoOff1") && device.lit("Im_ZernoOff1"));
        EXPECT_FALSE(device.lit("Im_Folko3") || device.lit("Im_Zerno2"));
        device.waitUntil(start + 10849);
        EXPECT_TRUE(device.lit("Im_Bus1") && device.lit("Im_MissL2") && device.lit("Im_MissR3"));
        EXPECT_FALSE(device.f().TimerGioco.enabled());
        device.waitUntil(start + 10850);

        Times expected = {350};
        for (int64_t t = 500; t <= 2000; t += 150)
            expected.push_back(t);
        for (int64_t t : {2650, 3300, 3950, 4600, 5250, 6050, 6850, 7650, 8450, 9250, 10050, 10850})
            expected.push_back(t);
        EXPECT_EQ(device.ticksOf("TimerBonus", start), expected);
        EXPECT_EQ(device.soundsOf("SndBonus", start), (Times{500, 650, 800, 950, 1100, 1250, 1400, 1550, 1700, 1850}));
        EXPECT_EQ(device.f().Score, 11 * step);
        EXPECT_TRUE(device.ticksOf("TimerGioco", start).empty());

        EXPECT_TRUE(device.f().TimerGioco.enabled() && device.f().FolkoFree && device.f().ZernoFree);
        EXPECT_FALSE(device.f().TimerBonus.enabled());
        EXPECT_EQ(device.f().BonusStep + device.f().TruckStep + device.f().TruckLoad, 0);
        EXPECT_TRUE(device.lit("Im_Folko3") && device.lit("Im_Zerno2") && device.lit("Im_Zerno2A"));
        EXPECT_FALSE(device.lit("Im_MissL2") || device.lit("Im_MissR3"));
        device.wait(1000);
        EXPECT_FALSE(device.ticksOf("TimerGioco", start).empty());
    }
}

TEST(Truck, ChanceTimeInTheBonusCountPausesTheBreakWhichGoesOnWithDoublePoints)
{
    Device device;
    truckWithLoad(device, 7);
    device.f().Score = 294;
    handUp(device);  // 295; the bonus points follow at 850, 1000, 1150, 1300, 1450
    device.waitUntil(1450);
    EXPECT_EQ(device.f().Score, 300);
    EXPECT_TRUE(device.f().TimerChance.enabled());
    EXPECT_FALSE(device.f().TimerBonus.enabled());
    device.waitUntil(1450 + 3000);
    EXPECT_EQ(device.f().ScoreStep, 2);
    EXPECT_FALSE(device.f().FolkoFree || device.f().ZernoFree);
    EXPECT_FALSE(device.f().TimerGioco.enabled());
    device.waitUntil(1450 + 3000 + 150);
    EXPECT_EQ(device.f().Score, 302);
    device.wait(20000);
    EXPECT_EQ(device.f().Score, 310);
    // The break ends 3 s later than it would have, and the belt (565 ms since the hand-up) with it.
    ASSERT_FALSE(device.ticksOf("TimerGioco").empty());
    EXPECT_EQ(device.ticksOf("TimerGioco").front(), 350 + 10850 + 3000 + 565);
}

}  // namespace
