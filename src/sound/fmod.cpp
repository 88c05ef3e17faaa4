#include "fmod.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <utility>

#include "sdl_library.h"

namespace {

// A sample is its PCM in the mix format; the chunk handed to the mixer points into it.
struct LoadedSample {
    std::vector<Uint8> pcm;
    Mix_Chunk chunk{};
};

// More slots than any program of ours asks for; a larger index is refused, not allocated.
constexpr int maxSamples = 1024;
constexpr Uint16 mixFormat = AUDIO_S16SYS;
constexpr int mixChannels = 2;

void closeDevice();

struct Library {
    const SdlLibrary* sdl = nullptr;  // set by FSOUND_Init
    bool initialised = false;
    int mixRate = 0;
    int channels = 0;
    int outputType = 0;
    bool deviceTried = false;   // an output was chosen and tried since FSOUND_Init
    bool deviceOpen = false;
    std::string driver;
    std::vector<std::unique_ptr<LoadedSample>> slots;
    std::vector<std::string>* log = nullptr;
    std::string error;  // why the last load or FSOUND_Init failed

    // At exit the audio thread may still be mixing our samples: stop it before they go.
    ~Library()
    {
        log = nullptr;
        closeDevice();
    }
};

Library& lib()
{
    static Library library;
    return library;
}

void logCall(std::string text)
{
    if (lib().log)
        lib().log->push_back(std::move(text));
}

std::string args(std::initializer_list<std::string> values)
{
    std::string text;
    for (const std::string& value : values)
        text += (text.empty() ? "" : ", ") + value;
    return "(" + text + ")";
}

// One attempt at an output: driverList is a comma-separated list of SDL drivers, or nullptr
// for SDL's own choice. An SDL_AUDIODRIVER in the environment outranks the list.
bool openDevice(const char* driverList)
{
    Library& l = lib();
    // SDL would otherwise take over SIGINT and SIGTERM, and the program would no longer stop
    // on them.
    l.sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (driverList)
        l.sdl->SDL_SetHint(SDL_HINT_AUDIODRIVER, driverList);
    else
        l.sdl->SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    const bool up = l.sdl->SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    l.sdl->SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!up)
        return false;
    // No format changes allowed: SDL converts for the device if it must, so the mixer's format
    // is always the one every sample was converted to at load.
    if (l.sdl->Mix_OpenAudioDevice(l.mixRate, mixFormat, mixChannels, fsound::mixChunkFrames, nullptr, 0) != 0) {
        l.sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    l.sdl->Mix_AllocateChannels(l.channels);
    l.deviceOpen = true;
    const char* name = l.sdl->SDL_GetCurrentAudioDriver();
    l.driver = name ? name : "";
    return true;
}

void openOutput()
{
    Library& l = lib();
    l.deviceTried = true;
    const char* wanted = nullptr;
    if (l.outputType == 1)
        wanted = "pipewire,pulseaudio";
    else if (l.outputType == 2)
        wanted = "alsa";
    const char* fromEnvironment = std::getenv("SDL_AUDIODRIVER");
    if (fromEnvironment && *fromEnvironment)
        wanted = nullptr;
    if (wanted && openDevice(wanted))
        return;
    openDevice(nullptr);
}

void closeDevice()
{
    Library& l = lib();
    if (!l.deviceOpen)
        return;
    l.sdl->Mix_HaltChannel(-1);
    l.sdl->Mix_CloseAudio();
    l.sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
    l.deviceOpen = false;
    l.driver.clear();
}

// The first play opens the output when FSOUND_SetOutput did not.
bool deviceReady()
{
    Library& l = lib();
    if (!l.initialised)
        return false;
    if (!l.deviceTried)
        openOutput();
    return l.deviceOpen;
}

LoadedSample* findSample(int handle)
{
    Library& l = lib();
    if (handle <= 0 || handle > static_cast<int>(l.slots.size()))
        return nullptr;
    return l.slots[handle - 1].get();
}

void stopChannelsPlaying(const LoadedSample& sample)
{
    if (!lib().deviceOpen)
        return;
    for (int channel = 0; channel < lib().channels; ++channel)
        if (lib().sdl->Mix_GetChunk(channel) == &sample.chunk)
            lib().sdl->Mix_HaltChannel(channel);
}

// Decodes a wave file of any format SDL reads and converts it to the mix format. No device is
// needed for this, so a machine without one still loads every sample.
std::unique_ptr<LoadedSample> decodeWave(const char* path)
{
    std::error_code missing;
    if (!std::filesystem::exists(path, missing)) {
        lib().error = "the file is missing";
        return nullptr;
    }
    const SdlLibrary& sdl = *lib().sdl;
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 length = 0;
    // SDL would otherwise play a file cut short up to where it ends, and the damage would go
    // unnoticed: a data chunk shorter than it says makes the file unreadable.
    sdl.SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "strict");
    if (!sdl.SDL_LoadWAV_RW(sdl.SDL_RWFromFile(path, "rb"), 1, &spec, &data, &length)) {
        lib().error = sdl.SDL_GetError();
        return nullptr;
    }
    // SDL's own mono-to-stereo step goes through floating point and may move the quietest
    // samples by one; a mono file is converted as mono and then sent to both sides here, so
    // that a 16-bit file at the mix rate plays exactly as written.
    const int fileChannels = spec.channels == 1 ? 1 : mixChannels;
    std::vector<Uint8> converted;
    SDL_AudioStream* stream =
        sdl.SDL_NewAudioStream(spec.format, spec.channels, spec.freq, mixFormat, fileChannels, lib().mixRate);
    if (stream && sdl.SDL_AudioStreamPut(stream, data, static_cast<int>(length)) == 0 &&
        sdl.SDL_AudioStreamFlush(stream) == 0) {
        converted.resize(static_cast<size_t>(sdl.SDL_AudioStreamAvailable(stream)));
        const int got = sdl.SDL_AudioStreamGet(stream, converted.data(), static_cast<int>(converted.size()));
        converted.resize(got > 0 ? static_cast<size_t>(got) : 0);
    }
    const bool ok = stream != nullptr && !converted.empty();
    if (stream)
        sdl.SDL_FreeAudioStream(stream);
    sdl.SDL_FreeWAV(data);
    if (!ok) {
        lib().error = "its sound data cannot be converted for playing";
        return nullptr;
    }

