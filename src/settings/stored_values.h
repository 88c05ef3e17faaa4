// Every value the program keeps in the settings store, each declared once: the device's own
// (the key letters and the hiscores, in ports.h beside the store's key paths) and the program's
// (the sound mode, the zoom, the first tip). Every reader and writer goes through these
// declarations, so the file's text and its spellings stay as they have always been.
#pragma once

#include <array>

#include "device/ports.h"

namespace stored {

// The launcher's sound choice: none yet (asked at the next start), the two outputs with sound,
// or no sound.
inline constexpr StoredValue SoundMode{SettingsStorePath, "SoundMode", "SoundMode", -1, -1, 2};
inline constexpr int SoundModeNone = -1, SoundModeFirstOutput = 0, SoundModeSecondOutput = 1, SoundModeSilent = 2;
inline constexpr StoredValue Zoom{SettingsStorePath, "Zoom", "Zoom", 1, 1, 4};
inline constexpr StoredValue TipShown{SettingsStorePath, "TipShown", "TipShown", 0, 0, 1};

inline constexpr std::array<const StoredValue*, 9> All{&Key1, &Key2, &Key3, &Key4, &HiscoreA,
                                                       &HiscoreB, &SoundMode, &Zoom, &TipShown};

}  // namespace stored
