// Misses, chance time, double score and the game-over animation.
#include "device/form1.h"

void TForm1::TimerMissTimer()
{
    const bool right = MissSpot % 2 == 1;
    const int dropped = MissSpot >= 1 && MissSpot <= 6 ? DropImages[size_t(MissSpot)] : -1;
    // The broken parcel: spot 1 lies below the feed belt's end, spots 3 and 5 below the worker.
    const int broken = !right ? Im_MissL1 : MissSpot == 1 ? Im_MissR1 : Im_MissR2;
    const int boss = right ? Im_MissR3 : Im_MissL2;
    const int headUp = right ? Im_MissR4 : Im_MissL3;
    const int headDown = right ? Im_MissR5 : Im_MissL4;

    switch (MissStep) {
    case 1:
        Hide(dropped);
        TimerMiss.setInterval(200);
        break;
    case 2:
        Show(dropped);
        Suona(Sample::SndMiss);
        break;
    case 3:
    case 5:
        Hide(dropped);
        break;
    case 4:
        Show(dropped);
        Suona(Sample::SndMiss);
        TimerMiss.setInterval(100);
        break;
    case 6:
        Show(broken);
        Suona(Sample::SndMiss2);
        TimerMiss.setInterval(400);
        break;
    case 7:
        Hide(broken);
        if (right)
            MostraZernoAll(false);
        else
            MostraFolkoAll(false);
        Show(boss);
        Show(headUp);
        Suona(Sample::SndMiss);
        TimerMiss.setInterval(400);
        break;
    case 8:
    case 10:
        Hide(headUp);
        Show(headDown);
        Suona(Sample::SndMiss);
        break;
    case 9:
        Hide(headDown);
        Show(headUp);
        Suona(Sample::SndMiss);
        break;
    case 11:
        Hide(headDown);
        Show(headUp);
        Suona(Sample::SndMiss);
        TimerMiss.setInterval(250);
        break;
    case 12:
        MissCount = MissCount + 1;
        MostraMiss(true, MissCount);
        Suona(Sample::SndMiss2);
        break;
    case 13:
        if (MissCount < 3)
            missResume();
        else
            gameOver();
        TimerMiss.setEnabled(false);
        break;
    default:
        break;
    }
    MissStep = MissStep + 1;
}

void TForm1::missResume()
{
    beltEndsOff();
    if (MissSpot % 2 == 1) {
        Hide(Im_MissR3);
        Hide(Im_MissR4);
        MostraZerno(true);
    } else {
        Hide(Im_MissL2);
        Hide(Im_MissL3);
        MostraFolko(true);
    }
    DoubleScore = false;
    ScoreStep = 1;
    // Stopped already by the miss, unless chance time came in the middle of the animation.
    TimerBlink.setEnabled(false);
    showAllDigits();
    FolkoFree = true;
    ZernoFree = true;
    TimerGioco.setEnabled(true);
    if (TruckStep != 0)
        TimerPackBus.setEnabled(true);
}

void TForm1::gameOver()
{
    // Another copy of the program may have stored a better score since this one read its own.
    if (GameMode == ModeGameA && Score > HiscoreA)
        HiscoreA = ports_.settingsStore->RaiseInteger(stored::HiscoreA.writtenName, Score);
    if (GameMode == ModeGameB && Score > HiscoreB)
        HiscoreB = ports_.settingsStore->RaiseInteger(stored::HiscoreB.writtenName, Score);
    // A handover taken up by a key during the last miss would otherwise score after the hiscore
    // was settled, and a 300th point would start chance time inside the game-over animation.
    TimerFolkoMovePack.setEnabled(false);
    TimerZernoMovePack.setEnabled(false);
    GameRunning = false;
    OverStep = 1;
    TimerOver.setEnabled(true);
}

void TForm1::TimerOverTimer()
{
    // The worker of the last miss bows his head and raises it again every second.
    const bool right = MissSpot % 2 == 1;
    const int headUp = right ? Im_MissR4 : Im_MissL3;
    const int headDown = right ? Im_MissR5 : Im_MissL4;
    if (OverStep % 2 == 1) {
        Hide(headUp);
        Show(headDown);
    } else {
        Hide(headDown);
        Show(headUp);
    }
    OverStep = OverStep + 1;
    if (OverStep == GameOverSteps) {
        SvuotaSchermo();
        Show(Im_TimePP);
        GameMode = ModeClock;
        TimerClock.setInterval(1);
        TimerClock.setEnabled(true);
        TimerOver.setEnabled(false);
    }
}

void TForm1::ProcChance()
{
    if (DoubleScore)
        return;
    // A handover taken up again by a key during a miss animation can reach chance time: the miss then
    // waits for the end of chance time and is finished and counted after it.
    chanceCaughtMiss_ = TimerMiss.enabled();
    BloccaTimers();
    Silenzio();
    TimerFolkoPack.setEnabled(true);
    TimerZernoPack.setEnabled(true);
    FolkoFree = false;
    ZernoFree = false;
    ChanceStep = 1;
    TimerChance.setEnabled(true);
}

void TForm1::TimerChanceTimer()
{
    if (ChanceStep >= 1 && ChanceStep <= 9) {
        if (ChanceStep % 2 == 1)
            MostraMiss(false, 0);
        else if (MissCount > 0)
            MostraMiss(true, MissCount);
        Suona(Sample::SndMiss);
    } else if (ChanceStep == 10) {
        if (MissCount == 0)
            DoubleScore = true;
        MissCount = 0;
        if (DoubleScore) {
            ScoreStep = 2;
            BlinkPhase = 1;
            TimerBlink.setEnabled(true);
        }
        if (chanceCaughtMiss_) {
            // The miss's own end restarts the belt and the truck.
            TimerMiss.setEnabled(true);
        } else {
            if (TruckStep != 0)
                TimerPackBus.setEnabled(true);
            if (BonusStep != 0) {
                TimerBonus.setEnabled(true);
            } else {
                FolkoFree = true;
                ZernoFree = true;
                TimerGioco.setEnabled(true);
            }
        }
        TimerChance.setEnabled(false);
    }
    ChanceStep = ChanceStep + 1;
}

void TForm1::TimerBlinkTimer()
{
    const bool on = BlinkPhase % 2 == 0;
    setAllLit(std::span<const int>(ScoreDigits).subspan(2), on);
    BlinkPhase = BlinkPhase + 1;
    if (BlinkPhase == 3)
        BlinkPhase = 1;
}
