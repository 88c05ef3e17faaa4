#include "display_check.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string_view>
#include <system_error>

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool platformReachable(std::string_view platform)
{
    // "wayland:option" and "offscreen:fontengine=..." name the platform before the colon.
    platform = platform.substr(0, platform.find(':'));
    if (platform == "xcb")
        return !environment("DISPLAY").empty();
    if (platform.starts_with("wayland")) {
        if (!environment("WAYLAND_DISPLAY").empty())
            return true;
        const std::string runtime = environment("XDG_RUNTIME_DIR");
        std::error_code error;
        return !runtime.empty() && std::filesystem::exists(std::filesystem::path(runtime) / "wayland-0", error);
    }
    return true;
}

}  // namespace

bool displayFound()
{
    std::string platforms = environment("QT_QPA_PLATFORM");
    if (platforms.empty())
        platforms = "xcb;wayland";
    std::istringstream list(platforms);
    for (std::string platform; std::getline(list, platform, ';');)
        if (!platform.empty() && platformReachable(platform))
            return true;
    return false;
}

std::string noDisplayMessage(const std::string& program)
{
    return program + ": no display was found: the program needs a desktop to show its windows on.\n"
           "Start it from a desktop session (its menu, or a terminal there), or with DISPLAY (X11) or\n"
           "WAYLAND_DISPLAY (Wayland) set to a running display.\n";
}
