#include "device/layout.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <set>

namespace {

bool parseYesNo(const std::string& word, bool& value)
{
    value = word == "yes";
    return value || word == "no";
}

}  // namespace

bool parseCursor(const std::string& word, Cursor& cursor)
{
    for (const auto& [name, shape] : {std::pair{"default", Cursor::Default}, {"hand", Cursor::Hand}, {"help", Cursor::Help}})
        if (word == name) {
            cursor = shape;
            return true;
        }
    return false;
}

std::optional<std::vector<LayoutWord>> splitLayoutLine(const std::string& line)
{
    static constexpr const char* blanks = " \t\r\v\f";
    static constexpr const char* wordEnds = " \t\r\v\f\"";
    std::vector<LayoutWord> words;
    size_t at = 0;
    while ((at = line.find_first_not_of(blanks, at)) != std::string::npos) {
        if (line[at] == '"') {
            const size_t close = line.find('"', at + 1);
            if (close == std::string::npos)
                return std::nullopt;
            words.push_back({line.substr(at + 1, close - at - 1), true});
            at = close + 1;
        } else {
            const size_t end = std::min(line.find_first_of(wordEnds, at), line.size());
            words.push_back({line.substr(at, end - at), false});
            at = end;
        }
    }
    return words;
}

bool parseLayoutNumber(const LayoutWord& word, int& value)
{
    if (word.quoted)
        return false;
    const char* first = word.text.data();
    const char* last = first + word.text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last;
}

std::string quotedName(const std::string& name)
{
    return "'" + name + "'";
}

std::string LayoutProblems::text() const
{
    std::vector<std::pair<int, std::string>> ordered = problems_;
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
        return a.first != 0 && (b.first == 0 || a.first < b.first);
    });
    std::string text;
    for (const auto& [line, what] : ordered) {
        if (!text.empty())
            text += '\n';
        if (line > 0)
            text += "line " + std::to_string(line) + ": ";
        text += what;
    }
    return text;
}

std::string packName(int column, int row)
{
    char name[16];
    std::snprintf(name, sizeof name, "Im_Pack%02d%02d", column, row);
    return name;
}

const std::vector<std::string>& deviceComponentNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all = {
#define TFORM1_NAME(name) #name,
            TFORM1_NAMED_COMPONENTS(TFORM1_NAME)
#undef TFORM1_NAME
        };
        for (int digit = 0; digit <= 9; ++digit)
            all.push_back("Im_Num" + std::to_string(digit));
        for (int mark = 0; mark <= 3; ++mark)
            all.push_back("Im_Miss" + std::to_string(mark));
        // Columns 0 to 9 have five rows; past the right worker's hand, 10 to 12 only the lowest.
        for (int column = 0; column <= 12; ++column)
            for (int row = 1; row <= (column <= 9 ? 5 : 1); ++row)
                all.push_back(packName(column, row));
        std::set<std::string> seen;
        std::erase_if(all, [&](const std::string& name) { return !seen.insert(name).second; });
        return all;
    }();
    return names;
}

namespace {

// A layout text as its lines give it: the components of the lines that read right, the name every
// line starts with, and every problem found, with its line (0 for the whole file).
struct Reading {
    std::vector<ComponentDef> components;
    std::set<std::string> names;
    LayoutProblems problems;

