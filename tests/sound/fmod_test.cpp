// The sound library layer, run on SDL's disk driver so that what the mixer sends to the device
// can be read back and compared with the wave files.
#include "sound/fmod.h"

#include <atomic>
#include <csignal>
#include <set>

#include "tests/sound/sound_test_support.h"

using namespace soundtest;

namespace {

// Counts the bytes the mixer hands to the device, to tell where in the output a call fell.
std::atomic<long> mixedBytes{0};

void countMixedBytes(const short*, int frames)
{
    mixedBytes += frames * 4;
}

class DiskOutput : public testing::Test {
protected:
    void SetUp() override
    {
        useDiskOutput(outputFile);
        ASSERT_EQ(FSOUND_Init(22050, 64, 0), 1);
        ASSERT_EQ(FSOUND_SetOutput(1), 1);
        ASSERT_EQ(fsound::outputDriver(), "disk");
        mixedBytes = 0;
        fsound::setMixObserver(countMixedBytes);
    }
    void TearDown() override
    {
        FSOUND_Close();
        fsound::setMixObserver(nullptr);
    }

    int load(const char* file) { return FSOUND_Sample_Load(-1, (soundFolder / file).c_str(), 8192, 0); }

    static bool waitForPause()
    {
        for (int i = 0; i < 2000 && !fsound::mixerPaused(); ++i)
            SDL_Delay(1);
        return fsound::mixerPaused();
    }

    static long mixedFrames() { return mixedBytes / 4; }

    // Waits for the mixer rather than the clock, so that a slow machine only makes it slower;
    // a mixer that has paused mixes nothing more until the next play.
    static void waitForMixedFrames(long frames)
    {
        const long until = mixedFrames() + frames;
        for (int i = 0; i < 2000 && mixedFrames() < until && !fsound::mixerPaused(); ++i)
            SDL_Delay(1);
    }

    // Closing the library flushes and closes the file.
    std::vector<int16_t> closeAndReadOutput()
    {
        FSOUND_Close();
        return diskOutput(outputFile);
    }

    ScratchFolder scratch;
    fs::path outputFile = scratch.path() / "output.raw";
};

TEST_F(DiskOutput, EachSampleReachesTheOutputUnchanged)
{
    std::vector<std::vector<int16_t>> samples;
    for (const char* file : waveFiles) {
        const int handle = load(file);
        ASSERT_NE(handle, 0) << file;
        samples.push_back(waveSamples(soundFolder / file));
        EXPECT_GE(FSOUND_PlaySound(-1, handle), 0) << file;
        waitUntilQuiet();
    }
    const std::vector<int16_t> output = closeAndReadOutput();

    long from = 0;
    long sounding = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const long at = findSample(output, samples[i], from);
        ASSERT_GE(at, 0) << waveFiles[i] << " is not in the output";
        EXPECT_EQ(soundingFrames(output, from, at), 0) << "noise before " << waveFiles[i];
        from = at + static_cast<long>(samples[i].size());
        sounding += soundingFrames(samples[i]);
    }
    EXPECT_EQ(soundingFrames(output, from), 0) << "noise after the last sample";
    EXPECT_EQ(soundingFrames(output), sounding);
}

TEST_F(DiskOutput, OverlappingSamplesAreMixedIntoTheirSum)
{
    const int miss = load("Miss.wav");
    const int point = load("Point.wav");
    const int missChannel = FSOUND_PlaySound(-1, miss);
    waitForMixedFrames(900);
    const int pointChannel = FSOUND_PlaySound(-1, point);
    EXPECT_GE(missChannel, 0);
    EXPECT_GE(pointChannel, 0);
    EXPECT_NE(missChannel, pointChannel);
    waitUntilQuiet();
    const std::vector<int16_t> output = closeAndReadOutput();

    // Take the first sample away where it starts; what is left must be exactly the second.
    const std::vector<int16_t> missSamples = waveSamples(soundFolder / "Miss.wav");
    const std::vector<int16_t> pointSamples = waveSamples(soundFolder / "Point.wav");
    const long missAt = firstSound(output) - firstSound(missSamples);
    ASSERT_GE(missAt, 0);
    std::vector<int> rest(output.begin(), output.end());
    for (size_t i = 0; i < missSamples.size(); ++i)
        rest[static_cast<size_t>(missAt) + i] -= missSamples[i];
    std::vector<int16_t> restSamples(rest.begin(), rest.end());
    const long pointAt = findSample(restSamples, pointSamples);
    ASSERT_GE(pointAt, 0) << "the second sample is not in the output";
    EXPECT_GT(pointAt, missAt);
    EXPECT_LT(pointAt, missAt + static_cast<long>(missSamples.size())) << "the two did not overlap";
    for (size_t i = 0; i < pointSamples.size(); ++i)
        restSamples[static_cast<size_t>(pointAt) + i] -= pointSamples[i];
    EXPECT_EQ(soundingFrames(restSamples), 0) << "the output is more than the sum of the two";
}

