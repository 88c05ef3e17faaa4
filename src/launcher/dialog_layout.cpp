#include "launcher/dialog_layout.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>
#include <iterator>
#include <map>
#include <set>

namespace {

// The value a keyword stands for, from a table of (keyword, value) pairs.
template <class Table, class Value>
bool lookUp(const std::string& word, const Table& table, Value& value)
{
    for (const auto& [keyword, meaning] : table)
        if (word == keyword) {
            value = meaning;
            return true;
        }
    return false;
}

const std::pair<const char*, DialogAlign> aligns[] = {
    {"left", DialogAlign::Left}, {"centre", DialogAlign::Centre}, {"right", DialogAlign::Right}};
const std::pair<const char*, DialogColour> colours[] = {{"white", DialogColour::White}, {"silver", DialogColour::Silver},
    {"yellow", DialogColour::Yellow}, {"aqua", DialogColour::Aqua}, {"red", DialogColour::Red}, {"black", DialogColour::Black}};

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
        else if (!lookUp(part, aligns, component.align) && !lookUp(part, colours, component.colour)) {
            bad = part;
            return false;
        }
    }
    return true;
}

const std::pair<const char*, DialogKind> kinds[] = {{"label", DialogKind::Label}, {"picture", DialogKind::Picture},
    {"list", DialogKind::List}, {"button", DialogKind::Button}, {"bevel", DialogKind::Bevel}};

const char* kindName(DialogKind kind)
{
    return std::ranges::find(kinds, kind, &std::pair<const char*, DialogKind>::second)->first;
}

// A dialog layout text as its lines give it: the windows and components of the lines that read
// right, the names every line gives, and every problem found, with its line (0 for the whole file).
struct Reading {
    DialogLayout layout;
    std::set<std::string> windowNames;
    std::map<std::string, std::set<std::string>> componentNames;  // by window
    LayoutProblems problems;

    DialogLayoutResult result()
    {
        if (!problems.empty())
            return failure(problems.text());
        return std::move(layout);
    }
};

// The windows the program makes, and the components its code looks up in each, of the kind it
// takes them for. The rest of a window's components are only shown.
struct ProgramWindow {
    const char* name;
    std::initializer_list<std::pair<const char*, DialogKind>> components;
};

const ProgramWindow programWindows[] = {
#define LOOKED_UP(name, kind, Widget) {#name, DialogKind::kind},
    {"SplashForm", {SPLASH_FORM_COMPONENTS(LOOKED_UP)}},
#undef LOOKED_UP
    {"KeysForm",
     {{"CB_1", DialogKind::List}, {"La_1", DialogKind::Label}, {"CB_2", DialogKind::List}, {"La_2", DialogKind::Label},
      {"CB_3", DialogKind::List}, {"La_3", DialogKind::Label}, {"CB_4", DialogKind::List}, {"La_4", DialogKind::Label},
      {"Puls_Accept", DialogKind::Button}}},
    {"AboutForm", {}},
};

const ProgramWindow* programWindow(const std::string& name)
{
    const auto window = std::ranges::find(programWindows, name, &ProgramWindow::name);
    return window == std::end(programWindows) ? nullptr : window;
}

}  // namespace

const DialogComponent* DialogWindow::find(const std::string& componentName) const
{
    const auto component = std::ranges::find(components, componentName, &DialogComponent::name);
    return component == components.end() ? nullptr : &*component;
}

const DialogWindow* DialogLayout::find(const std::string& windowName) const
{
    const auto window = std::ranges::find(windows, windowName, &DialogWindow::name);
    return window == windows.end() ? nullptr : &*window;
}

std::vector<std::string> listItems(const DialogComponent& list)
{
    std::vector<std::string> items = splitText(list.text, '|');
    if (!list.text.empty() && list.text.back() == '|')
        items.emplace_back();
    return items;
}

