// The device window's components as layout data: name, rectangle, picture, transparency,
// start visibility, pointer shape and hint, in drawing order.
#pragma once

#include <optional>
#include <string>
#include <vector>

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
    std::string picture;  // file name under the picture folder, empty for none
    bool transparent = false;
    bool startVisible = false;
    Cursor cursor = Cursor::Default;
    std::string hint;
};

struct LayoutResult {
    std::vector<ComponentDef> components;
    std::string error;  // empty when the text parsed; otherwise "line N: what is wrong"
};

// "default", "hand" or "help"; false for any other word.
bool parseCursor(const std::string& word, Cursor& cursor);

// The whole of a text file, or nothing when it cannot be read.
std::optional<std::string> readTextFile(const std::string& path);

// The parts of text between separators, as reading it with std::getline would give them: a
// separator at the very end starts no further part. The layouts are split with this rather
// than with string streams, whose locale set-up alone would cost the program some 400 kB of
// resident memory.
std::vector<std::string> splitText(const std::string& text, char separator);

LayoutResult parseLayout(const std::string& text);
LayoutResult loadLayoutFile(const std::string& path);
