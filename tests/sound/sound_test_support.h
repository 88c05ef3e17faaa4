// Helpers shared by the sound suites: a scratch folder, the sound files, and the raw output the
// disk audio driver writes.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "sound/fmod.h"

namespace soundtest {

namespace fs = std::filesystem;

inline const fs::path soundFolder = ZERNO_SOUND_DIR;
inline const char* const waveFiles[] = {"Pack.wav", "Point.wav", "Char.wav", "Miss.wav", "Miss2.wav"};

// A fresh folder for one test, removed when the test ends.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("zerno-sound-" + std::to_string(getpid()) + "-" + test->test_suite_name() + "-" + test->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~ScratchFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

    // A copy of the sound folder without the files named in missing.
    fs::path soundCopy(const std::vector<std::string>& missing = {}) const
    {
        const fs::path copy = path_ / "SOUND";
        fs::create_directories(copy);
        for (const char* file : waveFiles)
            if (std::find(missing.begin(), missing.end(), file) == missing.end())
                fs::copy_file(soundFolder / file, copy / file, fs::copy_options::overwrite_existing);
        return copy;
    }

private:
    fs::path path_;
};

inline void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// A wave file of these samples, 16-bit mono at 22050 Hz.
inline void writeWave(const fs::path& path, const std::vector<int16_t>& samples)
{
    std::string bytes;
    const auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    const auto dataSize = static_cast<uint32_t>(samples.size() * 2);
    bytes += "RIFF";
    put(36 + dataSize, 4);
    bytes += "WAVEfmt ";
    for (const auto& [value, size] : {std::pair{16u, 4}, {1u, 2}, {1u, 2}, {22050u, 4}, {44100u, 4}, {2u, 2}, {16u, 2}})
        put(value, size);
    bytes += "data";
    put(dataSize, 4);
    for (int16_t sample : samples)
        put(static_cast<uint16_t>(sample), 2);
    writeFile(path, bytes);
}

// Sends the mixed output to a file (the disk driver), or to a driver that does not exist, so
// that no device opens. The environment outranks the output types the program chooses.
inline void useDiskOutput(const fs::path& file)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
}

inline void useNoAudioDevice()
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
}

// The samples of one of our wave files, which must be 16-bit mono at 22050 Hz.
inline std::vector<int16_t> waveSamples(const fs::path& path)
{
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path.c_str(), &spec, &data, &length)) {
        ADD_FAILURE() << path << ": " << SDL_GetError();
        return {};
    }
    EXPECT_EQ(spec.format, AUDIO_S16LSB) << path;
    EXPECT_EQ(spec.channels, 1) << path;
    EXPECT_EQ(spec.freq, 22050) << path;
    std::vector<int16_t> samples(length / 2);
    std::memcpy(samples.data(), data, samples.size() * 2);
    SDL_FreeWAV(data);
    return samples;
}

// The disk driver's file: 16-bit stereo frames at 22050 Hz. Our output is mono sent to both
// sides, so a frame is given as its left sample after checking the right one matches it.
inline std::vector<int16_t> diskOutput(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<int16_t> stereo(fs::file_size(file) / 2);
    in.read(reinterpret_cast<char*>(stereo.data()), static_cast<std::streamsize>(stereo.size() * 2));
    std::vector<int16_t> frames(stereo.size() / 2);
    size_t unequal = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        frames[i] = stereo[2 * i];
        unequal += stereo[2 * i] != stereo[2 * i + 1];
    }
    EXPECT_EQ(unequal, 0u) << "left and right differ";
    return frames;
}

// The first frame offset at or after from where all of sample lies in output, or -1.
inline long findSample(const std::vector<int16_t>& output, const std::vector<int16_t>& sample, long from = 0)
{
    if (sample.empty())
        return -1;
    for (long at = from; at + static_cast<long>(sample.size()) <= static_cast<long>(output.size()); ++at) {
        size_t i = 0;
        while (i < sample.size() && output[static_cast<size_t>(at) + i] == sample[i])
            ++i;
        if (i == sample.size())
            return at;
    }
    return -1;
}

inline long firstSound(const std::vector<int16_t>& samples, long from = 0)
{
    for (long i = from; i < static_cast<long>(samples.size()); ++i)
        if (samples[static_cast<size_t>(i)] != 0)
            return i;
    return -1;
}

inline long soundingFrames(const std::vector<int16_t>& samples, long from = 0, long to = -1)
{
    if (to < 0 || to > static_cast<long>(samples.size()))
        to = static_cast<long>(samples.size());
    long count = 0;
    for (long i = from; i < to; ++i)
        count += samples[static_cast<size_t>(i)] != 0;
    return count;
}

// Waits until every channel has finished and the last buffer has gone to the device.
inline void waitUntilQuiet()
{
    for (int i = 0; i < 1000 && fsound::playingChannels() > 0; ++i)
        SDL_Delay(2);
    SDL_Delay(40);
}

inline long milliseconds(const std::vector<int16_t>& samples)
{
    return static_cast<long>(samples.size()) * 1000 / 22050;
}

}  // namespace soundtest
