#include "dialog_layout.h"

#include <charconv>
#include <initializer_list>
#include <set>

namespace {

struct Word {
    std::string text;
    bool quoted = false;
};

// Splits a line at blanks; a double-quoted text is one word, quotes removed. False when a quote
// is not closed.
bool splitWords(const std::string& line, std::vector<Word>& words)
{
    size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i == line.size())
            return true;
        if (line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            if (close == std::string::npos)
                return false;
            words.push_back({line.substr(i + 1, close - i - 1), true});
            i = close + 1;
        } else {
            const size_t end = line.find_first_of(" \t\r\"", i);
            const size_t stop = end == std::string::npos ? line.size() : end;
            words.push_back({line.substr(i, stop - i), false});
            i = stop;
        }
    }
}

bool parseNumber(const Word& word, int& value)
{
    if (word.quoted)
        return false;
    const char* first = word.text.data();
    const char* last = first + word.text.size();
    const auto [end, error] = std::from_chars(first, last, value);
    return error == std::errc() && end == last;
}

// The value a keyword stands for, from a table of (keyword, value) pairs.
template <class Value>
bool lookUp(const std::string& word, std::initializer_list<std::pair<const char*, Value>> table, Value& value)
{
    for (const auto& [keyword, meaning] : table)
        if (word == keyword) {
            value = meaning;
            return true;
        }
    return false;
}

bool parseLook(const std::string& look, DialogComponent& component, std::string& bad)
{
    if (look == "-")
        return true;
    for (const std::string& part : splitText(look, ',')) {
        int pixels = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), pixels);
        if (!part.empty() && error == std::errc() && end == part.data() + part.size() && pixels > 0)
            component.fontPixels = pixels;
        else if (part == "bold")
            component.bold = true;
        else if (part == "underline")
            component.underline = true;
        else if (part == "hidden")
            component.hidden = true;
        else if (!lookUp(part, {{"left", DialogAlign::Left}, {"centre", DialogAlign::Centre}, {"right", DialogAlign::Right}},
                         component.align)
                 && !lookUp(part,
                            {{"white", DialogColour::White}, {"silver", DialogColour::Silver},
                             {"yellow", DialogColour::Yellow}, {"aqua", DialogColour::Aqua},
                             {"red", DialogColour::Red}, {"black", DialogColour::Black}},
                            component.colour)) {
            bad = part;
            return false;
        }
    }
    return true;
}

bool parseKind(const std::string& word, DialogKind& kind)
{
    return lookUp(word,
                  {{"label", DialogKind::Label}, {"picture", DialogKind::Picture}, {"list", DialogKind::List},
                   {"button", DialogKind::Button}, {"bevel", DialogKind::Bevel}},
                  kind);
}

}  // namespace

const DialogComponent* DialogWindow::find(const std::string& componentName) const
{
    for (const DialogComponent& component : components)
        if (component.name == componentName)
            return &component;
    return nullptr;
}

const DialogWindow* DialogLayout::find(const std::string& windowName) const
{
    for (const DialogWindow& window : windows)
        if (window.name == windowName)
            return &window;
    return nullptr;
}

std::vector<std::string> listItems(const DialogComponent& list)
{
    std::vector<std::string> items = splitText(list.text, '|');
    if (!list.text.empty() && list.text.back() == '|')
        items.emplace_back();
    return items;
}

DialogLayout parseDialogLayout(const std::string& text)
{
    DialogLayout result;
    std::set<std::string> windowNames;
    std::set<std::string> componentNames;
    int lineNumber = 0;
    auto fail = [&](const std::string& what) {
        result.windows.clear();
        result.error = "line " + std::to_string(lineNumber) + ": " + what;
        return result;
    };
    for (const std::string& line : splitText(text, '\n')) {
        ++lineNumber;
        std::vector<Word> words;
        if (!splitWords(line, words))
            return fail("a closing quote is missing");
        if (words.empty() || (!words[0].quoted && words[0].text[0] == '#'))
            continue;
        if (words[0].text == "window" && !words[0].quoted) {
            DialogWindow window;
            if (words.size() != 5 || words[1].quoted || !parseNumber(words[2], window.width)
                || !parseNumber(words[3], window.height) || !words[4].quoted)
                return fail("expected window, name, width, height, \"caption\"");
            window.name = words[1].text;
            window.caption = words[4].text;
            if (window.width <= 0 || window.height <= 0)
                return fail("the size of " + window.name + " is not positive");
            if (!windowNames.insert(window.name).second)
                return fail("window " + window.name + " appears twice");
            componentNames.clear();
            result.windows.push_back(std::move(window));
            continue;
        }
        if (result.windows.empty())
            return fail("a component before the first window line");
        DialogComponent component;
        if (words.size() < 9 || words.size() > 10)
            return fail("expected name, kind, left, top, width, height, look, cursor, \"text\" and "
                        "an optional \"hint\"");
        component.name = words[0].text;
        std::string bad;
        if (!parseKind(words[1].text, component.kind))
            return fail("unknown kind '" + words[1].text + "'");
        if (!parseNumber(words[2], component.left) || !parseNumber(words[3], component.top)
            || !parseNumber(words[4], component.width) || !parseNumber(words[5], component.height))
            return fail("left, top, width and height of " + component.name + " are whole numbers");
        if (component.width <= 0 || component.height <= 0)
            return fail("the size of " + component.name + " is not positive");
        if (!parseLook(words[6].text, component, bad))
            return fail("unknown look '" + bad + "'");
        if (!parseCursor(words[7].text, component.cursor))
            return fail("unknown cursor '" + words[7].text + "'");
        if (!words[8].quoted || (words.size() == 10 && !words[9].quoted))
            return fail("the text and the hint are written in double quotes");
        component.text = words[8].text;
        if (words.size() == 10)
            component.hint = words[9].text;
        if (!componentNames.insert(component.name).second)
            return fail("component " + component.name + " appears twice in " + result.windows.back().name);
        result.windows.back().components.push_back(std::move(component));
    }
    if (result.windows.empty())
        result.error = "no windows";
    return result;
}

DialogLayout loadDialogLayoutFile(const std::string& path)
{
    const std::optional<std::string> text = readTextFile(path);
    if (!text) {
        DialogLayout result;
        result.error = "cannot read " + path;
        return result;
    }
    DialogLayout result = parseDialogLayout(*text);
    if (!result.error.empty())
        result.error = path + ": " + result.error;
    return result;
}
