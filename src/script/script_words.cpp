#include "script/script_words.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <istream>
#include <sstream>

#include "common/text.h"

namespace {

// Each command's word and how many words may follow it.
struct Command {
    const char* word;
    size_t least;
    size_t most;
};
const std::array<Command, size_t(Word::Count)> commands = {{
    {"time", 1, 3},    {"click", 1, 1}, {"press", 1, 2},  {"release", 1, 2}, {"keydown", 1, 1}, {"keyup", 1, 1},
    {"wait", 1, 1},    {"catchup", 1, 1}, {"keys", 4, 4}, {"lit", 0, SIZE_MAX}, {"digits", 1, 1}, {"timer", 3, 4},
    {"set", 2, 2},     {"light", 1, 1}, {"dark", 1, 1},   {"trace", 1, 1},   {"state", 0, 0},
}};

}  // namespace

std::string word(Word command)
{
    return commands[size_t(command)].word;
}

std::optional<Word> wordNamed(const std::string& text)
{
    for (size_t n = 0; n < commands.size(); ++n)
        if (text == commands[n].word)
            return Word(n);
    return std::nullopt;
}

Expected<void> checkCount(Word command, size_t words)
{
    const auto [word, least, most] = commands[size_t(command)];
    if (words >= least && words <= most)
        return {};
    return failure("'" + std::string(word) + "' takes "
         + (least == most       ? std::to_string(least)
            : most == SIZE_MAX ? std::to_string(least) + " or more"
                               : std::to_string(least) + (most == least + 1 ? " or " : " to ") + std::to_string(most))
         + (most == 1 ? " argument" : " arguments"));
}

ScriptLine splitLine(const std::string& line)
{
    std::istringstream words(line);
    ScriptLine split;
    if (!(words >> split.command) || split.command[0] == '#')
        return {};
    for (std::string word; words >> word;)
        split.args.push_back(word);
    return split;
}

bool readScriptLine(std::istream& script, std::string& line)
{
    if (!std::getline(script, line))
        return false;
    line.resize(withoutCarriageReturn(line).size());
    return true;
}

std::optional<int64_t> parseInt(const std::string& text)
{
    int64_t value = 0;
    const char* end = text.data() + text.size();
    if (const auto [ptr, error] = std::from_chars(text.data(), end, value); error != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<int64_t> waitOf(const ScriptLine& line, Word command, int64_t now)
{
    if (line.command != word(command) || line.args.size() != 1)
        return std::nullopt;
    const std::optional<int64_t> ms = parseInt(line.args[0]);
    if (!ms || *ms < 0 || *ms > INT64_MAX - now)
        return std::nullopt;
    return ms;
}

std::optional<TimeOfDay> parseTimeOfDay(const std::string& text)
{
    if (text.size() != 8 && text.size() != 12)
        return std::nullopt;
    if (text[2] != ':' || text[5] != ':' || (text.size() == 12 && text[8] != '.'))
        return std::nullopt;
    const std::optional<int64_t> h = parseInt(text.substr(0, 2)), m = parseInt(text.substr(3, 2)),
                                 s = parseInt(text.substr(6, 2));
    const std::optional<int64_t> ms = text.size() == 12 ? parseInt(text.substr(9, 3)) : 0;
    if (!h || !m || !s || !ms || *h > 23 || *m > 59 || *s > 59 || *h < 0 || *m < 0 || *s < 0 || *ms < 0)
        return std::nullopt;
    return TimeOfDay{int(*h), int(*m), int(*s), int(*ms)};
}

std::string timeOfDayText(int64_t ms)
{
    const TimeOfDay time = TimeOfDay::fromMs(ms);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", time.hour, time.minute, time.second, time.millisecond);
    return text;
}

std::string timeLine(int64_t localMs, int64_t utcMs)
{
    std::string line = word(Word::Time) + ' ' + timeOfDayText(localMs);
    if (utcMs != localMs)
        line += " utc " + timeOfDayText(utcMs);
    return line + '\n';
}

std::string keyName(uint16_t key)
{
    return key >= 'A' && key <= 'Z' ? std::string(1, char(key)) : std::to_string(key);
}

Expected<uint16_t> parseKey(const std::string& key)
{
    if (key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z')
        return uint16_t(key[0]);
    const std::optional<int64_t> number = parseInt(key);
    if (!number || *number < 0 || *number > 65535)
        return failure("a key is a letter A..Z or a key code 0..65535, not '" + key + "'");
    return uint16_t(*number);
}

std::string buttonWord(MouseButton button)
{
    switch (button) {
    case MouseButton::Right: return " right";
    case MouseButton::Middle: return " middle";
    case MouseButton::Left: break;
    }
    return {};
}

std::string stateLines(TForm1& form, int64_t now, StateLines as)
{
    std::string text = word(Word::Lit);
    for (const Component& component : form.components())
        if (component.visible)
            text += ' ' + component.def.name;
    text += '\n' + word(Word::Digits) + ' ' + form.digitsText() + '\n';
    const std::string variable = as == StateLines::Block ? "var " : word(Word::Set) + ' ';
    for (const auto& known : TForm1::StateTable)
        text += variable + known.name + ' ' + std::to_string(known.get(form)) + '\n';
    for (Timer* timer : form.timers()) {
        text += word(Word::Timer) + ' ' + timer->name() + (timer->enabled() ? " on " : " off ")
              + std::to_string(timer->interval());
        if (as == StateLines::Commands && timer->enabled() && timer->interval() > 0)
            text += ' ' + std::to_string(timer->due() - now);
        text += '\n';
    }
    return text;
}
