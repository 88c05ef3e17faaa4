// What must hold after every handler of the device window, whatever the player did. The soak
// checks these after each input and each timer tick; each rule is one the device's own state
// implies, so a break of any of them is a fault in the device core, not in the player.
//
// Always:
//   - Score is 0..999, MissCount 0..3, TruckLoad 0..8.
//   - Every enabled timer has a positive interval from its own set (below) and is due no
//     earlier than now and no later than one interval from now.
//   - A timer runs only in the state that owns it:
//       TimerClock          clock mode: GameMode 0, no game running
//       TimerGioco          a game runs (GameMode 1 or 2); no miss, chance time, break,
//                           game-over animation or clock at the same time
//       TimerMiss           a game runs, MissSpot 1..6, MissStep 1..13, the belt stopped
//       TimerChance         a game runs, ChanceStep 1..10, the belt and the miss stopped
//       TimerBonus          a game runs, the truck full (TruckLoad 8), BonusStep 1..24,
//                           the belt stopped
//       TimerPackBus        a game runs, TruckLoad 1..8, TruckStep 1..5
//       TimerBusSmoke       a game runs, TruckLoad 6..8, before the truck leaves (BonusStep
//                           0..12)
//       TimerBlink          a game runs with double score (DoubleScore, ScoreStep 2)
//       the two handovers   a game runs
//       the two arm-downs   GameMode 1 or 2 (a put-down just before the last miss may still
//                           lower its arm in the game-over animation)
//       TimerOver           the game-over animation: no game running, GameMode 1 or 2,
//                           OverStep 1..299, and no belt, miss, chance time or clock
//   - Intervals: TimerClock 1 or 1000; TimerGioco a level-table interval of the running mode
//     plus 150 ms for each take since the tick that set it (250 before the first game);
//     TimerMiss 1, 100, 200, 250 or 400; TimerBonus 1, 150, 350, 650 or 800; every other
//     timer keeps the interval it was built with.
//
// While a game runs (before and after the handler):
//   - Each parcel is in one cell: no handler makes parcels out of nothing. A belt tick adds at
//     most the one new parcel of the feed belt (right-side ticks only); a handover adds at
//     most the one it puts down (its drop spot may have been cleared behind it); the miss
//     animation shows the dropped parcel again as it blinks; every other handler adds none.
//   - The belts hold at most the mode's largest parcel limit, plus one parcel in each worker's
//     hands.
#pragma once

#include <cstdint>
#include <string>

#include "device/form1.h"

// What ran between two checks: the timer that ticked, or an input (nullptr).
struct HandlerRun {
    const Timer* timer = nullptr;
    bool rightTick = false;  // TimerGioco serving the right side
};

class DeviceInvariants {
public:
    explicit DeviceInvariants(TForm1& form);

    // Remembers the state before a handler.
    void before(const HandlerRun& run);
    // Checks the state after the handler begun with before(); empty when every rule holds,
    // otherwise what is broken.
    std::string after();

private:
    std::string checkState();
    std::string checkTimer(const Timer& timer);
    bool legalInterval(const Timer& timer) const;
    bool legalBeltInterval(int interval) const;

    TForm1& form_;
    HandlerRun run_;
    bool runningBefore_ = false;
    int parcelsBefore_ = 0;
};
