// Writes the five wave files of the device's sounds: piezo-buzzer beeps, mono, 22050 Hz, 16-bit.
//
//   soundgen OUTDIR
//
// A piezo disc driven by a square wave rings loudest near its resonance, a few kHz, so a low
// note comes out as a thin buzz of upper harmonics and a high one as a clean whistle. Each
// beep here is a band-limited square wave weighted by such a resonance, shaped by short
// raised-cosine ramps so that it starts and ends without a click.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "common/desktop.h"
#include "common/expected.h"

namespace {

constexpr int sampleRate = 22050;
constexpr double resonanceHz = 3000.0;

struct Tone {
    double hz;
    double ms;
};

struct Beep {
    const char* file;
    std::vector<Tone> tones;   // played one after the other, with no gap and no phase jump
    double attackMs;
    double releaseMs;
    double decayMs;            // time constant of the fall of the level after the attack
    double peak;               // of full scale; two beeps together stay below clipping
};

// How loud the disc answers at hz: its resonance over a flat floor, and almost nothing near
// the top of the band.
double discResponse(double hz)
{
    const double q = 1.2;
    const double detune = hz / resonanceHz - resonanceHz / hz;
    const double resonance = 1.0 / std::sqrt(1.0 + q * q * detune * detune);
    const double rollOff = 1.0 / (1.0 + std::pow(hz / 7000.0, 4));
    return (0.35 + 0.65 * resonance) * rollOff;
}

// One sample of the square wave at phase (in cycles), with its odd harmonics up to 0.45 of
// the sample rate, each weighted by the disc.
double buzzer(double phase, double hz)
{
    double value = 0.0;
    for (int k = 1; k * hz < 0.45 * sampleRate; k += 2)
        value += discResponse(k * hz) / k * std::sin(2.0 * std::numbers::pi * k * phase);
    return value;
}

double ramp(double x)
{
    return 0.5 - 0.5 * std::cos(std::numbers::pi * x);
}

std::vector<double> render(const Beep& beep)
{
    std::vector<double> out;
    double phase = 0.0;
    for (const Tone& tone : beep.tones) {
        const int frames = static_cast<int>(std::lround(tone.ms * sampleRate / 1000.0));
        for (int i = 0; i < frames; ++i) {
            out.push_back(buzzer(phase, tone.hz));
            phase += tone.hz / sampleRate;
            phase -= std::floor(phase);
        }
    }
    const double total = static_cast<double>(out.size());
    const double attack = beep.attackMs * sampleRate / 1000.0;
    const double release = beep.releaseMs * sampleRate / 1000.0;
    const double decay = beep.decayMs * sampleRate / 1000.0;
    double loudest = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i);
        double gain = std::exp(-std::max(0.0, t - attack) / decay);
        if (t < attack)
            gain *= ramp(t / attack);
        if (total - 1 - t < release)
            gain *= ramp((total - 1 - t) / release);
        out[i] *= gain;
        loudest = std::max(loudest, std::abs(out[i]));
    }
    for (double& v : out)
        v *= beep.peak / loudest;
    return out;
}

// A number of `bytes` bytes, least significant first as the wave format keeps them.
void put(std::ofstream& file, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        file.put(static_cast<char>((value >> (8 * i)) & 0xff));
}

Expected<> writeWave(const std::filesystem::path& path, const std::vector<double>& samples)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return failure(path.string() + ": " + std::strerror(errno));
    const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
    file.write("RIFF", 4);
    put(file, 36 + dataBytes, 4);
    file.write("WAVEfmt ", 8);
    put(file, 16, 4);
    put(file, 1, 2);                   // PCM
    put(file, 1, 2);                   // mono
    put(file, sampleRate, 4);
    put(file, sampleRate * 2, 4);      // bytes per second
    put(file, 2, 2);                   // bytes per frame
    put(file, 16, 2);                  // bits per sample
    file.write("data", 4);
    put(file, dataBytes, 4);
    for (double v : samples)
        put(file, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767.0))), 2);
    if (!file.flush())
        return failure(path.string() + ": " + std::strerror(errno));
    return {};
}

// The belt tick sounds up to eight times a second and the bonus count (the same file) every
// 150 ms, so those stay short; the misses sound every 200 to 400 ms and may be longer.
const std::vector<Beep> beeps = {
    // The belt tick: a short dry pip.
    {"Pack.wav", {{1760, 28}}, 1.5, 8, 30, 0.35},
    // A point: two quick rising notes near the disc's resonance, the brightest sound.
    {"Point.wav", {{2637, 22}, {3520, 38}}, 1.5, 10, 80, 0.38},
    // A worker's step: a tiny low click-beep.
    {"Char.wav", {{1175, 16}}, 1, 6, 12, 0.30},
    // A miss: a low buzz.
    {"Miss.wav", {{330, 150}}, 3, 20, 400, 0.40},
    // The broken parcel and the new miss mark: a lower two-tone alarm.
    {"Miss2.wav", {{262, 70}, {196, 70}, {262, 70}, {196, 70}}, 3, 25, 600, 0.40},
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundgen OUTDIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    for (const Beep& beep : beeps) {
        if (const Expected<> written = writeWave(dir / beep.file, render(beep)); !written) {
            printProblem("cannot write a wave file", written.error());
            return 1;
        }
    }
    return 0;
}