    // No components when there is a problem.
    LayoutResult result()
    {
        if (std::string text = problems.text(); !text.empty())
            return failure(std::move(text));
        return std::move(components);
    }
};

Reading readLines(const std::string& text)
{
    Reading reading;
    readLayoutLines(text, reading.problems, [&](int lineNumber, const std::vector<LayoutWord>& words) {
        auto fail = [&](const std::string& what) { reading.problems.add(lineNumber, what); };
        ComponentDef def;
        def.line = lineNumber;
        const bool named = !words[0].quoted;
        if (named)
            def.name = words[0].text;
        const bool twice = named && !reading.names.insert(def.name).second;
        const auto plain = [&](size_t n) { return n < words.size() && !words[n].quoted; };
        // The device's numbers may carry a plus sign.
        const auto number = [&](size_t n, int& value) {
            if (!plain(n))
                return false;
            LayoutWord word = words[n];
            if (word.text.size() > 1 && word.text[0] == '+')
                word.text.erase(0, 1);
            return parseLayoutNumber(word, value);
        };
        if (!(named && number(1, def.rect.left) && number(2, def.rect.top) && number(3, def.rect.width)
              && number(4, def.rect.height) && plain(5) && plain(6) && plain(7) && plain(8)))
            return fail("expected name, left, top, width, height, picture, transparent, start, cursor");
        def.picture = words[5].text;
        const std::string& transparent = words[6].text;
        const std::string& start = words[7].text;
        const std::string& cursor = words[8].text;
        if (def.rect.width <= 0 || def.rect.height <= 0)
            return fail("the size of " + quotedName(def.name) + " is not positive");
        if (!parseYesNo(transparent, def.transparent) || !parseYesNo(start, def.startVisible))
            return fail("transparent and start are yes or no");
        if (!parseCursor(cursor, def.cursor))
            return fail("unknown cursor " + quotedName(cursor));
        if (def.picture == "-") {
            def.picture.clear();
        } else if (def.picture[0] == '=') {
            def.pictureOf = def.picture.substr(1);
            def.picture.clear();
            if (def.pictureOf.empty())
                return fail("= names the component whose picture " + quotedName(def.name) + " shows");
        }
        if (words.size() == 10 && words[9].quoted)
            def.hint = words[9].text;
        else if (words.size() > 9)
            return fail("unexpected text after the cursor");
        if (twice)
            return fail("component " + quotedName(def.name) + " appears twice");
        reading.components.push_back(std::move(def));
    });
    if (reading.names.empty() && reading.problems.empty())
        reading.problems.add(0, "no components");

    // A component that shows another's picture needs one of the same size to show: the picture is
    // drawn at its own size from the rectangle's corner. A line that is wrong is reported already.
    for (const ComponentDef& copy : reading.components) {
        if (copy.pictureOf.empty())
            continue;
        const auto source = std::find_if(reading.components.begin(), reading.components.end(),
                                         [&](const ComponentDef& def) { return def.name == copy.pictureOf; });
        const std::string what = quotedName(copy.name) + " shows the picture of " + quotedName(copy.pictureOf);
        if (source == reading.components.end()) {
            if (!reading.names.count(copy.pictureOf))
                reading.problems.add(copy.line, what + ", which is no component");
        } else if (source->picture.empty()) {
            reading.problems.add(copy.line, what + ", which has no picture of its own");
        } else if (source->rect.width != copy.rect.width || source->rect.height != copy.rect.height) {
            reading.problems.add(copy.line, what + ", which is another size");
        }
    }
    return reading;
}

}  // namespace

void readLayoutLines(const std::string& text, LayoutProblems& problems,
                     const std::function<void(int line, const std::vector<LayoutWord>& words)>& read)
{
    int lineNumber = 0;
    for (const std::string& line : splitText(text, '\n')) {
        ++lineNumber;
        const size_t first = line.find_first_not_of(" \t\r\v\f");
        if (first == std::string::npos || line[first] == '#')
            continue;
        const std::optional<std::vector<LayoutWord>> words = splitLayoutLine(line);
        if (words)
            read(lineNumber, *words);
        else
            problems.add(lineNumber, "a closing quote is missing");
    }
}

bool insideWindow(const Rect& rect, int width, int height)
{
    return rect.left >= 0 && rect.top >= 0 && rect.left + rect.width <= width && rect.top + rect.height <= height;
}

std::string outsideWindow(const std::string& what, int width, int height)
{
    return what + " reaches outside the window (" + std::to_string(width) + " x " + std::to_string(height) + ")";
}

std::string namingFile(const std::string& path, const std::string& problems)
{
    std::string named;
    for (const std::string& problem : splitText(problems, '\n'))
        named += (named.empty() ? "" : "\n") + path + ": " + problem;
    return named;
}

LayoutResult parseLayout(const std::string& text)
{
    return readLines(text).result();
}

LayoutResult parseDeviceLayout(const std::string& text)
{
    Reading reading = readLines(text);
    const std::vector<std::string>& known = deviceComponentNames();
    const std::set<std::string> knownNames(known.begin(), known.end());
    for (const ComponentDef& def : reading.components) {
        if (!knownNames.count(def.name))
            reading.problems.add(def.line, "unknown component " + quotedName(def.name));
        if (!insideWindow(def.rect, DeviceWindowWidth, DeviceWindowHeight))
            reading.problems.add(def.line, outsideWindow(quotedName(def.name), DeviceWindowWidth, DeviceWindowHeight));
    }
    for (const std::string& name : known)
        if (!reading.names.count(name))
            reading.problems.add(0, "no component " + quotedName(name));
    return reading.result();
}

LayoutResult loadLayoutFile(const std::string& path)
{
    return readLayoutFile(path, parseDeviceLayout);
}
