#include "SdlLibrary.h"

#include <dlfcn.h>

namespace sonvela::audio {

namespace {

// What a call does when libSDL2 is missing: fail as SDL fails.
const char* MissingError() {
    return "libSDL2-2.0.so.0 cannot be loaded";
}
SDL_bool MissingSetHint(const char*, const char*) {
    return SDL_FALSE;
}
SDL_bool MissingSetHintWithPriority(const char*, const char*, SDL_HintPriority) {
    return SDL_FALSE;
}
SDL_bool MissingResetHint(const char*) {
    return SDL_FALSE;
}
int MissingInitSubSystem(Uint32) {
    return -1;
}
void MissingQuitSubSystem(Uint32) {}
SDL_AudioDeviceID MissingOpenAudioDevice(const char*, int, const SDL_AudioSpec*, SDL_AudioSpec*,
                                         int) {
    return 0;
}
void MissingPauseAudioDevice(SDL_AudioDeviceID, int) {}
void MissingCloseAudioDevice(SDL_AudioDeviceID) {}
const char* MissingGetCurrentAudioDriver() {
    return nullptr;
}
SDL_AudioStream* MissingNewAudioStream(SDL_AudioFormat, Uint8, int, SDL_AudioFormat, Uint8, int) {
    return nullptr;
}
// No stream can exist without the library; these are never reached with one.
void MissingFreeAudioStream(SDL_AudioStream*) {}
int MissingAudioStreamPut(SDL_AudioStream*, const void*, int) {
    return -1;
}
int MissingAudioStreamGet(SDL_AudioStream*, void*, int) {
    return -1;
}
int MissingAudioStreamFlush(SDL_AudioStream*) {
    return -1;
}
int MissingAudioStreamAvailable(SDL_AudioStream*) {
    return 0;
}
void MissingAudioStreamClear(SDL_AudioStream*) {}

SdlLibrary MissingLibrary() {
    SdlLibrary sdl;
    sdl.SDL_GetError = &MissingError;
    sdl.SDL_SetHint = &MissingSetHint;
    sdl.SDL_SetHintWithPriority = &MissingSetHintWithPriority;
    sdl.SDL_ResetHint = &MissingResetHint;
    sdl.SDL_InitSubSystem = &MissingInitSubSystem;
    sdl.SDL_QuitSubSystem = &MissingQuitSubSystem;
    sdl.SDL_OpenAudioDevice = &MissingOpenAudioDevice;
    sdl.SDL_PauseAudioDevice = &MissingPauseAudioDevice;
    sdl.SDL_CloseAudioDevice = &MissingCloseAudioDevice;
    sdl.SDL_GetCurrentAudioDriver = &MissingGetCurrentAudioDriver;
    sdl.SDL_NewAudioStream = &MissingNewAudioStream;
    sdl.SDL_FreeAudioStream = &MissingFreeAudioStream;
    sdl.SDL_AudioStreamPut = &MissingAudioStreamPut;
    sdl.SDL_AudioStreamGet = &MissingAudioStreamGet;
    sdl.SDL_AudioStreamFlush = &MissingAudioStreamFlush;
    sdl.SDL_AudioStreamAvailable = &MissingAudioStreamAvailable;
    sdl.SDL_AudioStreamClear = &MissingAudioStreamClear;
    return sdl;
}

SdlLibrary Load() {
    // Never unloaded: SDL's audio thread may run until the process ends.
    void* handle = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return MissingLibrary();
    SdlLibrary sdl;
    bool complete = true;
#define SONVELA_SDL_RESOLVE(name)                                                                  \
    sdl.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));                          \
    complete = complete && sdl.name != nullptr;
    SONVELA_SDL_FUNCTIONS(SONVELA_SDL_RESOLVE)
#undef SONVELA_SDL_RESOLVE
    // An SDL too old for audio streams is no SDL for us.
    return complete ? sdl : MissingLibrary();
}

} // namespace

const SdlLibrary& Sdl() {
    static const SdlLibrary library = Load();
    return library;
}

} // namespace sonvela::audio
