// Suona, Silenzio, starting sound and releasing it, seen through the calls they make to the
// sound library and, on the disk driver, through what reaches the output.
#include "sound/sound.h"

#include <set>

#include "sound/fmod.h"
#include "tests/sound/sound_test_support.h"

using namespace soundtest;

namespace {

constexpr Sample allSamples[] = {Sample::SndPack, Sample::SndPoint, Sample::SndBonus,
                                 Sample::SndChar, Sample::SndMiss, Sample::SndMiss2};

class SoundCalls : public testing::Test {
protected:
    void SetUp() override { fsound::setCallLog(&calls); }
    void TearDown() override
    {
        fsound::setCallLog(nullptr);
        FSOUND_Close();
    }

    std::vector<std::string> loads(const fs::path& folder) const
    {
        std::vector<std::string> expected;
        for (const char* file : {"Pack.wav", "Point.wav", "Pack.wav", "Char.wav", "Miss.wav", "Miss2.wav"})
            expected.push_back("FSOUND_Sample_Load(-1, \"" + (folder / file).string() + "\", 8192, 0)");
        return expected;
    }

    ScratchFolder scratch;
    std::vector<std::string> calls;
    Sound sound;
};

std::vector<std::string> frees(const std::vector<int>& handles)
{
    std::vector<std::string> expected;
    for (int handle : handles)
        expected.push_back("FSOUND_Sample_Free(" + std::to_string(handle) + ")");
    expected.push_back("FSOUND_Close()");
    return expected;
}

TEST_F(SoundCalls, NoSoundCallsNothingUntilReleaseThenFreesSixZeroHandlesAndCloses)
{
    for (Sample sample : allSamples)
        sound.Suona(sample);
    sound.Silenzio();
    EXPECT_TRUE(calls.empty());
    sound.release();
    EXPECT_EQ(calls, frees({0, 0, 0, 0, 0, 0}));
}

TEST_F(SoundCalls, StartSoundLoadsTheSixInOrderAfterInitAndOutputWithOrWithoutADevice)
{
    // No device opens here: the samples must load all the same.
    useNoAudioDevice();
    const fs::path folder = scratch.soundCopy();
    ASSERT_TRUE(sound.startSound(2, folder.string()));

    std::vector<std::string> expected = {"FSOUND_Init(22050, 64, 0)", "FSOUND_SetOutput(2)"};
    for (const std::string& load : loads(folder))
        expected.push_back(load);
    EXPECT_EQ(calls, expected);
    const std::set<int> handles = {sound.SndPack, sound.SndPoint, sound.SndBonus,
                                   sound.SndChar, sound.SndMiss,  sound.SndMiss2};
    EXPECT_EQ(handles.size(), 6u) << "SndBonus is a sample of its own, not SndPack again";
    EXPECT_EQ(handles.count(0), 0u);
}

TEST_F(SoundCalls, EachRequestPlaysItsOwnHandleOnlyWhileSoundIsOn)
{
    useNoAudioDevice();
    ASSERT_TRUE(sound.startSound(1, scratch.soundCopy().string()));
    const int handles[] = {sound.SndPack, sound.SndPoint, sound.SndBonus,
                           sound.SndChar, sound.SndMiss,  sound.SndMiss2};
    calls.clear();
    for (Sample sample : allSamples)
        sound.Suona(sample);
    sound.Silenzio();
    EXPECT_TRUE(calls.empty()) << "requests must be dropped while SoundOn is false";

    sound.SoundOn = true;
    std::vector<std::string> expected;
    for (size_t i = 0; i < std::size(allSamples); ++i) {
        sound.Suona(allSamples[i]);
        expected.push_back("FSOUND_PlaySound(-1, " + std::to_string(handles[i]) + ")");
    }
    sound.Silenzio();
    expected.push_back("FSOUND_StopSound(-3)");
    EXPECT_EQ(calls, expected);

    calls.clear();
    sound.release();
    EXPECT_EQ(calls, frees({handles, handles + 6}));
}

TEST_F(SoundCalls, MissingOrUnreadablePackWavFailsTheStart)
{
    useNoAudioDevice();
    EXPECT_FALSE(sound.startSound(1, scratch.soundCopy({"Pack.wav"}).string()));
    EXPECT_EQ(sound.SndPack, 0);
    EXPECT_EQ(sound.SndBonus, 0);
    EXPECT_EQ(calls.size(), 8u) << "all six loads are tried before the check";
    sound.release();

    Sound second;
    writeFile(scratch.path() / "SOUND" / "Pack.wav", "RIFF but nothing more");
    EXPECT_FALSE(second.startSound(1, (scratch.path() / "SOUND").string()));
    second.release();
}

TEST_F(SoundCalls, MissingPointWavSilencesOnlyScoring)
{
    const fs::path output = scratch.path() / "output.raw";
    useDiskOutput(output);
    ASSERT_TRUE(sound.startSound(1, scratch.soundCopy({"Point.wav"}).string()));
    EXPECT_EQ(sound.SndPoint, 0);
    sound.SoundOn = true;
    sound.Suona(Sample::SndPoint);
    waitUntilQuiet();
    sound.Suona(Sample::SndChar);
    waitUntilQuiet();
    sound.release();

    const std::vector<int16_t> frames = diskOutput(output);
    const std::vector<int16_t> step = waveSamples(soundFolder / "Char.wav");
    EXPECT_GE(findSample(frames, step), 0) << "the other sounds must still play";
    EXPECT_EQ(soundingFrames(frames), soundingFrames(step)) << "a point sounded without its file";
}

}  // namespace
