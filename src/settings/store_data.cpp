#include "settings/store_data.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "common/text.h"

namespace {

char foldCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// A carriage return belongs only at the end of a line; every other control character, and any
// NUL, means the file is not text at all.
bool isBinaryByte(std::string_view text, std::size_t i)
{
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r')
        return i + 1 < text.size() && text[i + 1] != '\n';
    return (c < 0x20 && c != '\t' && c != '\n') || c == 0x7f;
}

// Reads the quoted text that text starts with, and drops it from text. Inside it \\ stands for a
// backslash and \" for a quote; a backslash before anything else is itself.
bool readQuoted(std::string_view& text, std::string& out)
{
    for (std::size_t pos = 1; pos < text.size();) {
        char c = text[pos++];
        if (c == '"') {
            text.remove_prefix(pos);
            return true;
        }
        if (c == '\\' && pos < text.size() && (text[pos] == '\\' || text[pos] == '"'))
            c = text[pos++];
        out += c;
    }
    return false;
}

std::string quoted(std::string_view s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

// dword:0000007b, hex:01,02, hex(2):41,00 ... or a lone - (regedit's "delete this value").
bool isTypedValue(std::string_view raw)
{
    if (raw == "-")
        return true;
    std::size_t i = 0;
    if (i >= raw.size() || !std::isalpha(static_cast<unsigned char>(raw[i])))
        return false;
    while (i < raw.size() && (std::isalnum(static_cast<unsigned char>(raw[i])) || raw[i] == '_'))
        ++i;
    if (i < raw.size() && raw[i] == '(') {
        const std::size_t digits = ++i;
        while (i < raw.size() && std::isxdigit(static_cast<unsigned char>(raw[i])))
            ++i;
        if (i == digits || i >= raw.size() || raw[i] != ')')
            return false;
        ++i;
    }
    return i < raw.size() && raw[i] == ':';
}

std::string foldedName(std::string_view name)
{
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), foldCase);
    return folded;
}

// The lines of a text, each without its line end and the blanks around it.
std::vector<std::string_view> trimmedLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(trimBlanks(withoutCarriageReturn(text.substr(start, end - start))));
        start = end + 1;
    }
    return lines;
}

// Reads the value line lines[n] ("NAME"=... or @=...) into value; a typed value that goes on over
// the following lines leaves n on its last. Gives what is wrong, or nullptr.
const char* readValueLine(const std::vector<std::string_view>& lines, std::size_t& n, StoreValue& value)
{
    std::string_view rest = lines[n];
    if (rest.front() == '@')
        rest.remove_prefix(1);
    else if (!readQuoted(rest, value.name))
        return "a value name has no closing quote";
    rest = trimBlanks(rest);
    if (!rest.starts_with('='))
        return "a value name is not followed by =";
    rest = trimBlanks(rest.substr(1));

    if (rest.starts_with('"')) {
        if (!readQuoted(rest, value.data))
            return "a value has no closing quote";
        return rest.empty() ? nullptr : "there is text after a value's closing quote";
    }
    // Typed values may go on over several lines, each but the last ending in a backslash.
    value.isString = false;
    value.data = std::string(rest);
    while (!value.data.empty() && value.data.back() == '\\') {
        if (n + 1 >= lines.size())
            return "a value goes on past the end of the file";
        // Blanks before the backslash only lay the lines out, as each line's own ends do.
        value.data.pop_back();
        value.data.erase(value.data.find_last_not_of(" \t") + 1);
        value.data += lines[++n];
    }
    if (!isTypedValue(value.data))
        return "a value is neither a quoted text nor a typed value";
    return nullptr;
}

}  // namespace

bool sameStoreName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldCase(x) == foldCase(y);
           });
}

bool storableName(std::string_view name)
{
    return std::none_of(name.begin(), name.end(), [](char c) {
        const unsigned char u = static_cast<unsigned char>(c);
        return (u < 0x20 && u != '\t') || u == 0x7f;
    });
}

