// Misses, chance time, double score and the game over.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/device/device_fixture.h"

namespace {

using devicetest::Device;
using Times = std::vector<int64_t>;

struct Spot {
    int number;
    std::string waiting;  // the parcel left at the spot
    std::string moves;    // keys that take its worker off the spot's floor
    std::string broken, boss, headUp, headDown, base;
};

const Spot spots[] = {
    {1, "Im_Pack1001", "", "Im_MissR1", "Im_MissR3", "Im_MissR4", "Im_MissR5", "Im_Zerno2"},
    {2, "Im_Pack0001", "Q", "Im_MissL1", "Im_MissL2", "Im_MissL3", "Im_MissL4", "Im_Folko2"},
    {3, "Im_Pack0902", "L", "Im_MissR2", "Im_MissR3", "Im_MissR4", "Im_MissR5", "Im_Zerno1"},
    {4, "Im_Pack0003", "", "Im_MissL1", "Im_MissL2", "Im_MissL3", "Im_MissL4", "Im_Folko1"},
    {5, "Im_Pack0904", "", "Im_MissR2", "Im_MissR3", "Im_MissR4", "Im_MissR5", "Im_Zerno2"},
    {6, "Im_Pack0005", "", "Im_MissL1", "Im_MissL2", "Im_MissL3", "Im_MissL4", "Im_Folko1"},
};

// A game whose first belt tick, at 415, finds the parcel at the spot unattended.
void missAt415(Device& device, const Spot& spot)
{
    device.startGame();
    for (char key : spot.moves)
        device.key(key);
    device.light(spot.waiting);
    device.f().TickPhase = spot.number % 2 == 1 ? 2 : 1;
}

// The right worker hands a parcel up from spot 3 at 0; it scores at 150.
void scoreAt150(Device& device, int score)
{
    device.f().Score = score;
    device.light("Im_Pack0902");
    device.f().ZernoTake(3);
}

TEST(Miss, AMissAtEachSpotPlaysItsSceneOnItsWorkersSideStepByStep)
{
    for (const Spot& spot : spots) {
        SCOPED_TRACE("spot " + std::to_string(spot.number));
        Device device;
        missAt415(device, spot);
        device.light("Im_Pack0101");  // next to a belt end: cleared at the resume
        device.light("Im_Pack0201");  // further back: stays
        const int64_t found = 415;
        auto at = [&](int64_t ms) { device.waitUntil(found + ms); };
        at(0);
        ASSERT_EQ(device.f().MissSpot, spot.number);
        for (int64_t ms : {1, 201, 401, 601, 701}) {
            at(ms);
            EXPECT_EQ(device.lit(spot.waiting), ms == 201 || ms == 601) << ms;
        }
        at(801);
        EXPECT_TRUE(device.lit(spot.broken));
        at(1201);
        EXPECT_FALSE(device.lit(spot.broken));
        EXPECT_TRUE(device.lit(spot.boss) && device.lit(spot.headUp));
        EXPECT_FALSE(device.lit(spot.base));
        at(1601);
        EXPECT_TRUE(device.lit(spot.headDown));
        EXPECT_FALSE(device.lit(spot.headUp));
        at(3051);
        EXPECT_EQ(device.f().MissCount, 1);
        EXPECT_TRUE(device.lit("Im_Miss0") && device.lit("Im_Miss1"));
        EXPECT_FALSE(device.lit("Im_Miss2"));
        at(3300);
        EXPECT_FALSE(device.f().TimerGioco.enabled());
        at(3301);
        EXPECT_EQ(device.ticksOf("TimerMiss", found),
                  (Times{1, 201, 401, 601, 701, 801, 1201, 1601, 2001, 2401, 2801, 3051, 3301}));
        EXPECT_EQ(device.soundsOf("SndMiss", found), (Times{201, 601, 1201, 1601, 2001, 2401, 2801}));
        EXPECT_EQ(device.soundsOf("SndMiss2", found), (Times{801, 3051}));
        // Play resumes: the scene goes, the worker is back where he stood, the belt runs.
        EXPECT_FALSE(device.lit(spot.boss) || device.lit(spot.headUp) || device.lit(spot.headDown));
        EXPECT_TRUE(device.lit(spot.base) && device.lit("Im_Pack0201"));
        EXPECT_FALSE(device.lit(spot.waiting) || device.lit("Im_Pack0101"));
        EXPECT_TRUE(device.f().TimerGioco.enabled() && device.f().FolkoFree && device.f().ZernoFree);
        EXPECT_FALSE(device.f().TimerMiss.enabled());
    }
}

TEST(Miss, TheThirdMissEndsTheGameAndStoresOnlyABeatenHiscore)
{
    struct Case {
        char mode;
        int score, hiscoreA, hiscoreB;
        std::vector<std::pair<std::string, int>> writes;
        int storedByAnotherCopy = 0;  // the mode's hiscore another copy stored during the game
        int hiscoreAfter = 0;
    };
    const Case cases[] = {
        {'A', 50, 40, 70, {{"HiScoreA", 50}}, 0, 50},
        {'A', 40, 40, 0, {}, 0, 40},
        {'B', 60, 90, 10, {{"HiScoreB", 60}}, 0, 60},
        {'A', 30, 0, 0, {}, 50, 50},
        {'B', 60, 0, 10, {{"HiScoreB", 60}}, 55, 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.mode) + " " + std::to_string(c.score));
        Device device(c.hiscoreA, c.hiscoreB);
        if (c.storedByAnotherCopy)
            device.game.values[c.mode == 'A' ? "hiscorea" : "hiscoreb"] = c.storedByAnotherCopy;
        device.playToGameOver(c.score, c.mode);
        EXPECT_EQ(device.game.writes, c.writes);
        EXPECT_EQ(device.f().HiscoreA, c.mode == 'A' ? c.hiscoreAfter : c.hiscoreA);
        EXPECT_EQ(device.f().HiscoreB, c.mode == 'B' ? c.hiscoreAfter : c.hiscoreB);
        EXPECT_FALSE(device.f().GameRunning || device.f().TimerGioco.enabled());
        EXPECT_TRUE(device.f().TimerOver.enabled());
        EXPECT_TRUE(device.lit("Im_Miss3") && device.lit("Im_MissR4"));
    }
}

