// SDL, loaded when the library first needs it rather than with the program.
// SDL and the libraries it brings take a tenth of the program's start-up
// time, and the program needs none of them before its window is on the
// screen: the audio output starts afterwards.
//
// Calls go through Sdl(), whose members carry SDL's own names and types.
// When libSDL2 cannot be loaded, every call fails the way SDL reports a
// failure (no device, no stream, and SDL_GetError saying why), so the audio
// library reports its ordinary errors.
#pragma once

#include <SDL2/SDL.h>

namespace sonvela::audio {

#define SONVELA_SDL_FUNCTIONS(X)                                                                   \
    X(SDL_GetError)                                                                                \
    X(SDL_SetHint)                                                                                 \
    X(SDL_SetHintWithPriority)                                                                     \
    X(SDL_ResetHint)                                                                               \
    X(SDL_InitSubSystem)                                                                           \
    X(SDL_QuitSubSystem)                                                                           \
    X(SDL_OpenAudioDevice)                                                                         \
    X(SDL_PauseAudioDevice)                                                                        \
    X(SDL_CloseAudioDevice)                                                                        \
    X(SDL_GetCurrentAudioDriver)                                                                   \
    X(SDL_NewAudioStream)                                                                          \
    X(SDL_FreeAudioStream)                                                                         \
    X(SDL_AudioStreamPut)                                                                          \
    X(SDL_AudioStreamGet)                                                                          \
    X(SDL_AudioStreamFlush)                                                                        \
    X(SDL_AudioStreamAvailable)                                                                    \
    X(SDL_AudioStreamClear)

struct SdlLibrary {
#define SONVELA_SDL_MEMBER(name) decltype(&::name) name = nullptr;
    SONVELA_SDL_FUNCTIONS(SONVELA_SDL_MEMBER)
#undef SONVELA_SDL_MEMBER
};

// Loads libSDL2 on the first call (from any thread); the same table after.
const SdlLibrary& Sdl();

} // namespace sonvela::audio