TEST_F(DiskOutput, StopOnAllChannelsSilencesTheNextBuffer)
{
    EXPECT_GE(FSOUND_PlaySound(-1, load("Miss2.wav")), 0);
    EXPECT_GE(FSOUND_PlaySound(-1, load("Miss.wav")), 0);
    waitForMixedFrames(1300);
    const long before = mixedFrames();
    EXPECT_EQ(FSOUND_StopSound(-3), 1);
    const long after = mixedFrames();
    waitForMixedFrames(2000);
    const std::vector<int16_t> output = closeAndReadOutput();
    // The count started just after the device opened: a buffer may have gone out before it.
    const long uncounted = static_cast<long>(output.size()) - mixedFrames();
    ASSERT_GE(uncounted, 0);
    ASSERT_LE(uncounted, 2 * fsound::mixChunkFrames);
    const long stopFrom = before + uncounted;
    const long stopTo = after + uncounted;

    EXPECT_GT(soundingFrames(output, stopFrom - fsound::mixChunkFrames, stopFrom), 0) << "not sounding before the stop";
    EXPECT_EQ(soundingFrames(output, stopTo), 0) << "still sounding after the stop";
    EXPECT_GT(static_cast<long>(output.size()) - stopTo, 3 * fsound::mixChunkFrames) << "too little output to judge";
}

TEST_F(DiskOutput, SixtyFourSoundsPlayAtOnceOnTheirOwnChannels)
{
    const int miss2 = load("Miss2.wav");
    std::set<int> channels;
    for (int i = 0; i < 64; ++i)
        channels.insert(FSOUND_PlaySound(-1, miss2));
    EXPECT_EQ(channels.size(), 64u);
    EXPECT_EQ(*channels.begin(), 0);
    EXPECT_EQ(*channels.rbegin(), 63);
}

TEST_F(DiskOutput, ManyOverlappingPlaysClipAndNeverWrap)
{
    // A steady level played on every channel at once sums to 64 times itself, far past the
    // 16-bit range: the output must stay at the end of the range on the level's own side.
    for (const int16_t level : {int16_t{1000}, int16_t{-1000}}) {
        const fs::path file = scratch.path() / ("level" + std::to_string(level) + ".wav");
        writeWave(file, std::vector<int16_t>(11025, level));
        const int handle = FSOUND_Sample_Load(-1, file.c_str(), 8192, 0);
        for (int i = 0; i < 64; ++i)
            FSOUND_PlaySound(-1, handle);
        waitUntilQuiet();
    }
    const std::vector<int16_t> output = closeAndReadOutput();

    const auto firstNegative = std::find_if(output.begin(), output.end(), [](int16_t s) { return s < 0; });
    ASSERT_NE(firstNegative, output.end());
    EXPECT_TRUE(std::all_of(firstNegative, output.end(), [](int16_t s) { return s <= 0; })) << "wrapped round";
    EXPECT_EQ(*std::max_element(output.begin(), firstNegative), 32767);
    EXPECT_EQ(*std::min_element(firstNegative, output.end()), -32768);
}

TEST_F(DiskOutput, APlayWhilePausedSoundsFromTheFirstBufferMixedAfterIt)
{
    const int pack = load("Pack.wav");
    ASSERT_TRUE(waitForPause()) << "the mixer runs with nothing to play";
    const long playedAt = mixedFrames();
    EXPECT_GE(FSOUND_PlaySound(-1, pack), 0);
    waitUntilQuiet();
    ASSERT_TRUE(waitForPause()) << "the mixer runs on after the sound";
    const std::vector<int16_t> output = closeAndReadOutput();

    // Nothing lost and nothing waited for: the sample starts where the first buffer after the
    // play starts, so it reaches the device within one buffer of the call.
    const long uncounted = static_cast<long>(output.size()) - mixedFrames();
    EXPECT_EQ(findSample(output, waveSamples(soundFolder / "Pack.wav")), uncounted + playedAt);
}

TEST_F(DiskOutput, ZeroUnknownAndFreedHandlesPlayNothing)
{
    const int first = load("Pack.wav");
    const int second = load("Pack.wav");
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second) << "a second load of a file is a sample of its own";
    FSOUND_Sample_Free(second);
    FSOUND_Sample_Free(0);
    FSOUND_Sample_Free(12345);
    EXPECT_EQ(FSOUND_PlaySound(-1, 0), -1);
    EXPECT_EQ(FSOUND_PlaySound(-1, 12345), -1);
    EXPECT_EQ(FSOUND_PlaySound(-1, second), -1);
    waitForMixedFrames(900);
    EXPECT_GE(FSOUND_PlaySound(-1, first), 0) << "freeing one copy took the other";
    waitUntilQuiet();
    const std::vector<int16_t> output = closeAndReadOutput();

    const std::vector<int16_t> pack = waveSamples(soundFolder / "Pack.wav");
    EXPECT_GE(findSample(output, pack), 0);
    EXPECT_EQ(soundingFrames(output), soundingFrames(pack)) << "something besides the one play sounded";
}

