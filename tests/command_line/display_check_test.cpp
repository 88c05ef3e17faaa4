// Whether zerno-bros finds a window system before it starts Qt, from the platforms Qt would try
// and what each needs from the environment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "display_check.h"

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
    bool found;
};

TEST(DisplayCheck, FindsADisplayOnlyWhereAPlatformQtWouldTryHasOne)
{
    const fs::path runtime = fs::temp_directory_path() / ("display_check_test." + std::to_string(getpid()));
    fs::create_directories(runtime);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    const Case cases[] = {
        {nullptr, nullptr, nullptr, false, false},
        {"", "", "", false, false},
        {nullptr, ":0", nullptr, false, true},
        {nullptr, nullptr, "wayland-1", false, true},
        {nullptr, nullptr, nullptr, true, true},
        {"xcb", nullptr, "wayland-1", true, false},
        {"wayland", ":0", nullptr, false, false},
        {"wayland-egl", nullptr, "wayland-1", false, true},
        {"wayland;xcb", ":0", nullptr, false, true},
        {"offscreen", nullptr, nullptr, false, true},
    };
    for (const Case& c : cases) {
        setOrUnset("QT_QPA_PLATFORM", c.platform);
        setOrUnset("DISPLAY", c.display);
        setOrUnset("WAYLAND_DISPLAY", c.waylandDisplay);
        if (c.waylandSocket)
            std::ofstream(runtime / "wayland-0");
        else
            fs::remove(runtime / "wayland-0");
        EXPECT_EQ(displayFound(), c.found) << (c.platform ? c.platform : "(unset)") << " DISPLAY="
                                           << (c.display ? c.display : "(unset)") << " WAYLAND_DISPLAY="
                                           << (c.waylandDisplay ? c.waylandDisplay : "(unset)")
                                           << " socket=" << c.waylandSocket;
    }
    fs::remove_all(runtime);
}

}  // namespace
