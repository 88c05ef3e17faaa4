#include "layout.h"

#include <fstream>
#include <set>
#include <sstream>

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
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

LayoutResult parseLayout(const std::string& text)
{
    LayoutResult result;
    std::istringstream lines(text);
    std::string line;
    std::set<std::string> names;
    int lineNumber = 0;
    auto fail = [&](const std::string& what) {
        result.components.clear();
        result.error = "line " + std::to_string(lineNumber) + ": " + what;
        return result;
    };
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream words(line);
        ComponentDef def;
        std::string transparent, start, cursor;
        if (!(words >> def.name >> def.rect.left >> def.rect.top >> def.rect.width >> def.rect.height
                    >> def.picture >> transparent >> start >> cursor))
            return fail("expected name, left, top, width, height, picture, transparent, start, cursor");
        if (def.rect.width <= 0 || def.rect.height <= 0)
            return fail("the size of " + def.name + " is not positive");
        if (!parseYesNo(transparent, def.transparent) || !parseYesNo(start, def.startVisible))
            return fail("transparent and start are yes or no");
        if (!parseCursor(cursor, def.cursor))
            return fail("unknown cursor '" + cursor + "'");
        if (def.picture == "-")
            def.picture.clear();
        std::string rest;
        std::getline(words, rest);
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
