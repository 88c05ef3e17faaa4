// The sound library the device talks to: the seven FSOUND_* calls it makes, with the arguments it
// passes, carried out over SDL2's own audio.
//
// One output at a time, up to maxchannels channels, every sample converted at load time to the
// device's format (the mix rate given to FSOUND_Init, 16-bit, stereo) and mixed in SDL's audio
// callback, clipped where the sum leaves the 16-bit range. Calls come from one thread only (the
// user-interface thread); mixing runs on SDL's audio thread, which waits while no channel plays
// (after a few buffers of silence) and mixes again from the first buffer after the next play.
//
// Samples are decoded and kept whether or not an audio device could be opened: on a machine
// without sound the program plays silence, and only a missing or unreadable file fails a load.
//
// Output types and the SDL audio driver each one asks for:
//   1  the desktop's sound server: "pipewire", else "pulseaudio"
//   2  the sound card directly:   "alsa"
//   other values: SDL's own choice.
// When the asked driver is not there or cannot open a device, SDL's own choice is tried next.
// An SDL_AUDIODRIVER set in the environment overrides both, and is then the only driver tried
// (SDL_AUDIODRIVER=disk writes the mixed output to the file SDL_DISKAUDIOFILE; =dummy discards it).
#pragma once

#include <string>
#include <vector>

#include "common/expected.h"

// Gets the library ready to load and play: mixrate in Hz, maxchannels channels that may sound
// at once; flags are accepted and unused. No device is opened yet: FSOUND_SetOutput opens it (or
// the first play, with SDL's own choice, when no output was set). SDL2 is opened here, not at
// program start. 1 when ready, 0 on bad arguments or when the library cannot be opened
// (fsound::init says why). A second call before FSOUND_Close keeps the running library as it is.
int FSOUND_Init(int mixrate, int maxchannels, unsigned flags);

// Opens the output for outputtype (table above), closing the one open before; playing sounds
// stop, loaded samples stay. 1 when a device opened, 0 when output is silent (no device).
// Before FSOUND_Init it only records the type, for the device the first play will open.
int FSOUND_SetOutput(int outputtype);

// Reads a wave file into a sample. index -1 takes a free slot, 0 or above that slot (freeing
// what it held). mode and offset_or_length are accepted and unused: a whole file is always
// read. Returns the sample's handle, never 0, or 0 when the file is missing or unreadable or
// the library is not initialised.
int FSOUND_Sample_Load(int index, const char* name, unsigned mode, int offset_or_length);

// Plays the sample once on channel (-1: any free one), mixed with whatever already
// sounds. Returns the channel used, or -1 when nothing plays (handle 0 or unknown, no free
// channel, no device, library not initialised).
int FSOUND_PlaySound(int channel, int sample);

// Stops the channel at once (-3: every channel). 1 done, 0 on a bad channel or when
// there is nothing to stop.
int FSOUND_StopSound(int channel);

// Releases the sample, stopping the channels playing it. Handle 0 or unknown: nothing.
void FSOUND_Sample_Free(int sample);

// Stops everything, releases every sample and the device. Safe at any time, also when the
// library was never initialised, and more than once.
void FSOUND_Close();

// Our own additions, which the FSOUND_* calls above do not have: the channel arguments, the
// output's driver and library, the reasons for failures, and hooks for the tests and the benchmarks.
namespace fsound {

// The channel arguments the program passes besides a channel number.
constexpr int anyFreeChannel = -1;
constexpr int allChannels = -3;

// From now on every FSOUND_* call is appended to *log as text, e.g. "FSOUND_Sample_Free(0)";
// nullptr stops it.
void setCallLog(std::vector<std::string>* log);

// The SDL audio driver the output opened on; empty while no device is open.
std::string outputDriver();

// FSOUND_Init and FSOUND_Sample_Load (logged as them) with the reason for a failure, e.g. "File
// not found" or "Complex WAVE files not supported".
Expected<void> init(int mixrate, int maxchannels, unsigned flags);
Expected<int> loadSample(int index, const char* name, unsigned mode, int offset_or_length);

// Frames per mixing buffer: 256 at 22050 Hz, so a play waits at most about 11.6 ms for the
// buffer that starts it.
constexpr int mixChunkFrames = 256;

// Buffers of silence mixed after the last channel ends (or after a stop) before the mixing
// thread waits: the device's own queue ends on silence, never on a sound cut off by the wait.
constexpr int silentBuffersBeforePause = 4;

// The library FSOUND_Init opens: SDL 2 by its soname unless set to another soname or a path.
std::string libraryName();
void setLibraryName(const std::string& soname);

// Called on the audio thread with every mixed buffer (stereo frames, frames of them), just
// before it goes to the device; nullptr stops it.
using MixObserver = void (*)(const short* samples, int frames);
void setMixObserver(MixObserver observer);

// How many channels are sounding now.
int playingChannels();

// True while an output is open and its mixing thread waits for the next play.
bool mixerPaused();

}  // namespace fsound
