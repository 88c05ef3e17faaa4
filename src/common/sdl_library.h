// SDL2, opened when the sound starts or the device first comes on screen (for the gamepads)
// rather than when the program does. SDL2 is linked against the clients of every sound server and
// window system it supports; linked into the program they would be mapped and relocated before
// the launcher shows, on every start. The header gives the functions' types; the library is found
// by its soname, as the dynamic linker would find it.
#pragma once

#include <SDL.h>

#include <string>

#include "common/expected.h"

// Every SDL call the sound layer and the gamepads make.
#define ZERNO_SDL_CALLS(X)                                                                         \
    X(SDL_SetHint)                                                                                 \
    X(SDL_ResetHint)                                                                               \
    X(SDL_InitSubSystem)                                                                           \
    X(SDL_QuitSubSystem)                                                                           \
    X(SDL_GetCurrentAudioDriver)                                                                   \
    X(SDL_GetError)                                                                                \
    X(SDL_RWFromFile)                                                                              \
    X(SDL_LoadWAV_RW)                                                                              \
    X(SDL_FreeWAV)                                                                                 \
    X(SDL_NewAudioStream)                                                                          \
    X(SDL_AudioStreamPut)                                                                          \
    X(SDL_AudioStreamFlush)                                                                        \
    X(SDL_AudioStreamAvailable)                                                                    \
    X(SDL_AudioStreamGet)                                                                          \
    X(SDL_FreeAudioStream)                                                                         \
    X(SDL_OpenAudioDevice)                                                                         \
    X(SDL_PauseAudioDevice)                                                                        \
    X(SDL_CloseAudioDevice)                                                                        \
    X(SDL_MixAudioFormat)                                                                          \
    X(SDL_PollEvent)                                                                               \
    X(SDL_IsGameController)                                                                        \
    X(SDL_GameControllerOpen)                                                                      \
    X(SDL_GameControllerClose)                                                                     \
    X(SDL_GameControllerGetJoystick)                                                               \
    X(SDL_JoystickInstanceID)

struct SdlLibrary {
#define ZERNO_SDL_POINTER(name) decltype(&::name) name = nullptr;
    ZERNO_SDL_CALLS(ZERNO_SDL_POINTER)
#undef ZERNO_SDL_POINTER
};

// The soname of the library the header belongs to (SDL 2).
inline constexpr const char* sdlSoname = "libSDL2-2.0.so.0";

// The entry points of the library called soname (a soname, or a path), opened on the first call
// for that name and kept until the program ends. It fails when the library or one of its
// functions is missing, saying what was missing in the loader's own words, and then every later
// call for that name fails the same way without trying again.
Expected<const SdlLibrary*> sdlLibrary(const std::string& soname);
