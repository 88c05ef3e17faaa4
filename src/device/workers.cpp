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
    if (GameRunning && (key == KeyCodes[1] || key == KeyCodes[2])) {
        const int spot = 2 * FolkoLevel;
        if (spot >= 2 && spot <= 6 && isLit(DropImages[size_t(spot)]))
            FolkoTake(spot);
    }
    if (GameRunning && (key == KeyCodes[3] || key == KeyCodes[4])) {
        const int spot = 2 * ZernoLevel - 1;
        if (spot >= 1 && spot <= 5 && isLit(DropImages[size_t(spot)]))
            ZernoTake(spot);
    }
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

void TForm1::FolkoPlace(int pose)
{
    Show(pose);
    TimerFolkoPack.setEnabled(true);
    addScoreStep();
}

void TForm1::ZernoPlace(int pose)
{
    Show(pose);
    TimerZernoPack.setEnabled(true);
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
        Hide(Im_Pack0001);
        Hide(Im_Folko1A);
        Show(Im_Pack0002);
        FolkoPlace(Im_Folko1B);
        break;
    case 4:
        Hide(Im_Pack0003);
        Hide(Im_Folko2A);
        Show(Im_Pack0004);
        FolkoPlace(Im_Folko2B);
        break;
    case 6:
        Hide(Im_Pack0005);
        Hide(Im_Folko3);
        Show(Im_PackR1);
        FolkoPlace(Im_Folko3A);
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
        Hide(Im_Pack1001);
        Hide(Im_Zerno1A);
        Show(Im_Pack0901);
        ZernoPlace(Im_Zerno1B);
        break;
    case 3:
        Hide(Im_Pack0902);
        Hide(Im_Zerno2A);
        Show(Im_Pack0903);
        ZernoPlace(Im_Zerno2B);
        break;
    case 5:
        Hide(Im_Pack0904);
        Hide(Im_Zerno3A);
        Show(Im_Pack0905);
        ZernoPlace(Im_Zerno3B);
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
    if (FolkoLevel == 1) {
        Hide(Im_Folko1B);
        Show(Im_Folko1A);
    } else if (FolkoLevel == 2) {
        Hide(Im_Folko2B);
        Show(Im_Folko2A);
    } else if (FolkoLevel == 3) {
        Hide(Im_Folko3A);
        Show(Im_Folko3);
    }
    TimerFolkoPack.setEnabled(false);
}

void TForm1::TimerZernoPackTimer()
{
    if (ZernoLevel == 1) {
        Hide(Im_Zerno1B);
        Show(Im_Zerno1A);
    } else if (ZernoLevel == 2) {
        Hide(Im_Zerno2B);
        Show(Im_Zerno2A);
    } else if (ZernoLevel == 3) {
        Hide(Im_Zerno3B);
        Show(Im_Zerno3A);
    }
    TimerZernoPack.setEnabled(false);
}
