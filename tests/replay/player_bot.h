// A player for the replay suites: sends a worker to the floor where a parcel waits at a drop spot,
// so games last a while, score points and still miss now and then.
#pragma once

#include <cstdint>
#include <vector>

#include "device/form1.h"

namespace replaytest {

// The keys to press now (each a press and a release), in order.
inline std::vector<uint16_t> botKeys(const TForm1& form)
{
    std::vector<uint16_t> keys;
    if (!form.GameRunning)
        return keys;
    // Spots 1, 3, 5 are Zerno's floors 1..3; spots 2, 4, 6 are Folko's.
    for (const bool right : {true, false}) {
        const int level = right ? form.ZernoLevel : form.FolkoLevel;
        for (int floor = 1; floor <= 3; ++floor) {
            const int spot = right ? 2 * floor - 1 : 2 * floor;
            if (!form.isLit(form.DropImages[size_t(spot)]) || floor == level)
                continue;
            const uint16_t key = form.KeyCodes[size_t(right ? (floor > level ? 3 : 4) : (floor > level ? 1 : 2))];
            for (int step = 0; step < (floor > level ? floor - level : level - floor); ++step)
                keys.push_back(key);
            break;
        }
    }
    return keys;
}

}  // namespace replaytest
