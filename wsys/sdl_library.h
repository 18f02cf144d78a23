// sdl_library.h — the SDL2 functions the window host calls, taken from the
// SDL2 library when the first window goes on screen: a source that is only
// loaded, negotiated with or transferring loads none of SDL's world.
#pragma once

#include <SDL.h>

#include <string>

namespace plat {

// Every SDL function the host uses; a new call needs its name here.
// clang-format off
#define PXCM_SDL_FUNCTIONS(X) \
    X(CaptureMouse) \
    X(ConvertPixels) \
    X(CreateSystemCursor) \
    X(CreateWindow) \
    X(DestroyWindow) \
    X(FreeCursor) \
    X(GetDesktopDisplayMode) \
    X(GetError) \
    X(GetModState) \
    X(GetWindowFlags) \
    X(GetWindowID) \
    X(GetWindowPosition) \
    X(GetWindowSize) \
    X(GetWindowSurface) \
    X(HideWindow) \
    X(InitSubSystem) \
    X(LockSurface) \
    X(PollEvent) \
    X(PushEvent) \
    X(Quit) \
    X(QuitSubSystem) \
    X(RaiseWindow) \
    X(SetCursor) \
    X(SetHint) \
    X(SetWindowInputFocus) \
    X(SetWindowModalFor) \
    X(SetWindowPosition) \
    X(SetWindowSize) \
    X(SetWindowTitle) \
    X(ShowMessageBox) \
    X(ShowWindow) \
    X(UnlockSurface) \
    X(UpdateWindowSurface) \
    X(WaitEventTimeout) \
    X(WasInit)
// clang-format on

struct SdlApi {
#define PXCM_SDL_MEMBER(name) decltype(&::SDL_##name) name = nullptr;
    PXCM_SDL_FUNCTIONS(PXCM_SDL_MEMBER)
#undef PXCM_SDL_MEMBER
};

// The table, loaded on the first call and kept until the module goes; null
// when the library (or one of its functions) is missing, and then
// `sdlLibraryError` says what is missing. $PXCM_SDL_LIBRARY names another
// file than the system's SDL2.
const SdlApi* sdlLibrary();
const std::string& sdlLibraryError();

// The table once `sdlLibrary` has given one (every host call after a start).
const SdlApi& sdl();

}  // namespace plat
