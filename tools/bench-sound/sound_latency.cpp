// How soon a sound reaches the audio device, with the mixer running and with it paused, and
// whether 64 at once all sound.
//
//   bench_sound_latency [SOUND-FOLDER]
//
// Runs on SDL's disk driver, which takes a mixed buffer every 256 frames like a sound card
// (its output goes to /dev/null). For each play it measures from the call of Suona to the
// moment the mixer hands over the buffer holding the sample's first frame, which is the last
// step before the device. Exit status 0 when every play is within the target.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/desktop.h"
#include "sound/fmod.h"
#include "sound/sound.h"
#include "tools/bench/bench_report.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double targetMs = 12.0;  // p99
constexpr int plays = 400;
constexpr int overlapRounds = 20;

std::atomic<bool> armed{false};
std::atomic<Clock::rep> firstFrameAt{0};

// Runs on the audio thread for every mixed buffer, just before the device gets it.
void watchBuffer(const short* samples, int frames)
{
    if (armed && std::any_of(samples, samples + frames * 2, [](short sample) { return sample != 0; })) {
        firstFrameAt = Clock::now().time_since_epoch().count();
        armed = false;
    }
}

void waitForSilence()
{
    while (fsound::playingChannels() > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : ZERNO_SOUND_DIR;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);

    Sound sound;
    if (!sound.startSound(1, folder)) {
        printProblem("cannot load the samples from " + folder);
        return 2;
    }
    sound.SoundOn = true;
    fsound::setMixObserver(watchBuffer);

    // Plays spaced unevenly, so that they fall at every point of the device's buffer cycle.
    std::mt19937 spacing(7);
    // Every other play comes once the mixer has paused after the last one, the rest while it
    // still mixes the silence after a sound.
    std::vector<double> latency;
    std::vector<double> whilePaused;
    std::vector<double> callTime;
    int unheard = 0;
    for (int i = 0; i < plays; ++i) {
        waitForSilence();
        const bool afterPause = i % 2 == 1;
        if (afterPause) {
            while (!fsound::mixerPaused())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::this_thread::sleep_for(std::chrono::microseconds(spacing() % 12000));
        } else {
            std::this_thread::sleep_for(std::chrono::microseconds(2000 + spacing() % 12000));
        }
        firstFrameAt = 0;
        armed = true;
        const Clock::time_point start = Clock::now();
        sound.Suona(Sample::SndPack);
        const Clock::time_point returned = Clock::now();
        callTime.push_back(msBetween(start, returned) * 1000.0);
        while (armed && msBetween(start, Clock::now()) < 500)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        if (armed) {
            armed = false;
            ++unheard;
            continue;
        }
        latency.push_back(msBetween(start, Clock::time_point(Clock::duration(firstFrameAt.load()))));
        if (afterPause)
            whilePaused.push_back(latency.back());
    }

    // 64 long sounds started together must all be sounding at once.
    fsound::setMixObserver(nullptr);
    int fewestSounding = 64;
    for (int round = 0; round < overlapRounds; ++round) {
        waitForSilence();
        for (int i = 0; i < 64; ++i)
            sound.Suona(Sample::SndMiss2);
        fewestSounding = std::min(fewestSounding, fsound::playingChannels());
    }
    sound.Silenzio();
    sound.release();

    const Summary heard = summarize(latency);
    const Summary paused = summarize(whilePaused);
    const Summary inside = summarize(callTime);
    const bool latencyOk = unheard == 0 && heard.count > 0 && heard.p99 <= targetMs;
    const bool overlapOk = fewestSounding == 64;
    std::printf("sound latency on the disk driver: 22050 Hz, %d-frame buffers (%.1f ms), %d plays of SndPack\n",
                fsound::mixChunkFrames, fsound::mixChunkFrames * 1000.0 / 22050, plays);
    if (heard.count > 0)
        std::printf("  Suona to first frame into the device: p50 %.2f ms, p99 %.2f ms, max %.2f ms (target p99 %.0f ms)\n",
                    heard.p50, heard.p99, heard.max, targetMs);
    if (paused.count > 0)
        std::printf("  of which the %zu plays while the mixer was paused: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
                    paused.count, paused.p50, paused.p99, paused.max);
    std::printf("  plays never heard: %d\n", unheard);
    std::printf("  time inside Suona: p50 %.0f us, p99 %.0f us, max %.0f us\n", inside.p50, inside.p99, inside.max);
    std::printf("  64 overlapping plays, %d rounds: fewest sounding at once %d of 64\n", overlapRounds, fewestSounding);
    std::printf("%s\n", latencyOk && overlapOk ? "ok" : "FAILED");
    return latencyOk && overlapOk ? 0 : 1;
}
