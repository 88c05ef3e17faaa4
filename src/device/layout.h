// The device window's components as layout data: name, rectangle, picture, transparency,
// start visibility, pointer shape and hint, in drawing order; and the names the device's code
// looks its components up by, which a device layout must hold exactly.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/expected.h"
#include "common/text.h"

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool contains(int x, int y) const { return x >= left && x < left + width && y >= top && y < top + height; }
    bool operator==(const Rect&) const = default;
};

enum class Cursor { Default, Hand, Help };

struct ComponentDef {
    std::string name;
    Rect rect;
    std::string picture;    // file name under the picture folder, empty for none
    std::string pictureOf;  // the component whose picture this one shows instead, empty for none
    bool transparent = false;
    bool startVisible = false;
    Cursor cursor = Cursor::Default;
    std::string hint;
    int line = 0;  // where the layout text has it
};

// A layout's components, or every problem it has, one a line ("line N: what is wrong" where a
// line is to blame).
using LayoutResult = Expected<std::vector<ComponentDef>>;

// Every component that a handler names directly.
#define TFORM1_NAMED_COMPONENTS(X)                                                                      \
    X(Im_Base) X(Im_Front) X(Im_SchermoLTop) X(Im_SchermoRTop)                                          \
    X(Puls_Left) X(Puls_Right) X(Puls_GameA) X(Puls_GameB) X(Puls_Time) X(Puls_ACL) X(Puls_Alarm)       \
    X(Im_TimeAM) X(Im_TimePM) X(Im_TimePP) X(Im_GameA) X(Im_GameB) X(Im_Alarm)                          \
    X(Im_Folko1) X(Im_Folko1A) X(Im_Folko1B) X(Im_Folko2) X(Im_Folko2A) X(Im_Folko2B)                   \
    X(Im_Folko3) X(Im_Folko3A)                                                                          \
    X(Im_Zerno1) X(Im_Zerno1A) X(Im_Zerno1B) X(Im_Zerno2) X(Im_Zerno2A) X(Im_Zerno2B)                   \
    X(Im_Zerno3) X(Im_Zerno3A) X(Im_Zerno3B)                                                            \
    X(Im_PackR1) X(Im_PackR2) X(Im_PackR3) X(Im_PackR4) X(Im_PackR5)                                    \
    X(Im_PackL1) X(Im_PackL2) X(Im_PackL3) X(Im_PackL4) X(Im_PackL5)                                    \
    X(Im_Bus1) X(Im_Bus2) X(Im_Bus3) X(Im_Bus4) X(Im_Bus5) X(Im_Bus6)                                   \
    X(Im_Pack0001) X(Im_Pack0002) X(Im_Pack0003) X(Im_Pack0004) X(Im_Pack0005)                          \
    X(Im_Pack0101) X(Im_Pack0103) X(Im_Pack0105) X(Im_Pack0802) X(Im_Pack0804)                          \
    X(Im_Pack0901) X(Im_Pack0902) X(Im_Pack0903) X(Im_Pack0904) X(Im_Pack0905)                          \
    X(Im_Pack1001) X(Im_Pack1101)                                                                       \
    X(Im_FolkoOff1) X(Im_FolkoOff2) X(Im_ZernoOff1) X(Im_ZernoOff2)                                     \
    X(Im_MissL1) X(Im_MissL2) X(Im_MissL3) X(Im_MissL4)                                                 \
    X(Im_MissR1) X(Im_MissR2) X(Im_MissR3) X(Im_MissR4) X(Im_MissR5)                                    \
    X(Im_NumPos1) X(Im_NumPos2) X(Im_NumPos3) X(Im_NumPos4)


// The device window's client area when open: every component lies inside it.
constexpr int DeviceWindowWidth = 766;
constexpr int DeviceWindowHeight = 416;

// A cell of the parcel grid by column and row: Im_Pack0903.
std::string packName(int column, int row);

// Every component the device's code looks up by name: the ones the handlers name, the ten digit
// pictures, the four miss marks and every cell of the parcel grid.
const std::vector<std::string>& deviceComponentNames();

// "default", "hand" or "help"; false for any other word.
bool parseCursor(const std::string& word, Cursor& cursor);

// A word of a layout line. Words are separated by blanks; a double-quoted text is one word, its
// quotes removed. Both layout files are read with these.
struct LayoutWord {
    std::string text;
    bool quoted = false;
};
// The words of a line; nothing when a quote is not closed.
std::optional<std::vector<LayoutWord>> splitLayoutLine(const std::string& line);
// A whole decimal number, not in quotes.
bool parseLayoutNumber(const LayoutWord& word, int& value);
// A name as the messages quote it: 'Im_Front'.
std::string quotedName(const std::string& name);

// The problems found in a layout text, each with its line (0 for the whole file), told one a
// line in the order of their lines, those of the whole file last: "line 12: ...".
class LayoutProblems {
public:
    void add(int line, const std::string& what) { problems_.emplace_back(line, what); }
    bool empty() const { return problems_.empty(); }
    std::string text() const;

private:
    std::vector<std::pair<int, std::string>> problems_;
};

// Reads a layout text a line at a time: read gets the number and the words of every line that
// holds words and is no comment (# first); a line whose quote is not closed is a problem.
void readLayoutLines(const std::string& text, LayoutProblems& problems,
                     const std::function<void(int line, const std::vector<LayoutWord>& words)>& read);

// Whether a rectangle lies inside a window of that size.
bool insideWindow(const Rect& rect, int width, int height);
// The message for a component that does not: "'NAME' reaches outside the window (W x H)".
std::string outsideWindow(const std::string& what, int width, int height);
// The problems of a layout file, each on its own line and each naming the file.
std::string namingFile(const std::string& path, const std::string& problems);

// The layout file at path as parse reads its text; each problem starts with the path.
template <class Layout>
Expected<Layout> readLayoutFile(const std::string& path, Expected<Layout> (*parse)(const std::string&))
{
    const std::optional<std::string> text = readTextFile(path);
    if (!text)
        return failure("cannot read " + path);
    Expected<Layout> layout = parse(*text);
    if (!layout)
        return failure(namingFile(path, layout.error()));
    return layout;
}

// A layout text as written: every line and every picture shared, whatever window it describes.
LayoutResult parseLayout(const std::string& text);
// The device window's layout text: parseLayout's reading, then each of deviceComponentNames
// present, no other name, and every rectangle inside the open window.
LayoutResult parseDeviceLayout(const std::string& text);
// The device window's layout file, as parseDeviceLayout reads it; each problem starts with the path.
LayoutResult loadLayoutFile(const std::string& path);
