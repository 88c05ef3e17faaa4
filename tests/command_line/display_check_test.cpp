// Whether zerno-bros finds a window system before it starts Qt, from the platforms Qt would try
// and what each needs from the environment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "app/display_check.h"

namespace {

namespace fs = std::filesystem;

void setOrUnset(const char* name, const char* value)
{
    if (value)
        setenv(name, value, 1);
    else
        unsetenv(name);
}

struct Case {
    const char* platform;  // QT_QPA_PLATFORM, nullptr: unset
    const char* display;
    const char* waylandDisplay;
    bool waylandSocket;  // the compositor's default socket in XDG_RUNTIME_DIR
    bool waylandPlugin;  // Qt's Wayland platform plugin installed (the X11 one always is)
    bool found;
    bool serverAnswers = true;  // the named display's server answers a connection
};

TEST(DisplayCheck, FindsADisplayOnlyWhereAPlatformQtWouldTryHasOneThatAnswersAndItsPlugin)
{
    const fs::path scratch = fs::temp_directory_path() / ("display_check_test." + std::to_string(getpid()));
    const fs::path runtime = scratch / "runtime";
    const fs::path platforms = scratch / "plugins" / "platforms";
    fs::create_directories(runtime);
    fs::create_directories(platforms);
    std::ofstream(platforms / "libqxcb.so");
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const Case cases[] = {
        {nullptr, nullptr, nullptr, false, true, false},
        {"", "", "", false, true, false},
        {nullptr, ":0", nullptr, false, true, true},
        {nullptr, nullptr, "wayland-1", false, true, true},
        {nullptr, nullptr, nullptr, true, true, true},
        {nullptr, nullptr, "wayland-1", true, false, false},
        {nullptr, ":0", "wayland-1", true, false, true},
        {"xcb", nullptr, "wayland-1", true, true, false},
        {"wayland", ":0", nullptr, false, true, false},
        {"wayland-egl", nullptr, "wayland-1", false, true, true},
        {"wayland;xcb", ":0", nullptr, false, false, true},
        {"offscreen", nullptr, nullptr, false, false, true},
        {nullptr, ":0", nullptr, false, true, false, false},
        {nullptr, nullptr, "wayland-1", true, true, false, false},
        {"offscreen", ":0", nullptr, false, false, true, false},
    };
    for (const Case& c : cases) {
        setOrUnset("QT_QPA_PLATFORM", c.platform);
        setOrUnset("DISPLAY", c.display);
        setOrUnset("WAYLAND_DISPLAY", c.waylandDisplay);
        if (c.waylandSocket)
            std::ofstream(runtime / "wayland-0");
        else
            fs::remove(runtime / "wayland-0");
        if (c.waylandPlugin)
            std::ofstream(platforms / "libqwayland-generic.so");
        else
            fs::remove(platforms / "libqwayland-generic.so");
        const auto answers = [&c](std::string_view) { return c.serverAnswers; };
        EXPECT_EQ(displayFound({"/nonexistent", (scratch / "plugins").string()}, answers), c.found)
            << (c.platform ? c.platform : "(unset)") << " DISPLAY=" << (c.display ? c.display : "(unset)")
            << " WAYLAND_DISPLAY=" << (c.waylandDisplay ? c.waylandDisplay : "(unset)")
            << " socket=" << c.waylandSocket << " plugin=" << c.waylandPlugin << " answers=" << c.serverAnswers;
    }
    fs::remove_all(scratch);
}

}  // namespace
