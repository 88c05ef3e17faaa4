#include "tools/bench/player.h"

#include <cstdlib>

namespace {

bool lit(const TForm1& form, int column, int row)
{
    return form.isLit(form.PackGrid[size_t(column)][size_t(row)]);
}

// Folko's floors take from rows 1, 3 and 5 at column 0; those rows run leftwards.
int leftDistance(const TForm1& form, int row)
{
    for (int column = 0; column <= 9; ++column)
        if (lit(form, column, row))
            return column;
    return -1;
}

// Zerno's floors 2 and 3 take from rows 2 and 4 at column 9; those rows run rightwards.
int rightDistance(const TForm1& form, int row)
{
    for (int column = 9; column >= 0; --column)
        if (lit(form, column, row))
            return 9 - column;
    return -1;
}

int nearestFloor(const int distance[4], int level)
{
    int best = level;
    int bestDistance = -1;
    for (int floor = 1; floor <= 3; ++floor) {
        const int d = distance[floor];
        if (d < 0)
            continue;
        const bool better = bestDistance < 0 || d < bestDistance
                         || (d == bestDistance && std::abs(floor - level) < std::abs(best - level));
        if (better) {
            best = floor;
            bestDistance = d;
        }
    }
    return best;
}

uint16_t moveTowards(int target, int level, uint16_t up, uint16_t down)
{
    if (level < 1 || level > 3 || target == level)
        return 0;
    return target > level ? up : down;
}

}  // namespace

// The distances are how many of its own side's belt ticks the nearest parcel on each floor
// (1..3) needs to reach the worker's drop spot there; -1 for a floor with no parcel coming.
uint16_t folkoMove(const TForm1& form)
{
    if (!form.GameRunning || !form.FolkoFree)
        return 0;
    const int distance[4] = {-1, leftDistance(form, 1), leftDistance(form, 3), leftDistance(form, 5)};
    return moveTowards(nearestFloor(distance, form.FolkoLevel), form.FolkoLevel, form.KeyCodes[1],
                       form.KeyCodes[2]);
}

uint16_t zernoMove(const TForm1& form)
{
    if (!form.GameRunning || !form.ZernoFree)
        return 0;
    int distance[4] = {-1, -1, rightDistance(form, 2), rightDistance(form, 4)};
    // The feed belt brings new parcels from column 12 down to Zerno's lowest spot at column 10.
    for (int column = 10; column <= 12 && distance[1] < 0; ++column)
        if (lit(form, column, 1))
            distance[1] = column - 10;
    return moveTowards(nearestFloor(distance, form.ZernoLevel), form.ZernoLevel, form.KeyCodes[3],
                       form.KeyCodes[4]);
}
