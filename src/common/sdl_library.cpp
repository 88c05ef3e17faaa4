#include "common/sdl_library.h"

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <type_traits>

namespace {

// The library's calls; or why it cannot be used, naming the first function it lacks.
Expected<SdlLibrary> open(const std::string& soname)
{
    // Never closed: SDL's audio thread and its atexit work run until the process ends.
    void* sdl = dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!sdl) {
        const char* why = dlerror();
        return failure(why ? why : "cannot open " + soname);
    }
    SdlLibrary calls;
    const char* missing = nullptr;
    const auto bind = [&](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(sdl, name));
        if (!function && !missing)
            missing = name;
    };
#define ZERNO_BIND_SDL(name) bind(calls.name, #name);
    ZERNO_SDL_CALLS(ZERNO_BIND_SDL)
#undef ZERNO_BIND_SDL
    if (missing)
        return failure(soname + " has no function " + missing);
    return calls;
}

}  // namespace

Expected<const SdlLibrary*> sdlLibrary(const std::string& soname)
{
    static std::mutex guard;
    static std::map<std::string, Expected<SdlLibrary>> opened;
    const std::lock_guard lock(guard);
    auto found = opened.find(soname);
    if (found == opened.end())
        found = opened.emplace(soname, open(soname)).first;
    if (!found->second)
        return failure(found->second.error());
    return &*found->second;
}
