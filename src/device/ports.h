// The device core talks to the world only through these small interfaces. The program plugs in
// the real ones (Qt, SDL, the store file, the system clock); zerno-sim and the tests plug in
// logging or virtual ones.
#pragma once

#include <cstdint>
#include <string>

// The six sample handles the device plays.
enum class Sample { SndPack, SndPoint, SndBonus, SndChar, SndMiss, SndMiss2 };

const char* sampleName(Sample sample);

class SoundPort {
public:
    virtual ~SoundPort() = default;
    // Plays one sample once on a free channel; returns at once.
    virtual void Suona(Sample sample) = 0;
    // Stops every sound at once.
    virtual void Silenzio() = 0;
};

// One open key of the per-user settings store. Reads of a missing or unreadable value give the
// default; failures are reported by the store itself and never thrown at the caller.
class StoreKey {
public:
    virtual ~StoreKey() = default;
    virtual int ReadInteger(const std::string& name, int defaultValue) = 0;
    virtual void WriteInteger(const std::string& name, int value) = 0;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    int64_t msOfDay() const { return ((int64_t(hour) * 60 + minute) * 60 + second) * 1000 + millisecond; }
};

class ClockPort {
public:
    virtual ~ClockPort() = default;
    virtual TimeOfDay localTime() = 0;
    virtual TimeOfDay utcTime() = 0;
};

// What the device core tells whoever shows it.
class DeviceListener {
public:
    virtual ~DeviceListener() = default;
    // A component's visibility or picture changed: its rectangle needs repainting.
    virtual void componentChanged(int /*index*/) {}
    // The window moved or changed its width.
    virtual void geometryChanged() {}
    virtual void hintChanged(int /*index*/) {}
    virtual void enabledChanged() {}
};
