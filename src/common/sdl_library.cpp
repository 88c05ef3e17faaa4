#include "sdl_library.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

namespace {

struct Opened {
    SdlLibrary calls;
    bool ok = false;
    std::string error;
};

template <typename Function>
bool bind(void* library, const std::string& soname, const char* name, Function& function, std::string& error)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (!function && error.empty())
        error = soname + " has no function " + name;
    return function != nullptr;
}

Opened open(const std::string& soname)
{
    Opened opened;
    // Never closed: SDL's audio thread and its atexit work run until the process ends.
    void* sdl = dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!sdl) {
        const char* why = dlerror();
        opened.error = why ? why : "cannot open " + soname;
        return opened;
    }
    bool ok = true;
#define ZERNO_BIND_SDL(name) ok = bind(sdl, soname, #name, opened.calls.name, opened.error) && ok;
    ZERNO_SDL_CALLS(ZERNO_BIND_SDL)
#undef ZERNO_BIND_SDL
    opened.ok = ok;
    return opened;
}

}  // namespace

const SdlLibrary* sdlLibrary(const std::string& soname, std::string* whyNot)
{
    static std::mutex guard;
    static std::map<std::string, Opened> opened;
    const std::lock_guard lock(guard);
    auto found = opened.find(soname);
    if (found == opened.end())
        found = opened.emplace(soname, open(soname)).first;
    if (!found->second.ok && whyNot)
        *whyNot = found->second.error;
    return found->second.ok ? &found->second.calls : nullptr;
}
