// Whether the program's windows have somewhere to go, asked before Qt is started: Qt ends a
// program whose window system it cannot reach with an abort and a hint to reinstall it.
#pragma once

#include <string>
#include <vector>

// The window systems Qt would try (QT_QPA_PLATFORM, a ';'-separated list, or X11 and Wayland when
// it is unset or empty), each checked by what it needs: X11 a DISPLAY, Wayland a WAYLAND_DISPLAY
// or the compositor's default socket (wayland-0 in XDG_RUNTIME_DIR), and each its platform plugin
// in one of pluginFolders (Qt's plugin folders; none given: not looked for). Any other platform
// (offscreen, a frame buffer ...) is Qt's to judge. True when one of them may be reached.
bool displayFound(const std::vector<std::string>& pluginFolders);

// What the program says, on standard error, when none was found.
std::string noDisplayMessage(const std::string& program);
