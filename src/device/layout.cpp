#include "layout.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <set>

namespace {

bool parseYesNo(const std::string& word, bool& value)
{
    if (word == "yes")
        value = true;
    else if (word == "no")
        value = false;
    else
        return false;
    return true;
}

// Takes blank-separated words off a line from the left.
class Words {
public:
    explicit Words(const std::string& line) : line_(line) {}

    bool word(std::string& word)
    {
        const size_t start = line_.find_first_not_of(blanks, at_);
        if (start == std::string::npos)
            return false;
        const size_t end = std::min(line_.find_first_of(blanks, start), line_.size());
        word = line_.substr(start, end - start);
        at_ = end;
        return true;
    }

    bool number(int& value)
    {
        std::string text;
        if (!word(text))
            return false;
        const char* first = text.data() + (text.size() > 1 && text[0] == '+' ? 1 : 0);
        const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
        return error == std::errc() && end == text.data() + text.size();
    }

    // What is left after the words taken.
    std::string rest() const { return line_.substr(at_); }

private:
    static constexpr const char* blanks = " \t\r\v\f";
    const std::string& line_;
    size_t at_ = 0;
};

}  // namespace

bool parseCursor(const std::string& word, Cursor& cursor)
{
    if (word == "default")
        cursor = Cursor::Default;
    else if (word == "hand")
        cursor = Cursor::Hand;
    else if (word == "help")
        cursor = Cursor::Help;
    else
        return false;
    return true;
}

std::optional<std::string> readTextFile(const std::string& path)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file)
        return std::nullopt;
    std::string text;
    char buffer[16384];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        text.append(buffer, got);
    if (std::ferror(file.get()))
        return std::nullopt;
    return text;
}

std::vector<std::string> splitText(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find(separator, start), text.size());
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
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

std::string quoted(const std::string& name)
{
    return "'" + name + "'";
}

// A layout text as its lines give it: the components of the lines that read right, the name every
// line starts with, and every problem found, with its line (0 for the whole file).
struct Reading {
    std::vector<ComponentDef> components;
    std::set<std::string> names;
    std::vector<std::pair<int, std::string>> problems;

    void problem(int line, const std::string& what) { problems.emplace_back(line, what); }

    // The problems in the order of their lines, those of the whole file last; no components
    // when there is one.
    LayoutResult result()
    {
        std::stable_sort(problems.begin(), problems.end(), [](const auto& a, const auto& b) {
            return a.first != 0 && (b.first == 0 || a.first < b.first);
        });
        LayoutResult result;
        for (const auto& [line, what] : problems) {
            if (!result.error.empty())
                result.error += '\n';
            if (line > 0)
                result.error += "line " + std::to_string(line) + ": ";
            result.error += what;
        }
        if (result.error.empty())
            result.components = std::move(components);
        return result;
    }
};

Reading readLines(const std::string& text)
{
    Reading reading;
    int lineNumber = 0;
    auto fail = [&](const std::string& what) { reading.problem(lineNumber, what); };
    for (const std::string& line : splitText(text, '\n')) {
        ++lineNumber;
        if (line.empty() || line[0] == '#')
            continue;
        Words words(line);
        ComponentDef def;
        def.line = lineNumber;
        std::string transparent, start, cursor;
        const bool named = words.word(def.name);
        const bool twice = named && !reading.names.insert(def.name).second;
        if (!(named && words.number(def.rect.left) && words.number(def.rect.top) && words.number(def.rect.width)
              && words.number(def.rect.height) && words.word(def.picture) && words.word(transparent)
              && words.word(start) && words.word(cursor))) {
            fail("expected name, left, top, width, height, picture, transparent, start, cursor");
            continue;
        }
        if (def.rect.width <= 0 || def.rect.height <= 0) {
            fail("the size of " + quoted(def.name) + " is not positive");
            continue;
        }
        if (!parseYesNo(transparent, def.transparent) || !parseYesNo(start, def.startVisible)) {
            fail("transparent and start are yes or no");
            continue;
        }
        if (!parseCursor(cursor, def.cursor)) {
            fail("unknown cursor " + quoted(cursor));
            continue;
        }
        if (def.picture == "-") {
            def.picture.clear();
        } else if (def.picture[0] == '=') {
            def.pictureOf = def.picture.substr(1);
            def.picture.clear();
            if (def.pictureOf.empty()) {
                fail("= names the component whose picture " + quoted(def.name) + " shows");
                continue;
            }
        }
        const std::string rest = words.rest();
        const auto open = rest.find('"');
        if (open != std::string::npos) {
            const auto close = rest.find('"', open + 1);
            if (close == std::string::npos) {
                fail("the hint's closing quote is missing");
                continue;
            }
            def.hint = rest.substr(open + 1, close - open - 1);
        } else if (rest.find_first_not_of(" \t\r") != std::string::npos) {
            fail("unexpected text after the cursor");
            continue;
        }
        if (twice) {
            fail("component " + quoted(def.name) + " appears twice");
            continue;
        }
        reading.components.push_back(std::move(def));
    }
    if (reading.names.empty() && reading.problems.empty())
        reading.problem(0, "no components");

    // A component that shows another's picture needs one of the same size to show: the picture is
    // drawn at its own size from the rectangle's corner. A line that is wrong is reported already.
    for (const ComponentDef& copy : reading.components) {
        if (copy.pictureOf.empty())
            continue;
        const auto source = std::find_if(reading.components.begin(), reading.components.end(),
                                         [&](const ComponentDef& def) { return def.name == copy.pictureOf; });
        const std::string what = quoted(copy.name) + " shows the picture of " + quoted(copy.pictureOf);
        if (source == reading.components.end()) {
            if (!reading.names.count(copy.pictureOf))
                reading.problem(copy.line, what + ", which is no component");
        } else if (source->picture.empty()) {
            reading.problem(copy.line, what + ", which has no picture of its own");
        } else if (source->rect.width != copy.rect.width || source->rect.height != copy.rect.height) {
            reading.problem(copy.line, what + ", which is another size");
        }
    }
    return reading;
}

bool inside(const Rect& rect, int width, int height)
{
    return rect.left >= 0 && rect.top >= 0 && rect.left + rect.width <= width && rect.top + rect.height <= height;
}

}  // namespace

LayoutResult parseLayout(const std::string& text)
{
    return readLines(text).result();
}

LayoutResult parseDeviceLayout(const std::string& text)
{
    Reading reading = readLines(text);
    const std::vector<std::string>& known = deviceComponentNames();
    for (const ComponentDef& def : reading.components) {
        if (std::find(known.begin(), known.end(), def.name) == known.end())
            reading.problem(def.line, "unknown component " + quoted(def.name));
        if (!inside(def.rect, DeviceWindowWidth, DeviceWindowHeight))
            reading.problem(def.line, quoted(def.name) + " reaches outside the window (" + std::to_string(DeviceWindowWidth)
                                          + " x " + std::to_string(DeviceWindowHeight) + ")");
    }
    for (const std::string& name : known)
        if (!reading.names.count(name))
            reading.problem(0, "no component " + quoted(name));
    return reading.result();
}

LayoutResult loadLayoutFile(const std::string& path)
{
    const std::optional<std::string> text = readTextFile(path);
    if (!text) {
        LayoutResult result;
        result.error = "cannot read " + path;
        return result;
    }
    LayoutResult result = parseDeviceLayout(*text);
    // Every problem on its own line, each naming the file.
    std::string named;
    for (const std::string& problem : splitText(result.error, '\n'))
        named += (named.empty() ? "" : "\n") + path + ": " + problem;
    result.error = named;
    return result;
}
