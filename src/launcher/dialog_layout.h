// The launcher's, the key dialog's and the about dialog's windows as layout data: each window's
// caption and client size, and its components with their kind, rectangle, look, pointer, text
// and hint, bottom first.
#pragma once

#include <string>
#include <vector>

#include "common/expected.h"
#include "device/layout.h"

enum class DialogKind { Label, Picture, List, Button, Bevel };
enum class DialogAlign { Left, Centre, Right };
enum class DialogColour { None, White, Silver, Yellow, Aqua, Red, Black };
// The pointer shapes are the device window's.
using DialogCursor = Cursor;

struct DialogComponent {
    std::string name;
    DialogKind kind = DialogKind::Label;
    Rect rect;
    int fontPixels = 0;  // 0: the window's own font
    bool bold = false;
    bool underline = false;
    DialogColour colour = DialogColour::None;
    DialogAlign align = DialogAlign::Left;
    bool hidden = false;
    DialogCursor cursor = DialogCursor::Default;
    std::string text;  // caption, picture file, or the list's items joined by |
    std::string hint;
    int line = 0;  // where the layout text has it
};

struct DialogWindow {
    std::string name;
    int width = 0;
    int height = 0;
    std::string caption;
    std::vector<DialogComponent> components;
    int line = 0;

    // The component of that name, or nullptr.
    const DialogComponent* find(const std::string& componentName) const;
};

struct DialogLayout {
    std::vector<DialogWindow> windows;

    // The window of that name, or nullptr.
    const DialogWindow* find(const std::string& windowName) const;
};

// The launcher's components its code looks up, each once: name, kind, and the widget it is made as.
// The program's layout must hold each of them, of its kind.
#define SPLASH_FORM_COMPONENTS(X)                                                                   \
    X(La_Title, Label, QLabel) X(La_Version, Label, QLabel) X(Im_Piccina, Picture, QLabel)          \
    X(Im_PiccinaAlt, Picture, QLabel) X(Im_PiccinaTop, Picture, ClickLabel)                         \
    X(La_dedicated, Label, QLabel) X(La_Http, Label, ClickLabel) X(La_Email, Label, ClickLabel)     \
    X(La_Sound, Label, QLabel) X(CB_Sound, List, QComboBox) X(Puls_Play, Button, QPushButton)

// A dialog layout, or every problem with it, one a line ("line N: what is wrong" where a line is
// to blame).
using DialogLayoutResult = Expected<DialogLayout>;

// A dialog layout text as written, whatever windows it describes.
DialogLayoutResult parseDialogLayout(const std::string& text);
// The program's dialog layout text: parseDialogLayout's reading, then the launcher, the key
// dialog and the about dialog present and no other window, each holding the components the
// program looks up, of their kind, once; no list or button it does not know; every rectangle
// inside its window.
DialogLayoutResult parseProgramDialogLayout(const std::string& text);
// The program's dialog layout file, as parseProgramDialogLayout reads it; each problem starts
// with the path.
DialogLayoutResult loadDialogLayoutFile(const std::string& path);

// A list's items: its text split at every |.
std::vector<std::string> listItems(const DialogComponent& list);