TEST(Miss, TheGameOverAnimationBowsTheHeadEverySecondAndFallsIntoTheClockAfter299s)
{
    Device device;
    device.playToGameOver();
    const int64_t over = device.now();
    std::string heads;
    for (int64_t t : {1000, 2000, 3000}) {
        device.waitUntil(over + t);
        heads += device.lit("Im_MissR5") && !device.lit("Im_MissR4") ? "v" : device.lit("Im_MissR4") ? "^" : "?";
    }
    EXPECT_EQ(heads, "v^v");
    device.waitUntil(over + 299000 - 1);
    EXPECT_EQ(device.f().GameMode, 1);
    device.waitUntil(over + 299000);
    EXPECT_EQ(device.f().GameMode, 0);
    EXPECT_FALSE(device.f().TimerOver.enabled());
    device.waitUntil(over + 299001);  // 10:00:00 plus 5 min 2.717 s of virtual time
    EXPECT_EQ(device.digits(), "1005");
    EXPECT_TRUE(device.lit("Im_TimeAM") && device.lit("Im_TimePP") && device.lit("Im_Bus1"));
    EXPECT_FALSE(device.lit("Im_MissR4") || device.lit("Im_Miss0") || device.lit("Im_Pack1001"));
}

TEST(Miss, ChanceTimeWithoutMissesBringsDoubleScoreAndABlinkingScoreUntilTheNextMiss)
{
    Device device;
    device.startGame();
    scoreAt150(device, 299);
    device.waitUntil(3149);
    EXPECT_TRUE(device.soundsOf("SndPoint").empty());
    EXPECT_EQ(device.soundsOf("silence"), Times{150});
    EXPECT_EQ(device.soundsOf("SndMiss"), (Times{450, 750, 1050, 1350, 1650, 1950, 2250, 2550, 2850}));
    EXPECT_FALSE(device.lit("Im_Miss0") || device.f().TimerGioco.enabled() || device.f().ZernoFree);
    device.waitUntil(3150);
    EXPECT_TRUE(device.f().DoubleScore && device.f().TimerGioco.enabled() && device.f().ZernoFree);
    EXPECT_EQ(device.f().ScoreStep, 2);

    auto scoreShown = [&] { return device.lit("Im_NumPos2") && device.lit("Im_NumPos4"); };
    std::string blink;
    for (int64_t t : {3749, 3750, 4349, 4350, 4949, 4950}) {
        device.waitUntil(t);
        blink += scoreShown() ? '+' : '-';
    }
    EXPECT_EQ(blink, "+--++-");
    EXPECT_TRUE(device.lit("Im_NumPos1"));
    device.light("Im_Pack0003");  // unattended at the next belt tick, a left one
    const int64_t miss = device.f().TimerGioco.due();
    device.waitUntil(miss);
    ASSERT_TRUE(device.f().TimerMiss.enabled());
    EXPECT_TRUE(scoreShown());
    device.waitUntil(miss + 3301 + 2000);
    EXPECT_TRUE(scoreShown());
    EXPECT_FALSE(device.f().DoubleScore);
    EXPECT_EQ(device.f().ScoreStep, 1);
}

