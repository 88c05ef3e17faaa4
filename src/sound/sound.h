// The device's sounds: six samples played as one-shot effects through the sound library.
#pragma once

#include <string>
#include <vector>

#include "device/ports.h"

class Sound : public SoundPort {
public:
    // Set by PLAY when it chooses an output (true) or "(no sound)" (false); every request is
    // dropped while it is false.
    bool SoundOn = false;

    // Library handles, 0 until loaded and for a file that failed to load. SndBonus is Pack.wav
    // loaded a second time, a sample of its own.
    int SndPack = 0;
    int SndPoint = 0;
    int SndBonus = 0;
    int SndChar = 0;
    int SndMiss = 0;
    int SndMiss2 = 0;

    void Suona(Sample sample) override;
    void Silenzio() override;

    // Starts the library on outputType (1 or 2) and loads the six samples from soundFolder.
    // False when Pack.wav could not be loaded: the sound folder is not properly installed, and
    // the caller reports it. Any other file that fails only leaves its handle 0. Either way
    // each file that failed is in unreadableFiles. When the sound library itself cannot be
    // loaded no file is tried: libraryError says why, and every handle stays 0.
    bool startSound(int outputType, const std::string& soundFolder = "SOUND");

    // After startSound: empty, or the library that could not be loaded and the loader's reason.
    std::string libraryError;
    // The library startSound opens.
    static std::string libraryName();

    // After startSound: "path: why" for each wave file that could not be loaded, in load order
    // (Pack.wav once, although it is loaded twice).
    std::vector<std::string> unreadableFiles;

    // Frees the six samples and closes the library, whatever the mode, also when sound was
    // never started. Run once, as the device window closes.
    void release();

private:
    int handleOf(Sample sample) const;
};
