#include "sound/sound.h"

#include <algorithm>

#include "sound/fmod.h"

namespace {

// What the program passes to the library.
constexpr int mixRate = 22050;
constexpr int channelCount = 64;
constexpr unsigned loadMode = 0x2000;

}  // namespace

int Sound::handleOf(Sample sample) const
{
    switch (sample) {
    case Sample::SndPack: return SndPack;
    case Sample::SndPoint: return SndPoint;
    case Sample::SndBonus: return SndBonus;
    case Sample::SndChar: return SndChar;
    case Sample::SndMiss: return SndMiss;
    case Sample::SndMiss2: return SndMiss2;
    }
    return 0;
}

void Sound::Suona(Sample sample)
{
    if (SoundOn)
        FSOUND_PlaySound(fsound::anyFreeChannel, handleOf(sample));
}

void Sound::Silenzio()
{
    if (SoundOn)
        FSOUND_StopSound(fsound::allChannels);
}

bool Sound::startSound(int outputType, const std::string& soundFolder)
{
    unreadableFiles.clear();
    libraryError.clear();
    const auto load = [&](const char* file) {
        const std::string path = soundFolder + "/" + file;
        const Expected<int> handle = fsound::loadSample(-1, path.c_str(), loadMode, 0);
        if (handle)
            return *handle;
        const std::string failure = path + ": " + handle.error();
        if (std::find(unreadableFiles.begin(), unreadableFiles.end(), failure) == unreadableFiles.end())
            unreadableFiles.push_back(failure);
        return 0;
    };
    if (Expected<void> started = fsound::init(mixRate, channelCount, 0); !started) {
        libraryError = started.error();
        return true;
    }
    FSOUND_SetOutput(outputType);
    SndPack = load("Pack.wav");
    SndPoint = load("Point.wav");
    SndBonus = load("Pack.wav");
    SndChar = load("Char.wav");
    SndMiss = load("Miss.wav");
    SndMiss2 = load("Miss2.wav");
    return SndPack != 0;
}

void Sound::release()
{
    for (int handle : {SndPack, SndPoint, SndBonus, SndChar, SndMiss, SndMiss2})
        FSOUND_Sample_Free(handle);
    FSOUND_Close();
    SndPack = SndPoint = SndBonus = SndChar = SndMiss = SndMiss2 = 0;
}

std::string Sound::libraryName()
{
    return fsound::libraryName();
}
