// The device core talks to the world only through these small interfaces. The program plugs in
// the real ones (Qt, SDL, the store file, the system clock); zerno-sim and the tests plug in
// logging or virtual ones.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "device/input_actions.h"

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

// The two keys of the per-user settings store the device uses: the key letters the Keys dialog
// sets, and the game's own values.
inline constexpr const char* KeySettingsStorePath = "Software\\Brisquel\\Tessova";
inline constexpr const char* SettingsStorePath = "Software\\Brisquel\\ZernoBro";

// One open key of the per-user settings store. Reads of a missing or unreadable value give the
// default; failures are reported by the store itself and never thrown at the caller.
class StoreKey {
public:
    virtual ~StoreKey() = default;
    virtual int ReadInteger(const std::string& name, int defaultValue) = 0;
    virtual void WriteInteger(const std::string& name, int value) = 0;

    // Stores `value` only where it beats the value stored now, which another running copy may
    // have raised meanwhile; gives the larger of the two. A store shared between copies decides
    // under the same lock as its write.
    virtual int RaiseInteger(const std::string& name, int value)
    {
        const int stored = ReadInteger(name, std::numeric_limits<int>::min());
        if (stored >= value)
            return stored;
        WriteInteger(name, value);
        return value;
    }
};

// One value kept in the settings store, declared once: the key it lives under, its name as read
// and as written (the store matches names without regard to case, and the file keeps the
// spelling of the first write), its default and the range the program itself stores.
struct StoredValue {
    const char* keyPath;  // KeySettingsStorePath or SettingsStorePath
    const char* readName;
    const char* writtenName;
    int defaultValue;
    int least;
    int most;

    int read(StoreKey& key) const { return key.ReadInteger(readName, defaultValue); }
    void write(StoreKey& key, int value) const { key.WriteInteger(writtenName, value); }
    bool inRange(int value) const { return value >= least && value <= most; }
};

// The values the device itself reads and writes; the program's own are in stored_values.h.
namespace stored {

// The worker moves' key letters, 1 = A .. 26 = Z (a hand-edited key code is kept as it is), by
// default those of the input actions.
inline constexpr StoredValue Key1{KeySettingsStorePath, "Key1", "Key1", inputAction(InputAction::FolkoUp).defaultLetter, 1, 26};
inline constexpr StoredValue Key2{KeySettingsStorePath, "Key2", "Key2", inputAction(InputAction::FolkoDown).defaultLetter, 1, 26};
inline constexpr StoredValue Key3{KeySettingsStorePath, "Key3", "Key3", inputAction(InputAction::ZernoUp).defaultLetter, 1, 26};
inline constexpr StoredValue Key4{KeySettingsStorePath, "Key4", "Key4", inputAction(InputAction::ZernoDown).defaultLetter, 1, 26};
inline constexpr const StoredValue* Keys[KeyRoleCount + 1]{nullptr, &Key1, &Key2, &Key3, &Key4};  // by role 1..4

// A hiscore is read as "HiscoreA" and written as "HiScoreA", as it always has been.
inline constexpr StoredValue HiscoreA{SettingsStorePath, "HiscoreA", "HiScoreA", 0, 0, 9999};
inline constexpr StoredValue HiscoreB{SettingsStorePath, "HiscoreB", "HiScoreB", 0, 0, 9999};

}  // namespace stored

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    int64_t msOfDay() const { return ((int64_t(hour) * 60 + minute) * 60 + second) * 1000 + millisecond; }

    static constexpr int64_t DayMs = 24 * 3600000LL;
    // The time of day `ms` milliseconds after midnight, taken round the clock either way.
    static constexpr TimeOfDay fromMs(int64_t ms)
    {
        ms = (ms % DayMs + DayMs) % DayMs;
        return {int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000)};
    }
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
    virtual void enabledChanged() {}
};
