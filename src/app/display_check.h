// Whether the program's windows have somewhere to go, asked before Qt is started: Qt ends a
// program whose window system it cannot reach with an abort and a hint to reinstall it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Whether the display server of a platform ("xcb" or "wayland") named in the environment
// answers a connection.
bool displayAnswers(std::string_view platform);

// The window systems Qt would try (QT_QPA_PLATFORM, a ';'-separated list, or X11 and Wayland when
// it is unset or empty), each checked by what it needs: X11 a DISPLAY, Wayland a WAYLAND_DISPLAY
// or the compositor's default socket (wayland-0 in XDG_RUNTIME_DIR), and each its platform plugin
// in one of pluginFolders (Qt's plugin folders; none given: not looked for). Any other platform
// (offscreen, a frame buffer ...) is Qt's to judge. True when one of them may be reached.
// A display named in the environment counts only when its server answers (answers: "xcb" or
// "wayland"; by default a connection is tried through the window system's own client library,
// loaded at run time, and a platform whose library cannot be loaded is left to Qt).
bool displayFound(const std::vector<std::string>& pluginFolders,
                  const std::function<bool(std::string_view platform)>& answers = displayAnswers);

// What the program says, on standard error, when none was found.
std::string noDisplayMessage(const std::string& program);
