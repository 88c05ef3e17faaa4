#include "caption_buttons.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <dlfcn.h>
#include <xcb/xcb.h>

namespace {

// The Motif window manager hints, which X11 window managers read for a window's functions and
// decorations.
enum : uint32_t {
    HintsFunctions = 1,
    HintsDecorations = 2,
    FunctionMove = 4,
    FunctionMinimise = 8,
    FunctionMaximise = 16,
    FunctionClose = 32,
    DecorBorder = 2,
    DecorTitle = 8,
    DecorMenu = 16,
    DecorMinimise = 32,
    DecorMaximise = 64,
};

}  // namespace

void askForCaptionButtons(QWidget* window)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    // The X11 platform has loaded libxcb already; the program does not link it, so that it maps
    // nothing more on other platforms.
    void* xcb = ::dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (!xcb)
        return;
    const auto internAtom = reinterpret_cast<decltype(&xcb_intern_atom)>(::dlsym(xcb, "xcb_intern_atom"));
    const auto atomReply = reinterpret_cast<decltype(&xcb_intern_atom_reply)>(::dlsym(xcb, "xcb_intern_atom_reply"));
    const auto changeProperty = reinterpret_cast<decltype(&xcb_change_property)>(::dlsym(xcb, "xcb_change_property"));
    if (internAtom && atomReply && changeProperty) {
        xcb_connection_t* connection = x11->connection();
        static const char name[] = "_MOTIF_WM_HINTS";
        xcb_intern_atom_reply_t* atom =
            atomReply(connection, internAtom(connection, 0, sizeof name - 1, name), nullptr);
        if (atom) {
            const Qt::WindowFlags flags = window->windowFlags();
            uint32_t hints[5] = {HintsFunctions | HintsDecorations, FunctionMove, DecorBorder | DecorTitle, 0, 0};
            if (flags & Qt::WindowCloseButtonHint)
                hints[1] |= FunctionClose;
            if (flags & Qt::WindowMinimizeButtonHint) {
                hints[1] |= FunctionMinimise;
                hints[2] |= DecorMinimise;
            }
            if (flags & Qt::WindowMaximizeButtonHint) {
                hints[1] |= FunctionMaximise;
                hints[2] |= DecorMaximise;
            }
            if (flags & Qt::WindowSystemMenuHint)
                hints[2] |= DecorMenu;
            changeProperty(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom->atom, atom->atom,
                           32, 5, hints);
            std::free(atom);
        }
    }
    ::dlclose(xcb);
}
