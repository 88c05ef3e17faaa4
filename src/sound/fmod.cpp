#include "sound/fmod.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <utility>

#include "common/sdl_library.h"

namespace {

// A sample is its PCM in the device's format: 16-bit stereo at the mix rate.
using LoadedSample = std::vector<Uint8>;

// What one channel plays: the sample and how far into it the next buffer starts.
struct Channel {
    const LoadedSample* sample = nullptr;
    size_t at = 0;
};

// More slots than any program of ours asks for; a larger index is refused, not allocated.
constexpr int maxSamples = 1024;
constexpr SDL_AudioFormat mixFormat = AUDIO_S16SYS;
constexpr int mixChannels = 2;
constexpr size_t bytesPerFrame = 2 * mixChannels;

void closeDevice();

// The channels and the samples they read, shared with the audio thread: whatever the callback
// reads is changed only under mixLock, and a sample is let go only once no channel plays it.
struct Mixer {
    std::mutex lock;
    std::condition_variable wake;
    std::vector<Channel> channels;
    int playing = 0;
    int silentBuffersLeft = 0;  // silence still to mix before the thread waits
    bool mayWait = false;       // SDL's own thread runs the callback, so it may wait there
    bool closing = false;
    std::atomic<bool> waiting{false};
    std::atomic<fsound::MixObserver> observer{nullptr};
};

struct Library {
    const SdlLibrary* sdl = nullptr;  // set by FSOUND_Init
    std::string soname = sdlSoname;
    bool initialised = false;
    int mixRate = 0;
    int outputType = 0;
    bool deviceTried = false;   // an output was chosen and tried since FSOUND_Init
    SDL_AudioDeviceID device = 0;
    std::string driver;
    Mixer mixer;
    std::vector<std::unique_ptr<LoadedSample>> slots;
    std::vector<std::string>* log = nullptr;

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

// Appends "CALL(ARG, ARG, ...)" to the call log, when there is one.
void logCall(const char* call, std::initializer_list<std::string> values)
{
    if (!lib().log)
        return;
    std::string text;
    for (const std::string& value : values)
        text += (text.empty() ? "" : ", ") + value;
    lib().log->push_back(std::string(call) + "(" + text + ")");
}

// SDL's audio callback. Each channel adds its next stretch to the buffer; SDL_MixAudioFormat
// clips a sum beyond the 16-bit range rather than letting it wrap round to the other sign.
// SDL's own pause would go on waking this thread for every buffer to fill it with silence, so
// the thread waits here instead while nothing plays, and the next play mixes into the buffer
// that is waiting.
void mixBuffer(void*, Uint8* stream, int length)
{
    Library& l = lib();
    Mixer& m = l.mixer;
    std::unique_lock lock(m.lock);
    if (m.mayWait && m.playing == 0 && m.silentBuffersLeft == 0 && !m.closing) {
        m.waiting = true;
        m.wake.wait(lock, [&m] { return m.playing > 0 || m.closing; });
        m.waiting = false;
    }
    std::memset(stream, 0, static_cast<size_t>(length));
    for (Channel& channel : m.channels) {
        if (!channel.sample)
            continue;
        const LoadedSample& pcm = *channel.sample;
        const size_t count = std::min(pcm.size() - channel.at, static_cast<size_t>(length));
        l.sdl->SDL_MixAudioFormat(stream, pcm.data() + channel.at, mixFormat, static_cast<Uint32>(count),
                                  SDL_MIX_MAXVOLUME);
        channel.at += count;
        if (channel.at == pcm.size()) {
            channel.sample = nullptr;
            --m.playing;
        }
    }
    if (m.playing > 0)
        m.silentBuffersLeft = fsound::silentBuffersBeforePause;
    else if (m.silentBuffersLeft > 0)
        --m.silentBuffersLeft;
    if (const fsound::MixObserver observer = m.observer)
        observer(reinterpret_cast<const short*>(stream), length / static_cast<int>(bytesPerFrame));
}

void stopChannel(Channel& channel)
{
    if (!channel.sample)
        return;
    channel.sample = nullptr;
    --lib().mixer.playing;
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
    // No format changes allowed: SDL converts for the hardware if it must, so the device's
    // format is always the one every sample was converted to at load.
    SDL_AudioSpec wanted{};
    wanted.freq = l.mixRate;
    wanted.format = mixFormat;
    wanted.channels = mixChannels;
    wanted.samples = fsound::mixChunkFrames;
    wanted.callback = mixBuffer;
    l.device = l.sdl->SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (l.device == 0) {
        l.sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    const char* name = l.sdl->SDL_GetCurrentAudioDriver();
    l.driver = name ? name : "";
    {
        const std::lock_guard lock(l.mixer.lock);
        l.mixer.closing = false;
        l.mixer.silentBuffersLeft = 0;
        // PipeWire calls back from its own processing thread, which must never be held up:
        // there the device is fed silence while nothing plays, as SDL's pause would.
        l.mixer.mayWait = l.driver != "pipewire";
    }
    l.sdl->SDL_PauseAudioDevice(l.device, 0);
    return true;
}

void openOutput()
{
    Library& l = lib();
    l.deviceTried = true;
    const char* fromEnvironment = std::getenv("SDL_AUDIODRIVER");
    const char* wanted = l.outputType == 1 ? "pipewire,pulseaudio" : l.outputType == 2 ? "alsa" : nullptr;
    if (fromEnvironment && *fromEnvironment)
        wanted = nullptr;
    if (!wanted || !openDevice(wanted))
        openDevice(nullptr);
}

void closeDevice()
{
    Library& l = lib();
    if (l.device == 0)
        return;
    // SDL takes the callback's lock to close, so a waiting callback must be let go first.
    {
        const std::lock_guard lock(l.mixer.lock);
        l.mixer.closing = true;
        for (Channel& channel : l.mixer.channels)
            stopChannel(channel);
    }
    l.mixer.wake.notify_all();
    l.sdl->SDL_CloseAudioDevice(l.device);
    l.sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
    l.device = 0;
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
    return l.device != 0;
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
    const std::lock_guard lock(lib().mixer.lock);
    for (Channel& channel : lib().mixer.channels)
        if (channel.sample == &sample)
            stopChannel(channel);
}

// Decodes a wave file of any format SDL reads and converts it to the device's format. No
// device is needed for this, so a machine without one still loads every sample.
Expected<std::unique_ptr<LoadedSample>> decodeWave(const char* path)
{
    std::error_code missing;
    if (!std::filesystem::exists(path, missing))
        return failure("the file is missing");
    const SdlLibrary& sdl = *lib().sdl;
    SDL_AudioSpec spec;
    Uint8* data = nullptr;
    Uint32 length = 0;
    // SDL would otherwise play a file cut short up to where it ends, and the damage would go
    // unnoticed: a data chunk shorter than it says makes the file unreadable.
    sdl.SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "strict");
    if (!sdl.SDL_LoadWAV_RW(sdl.SDL_RWFromFile(path, "rb"), 1, &spec, &data, &length))
        return failure(sdl.SDL_GetError());
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
    if (!ok)
        return failure("its sound data cannot be converted for playing");

    auto sample = std::make_unique<LoadedSample>();
    if (fileChannels == 1) {
        constexpr size_t bytesPerSample = 2;
        sample->resize(converted.size() * mixChannels);
        for (size_t at = 0, to = 0; at + bytesPerSample <= converted.size(); at += bytesPerSample)
            for (int side = 0; side < mixChannels; ++side, to += bytesPerSample)
                std::memcpy(&(*sample)[to], &converted[at], bytesPerSample);
    } else {
        *sample = std::move(converted);
    }
    // A buffer mixes whole frames only.
    sample->resize(sample->size() / bytesPerFrame * bytesPerFrame);
    return sample;
}

}  // namespace

int FSOUND_Init(int mixrate, int maxchannels, unsigned flags)
{
    return fsound::init(mixrate, maxchannels, flags) ? 1 : 0;
}

Expected<void> fsound::init(int mixrate, int maxchannels, unsigned flags)
{
    logCall("FSOUND_Init", {std::to_string(mixrate), std::to_string(maxchannels), std::to_string(flags)});
    Library& l = lib();
    if (l.initialised)
        return {};
    if (mixrate < 4000 || mixrate > 192000 || maxchannels < 1 || maxchannels > 4096)
        return failure("bad mix rate or channel count");
    const Expected<const SdlLibrary*> sdl = sdlLibrary(l.soname);
    if (!sdl)
        return failure(sdl.error());
    l.sdl = *sdl;
    l.mixRate = mixrate;
    {
        const std::lock_guard lock(l.mixer.lock);
        l.mixer.channels.assign(static_cast<size_t>(maxchannels), Channel{});
        l.mixer.playing = 0;
    }
    l.deviceTried = false;
    l.initialised = true;
    return {};
}

int FSOUND_SetOutput(int outputtype)
{
    logCall("FSOUND_SetOutput", {std::to_string(outputtype)});
    Library& l = lib();
    l.outputType = outputtype;
    if (!l.initialised)
        return 0;
    closeDevice();
    openOutput();
    return l.device != 0 ? 1 : 0;
}

int FSOUND_Sample_Load(int index, const char* name, unsigned mode, int offset_or_length)
{
    const Expected<int> handle = fsound::loadSample(index, name, mode, offset_or_length);
    return handle ? *handle : 0;
}

Expected<int> fsound::loadSample(int index, const char* name, unsigned mode, int offset_or_length)
{
    logCall("FSOUND_Sample_Load", {std::to_string(index), name ? std::string("\"").append(name).append("\"") : "null",
                                   std::to_string(mode), std::to_string(offset_or_length)});
    Library& l = lib();
    if (!l.initialised)
        return failure("the sound library is not started");
    if (!name || index < -1 || index >= maxSamples)
        return failure("no such sample slot or file name");
    Expected<std::unique_ptr<LoadedSample>> sample = decodeWave(name);
    if (!sample)
        return failure(sample.error());
    const auto firstFree = std::find(l.slots.begin(), l.slots.end(), nullptr);
    const size_t slot = index >= 0 ? static_cast<size_t>(index) : static_cast<size_t>(firstFree - l.slots.begin());
    if (slot == maxSamples)
        return failure("no free sample slot");
    if (l.slots.size() <= slot)
        l.slots.resize(slot + 1);
    if (l.slots[slot])
        stopChannelsPlaying(*l.slots[slot]);
    l.slots[slot] = std::move(*sample);
    return static_cast<int>(slot) + 1;
}

int FSOUND_PlaySound(int channel, int sample)
{
    logCall("FSOUND_PlaySound", {std::to_string(channel), std::to_string(sample)});
    const LoadedSample* loaded = findSample(sample);
    Mixer& m = lib().mixer;
    if (!loaded || channel < -1 || channel >= static_cast<int>(m.channels.size()) || !deviceReady())
        return -1;
    {
        const std::lock_guard lock(m.lock);
        if (channel == fsound::anyFreeChannel) {
            const auto free = std::ranges::find(m.channels, nullptr, &Channel::sample);
            if (free == m.channels.end())
                return -1;
            channel = static_cast<int>(free - m.channels.begin());
        }
        Channel& chosen = m.channels[static_cast<size_t>(channel)];
        stopChannel(chosen);
        chosen.sample = loaded;
        chosen.at = 0;
        ++m.playing;
        m.waiting = false;
    }
    m.wake.notify_one();
    return channel;
}

int FSOUND_StopSound(int channel)
{
    logCall("FSOUND_StopSound", {std::to_string(channel)});
    Library& l = lib();
    Mixer& m = l.mixer;
    const bool all = channel == fsound::allChannels;
    if (l.device == 0 || (!all && (channel < 0 || channel >= static_cast<int>(m.channels.size()))))
        return 0;
    const std::lock_guard lock(m.lock);
    if (all) {
        for (Channel& each : m.channels)
            stopChannel(each);
    } else {
        stopChannel(m.channels[static_cast<size_t>(channel)]);
    }
    return 1;
}

void FSOUND_Sample_Free(int sample)
{
    logCall("FSOUND_Sample_Free", {std::to_string(sample)});
    LoadedSample* loaded = findSample(sample);
    if (!loaded)
        return;
    stopChannelsPlaying(*loaded);
    lib().slots[static_cast<size_t>(sample) - 1].reset();
}

void FSOUND_Close()
{
    logCall("FSOUND_Close", {});
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

std::string libraryName()
{
    return lib().soname;
}

void setLibraryName(const std::string& soname)
{
    lib().soname = soname;
}

void setMixObserver(MixObserver observer)
{
    lib().mixer.observer = observer;
}

int playingChannels()
{
    const std::lock_guard lock(lib().mixer.lock);
    return lib().mixer.playing;
}

bool mixerPaused()
{
    return lib().device != 0 && lib().mixer.waiting;
}

}  // namespace fsound
