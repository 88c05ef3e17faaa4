// The belt tick and the level table: tick times, the moving belts, misses found by the tick, the
// delay after a take, and the arrival of new parcels.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/device/device_fixture.h"

namespace {

using devicetest::cellName;
using devicetest::Device;
using Times = std::vector<int64_t>;
using Cells = std::vector<std::pair<int, int>>;

std::vector<bool> grid(const Device& device)
{
    std::vector<bool> cells;
    for (const auto& column : device.form->PackGrid)
        for (int cell : column)
            if (cell >= 0)
                cells.push_back(device.form->isLit(cell));
    return cells;
}

TEST(Belt, GameAStartsWithATickAt415ThenEvery430AndTheFirstRightTickBringsAParcel)
{
    Device device;
    device.startGame();
    device.waitUntil(415);
    EXPECT_EQ(device.f().TimerGioco.interval(), 430);
    EXPECT_EQ(device.f().MaxPacks, 2);
    EXPECT_FALSE(device.cell(12, 1));
    device.waitUntil(845);
    EXPECT_TRUE(device.cell(12, 1));
    EXPECT_EQ(device.soundsOf("SndPack"), Times{845});  // a parcel just arrived at the spawn cell counts
    device.light(cellName(4, 3));  // moved by the next tick, a left-side one, which sounds for it
    device.waitUntil(1275);
    EXPECT_EQ(device.soundsOf("SndPack"), (Times{845, 1275}));
    device.waitUntil(2135);
    EXPECT_EQ(device.ticksOf("TimerGioco"), (Times{415, 845, 1275, 1705, 2135}));
}

TEST(Belt, AParcelReachesSpot1TwoRightTicksLaterWhereTheRightWorkerTakesIt)
{
    Device device;
    device.startGame();
    device.wait(100);
    device.key('L');  // the right worker down to floor 1
    EXPECT_EQ(device.soundsOf("SndChar"), Times{100});
    device.waitUntil(1705);
    EXPECT_TRUE(device.cell(11, 1));
    device.waitUntil(2565);
    EXPECT_TRUE(device.cell(10, 1));
    device.waitUntil(2715);
    EXPECT_FALSE(device.cell(10, 1));
    EXPECT_TRUE(device.cell(9, 1));
    EXPECT_EQ(device.digits(), "---1");
    EXPECT_EQ(device.soundsOf("SndPoint"), Times{2715});
}

TEST(Belt, AParcelLeftAtADropSpotIsAMissAtThatSidesNextTickWithNoBeltMoved)
{
    Device device;
    device.startGame();
    device.waitUntil(3424);
    EXPECT_TRUE(device.cell(10, 1));  // since 2565, with the right worker on floor 2
    const std::vector<bool> before = grid(device);
    device.waitUntil(3425);
    EXPECT_EQ(device.f().MissSpot, 1);
    EXPECT_EQ(grid(device), before);
    EXPECT_FALSE(device.f().TimerGioco.enabled());
    EXPECT_TRUE(device.f().TimerMiss.enabled());
    EXPECT_FALSE(device.f().FolkoFree || device.f().ZernoFree);

    // Left side: the lowest unattended spot wins, and the tick after the miss serves it again.
    Device left;
    left.startGame();
    left.key('Q');
    for (const char* name : {"Im_Pack0001", "Im_Pack0005", "Im_Pack0503"})
        left.light(name);
    left.waitUntil(415);
    EXPECT_EQ(left.f().MissSpot, 2);
    EXPECT_TRUE(left.lit("Im_Pack0503"));
    left.waitUntil(415 + 3301);
    EXPECT_TRUE(left.f().TimerGioco.enabled());
    EXPECT_EQ(left.f().TickPhase, 1);
}

TEST(Belt, TakesByTheRightTickOrAKeyDelayTheNextTickBy150msAndTakesByTheLeftTickDoNot)
{
    Device right;
    right.startGame();
    right.light(cellName(8, 2));  // reaches spot 3, where the right worker stands, at 845
    right.waitUntil(2000);
    EXPECT_EQ(right.ticksOf("TimerGioco"), (Times{415, 845, 845 + 430 + 150, 845 + 580 + 430}));
    // Put down at the entry cell [9][3], it moves into column 8 at 1425 without a belt sound.
    EXPECT_TRUE(right.cell(8, 3));
    const Times packs = right.soundsOf("SndPack");
    EXPECT_EQ(std::count(packs.begin(), packs.end(), 1425), 0);

    Device key;
    key.startGame();
    key.waitUntil(450);
    key.key('L');
    key.light("Im_Pack0902");
    key.waitUntil(600);
    key.key('P');  // back up to floor 2, onto the waiting parcel
    EXPECT_FALSE(key.f().ZernoFree);
    key.waitUntil(750);
    EXPECT_TRUE(key.f().ZernoFree);
    key.waitUntil(1200);
    EXPECT_EQ(key.ticksOf("TimerGioco"), (Times{415, 600 + 430 + 150}));

    Device left;
    left.startGame();
    left.light(cellName(1, 1));  // reaches spot 2, where the left worker stands, at 415
    left.waitUntil(1300);
    EXPECT_EQ(left.f().Score, 1);
    EXPECT_EQ(left.ticksOf("TimerGioco"), (Times{415, 845, 1275}));
}

TEST(Belt, TheLevelTableGivesIntervalAndParcelLimitByModeAndScore)
{
    struct Entry {
        int mode, score, interval, maxPacks;
    };
    const Entry entries[] = {
        {1, 0, 430, 2},   {1, 99, 350, 4},  {1, 100, 405, 2}, {1, 540, 275, 5}, {1, 999, 125, 8},
        {2, 0, 400, 3},   {2, 79, 335, 5},  {2, 80, 320, 3},  {2, 199, 300, 6}, {2, 999, 140, 4},
    };
    Device device;
    for (const Entry& entry : entries) {
        device.f().GameMode = entry.mode;
        device.f().Score = entry.score;
        device.f().CalcolaLivelli();
        EXPECT_EQ(device.f().TimerGioco.interval(), entry.interval) << entry.mode << " " << entry.score;
        EXPECT_EQ(device.f().MaxPacks, entry.maxPacks) << entry.mode << " " << entry.score;
    }
}

// The share of right-side ticks that bring a new parcel, with these parcels on the belts before
// the tick. Each tick runs at another time of day (UTC), which reseeds the draws.
double arrivalRate(const Cells& cells, int score, int ticks)
{
    Device device;
    device.startGame();
    TForm1& form = device.f();
    form.ZernoLevel = 1;
    std::vector<int> lit;
    for (auto [column, row] : cells)
        lit.push_back(form.PackGrid[size_t(column)][size_t(row)]);
    int arrivals = 0;
    for (int i = 0; i < ticks; ++i) {
        form.MostraPackAll(false);
        for (int cell : lit)
            form.setLit(cell, true);
        form.Score = score;
        form.TickPhase = 2;
        device.clock.utcStart = int64_t(i) * 7919;
        form.TimerGiocoTimer();
        arrivals += device.cell(12, 1);
    }
    return double(arrivals) / ticks;
}

TEST(Belt, NewParcelsArriveByTheRulesOfChanceAndLimit)
{
    EXPECT_NEAR(arrivalRate({{3, 3}}, 0, 10000), 0.5, 0.03);            // one parcel alone
    EXPECT_NEAR(arrivalRate({{3, 3}, {5, 5}}, 80, 10000), 0.25, 0.03);  // two, limit 4
    EXPECT_EQ(arrivalRate({}, 0, 500), 1.0);                            // an empty grid always
    EXPECT_EQ(arrivalRate({{3, 3}, {5, 5}}, 0, 2000), 0.0);             // limit 2 reached
    // Nothing new while the feed belt holds a parcel or one is about to reach spot 3 or 5 (each
    // cell is lit the tick before, so that the tick's move brings it there).
    for (const Cells& blocking : {Cells{{12, 1}}, Cells{{11, 1}}, Cells{{6, 2}}, Cells{{6, 4}}})
        EXPECT_EQ(arrivalRate(blocking, 80, 2000), 0.0) << blocking[0].first << "," << blocking[0].second;
}

}  // namespace
