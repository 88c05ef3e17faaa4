// The two workers: their keys, the takes, the handovers that put a parcel on the next belt up or
// on the truck, and the return to the ready pose.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/device/device_fixture.h"

namespace {

using devicetest::Device;
using Times = std::vector<int64_t>;

TEST(Workers, KeysMoveAFreeWorkerOneFloorAtATimeAndPressThePadOutsideAGameToo)
{
    Device device;
    device.startGame();
    device.keyDown('Q');
    device.keyDown('Q');  // auto-repeat
    device.keyDown('Q');  // already on top: no move, no sound
    EXPECT_EQ(device.f().FolkoLevel, 3);
    EXPECT_TRUE(device.lit("Im_Folko3"));
    EXPECT_FALSE(device.lit("Im_Folko1") || device.lit("Im_Folko2") || device.lit("Im_Folko2A"));
    EXPECT_EQ(device.soundsOf("SndChar").size(), 2u);
    EXPECT_FALSE(device.lit("Puls_Left"));
    device.keyDown('A');
    device.keyUp('A');  // either key's release shows the pad, the other still held
    EXPECT_TRUE(device.lit("Puls_Left"));

    Device idle;
    idle.click("Im_Front");  // the reset display: every parcel cell lit
    for (char key : {'Q', 'L'}) {
        idle.keyDown(key);
        EXPECT_FALSE(idle.lit(key == 'Q' ? "Puls_Left" : "Puls_Right"));
        idle.keyUp(key);
    }
    EXPECT_EQ(idle.f().FolkoLevel + idle.f().ZernoLevel, 0);
    EXPECT_TRUE(idle.sound.events.empty());
    EXPECT_FALSE(idle.f().TimerFolkoMovePack.enabled() || idle.f().TimerZernoMovePack.enabled());
}

TEST(Workers, AHandoverPutsTheParcelOnTheNextBeltScoresAndReturnsToTheReadyPose)
{
    struct Handover {
        int spot;
        std::string moves;  // keys that bring the worker from his start floor to the spot's
        std::string waiting, putDown, ready, placing;
    };
    const Handover handovers[] = {
        {1, "L", "Im_Pack1001", "Im_Pack0901", "Im_Zerno1A", "Im_Zerno1B"},
        {2, "", "Im_Pack0001", "Im_Pack0002", "Im_Folko1A", "Im_Folko1B"},
        {3, "", "Im_Pack0902", "Im_Pack0903", "Im_Zerno2A", "Im_Zerno2B"},
        {4, "Q", "Im_Pack0003", "Im_Pack0004", "Im_Folko2A", "Im_Folko2B"},
        {5, "P", "Im_Pack0904", "Im_Pack0905", "Im_Zerno3A", "Im_Zerno3B"},
        {6, "QQ", "Im_Pack0005", "Im_PackR1", "Im_Folko3", "Im_Folko3A"},
    };
    for (const Handover& h : handovers) {
        SCOPED_TRACE("spot " + std::to_string(h.spot));
        Device device;
        device.startGame();
        for (char key : h.moves)
            device.key(key);
        device.light(h.waiting);
        if (h.spot % 2 == 0)
            device.f().FolkoTake(h.spot);
        else
            device.f().ZernoTake(h.spot);
        device.waitUntil(149);
        EXPECT_TRUE(device.lit(h.waiting));
        device.waitUntil(150);
        EXPECT_FALSE(device.lit(h.waiting) || device.lit(h.ready));
        EXPECT_TRUE(device.lit(h.putDown) && device.lit(h.placing));
        EXPECT_EQ(device.f().Score, 1);
        EXPECT_EQ(device.soundsOf("SndPoint"), Times{150});
        EXPECT_TRUE(device.f().FolkoFree && device.f().ZernoFree);
        EXPECT_EQ(device.f().TruckLoad, h.spot == 6 ? 1 : 0);
        device.waitUntil(350);
        EXPECT_FALSE(device.lit(h.placing));
        EXPECT_TRUE(device.lit(h.ready));
    }
}

TEST(Workers, TwoHandoversWithinTheSame150msEachEndAtTheirOwnSpot)
{
    Device device;
    device.startGame();
    device.light("Im_Pack0001");
    device.f().FolkoTake(2);
    device.wait(50);
    device.light("Im_Pack0902");
    device.f().ZernoTake(3);
    device.waitUntil(150);
    EXPECT_TRUE(device.lit("Im_Pack0002") && device.lit("Im_Pack0902"));
    EXPECT_FALSE(device.lit("Im_Pack0001"));
    EXPECT_TRUE(device.f().FolkoFree);
    EXPECT_FALSE(device.f().ZernoFree);
    device.waitUntil(200);
    EXPECT_TRUE(device.lit("Im_Pack0903"));
    EXPECT_FALSE(device.lit("Im_Pack0902"));
    EXPECT_TRUE(device.f().ZernoFree);
    EXPECT_EQ(device.f().Score, 2);
    EXPECT_EQ(device.soundsOf("SndPoint"), (Times{150, 200}));
}

TEST(Workers, AMoveCutsAHandoverShortAndTheParcelIsTakenAgainOrMissed)
{
    for (bool comesBack : {false, true}) {
        SCOPED_TRACE(comesBack ? "comes back" : "stays away");
        Device device;
        device.startGame();
        device.light("Im_Pack0101");
        device.waitUntil(465);  // the left tick at 415 has handed him the parcel
        device.key('Q');        // free again since that tick ended
        device.waitUntil(700);
        EXPECT_TRUE(device.lit("Im_Pack0001"));
        EXPECT_EQ(device.f().Score, 0);
        EXPECT_FALSE(device.lit("Im_Folko1B") || device.lit("Im_Folko2B"));
        if (comesBack) {
            device.key('A');
            device.waitUntil(850);
            EXPECT_TRUE(device.lit("Im_Pack0002"));
        }
        device.waitUntil(1300);
        EXPECT_EQ(device.f().TimerMiss.enabled(), !comesBack);
        EXPECT_EQ(device.soundsOf("SndPoint").size(), comesBack ? 1u : 0u);
    }
}

}  // namespace
