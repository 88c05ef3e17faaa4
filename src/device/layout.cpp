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

LayoutResult parseLayout(const std::string& text)
{
    LayoutResult result;
    std::set<std::string> names;
    int lineNumber = 0;
    auto fail = [&](const std::string& what) {
        result.components.clear();
        result.error = "line " + std::to_string(lineNumber) + ": " + what;
        return result;
    };
    for (const std::string& line : splitText(text, '\n')) {
        ++lineNumber;
        if (line.empty() || line[0] == '#')
            continue;
        Words words(line);
        ComponentDef def;
        std::string transparent, start, cursor;
        if (!(words.word(def.name) && words.number(def.rect.left) && words.number(def.rect.top)
              && words.number(def.rect.width) && words.number(def.rect.height) && words.word(def.picture)
              && words.word(transparent) && words.word(start) && words.word(cursor)))
            return fail("expected name, left, top, width, height, picture, transparent, start, cursor");
        if (def.rect.width <= 0 || def.rect.height <= 0)
            return fail("the size of " + def.name + " is not positive");
        if (!parseYesNo(transparent, def.transparent) || !parseYesNo(start, def.startVisible))
            return fail("transparent and start are yes or no");
        if (!parseCursor(cursor, def.cursor))
            return fail("unknown cursor '" + cursor + "'");
        if (def.picture == "-")
            def.picture.clear();
        const std::string rest = words.rest();
        const auto open = rest.find('"');
        if (open != std::string::npos) {
            const auto close = rest.find('"', open + 1);
            if (close == std::string::npos)
                return fail("the hint's closing quote is missing");
            def.hint = rest.substr(open + 1, close - open - 1);
        } else if (rest.find_first_not_of(" \t\r") != std::string::npos) {
            return fail("unexpected text after the cursor");
        }
        if (!names.insert(def.name).second)
            return fail("component " + def.name + " appears twice");
        result.components.push_back(std::move(def));
    }
    if (result.components.empty())
        result.error = "no components";
    return result;
}

LayoutResult loadLayoutFile(const std::string& path)
{
    const std::optional<std::string> text = readTextFile(path);
    if (!text) {
        LayoutResult result;
        result.error = "cannot read " + path;
        return result;
    }
    LayoutResult result = parseLayout(*text);
    if (!result.error.empty())
        result.error = path + ": " + result.error;
    return result;
}
