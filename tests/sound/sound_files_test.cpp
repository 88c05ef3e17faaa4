// The five wave files: what the generator writes is what is in the sound folder, and each
// sound suits how often the device repeats it.
#include <cmath>

#include "tests/sound/sound_test_support.h"

using namespace soundtest;

namespace {

struct Expected {
    const char* file;
    long longestMs;   // the event repeats this soon, so the sound must be over by then
};

TEST(SoundFiles, AreShortMonoBeepsThatStartAndEndInSilence)
{
    // The belt tick comes every 125 ms at its fastest and the bonus count (the same file)
    // every 150 ms; the miss sounds follow each other 200 ms apart, the second alarm 400 ms.
    const Expected expected[] = {
        {"Pack.wav", 60}, {"Point.wav", 150}, {"Char.wav", 40}, {"Miss.wav", 190}, {"Miss2.wav", 390}};
    std::vector<std::vector<int16_t>> all;
    for (const Expected& e : expected) {
        const std::vector<int16_t> samples = waveSamples(soundFolder / e.file);
        ASSERT_FALSE(samples.empty()) << e.file;
        EXPECT_GE(milliseconds(samples), 10) << e.file;
        EXPECT_LE(milliseconds(samples), e.longestMs) << e.file;
        EXPECT_LE(std::abs(samples.front()), 64) << e.file << " starts with a click";
        EXPECT_LE(std::abs(samples.back()), 64) << e.file << " ends with a click";
        int peak = 0;
        for (int16_t s : samples)
            peak = std::max(peak, std::abs(int{s}));
        // Loud enough to hear, and quiet enough that two sounds together never clip.
        EXPECT_GE(peak, 6000) << e.file;
        EXPECT_LE(peak, 16000) << e.file;
        for (const std::vector<int16_t>& other : all)
            EXPECT_NE(samples, other) << e.file << " is the same as an earlier file";
        all.push_back(samples);
    }
}

TEST(SoundFiles, AreWhatTheGeneratorWrites)
{
    ScratchFolder scratch;
    const std::string command = std::string(SOUNDGEN_PROGRAM) + " " + scratch.path().string();
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* file : waveFiles) {
        std::ifstream fresh(scratch.path() / file, std::ios::binary);
        std::ifstream stored(soundFolder / file, std::ios::binary);
        const std::string freshBytes{std::istreambuf_iterator<char>(fresh), {}};
        const std::string storedBytes{std::istreambuf_iterator<char>(stored), {}};
        EXPECT_FALSE(freshBytes.empty()) << file;
        EXPECT_TRUE(freshBytes == storedBytes) << file << " differs: rebuild the `sounds` target";
    }
}

}  // namespace