std::string StoreParseResult::where() const
{
    return line > 0 ? "line " + std::to_string(line) + ": " + error : error;
}

StoreParseResult StoreData::parse(std::string_view text)
{
    StoreParseResult result;
    auto fail = [&result](int line, std::string error) {
        result.ok = false;
        result.line = line;
        result.error = std::move(error);
        result.data = StoreData();
        return result;
    };

    if (text.size() > MaxFileSize)
        return fail(0, "it is larger than 1 MiB");
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isBinaryByte(text, i)) {
            const int line = 1 + int(std::count(text.begin(), text.begin() + std::ptrdiff_t(i), '\n'));
            return fail(line, "it holds binary data, not text");
        }
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    const std::vector<std::string_view> lines = trimmedLines(text);

    std::size_t n = 0;
    while (n < lines.size() && lines[n].empty())
        ++n;
    if (n == lines.size()) {
        result.ok = true;
        return result;
    }
    if (lines[n] != "REGEDIT4")
        return fail(int(n) + 1, "it does not start with REGEDIT4");

    StoreData& data = result.data;
    StoreSection* section = nullptr;
    // Where each value sits in its section, by folded name: a later value of the same name
    // replaces the earlier one, and a long file must not cost a search per line.
    std::vector<std::unordered_map<std::string, std::size_t>> places;
    std::unordered_map<std::string, std::size_t>* placesHere = nullptr;
    for (++n; n < lines.size(); ++n) {
        const int lineNumber = int(n) + 1;
        std::string_view line = lines[n];
        if (line.empty() || line.front() == ';')
            continue;

        if (line.front() == '[') {
            if (line.size() < 3 || line.back() != ']')
                return fail(lineNumber, "a key name must stand between [ and ]");
            section = &data.sectionFor(line.substr(1, line.size() - 2));
            places.resize(data.sections_.size());
            placesHere = &places[std::size_t(section - data.sections_.data())];
            continue;
        }

        if (line.front() != '"' && line.front() != '@')
            return fail(lineNumber, "this is not a key, a value or a comment");
        if (!section)
            return fail(lineNumber, "a value comes before any key");

        StoreValue value;
        if (const char* error = readValueLine(lines, n, value))
            return fail(lineNumber, error);
        const auto [place, added] = placesHere->try_emplace(foldedName(value.name), section->values.size());
        if (added) {
            section->values.push_back(std::move(value));
        } else {
            section->values[place->second].data = std::move(value.data);
            section->values[place->second].isString = value.isString;
        }
    }
    result.ok = true;
    return result;
}

std::string StoreData::toText() const
{
    std::string out = "REGEDIT4\n";
    for (const StoreSection& section : sections_) {
        out += "\n[" + section.header + "]\n";
        for (const StoreValue& value : section.values) {
            out += value.name.empty() ? std::string("@") : quoted(value.name);
            out += '=';
            out += value.isString ? quoted(value.data) : value.data;
            out += '\n';
        }
    }
    return out;
}

StoreSection& StoreData::sectionFor(std::string_view header)
{
    for (StoreSection& section : sections_)
        if (sameStoreName(section.header, header))
            return section;
    return sections_.emplace_back(StoreSection{std::string(header), {}});
}

const StoreValue* StoreData::find(std::string_view header, std::string_view name) const
{
    for (const StoreSection& section : sections_) {
        if (!sameStoreName(section.header, header))
            continue;
        for (const StoreValue& value : section.values)
            if (sameStoreName(value.name, name))
                return &value;
    }
    return nullptr;
}

void StoreData::setString(std::string_view header, std::string_view name, std::string_view text)
{
    StoreSection& section = sectionFor(header);
    for (StoreValue& value : section.values) {
        if (sameStoreName(value.name, name)) {
            value.data = text;
            value.isString = true;
            return;
        }
    }
    section.values.push_back(StoreValue{std::string(name), std::string(text), true});
}
