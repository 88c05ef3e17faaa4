// SDL2 and SDL2_mixer, opened when the sound layer first starts rather than when the program
// does. SDL2_mixer brings some forty shared libraries of its own (decoders, a synthesizer, the
// sound servers' clients) and SDL2 its windowing libraries; linked into the program they would be
// mapped and relocated before the launcher shows, on every start, also for a player who picks
// "(no sound)". The headers give the functions' types; the libraries are found by their
// sonames, as the dynamic linker would find them.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <string>

// Every SDL call the sound layer makes.
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
    X(SDL_FreeAudioStream)

#define ZERNO_MIXER_CALLS(X)                                                                       \
    X(Mix_OpenAudioDevice)                                                                         \
    X(Mix_AllocateChannels)                                                                        \
    X(Mix_PlayChannel)                                                                        \
    X(Mix_HaltChannel)                                                                             \
    X(Mix_GetChunk)                                                                                \
    X(Mix_CloseAudio)

struct SdlLibrary {
#define ZERNO_SDL_POINTER(name) decltype(&::name) name = nullptr;
    ZERNO_SDL_CALLS(ZERNO_SDL_POINTER)
    ZERNO_MIXER_CALLS(ZERNO_SDL_POINTER)
#undef ZERNO_SDL_POINTER
};

// The two libraries' entry points, opened on the first call and kept until the program ends;
// nullptr when either library or one of its functions is missing, and then every later call
// answers nullptr too without trying again. *whyNot, when given, then says what was missing.
const SdlLibrary* sdlLibrary(std::string* whyNot = nullptr);
