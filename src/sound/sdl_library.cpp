#include "sdl_library.h"

#include <dlfcn.h>

namespace {

// The sonames of the libraries the headers belong to (SDL 2, SDL_mixer 2).
constexpr const char* sdlSoname = "libSDL2-2.0.so.0";
constexpr const char* mixerSoname = "libSDL2_mixer-2.0.so.0";

struct Opened {
    SdlLibrary calls;
    bool ok = false;
    std::string error;
};

template <typename Function>
bool bind(void* library, const char* soname, const char* name, Function& function, std::string& error)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (!function && error.empty())
        error = std::string(soname) + " has no function " + name;
    return function != nullptr;
}

Opened open()
{
    Opened opened;
    // Never closed: SDL's audio thread and its atexit work run until the process ends.
    void* sdl = dlopen(sdlSoname, RTLD_NOW | RTLD_LOCAL);
    void* mixer = sdl ? dlopen(mixerSoname, RTLD_NOW | RTLD_LOCAL) : nullptr;
    if (!sdl || !mixer) {
        const char* why = dlerror();
        opened.error = why ? why : std::string("cannot open ") + (sdl ? mixerSoname : sdlSoname);
        return opened;
    }
    bool ok = true;
#define ZERNO_BIND_SDL(name) ok = bind(sdl, sdlSoname, #name, opened.calls.name, opened.error) && ok;
#define ZERNO_BIND_MIXER(name) ok = bind(mixer, mixerSoname, #name, opened.calls.name, opened.error) && ok;
    ZERNO_SDL_CALLS(ZERNO_BIND_SDL)
    ZERNO_MIXER_CALLS(ZERNO_BIND_MIXER)
#undef ZERNO_BIND_SDL
#undef ZERNO_BIND_MIXER
    opened.ok = ok;
    return opened;
}

}  // namespace

const SdlLibrary* sdlLibrary(std::string* whyNot)
{
    static const Opened opened = open();
    if (!opened.ok && whyNot)
        *whyNot = opened.error;
    return opened.ok ? &opened.calls : nullptr;
}
