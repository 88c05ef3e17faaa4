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

namespace fs = std::filesystem;

// Whether a platform plugin whose file name starts with prefix ("libqxcb") is installed.
bool pluginInstalled(const std::vector<std::string>& pluginFolders, std::string_view prefix)
{
    if (pluginFolders.empty())
        return true;
    for (const std::string& folder : pluginFolders) {
        std::error_code error;
        for (fs::directory_iterator file(fs::path(folder) / "platforms", error), end; !error && file != end;
             file.increment(error))
            if (file->path().filename().string().starts_with(prefix))
                return true;
    }
    return false;
}

bool platformReachable(std::string_view platform, const std::vector<std::string>& pluginFolders)
{
    // "wayland:option" and "offscreen:fontengine=..." name the platform before the colon.
    platform = platform.substr(0, platform.find(':'));
    if (platform == "xcb")
        return !environment("DISPLAY").empty() && pluginInstalled(pluginFolders, "libqxcb");
    if (platform.starts_with("wayland")) {
        if (!pluginInstalled(pluginFolders, "libqwayland"))
            return false;
        if (!environment("WAYLAND_DISPLAY").empty())
            return true;
        const std::string runtime = environment("XDG_RUNTIME_DIR");
        std::error_code error;
        return !runtime.empty() && fs::exists(fs::path(runtime) / "wayland-0", error);
    }
    return true;
}

}  // namespace

bool displayFound(const std::vector<std::string>& pluginFolders)
{
    std::string platforms = environment("QT_QPA_PLATFORM");
    if (platforms.empty())
        platforms = "xcb;wayland";
    std::istringstream list(platforms);
    for (std::string platform; std::getline(list, platform, ';');)
        if (!platform.empty() && platformReachable(platform, pluginFolders))
            return true;
    return false;
}

std::string noDisplayMessage(const std::string& program)
{
    return program + ": no display was found to show the windows on.\n"
           "Start it from a desktop session (its menu, or a terminal there), or with DISPLAY (X11) or\n"
           "WAYLAND_DISPLAY (Wayland) set to a running display; Wayland alone needs qt6-wayland.\n";
}