    auto sample = std::make_unique<LoadedSample>();
    if (fileChannels == 1) {
        constexpr size_t bytesPerSample = 2;
        sample->pcm.resize(converted.size() * mixChannels);
        for (size_t at = 0, to = 0; at + bytesPerSample <= converted.size(); at += bytesPerSample)
            for (int side = 0; side < mixChannels; ++side, to += bytesPerSample)
                std::memcpy(&sample->pcm[to], &converted[at], bytesPerSample);
    } else {
        sample->pcm = std::move(converted);
    }
    sample->chunk.allocated = 0;
    sample->chunk.abuf = sample->pcm.data();
    sample->chunk.alen = static_cast<Uint32>(sample->pcm.size());
    sample->chunk.volume = MIX_MAX_VOLUME;
    return sample;
}

}  // namespace

int FSOUND_Init(int mixrate, int maxchannels, unsigned flags)
{
    logCall("FSOUND_Init" + args({std::to_string(mixrate), std::to_string(maxchannels), std::to_string(flags)}));
    Library& l = lib();
    if (l.initialised)
        return 1;
    if (mixrate < 4000 || mixrate > 192000 || maxchannels < 1 || maxchannels > 4096) {
        l.error = "bad mix rate or channel count";
        return 0;
    }
    l.sdl = sdlLibrary(&l.error);
    if (!l.sdl)
        return 0;
    l.mixRate = mixrate;
    l.channels = maxchannels;
    l.deviceTried = false;
    l.initialised = true;
    return 1;
}

int FSOUND_SetOutput(int outputtype)
{
    logCall("FSOUND_SetOutput" + args({std::to_string(outputtype)}));
    Library& l = lib();
    l.outputType = outputtype;
    if (!l.initialised)
        return 0;
    closeDevice();
    openOutput();
    return l.deviceOpen ? 1 : 0;
}

int FSOUND_Sample_Load(int index, const char* name, unsigned mode, int offset_or_length)
{
    logCall("FSOUND_Sample_Load" + args({std::to_string(index), name ? std::string("\"").append(name).append("\"") : "null",
                                         std::to_string(mode), std::to_string(offset_or_length)}));
    Library& l = lib();
    if (!l.initialised || !name || index < -1 || index >= maxSamples) {
        if (!l.initialised && l.error.empty())
            l.error = "the sound library is not started";
        return 0;
    }
    std::unique_ptr<LoadedSample> sample = decodeWave(name);
    if (!sample)
        return 0;
    size_t slot = 0;
    if (index >= 0) {
        slot = static_cast<size_t>(index);
        if (l.slots.size() <= slot)
            l.slots.resize(slot + 1);
    } else {
        while (slot < l.slots.size() && l.slots[slot])
            ++slot;
        if (slot == maxSamples) {
            l.error = "no free sample slot";
            return 0;
        }
        if (slot == l.slots.size())
            l.slots.emplace_back();
    }
    if (l.slots[slot])
        stopChannelsPlaying(*l.slots[slot]);
    l.slots[slot] = std::move(sample);
    return static_cast<int>(slot) + 1;
}

int FSOUND_PlaySound(int channel, int sample)
{
    logCall("FSOUND_PlaySound" + args({std::to_string(channel), std::to_string(sample)}));
    LoadedSample* loaded = findSample(sample);
    if (!loaded || channel < -1 || channel >= lib().channels || !deviceReady())
        return -1;
    return lib().sdl->Mix_PlayChannel(channel, &loaded->chunk, 0);
}

int FSOUND_StopSound(int channel)
{
    logCall("FSOUND_StopSound" + args({std::to_string(channel)}));
    Library& l = lib();
    const bool all = channel == fsound::allChannels;
    if (!l.deviceOpen || (!all && (channel < 0 || channel >= l.channels)))
        return 0;
    l.sdl->Mix_HaltChannel(all ? -1 : channel);
    return 1;
}

void FSOUND_Sample_Free(int sample)
{
    logCall("FSOUND_Sample_Free" + args({std::to_string(sample)}));
    LoadedSample* loaded = findSample(sample);
    if (!loaded)
        return;
    stopChannelsPlaying(*loaded);
    lib().slots[static_cast<size_t>(sample) - 1].reset();
}

void FSOUND_Close()
{
    logCall("FSOUND_Close()");
    Library& l = lib();
    closeDevice();
    l.slots.clear();
    l.initialised = false;
    l.deviceTried = false;
    l.outputType = 0;
}

namespace fsound {

void setCallLog(std::vector<std::string>* log)
{
    lib().log = log;
}

std::string outputDriver()
{
    return lib().driver;
}

std::string lastError()
{
    return lib().error;
}

}  // namespace fsound
