// A player that watches the belts: each worker heads for the belt end that a parcel reaches
// first. The benchmarks use it to keep a real game going; the soak mixes it with random presses
// so that its games reach chance time, the truck's break and the score's wrap past 999.
#pragma once

#include <cstdint>

#include "device/form1.h"

// The key that moves the worker one floor towards the floor whose parcel arrives first (the
// nearer floor on a tie), or 0 when he is there, nothing is coming or he cannot move now (no
// game, or his hands are full).
uint16_t folkoMove(const TForm1& form);
uint16_t zernoMove(const TForm1& form);
