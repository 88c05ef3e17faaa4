// The truck: each parcel Folko hands up is lowered down its column; the eighth brings the break,
// with its bonus points, the truck driving off and back and both workers resting.
#include "device/form1.h"

void TForm1::TimerPackBusTimer()
{
    bool stop = false;
    if (TruckLoad % 2 == 1) {
        // Odd loads fall down the left column to the lowest free place.
        switch (TruckStep) {
        case 1:
            Hide(Im_PackR1);
            Show(Im_PackL1);
            Hide(Im_Folko3A);
            MostraFolko(true);
            break;
        case 2:
            Hide(Im_PackL1);
            Show(Im_PackL2);
            stop = TruckLoad == 7;
            break;
        case 3:
            Hide(Im_PackL2);
            Show(Im_PackL3);
            stop = TruckLoad == 5;
            break;
        case 4:
            Hide(Im_PackL3);
            Show(Im_PackL4);
            stop = TruckLoad == 3;
            break;
        case 5:
            Hide(Im_PackL4);
            Show(Im_PackL5);
            stop = true;
            break;
        default:
            break;
        }
    } else {
        switch (TruckStep) {
        case 1:
            Hide(Im_PackR1);
            Show(Im_PackR2);
            Hide(Im_Folko3A);
            MostraFolko(true);
            if (TruckLoad == 6) {
                Show(Im_Bus2);
                TimerBusSmoke.setEnabled(true);
            }
            if (TruckLoad == 8) {
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
            break;
        case 2:
            Hide(Im_PackR2);
            Show(Im_PackR3);
            stop = TruckLoad == 6;
            break;
        case 3:
            Hide(Im_PackR3);
            Show(Im_PackR4);
            stop = TruckLoad == 4;
            break;
        case 4:
            Hide(Im_PackR4);
            Show(Im_PackR5);
            stop = TruckLoad == 2;
            break;
        default:
            break;
        }
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
        Show(Im_MissL2);
        Show(Im_MissL3);
        Show(Im_MissR3);
        Show(Im_MissR4);
        break;
    case 24:
        Hide(Im_MissL2);
        Hide(Im_MissL3);
        Hide(Im_MissR3);
        Hide(Im_MissR4);
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