TEST(Miss, ChanceTimeWithMissesBlinksTheMarksAndForgivesThem)
{
    Device device;
    device.startGame();
    device.f().MissCount = 2;
    device.f().MostraMiss(true, 2);
    scoreAt150(device, 299);
    std::string marks;
    for (int64_t t = 450; t <= 2850; t += 300) {
        device.waitUntil(t);
        marks += device.lit("Im_Miss0") && device.lit("Im_Miss2") ? '+' : device.lit("Im_Miss0") ? '?' : '-';
    }
    EXPECT_EQ(marks, "-+-+-+-+-");
    device.waitUntil(3150);
    EXPECT_EQ(device.f().MissCount, 0);
    EXPECT_EQ(device.f().ScoreStep, 1);
    EXPECT_FALSE(device.f().DoubleScore || device.f().TimerBlink.enabled());
    EXPECT_TRUE(device.f().TimerGioco.enabled());

    // The next point, past 300, is an ordinary one.
    scoreAt150(device, 300);
    device.wait(150);
    EXPECT_EQ(device.f().Score, 301);
    EXPECT_FALSE(device.f().TimerChance.enabled());
    EXPECT_EQ(device.soundsOf("SndPoint").size(), 1u);
}

TEST(Miss, APointThatMakes300DuringDoubleScoreIsSilentAndStartsNothing)
{
    Device device;
    device.startGame();
    device.f().DoubleScore = true;
    device.f().ScoreStep = 2;
    scoreAt150(device, 298);
    device.waitUntil(150);
    EXPECT_EQ(device.f().Score, 300);
    EXPECT_FALSE(device.f().TimerChance.enabled());
    EXPECT_TRUE(device.soundsOf("SndPoint").empty() && device.soundsOf("silence").empty());
    EXPECT_TRUE(device.f().TimerGioco.enabled());
}

TEST(Miss, ChanceTimeReachedDuringAMissLetsTheMissFinishAndCountAfterwards)
{
    Device device;
    missAt415(device, spots[0]);
    device.f().Score = 299;
    device.light("Im_Pack0902");
    device.waitUntil(915);
    device.key('P');  // not free to move, but the parcel at his floor's spot is taken up again
    device.waitUntil(1065);
    ASSERT_TRUE(device.f().TimerChance.enabled());
    EXPECT_FALSE(device.f().TimerMiss.enabled());
    EXPECT_EQ(device.ticksOf("TimerMiss").back(), 415 + 601);
    device.waitUntil(1065 + 3000 + 100);  // chance time over; the next miss step 100 ms later
    EXPECT_EQ(device.ticksOf("TimerMiss").back(), 1065 + 3000 + 100);
    device.wait(3000);
    EXPECT_EQ(device.f().MissCount, 1);
    EXPECT_TRUE(device.lit("Im_Miss1") && device.f().TimerGioco.enabled() && device.f().ZernoFree);
    EXPECT_EQ(device.f().ScoreStep, 1);
}

}  // namespace
