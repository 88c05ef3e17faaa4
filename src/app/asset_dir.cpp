#include "app/asset_dir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool holdsLayout(const fs::path& dir)
{
    std::error_code error;
    return fs::is_regular_file(dir / "device.layout", error);
}

// A path given from the running program's folder, or empty when the program's own path is unknown.
fs::path besideProgram(const char* argv0, const fs::path& relative)
{
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error && argv0)
        program = fs::absolute(argv0, error);
    return error || program.empty() ? fs::path() : (program.parent_path() / relative).lexically_normal();
}

}  // namespace

std::string findAssetDir(const char* argv0)
{
    if (const char* dir = std::getenv("ZERNO_BROS_ASSETS"); dir && *dir && holdsLayout(dir))
        return dir;
    // The installed layout: the data folder at this path from the programs' folder
    // (../share/games/zerno-bros from games/).
    if (const fs::path installed = besideProgram(argv0, fs::path(ZERNO_INSTALLED_DATA_DIR) / "assets");
        !installed.empty() && holdsLayout(installed))
        return installed.string();
#ifdef ZERNO_SOURCE_ASSET_DIR
    if (holdsLayout(ZERNO_SOURCE_ASSET_DIR))
        return ZERNO_SOURCE_ASSET_DIR;
#endif
    return {};
}

std::string dataDirOf(const std::string& assetDir)
{
    fs::path dir = fs::path(assetDir).lexically_normal();
    if (!dir.has_filename())
        dir = dir.parent_path();  // "assets/" is "assets"
    return dir.parent_path().string();
}

std::string findManual(const std::string& assetDir)
{
    std::error_code error;
    const fs::path installed = fs::path(dataDirOf(assetDir)) / "manual" / "index.html";
    if (fs::is_regular_file(installed, error))
        return installed.string();
#if defined(ZERNO_SOURCE_ASSET_DIR) && defined(ZERNO_BUILD_MANUAL_DIR)
    // Only a program that took its assets from the source tree reads the build's manual.
    if (fs::equivalent(assetDir, ZERNO_SOURCE_ASSET_DIR, error)) {
        const fs::path built = fs::path(ZERNO_BUILD_MANUAL_DIR) / "index.html";
        if (fs::is_regular_file(built, error))
            return built.string();
    }
#endif
    return {};
}

std::string findIcon(const std::string& assetDir, const char* argv0)
{
    const fs::path icon = fs::path("256x256") / "apps" / "zerno-bros.png";
    std::error_code error;
    // The source tree keeps the icons with the other pictures; an installed program has them in
    // the desktop's icon folders only (share/icons/hicolor, at this path from games/).
    if (const fs::path beside = fs::path(assetDir) / "icons" / "hicolor" / icon; fs::is_regular_file(beside, error))
        return beside.string();
    if (const fs::path installed = besideProgram(argv0, ZERNO_INSTALLED_ICON_DIR / icon);
        !installed.empty() && fs::is_regular_file(installed, error))
        return installed.string();
    return {};
}
