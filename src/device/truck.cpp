// The truck: each parcel Folko hands up is lowered down its column; the eighth brings the break,
// with its bonus points, the truck driving off and back and both workers resting.
#include "device/form1.h"

void TForm1::TimerPackBusTimer()
{
    // Odd loads fall down the left column (L1..L5), even ones down the right (R2..R5), to the
    // lowest free place: the n-th parcel of a column stops at the n-th place from the bottom.
    const bool odd = TruckLoad % 2 == 1;
    const auto column = std::span<const int>(TruckImages).subspan(odd ? 0 : 6, odd ? 5 : 4);
    bool stop = false;
    if (TruckStep == 1) {
        Hide(Im_PackR1);
        Show(column[0]);
        Hide(Im_Folko3A);
        MostraFolko(true);
        if (!odd && TruckLoad == 6) {
            Show(Im_Bus2);
            TimerBusSmoke.setEnabled(true);
        }
        if (!odd && TruckLoad == 8) {
            // The eighth parcel: the belts stop for the break. Timers already running (a
            // handover, an arm-down, the blink, the smoke) go on.
            FolkoFree = false;
            ZernoFree = false;
            TimerGioco.setEnabled(false);
            TimerPackBus.setEnabled(false);
            TruckStep = 0;
            BonusStep = 1;
            TimerBonus.setInterval(350);
            TimerBonus.setEnabled(true);
            return;
        }
    } else if (TruckStep >= 2 && TruckStep <= int(column.size())) {
        Hide(column[size_t(TruckStep - 2)]);
        Show(column[size_t(TruckStep - 1)]);
        stop = TruckStep == 5 || TruckLoad == (odd ? 11 : 10) - 2 * TruckStep;
    }
    if (stop) {
        TimerPackBus.setEnabled(false);
        TruckStep = 0;
    } else {
        TruckStep = TruckStep + 1;
    }
}

void TForm1::TimerBusSmokeTimer()
{
    // A puff grows and vanishes every three ticks.
    if (!isLit(Im_Bus5) && !isLit(Im_Bus6)) {
        Show(Im_Bus5);
    } else if (isLit(Im_Bus5) && !isLit(Im_Bus6)) {
        Show(Im_Bus6);
    } else if (isLit(Im_Bus5) && isLit(Im_Bus6)) {
        Hide(Im_Bus5);
        Hide(Im_Bus6);
    }
}

void TForm1::beltEndsOff()
{
    for (int segment : {Im_Pack0001, Im_Pack0101, Im_Pack0802, Im_Pack0902, Im_Pack0003, Im_Pack0103,
                        Im_Pack0804, Im_Pack0904, Im_Pack0005, Im_Pack0105, Im_Pack1001, Im_Pack1101})
        Hide(segment);
}

void TForm1::TimerBonusTimer()
{
    const std::array<int, 4> bosses = {Im_MissL2, Im_MissL3, Im_MissR3, Im_MissR4};
    switch (BonusStep) {
    case 1:
        Hide(Im_Bus2);
        TimerBonus.setInterval(150);
        break;
    case 12:
        // The truck drives off with its load.
        TimerBusSmoke.setEnabled(false);
        Hide(Im_Bus1);
        for (int i = 1; i <= 4; ++i) {
            Hide(TruckImages[size_t(i)]);
            Hide(TruckImages[size_t(5 + i)]);
        }
        Show(Im_Bus3);
        Show(Im_Bus5);
        Show(Im_Bus6);
        TimerBonus.setInterval(650);
        break;
    case 13:
        Show(Im_Bus4);
        Hide(Im_Bus5);
        break;
    case 14:
        Hide(Im_Bus4);
        break;
    case 15:
        Hide(Im_Bus3);
        Show(Im_Bus5);
        Hide(Im_Bus6);
        break;
    case 16:
        Hide(Im_Bus5);
        break;
    case 17:
        // Both workers sit down to rest.
        TimerBonus.setInterval(800);
        MostraZernoAll(false);
        MostraFolkoAll(false);
        Show(Im_FolkoOff1);
        Show(Im_ZernoOff1);
        beltEndsOff();
        break;
    case 18:
    case 20:
        Show(Im_FolkoOff2);
        Show(Im_ZernoOff2);
        break;
    case 19:
    case 21:
        Hide(Im_FolkoOff2);
        Hide(Im_ZernoOff2);
        break;
    case 22:
        Show(Im_Bus1);
        break;
    case 23:
        // The boss on each side calls his worker back.
        Hide(Im_FolkoOff1);
        Hide(Im_ZernoOff1);
        setAllLit(bosses, true);
        break;
    case 24:
        setAllLit(bosses, false);
        MostraFolko(true);
        MostraZerno(true);
        TruckLoad = 0;
        BonusStep = 0;
        FolkoFree = true;
        ZernoFree = true;
        TimerGioco.setEnabled(true);
        TimerBonus.setEnabled(false);
        return;
    default:
        break;
    }
    if (BonusStep >= 2 && BonusStep <= 11) {
        addScoreStep();
        scorePoint(Sample::SndBonus);
    }
    BonusStep = BonusStep + 1;
}
