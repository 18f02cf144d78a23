// sdl_host.h — the SDL2 side of the POSIX window host: windows that show a
// framebuffer, input translated to Win32-numbered messages, cursors, capture
// and message boxes.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>

#include "platform/os_types.h"
#include "platform/prompt.h"
#include "platform/surface.h"
#include "wsys/window_system.h"

namespace plat {

// --- Input translation (pure: no SDL call) -----------------------------------

// The mouse buttons held, as the host saw them in the events.
struct InputState {
    std::uint32_t buttons = 0;  // MK_LBUTTON | MK_RBUTTON
};

// What an SDL event means to a window.
struct TranslatedEvent {
    enum class Kind { None, Message, Expose };
    Kind kind = Kind::None;
    std::uint32_t windowId = 0;
    HostMessage message;
};

// `mods` is SDL_GetModState() at the time the event is handled; `clientTop`
// is the client area's top inside the SDL window (a drawn caption above it).
// Clicks above the client area are the caption's and translate to nothing.
TranslatedEvent translateSdlEvent(const SDL_Event& event, SDL_Keymod mods, int clientTop,
                                  InputState* state);

// The virtual-key code of a key, 0 for keys the window has no use for.
int virtualKeyOf(SDL_Keycode key);

// --- Windows on screen --------------------------------------------------------

struct SdlWindow {
    SDL_Window* window = nullptr;
    int captionHeight = 0;  // rows of the drawn caption above the client area
    std::unique_ptr<Font> captionFont;
};

// Whether the environment asks for (or allows) SDL windows: $PXCM_UI, then a
// display in $DISPLAY or $WAYLAND_DISPLAY.
bool sdlWanted();

// The video subsystem for the host's windows; each start needs a stop.
bool sdlStart();
void sdlStop();

// A hidden window whose client area is width x height; `captionHeight` extra
// rows on top hold a caption the host draws (the window is then borderless).
SdlWindow* sdlCreateWindow(const char* title, int width, int height, int captionHeight,
                           SdlWindow* modalFor);
std::uint32_t sdlWindowId(const SdlWindow* window);
int sdlCaptionHeight(const SdlWindow* window);
void sdlShowWindow(SdlWindow* window, bool show);
void sdlSetTitle(SdlWindow* window, const char* title);
void sdlPlaceWindow(SdlWindow* window, int clientLeft, int clientTop, int width, int height);
void sdlRaiseWindow(SdlWindow* window);
// Shows the framebuffer (and the drawn caption) on screen.
void sdlPresent(SdlWindow* window, const Bitmap& client, const char* caption);
bool sdlScreenSize(int* width, int* height);

// Waits up to timeoutMs (0: only looks) for the next SDL event.
bool sdlNextEvent(SDL_Event* event, int timeoutMs);
// SDL_GetModState.
SDL_Keymod sdlModState();

void sdlCaptureMouse(bool capture);
void sdlSetCursor(CursorShape shape);

// A box of the host's own drawing: the answer, -1 when it cannot be shown.
int drawnMessageBox(SdlWindow* parent, const char* text, const char* caption, Buttons buttons);

// A modal box over `parent` (may be null); the MessageBox answer.
int sdlMessageBox(SdlWindow* parent, const char* text, const char* caption, Buttons buttons,
                  Icon icon);

}  // namespace plat
