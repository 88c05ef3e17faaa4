#include "app/display_check.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "common/text.h"

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

bool platformReachable(std::string_view platform, const std::vector<std::string>& pluginFolders,
                       const std::function<bool(std::string_view)>& answers)
{
    // "wayland:option" and "offscreen:fontengine=..." name the platform before the colon.
    platform = platform.substr(0, platform.find(':'));
    if (platform == "xcb")
        return !environment("DISPLAY").empty() && pluginInstalled(pluginFolders, "libqxcb") && answers("xcb");
    if (platform.starts_with("wayland")) {
        if (!pluginInstalled(pluginFolders, "libqwayland"))
            return false;
        const std::string runtime = environment("XDG_RUNTIME_DIR");
        std::error_code error;
        const bool named = !environment("WAYLAND_DISPLAY").empty() ||
                           (!runtime.empty() && fs::exists(fs::path(runtime) / "wayland-0", error));
        return named && answers("wayland");
    }
    return true;
}

}  // namespace

bool displayAnswers(std::string_view platform)
{
    const bool x11 = platform == "xcb";
    void* library = ::dlopen(x11 ? "libxcb.so.1" : "libwayland-client.so.0", RTLD_LAZY | RTLD_LOCAL);
    if (!library)
        return true;
    bool answered = true;
    if (x11) {
        const auto connect = reinterpret_cast<void* (*)(const char*, int*)>(::dlsym(library, "xcb_connect"));
        const auto hasError = reinterpret_cast<int (*)(void*)>(::dlsym(library, "xcb_connection_has_error"));
        const auto disconnect = reinterpret_cast<void (*)(void*)>(::dlsym(library, "xcb_disconnect"));
        if (connect && hasError && disconnect) {
            void* connection = connect(nullptr, nullptr);
            answered = hasError(connection) == 0;
            disconnect(connection);
        }
    } else {
        const auto connect = reinterpret_cast<void* (*)(const char*)>(::dlsym(library, "wl_display_connect"));
        const auto disconnect = reinterpret_cast<void (*)(void*)>(::dlsym(library, "wl_display_disconnect"));
        if (connect && disconnect) {
            void* display = connect(nullptr);
            answered = display != nullptr;
            if (display)
                disconnect(display);
        }
    }
    ::dlclose(library);
    return answered;
}

bool displayFound(const std::vector<std::string>& pluginFolders, const std::function<bool(std::string_view)>& answers)
{
    std::string platforms = environment("QT_QPA_PLATFORM");
    if (platforms.empty())
        platforms = "xcb;wayland";
    for (const std::string& platform : splitText(platforms, ';'))
        if (!platform.empty() && platformReachable(platform, pluginFolders, answers))
            return true;
    return false;
}

std::string noDisplayMessage(const std::string& program)
{
    return program + ": no display was found to show the windows on.\n"
           "Start it from a desktop session (its menu, or a terminal there), or with DISPLAY (X11) or\n"
           "WAYLAND_DISPLAY (Wayland) set to a running display; Wayland alone needs qt6-wayland.\n";
}
