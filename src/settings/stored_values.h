// Every value the program keeps in the settings store, declared once: the key it lives under, its
// name as read and as written, its default and the range it may hold. Every reader and writer goes
// through these declarations, so the file's text and its spellings stay as they have always been
// (a hiscore is read as "HiscoreA" and written as "HiScoreA"; the store matches names without
// regard to case).
#pragma once

#include <algorithm>
#include <array>
#include <limits>

#include "input_actions.h"
#include "ports.h"

struct StoredValue {
    const char* keyPath;      // KeySettingsStorePath or SettingsStorePath
    const char* readName;
    const char* writtenName;
    int defaultValue;
    int least;                // the values the program itself ever stores
    int most;

    int read(StoreKey& key) const { return key.ReadInteger(readName, defaultValue); }
    void write(StoreKey& key, int value) const { key.WriteInteger(writtenName, value); }
    bool inRange(int value) const { return value >= least && value <= most; }
};

namespace stored {

// The worker moves' key letters, 1 = A .. 26 = Z (a hand-edited key code is kept as it is), by
// default those of the input actions.
inline constexpr StoredValue Key1{KeySettingsStorePath, "Key1", "Key1", inputAction(InputAction::FolkoUp).defaultLetter, 1, 26};
inline constexpr StoredValue Key2{KeySettingsStorePath, "Key2", "Key2", inputAction(InputAction::FolkoDown).defaultLetter, 1, 26};
inline constexpr StoredValue Key3{KeySettingsStorePath, "Key3", "Key3", inputAction(InputAction::ZernoUp).defaultLetter, 1, 26};
inline constexpr StoredValue Key4{KeySettingsStorePath, "Key4", "Key4", inputAction(InputAction::ZernoDown).defaultLetter, 1, 26};
inline constexpr std::array<const StoredValue*, 5> Keys{nullptr, &Key1, &Key2, &Key3, &Key4};  // by role 1..4

inline constexpr StoredValue HiscoreA{SettingsStorePath, "HiscoreA", "HiScoreA", 0, 0, 9999};
inline constexpr StoredValue HiscoreB{SettingsStorePath, "HiscoreB", "HiScoreB", 0, 0, 9999};
// The launcher's sound choice: -1 none yet (asked at the next start), 0 and 1 the two outputs
// with sound, 2 no sound.
inline constexpr StoredValue SoundMode{SettingsStorePath, "SoundMode", "SoundMode", -1, -1, 2};
inline constexpr int SoundModeNone = -1, SoundModeFirstOutput = 0, SoundModeSecondOutput = 1, SoundModeSilent = 2;
inline constexpr StoredValue Zoom{SettingsStorePath, "Zoom", "Zoom", 1, 1, 4};
inline constexpr StoredValue TipShown{SettingsStorePath, "TipShown", "TipShown", 0, 0, 1};

inline constexpr std::array<const StoredValue*, 9> All{&Key1, &Key2, &Key3, &Key4, &HiscoreA,
                                                       &HiscoreB, &SoundMode, &Zoom, &TipShown};

}  // namespace stored
