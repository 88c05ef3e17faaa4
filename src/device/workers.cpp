// The two workers: their keys, the takes at the belt ends, the handovers that put a parcel on
// the next belt up (or on the truck) and score, and the return to the ready pose.
#include "device/form1.h"

void TForm1::moveFolko(int delta)
{
    TimerFolkoPack.setEnabled(false);
    TimerFolkoMovePack.setEnabled(false);
    MostraFolkoAll(false);
    FolkoLevel = FolkoLevel + delta;
    MostraFolko(true);
    Suona(Sample::SndChar);
}

void TForm1::moveZerno(int delta)
{
    TimerZernoPack.setEnabled(false);
    TimerZernoMovePack.setEnabled(false);
    MostraZernoAll(false);
    ZernoLevel = ZernoLevel + delta;
    MostraZerno(true);
    Suona(Sample::SndChar);
}

void TForm1::FormKeyDown(uint16_t key)
{
    if (!Enabled)
        return;
    if (key == KeyCodes[1]) {
        Hide(Puls_Left);
        if (GameRunning && FolkoFree && FolkoLevel < 3)
            moveFolko(+1);
    }
    if (key == KeyCodes[2]) {
        Hide(Puls_Left);
        if (GameRunning && FolkoFree && FolkoLevel > 1)
            moveFolko(-1);
    }
    if (key == KeyCodes[3]) {
        Hide(Puls_Right);
        if (GameRunning && ZernoFree && ZernoLevel < 3)
            moveZerno(+1);
    }
    if (key == KeyCodes[4]) {
        Hide(Puls_Right);
        if (GameRunning && ZernoFree && ZernoLevel > 1)
            moveZerno(-1);
    }
    // The take checks run whether or not the worker moved or is free: a key press also takes up
    // again a parcel whose handover a miss or chance time cut short.
    if (GameRunning && (key == KeyCodes[1] || key == KeyCodes[2]))
        takeWaiting(true);
    if (GameRunning && (key == KeyCodes[3] || key == KeyCodes[4]))
        takeWaiting(false);
}

void TForm1::FormKeyUp(uint16_t key)
{
    if (!Enabled)
        return;
    if (key == KeyCodes[1] || key == KeyCodes[2])
        Show(Puls_Left);
    if (key == KeyCodes[3] || key == KeyCodes[4])
        Show(Puls_Right);
}

// A worker on floor 1..3 takes the parcel waiting at his floor's drop spot: Folko's spots are
// even, Zerno's odd.
void TForm1::takeWaiting(bool folko)
{
    const int level = folko ? FolkoLevel : ZernoLevel;
    if (level < 1 || level > 3)
        return;
    const int spot = folko ? 2 * level : 2 * level - 1;
    if (!isLit(DropImages[size_t(spot)]))
        return;
    if (folko)
        FolkoTake(spot);
    else
        ZernoTake(spot);
}

void TForm1::FolkoTake(int spot)
{
    TimerGioco.setInterval(TimerGioco.interval() + TimerFolkoMovePack.interval());
    FolkoFree = false;
    CarrySpot = spot;
    folkoCarrySpot_ = spot;
    TimerFolkoMovePack.setEnabled(true);
}

void TForm1::ZernoTake(int spot)
{
    TimerGioco.setInterval(TimerGioco.interval() + TimerZernoMovePack.interval());
    ZernoFree = false;
    CarrySpot = spot;
    zernoCarrySpot_ = spot;
    TimerZernoMovePack.setEnabled(true);
}

// The parcel leaves the drop spot for the next belt up, the worker's arm goes up with it, and
// the arm-down timer starts.
void TForm1::handOver(int from, int readyPose, int to, int placingPose, Timer& armTimer)
{
    Hide(from);
    Hide(readyPose);
    Show(to);
    Show(placingPose);
    armTimer.setEnabled(true);
    addScoreStep();
}

void TForm1::scorePoint(Sample sound)
{
    if (Score == ChanceTimeScore)
        ProcChance();
    else
        Suona(sound);
}

void TForm1::TimerFolkoMovePackTimer()
{
    switch (folkoCarrySpot_) {
    case 2:
        handOver(Im_Pack0001, Im_Folko1A, Im_Pack0002, Im_Folko1B, TimerFolkoPack);
        break;
    case 4:
        handOver(Im_Pack0003, Im_Folko2A, Im_Pack0004, Im_Folko2B, TimerFolkoPack);
        break;
    case 6:
        handOver(Im_Pack0005, Im_Folko3, Im_PackR1, Im_Folko3A, TimerFolkoPack);
        TruckLoad = TruckLoad + 1;
        TruckStep = 1;
        TimerPackBus.setEnabled(true);
        break;
    default:
        TimerFolkoMovePack.setEnabled(false);
        return;
    }
    FolkoFree = true;
    scorePoint(Sample::SndPoint);
    TimerFolkoMovePack.setEnabled(false);
}

void TForm1::TimerZernoMovePackTimer()
{
    switch (zernoCarrySpot_) {
    case 1:
        handOver(Im_Pack1001, Im_Zerno1A, Im_Pack0901, Im_Zerno1B, TimerZernoPack);
        break;
    case 3:
        handOver(Im_Pack0902, Im_Zerno2A, Im_Pack0903, Im_Zerno2B, TimerZernoPack);
        break;
    case 5:
        handOver(Im_Pack0904, Im_Zerno3A, Im_Pack0905, Im_Zerno3B, TimerZernoPack);
        break;
    default:
        TimerZernoMovePack.setEnabled(false);
        return;
    }
    ZernoFree = true;
    scorePoint(Sample::SndPoint);
    TimerZernoMovePack.setEnabled(false);
}

void TForm1::TimerFolkoPackTimer()
{
    armDown(FolkoLevel, {Im_Folko1B, Im_Folko2B, Im_Folko3A}, {Im_Folko1A, Im_Folko2A, Im_Folko3}, TimerFolkoPack);
}

void TForm1::TimerZernoPackTimer()
{
    armDown(ZernoLevel, {Im_Zerno1B, Im_Zerno2B, Im_Zerno3B}, {Im_Zerno1A, Im_Zerno2A, Im_Zerno3A}, TimerZernoPack);
}

// From the placing pose of the worker's floor back to the ready pose.
void TForm1::armDown(int level, std::array<int, 3> placingPoses, std::array<int, 3> readyPoses, Timer& timer)
{
    if (level >= 1 && level <= 3) {
        Hide(placingPoses[size_t(level - 1)]);
        Show(readyPoses[size_t(level - 1)]);
    }
    timer.setEnabled(false);
}
