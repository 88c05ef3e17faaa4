// The belt tick and the level table. Each tick serves one side in turn: it looks for an
// unattended parcel at that side's drop spots, moves that side's belts one cell, lets a worker
// standing at a belt end take what arrived, and on the right side may bring a new parcel.
#include "device/form1.h"

namespace {

// The most parcels allowed on the belts, by mode, hundreds and band of the score.
constexpr int MaxPacksA[10][5] = {
    {2, 3, 3, 3, 4}, {2, 3, 3, 4, 4}, {3, 3, 4, 4, 5}, {3, 4, 4, 5, 5}, {4, 4, 5, 5, 6},
    {4, 5, 5, 6, 6}, {5, 5, 6, 6, 7}, {5, 6, 6, 7, 7}, {6, 6, 7, 7, 8}, {6, 7, 7, 8, 8},
};
constexpr int MaxPacksB[10][5] = {
    {3, 4, 4, 5, 3}, {4, 4, 5, 5, 6}, {4, 5, 5, 6, 4}, {5, 5, 6, 6, 5}, {5, 6, 6, 7, 5},
    {6, 6, 7, 7, 6}, {6, 7, 7, 8, 6}, {7, 7, 8, 8, 7}, {7, 8, 8, 9, 7}, {8, 8, 9, 9, 4},
};
// Intervals of the first hundred; every later hundred is slower by a fixed step in each band.
constexpr int FirstHundredA[5] = {430, 415, 400, 375, 350};
constexpr int FirstHundredB[5] = {400, 375, 350, 335, 320};
constexpr int HundredStepA = 25;
constexpr int HundredStepB = 20;

}  // namespace

void TForm1::buildLevelTable()
{
    for (int hundreds = 0; hundreds <= 9; ++hundreds)
        for (int band = 0; band <= 4; ++band) {
            LevelTable[ModeGameA][size_t(hundreds)][size_t(band)] = {FirstHundredA[band] - HundredStepA * hundreds,
                                                             MaxPacksA[hundreds][band]};
            LevelTable[ModeGameB][size_t(hundreds)][size_t(band)] = {FirstHundredB[band] - HundredStepB * hundreds,
                                                             MaxPacksB[hundreds][band]};
        }
}

void TForm1::CalcolaLivelli()
{
    const Level& level = LevelTable[size_t(GameMode)][size_t(Score / 100)][size_t((Score % 100) / 20)];
    TimerGioco.setInterval(level.interval);
    MaxPacks = level.maxPacks;
}

void TForm1::TimerGiocoTimer()
{
    if (TickPhase % 2 == 1)
        leftTick();
    else
        rightTick();
}

void TForm1::leftTick()
{
    for (int spot : {2, 4, 6})
        if (isLit(DropImages[size_t(spot)]) && FolkoLevel != spot / 2) {
            MissSpot = spot;
            missEnding();
            return;
        }

    // The move looks no further than the cell behind: a parcel still waiting at a drop spot while
    // its worker hands it over is overwritten here; the put-down switches the spot off later anyway.
    for (size_t c = 0; c <= 8; ++c)
        for (size_t row : {1, 3, 5})
            setLit(PackGrid[c][row], isLit(PackGrid[c + 1][row]));
    for (size_t row : {1, 3, 5})
        Hide(PackGrid[9][row]);

    takeWaiting(true);

    // Column 8 has only just received the parcels put down at the entry cells: they have not moved.
    bool moving = false;
    for (size_t c = 0; c <= 7; ++c)
        for (size_t row : {5, 3, 1})
            moving = moving || isLit(PackGrid[c][row]);
    if (moving)
        Suona(Sample::SndPack);

    // After the takes: a take by the left-side tick does not delay the belt.
    CalcolaLivelli();
    normalEnding();
}

void TForm1::rightTick()
{
    for (int spot : {1, 3, 5})
        if (isLit(DropImages[size_t(spot)]) && ZernoLevel != (spot + 1) / 2) {
            MissSpot = spot;
            missEnding();
            return;
        }

    setLit(PackGrid[10][1], isLit(PackGrid[11][1]));
    setLit(PackGrid[11][1], isLit(PackGrid[12][1]));
    Hide(PackGrid[12][1]);
    for (size_t row : {2, 4}) {
        for (size_t c = 9; c >= 1; --c)
            setLit(PackGrid[c][row], isLit(PackGrid[c - 1][row]));
    }
    Hide(PackGrid[0][2]);
    Hide(PackGrid[0][4]);

    const int n = packageCount();
    random.reseed(uint32_t(ports_.clock->utcTime().msOfDay()));
    bool arrival = random.draw(4) == 0;
    if (n == 1 && random.draw(3) == 0)
        arrival = true;
    // A parcel in [7][2] or [7][4] would reach its drop spot on the very tick a new one reaches spot 1.
    if (isLit(PackGrid[10][1]) || isLit(PackGrid[11][1]) || isLit(PackGrid[7][2]) || isLit(PackGrid[7][4]))
        arrival = false;
    CalcolaLivelli();
    if (n >= MaxPacks)
        arrival = false;
    if (n == 0)
        arrival = true;
    setLit(PackGrid[12][1], arrival);

    // After CalcolaLivelli: a take by the right-side tick delays the next tick by the handover.
    takeWaiting(false);

    bool moving = isLit(PackGrid[10][1]) || isLit(PackGrid[11][1]) || isLit(PackGrid[12][1]);
    for (size_t c = 2; c <= 9; ++c)
        for (size_t row : {4, 2})
            moving = moving || isLit(PackGrid[c][row]);
    if (moving)
        Suona(Sample::SndPack);

    normalEnding();
}

void TForm1::normalEnding()
{
    TickPhase = TickPhase + 1;
    if (TickPhase == 3)
        TickPhase = 1;
    // Both, even when this tick's take has just cleared one: a worker whose parcel the belt
    // handed him still obeys his keys during the handover.
    FolkoFree = true;
    ZernoFree = true;
}

void TForm1::missEnding()
{
    BloccaTimers();
    FolkoFree = false;
    ZernoFree = false;
    MissStep = 1;
    TimerMiss.setInterval(1);
    TimerMiss.setEnabled(true);
}