namespace {

Reading readLines(const std::string& text)
{
    Reading reading;
    DialogLayout& result = reading.layout;
    bool skipping = false;  // the components of a window whose line is wrong
    readLayoutLines(text, reading.problems, [&](int lineNumber, const std::vector<LayoutWord>& words) {
        auto fail = [&](const std::string& what) { reading.problems.add(lineNumber, what); };
        if (words[0].text == "window" && !words[0].quoted) {
            DialogWindow window;
            window.line = lineNumber;
            skipping = true;
            const bool named = words.size() > 1 && !words[1].quoted;
            const bool twice = named && !reading.windowNames.insert(words[1].text).second;
            if (words.size() != 5 || !named || !parseLayoutNumber(words[2], window.width)
                || !parseLayoutNumber(words[3], window.height) || !words[4].quoted)
                return fail("expected window, name, width, height, \"caption\"");
            window.name = words[1].text;
            window.caption = words[4].text;
            if (window.width <= 0 || window.height <= 0)
                return fail("the size of " + window.name + " is not positive");
            if (twice)
                return fail("window " + quotedName(window.name) + " appears twice");
            skipping = false;
            result.windows.push_back(std::move(window));
            return;
        }
        if (skipping)
            return;
        if (result.windows.empty())
            return fail("a component before the first window line");
        DialogComponent component;
        component.line = lineNumber;
        component.name = words[0].text;
        Rect& rect = component.rect;
        const std::string& window = result.windows.back().name;
        const bool twice = !reading.componentNames[window].insert(component.name).second;
        std::string bad;
        if (words.size() < 9 || words.size() > 10)
            fail("expected name, kind, left, top, width, height, look, cursor, \"text\" and an optional \"hint\"");
        else if (!lookUp(words[1].text, kinds, component.kind))
            fail("unknown kind '" + words[1].text + "'");
        else if (!parseLayoutNumber(words[2], rect.left) || !parseLayoutNumber(words[3], rect.top)
                 || !parseLayoutNumber(words[4], rect.width) || !parseLayoutNumber(words[5], rect.height))
            fail("left, top, width and height of " + component.name + " are whole numbers");
        else if (rect.width <= 0 || rect.height <= 0)
            fail("the size of " + component.name + " is not positive");
        else if (!parseLook(words[6].text, component, bad))
            fail("unknown look '" + bad + "'");
        else if (!parseCursor(words[7].text, component.cursor))
            fail("unknown cursor '" + words[7].text + "'");
        else if (!words[8].quoted || (words.size() == 10 && !words[9].quoted))
            fail("the text and the hint are written in double quotes");
        else if (twice)
            fail("component " + quotedName(component.name) + " appears twice in " + window);
        else {
            component.text = words[8].text;
            if (words.size() == 10)
                component.hint = words[9].text;
            result.windows.back().components.push_back(std::move(component));
        }
    });
    if (reading.windowNames.empty() && reading.problems.empty())
        reading.problems.add(0, "no windows");
    return reading;
}

}  // namespace

DialogLayoutResult parseDialogLayout(const std::string& text)
{
    return readLines(text).result();
}

DialogLayoutResult parseProgramDialogLayout(const std::string& text)
{
    Reading reading = readLines(text);
    for (const DialogWindow& window : reading.layout.windows) {
        const ProgramWindow* known = programWindow(window.name);
        if (!known) {
            reading.problems.add(window.line, "unknown window " + quotedName(window.name));
            continue;
        }
        for (const DialogComponent& component : window.components) {
            const auto named = std::find_if(known->components.begin(), known->components.end(),
                                            [&](const auto& entry) { return component.name == entry.first; });
            const std::string what = quotedName(component.name) + " in " + window.name;
            if (named != known->components.end() && component.kind != named->second)
                reading.problems.add(component.line,
                                what + " is a " + kindName(component.kind) + ", not a " + kindName(named->second));
            // A list or a button nothing in the program looks up would do nothing when used.
            if (named == known->components.end()
                && (component.kind == DialogKind::List || component.kind == DialogKind::Button))
                reading.problems.add(component.line, "unknown " + std::string(kindName(component.kind)) + " " + what);
            if (!insideWindow(component.rect, window.width, window.height))
                reading.problems.add(component.line, outsideWindow(what, window.width, window.height));
        }
        for (const auto& [name, kind] : known->components)
            if (!reading.componentNames[window.name].count(name))
                reading.problems.add(0, "no component " + quotedName(name) + " in " + window.name);
    }
    for (const ProgramWindow& known : programWindows)
        if (!reading.windowNames.count(known.name))
            reading.problems.add(0, "no window " + quotedName(known.name));
    return reading.result();
}

DialogLayoutResult loadDialogLayoutFile(const std::string& path)
{
    return readLayoutFile(path, parseProgramDialogLayout);
}
