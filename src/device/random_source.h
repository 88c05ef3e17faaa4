// The random draws of the belt: a std::mt19937 reseeded from the time of day, each draw its next
// raw output modulo n. Fixed so that a script replays the same on every build and library
// (std::uniform_int_distribution differs between standard libraries).
#pragma once

#include <cstdint>
#include <random>

class RandomSource {
public:
    void reseed(uint32_t seed) { engine_.seed(seed); }
    int draw(int n) { return int(engine_() % uint32_t(n)); }

private:
    std::mt19937 engine_;
};
