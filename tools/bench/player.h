// A player that watches the belts: each worker heads for the belt end that a parcel reaches
// first. The benchmarks use it to keep a real game going; the soak mixes it with random presses
// so that its games reach chance time, the truck's break and the score's wrap past 999.
#pragma once

#include <cstdint>

#include "form1.h"

// How many of its own side's belt ticks the nearest parcel on each floor (1..3) needs to reach
// the worker's drop spot there; -1 for a floor with no parcel coming.
struct FloorDistances {
    int folko[4] = {-1, -1, -1, -1};
    int zerno[4] = {-1, -1, -1, -1};
};
FloorDistances floorDistances(const TForm1& form);

// The floor each worker should stand on now: the one whose parcel arrives first (the nearer
// floor on a tie), or his own floor when nothing is coming.
int folkoTarget(const TForm1& form);
int zernoTarget(const TForm1& form);

// The key that moves the worker one floor towards his target, or 0 when he is there or cannot
// move now (no game, or his hands are full).
uint16_t folkoMove(const TForm1& form);
uint16_t zernoMove(const TForm1& form);
