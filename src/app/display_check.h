// Whether the program's windows have somewhere to go, asked before Qt is started: Qt ends a
// program whose window system it cannot reach with an abort and a hint to reinstall it.
#pragma once

#include <string>

// The window systems Qt would try (QT_QPA_PLATFORM, a ';'-separated list, or X11 and Wayland when
// it is unset or empty), each checked by what it needs from the environment: X11 a DISPLAY,
// Wayland a WAYLAND_DISPLAY or the compositor's default socket (wayland-0 in XDG_RUNTIME_DIR).
// Any other platform (offscreen, a frame buffer ...) is Qt's to judge. True when one of them may
// be reached.
bool displayFound();

// What the program says, on standard error, when none was found.
std::string noDisplayMessage(const std::string& program);