TEST_F(DiskOutput, FreeingAPlayingSampleStopsIt)
{
    const int miss = load("Miss.wav");
    const std::vector<int16_t> missSamples = waveSamples(soundFolder / "Miss.wav");
    EXPECT_GE(FSOUND_PlaySound(-1, miss), 0);
    waitForMixedFrames(600);
    FSOUND_Sample_Free(miss);
    // Long enough for the whole sample to have played, had it gone on.
    waitForMixedFrames(static_cast<long>(missSamples.size()));
    const long sounded = soundingFrames(closeAndReadOutput());
    EXPECT_GT(sounded, 0);
    EXPECT_LT(sounded, soundingFrames(missSamples) / 2);
}

TEST_F(DiskOutput, ChangingTheOutputKeepsTheLoadedSamples)
{
    const int point = load("Point.wav");
    ASSERT_EQ(FSOUND_SetOutput(2), 1);
    EXPECT_EQ(fsound::outputDriver(), "disk") << "SDL_AUDIODRIVER must outrank the output type";
    EXPECT_GE(FSOUND_PlaySound(-1, point), 0);
    waitUntilQuiet();
    EXPECT_GE(findSample(closeAndReadOutput(), waveSamples(soundFolder / "Point.wav")), 0);
}

TEST_F(DiskOutput, TheProgramKeepsItsInterruptAndTerminateSignals)
{
    // SDL only takes a signal left at its default, so start from the default (a shell may
    // have started this test with SIGINT ignored) and open the output again.
    struct sigaction defaults {}, saved[2];
    defaults.sa_handler = SIG_DFL;
    sigaction(SIGINT, &defaults, &saved[0]);
    sigaction(SIGTERM, &defaults, &saved[1]);
    ASSERT_EQ(FSOUND_SetOutput(1), 1);
    for (int signal : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        sigaction(signal, nullptr, &action);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << "signal " << signal;
    }
    sigaction(SIGINT, &saved[0], nullptr);
    sigaction(SIGTERM, &saved[1], nullptr);
}

TEST(FsoundLoad, OnlyAMissingOrUnreadableFileFailsTheLoad)
{
    ScratchFolder scratch;
    useNoAudioDevice();
    ASSERT_EQ(FSOUND_Init(22050, 64, 0), 1);
    EXPECT_EQ(FSOUND_SetOutput(2), 0) << "no device should open";
    EXPECT_EQ(fsound::outputDriver(), "");

    writeFile(scratch.path() / "text.wav", "this is not a wave file\n");
    writeFile(scratch.path() / "empty.wav", "");
    EXPECT_EQ(FSOUND_Sample_Load(-1, (scratch.path() / "absent.wav").c_str(), 8192, 0), 0);
    EXPECT_EQ(FSOUND_Sample_Load(-1, (scratch.path() / "text.wav").c_str(), 8192, 0), 0);
    EXPECT_EQ(FSOUND_Sample_Load(-1, (scratch.path() / "empty.wav").c_str(), 8192, 0), 0);
    EXPECT_EQ(FSOUND_Sample_Load(-1, scratch.path().c_str(), 8192, 0), 0) << "a folder is not a file";

    // Without a device every file still loads, and playing is silence, not an error.
    std::set<int> handles;
    for (const char* file : waveFiles) {
        const int handle = FSOUND_Sample_Load(-1, (soundFolder / file).c_str(), 8192, 0);
        EXPECT_NE(handle, 0) << file;
        handles.insert(handle);
        EXPECT_EQ(FSOUND_PlaySound(-1, handle), -1);
    }
    EXPECT_EQ(handles.size(), 5u);
    EXPECT_EQ(FSOUND_StopSound(-3), 0);
    for (int handle : handles)
        FSOUND_Sample_Free(handle);
    FSOUND_Close();
}

TEST(FsoundLifetime, EveryCallIsHarmlessBeforeInitAndAfterClose)
{
    ScratchFolder scratch;
    useDiskOutput(scratch.path() / "output.raw");
    FSOUND_Close();
    FSOUND_Sample_Free(0);
    FSOUND_Sample_Free(1);
    EXPECT_EQ(FSOUND_Sample_Load(-1, (soundFolder / "Pack.wav").c_str(), 8192, 0), 0);
    EXPECT_EQ(FSOUND_PlaySound(-1, 1), -1);
    EXPECT_EQ(FSOUND_StopSound(-3), 0);
    FSOUND_Close();
    EXPECT_FALSE(fs::exists(scratch.path() / "output.raw")) << "a device opened without FSOUND_Init";

    // And a second run of the library after a close works like the first.
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(FSOUND_Init(22050, 64, 0), 1);
        ASSERT_EQ(FSOUND_SetOutput(1), 1);
        const int pack = FSOUND_Sample_Load(-1, (soundFolder / "Pack.wav").c_str(), 8192, 0);
        EXPECT_NE(pack, 0);
        EXPECT_GE(FSOUND_PlaySound(-1, pack), 0);
        FSOUND_Close();
        FSOUND_Close();
    }
}

}  // namespace
