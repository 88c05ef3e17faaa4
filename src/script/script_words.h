// The zerno-sim script's own words: its commands, key and button names, times of day, reading a
// line, and the device's state written as lines. The runner reads a script with these and the
// recorder writes one with them; nothing else reads or writes a script's line.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "common/expected.h"
#include "device/device_input.h"
#include "device/form1.h"

// Every command a line may start with.
enum class Word { Time, Click, Press, Release, KeyDown, KeyUp, Wait, CatchUp, Keys, Lit, Digits, Timer, Set, Light,
                  Dark, Trace, State, Count };
// The command as a script spells it.
std::string word(Word command);
std::optional<Word> wordNamed(const std::string& text);
// Whether a command may be followed by that many words, and if not, why.
Expected<void> checkCount(Word command, size_t words);

// A line's command and the words after it; no command for a blank line or a comment (#).
struct ScriptLine {
    std::string command;
    std::vector<std::string> args;
};
ScriptLine splitLine(const std::string& line);
// The next line of a script, without the CR a DOS line ends with.
bool readScriptLine(std::istream& script, std::string& line);

std::optional<int64_t> parseInt(const std::string& text);
// The milliseconds of a `wait` or `catchup` line of that command with one number that keeps the
// clock, now ms, inside its range; nothing for any other line.
std::optional<int64_t> waitOf(const ScriptLine& line, Word command, int64_t now);

// HH:MM:SS or HH:MM:SS.mmm; and HH:MM:SS.mmm of a time of day in ms.
std::optional<TimeOfDay> parseTimeOfDay(const std::string& text);
std::string timeOfDayText(int64_t ms);
// The `time` line of a script starting at these times of day (ms).
std::string timeLine(int64_t localMs, int64_t utcMs);

// A key as a script names it: a letter A..Z or a key code.
std::string keyName(uint16_t key);
Expected<uint16_t> parseKey(const std::string& key);
// A mouse button after a component's name: " right", " middle", or nothing for the left one.
std::string buttonWord(MouseButton button);

// The lit components, digits, variables and timers as lines: as the block `state` prints, or
// as the commands that rebuild them (`set` lines, and each running timer's next tick).
enum class StateLines { Block, Commands };
std::string stateLines(TForm1& form, int64_t now, StateLines as);
