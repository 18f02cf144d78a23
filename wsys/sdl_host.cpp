// sdl_host.cpp — SDL2 windows over the host's framebuffers, their input as
// Win32-numbered messages, cursors, mouse capture and message boxes.
#include "wsys/sdl_host.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "wsys/font.h"
#include "wsys/sdl_library.h"

namespace plat {

void SdlWindowDeleter::operator()(SdlWindow* window) const {
    if (!window) return;
    if (window->window) sdl().DestroyWindow(window->window);
    delete window;
}

namespace {

// Caption bar colours of a classic active dialog.
constexpr Color kCaptionBack = rgb(0, 0, 128);
constexpr Color kCaptionText = rgb(255, 255, 255);

struct Cursors {
    SDL_Cursor* arrow = nullptr;
    SDL_Cursor* wait = nullptr;
};
Cursors g_cursors;
int g_starts = 0;

bool hasText(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

LPARAM keyParam(const SDL_KeyboardEvent& key) {
    // Repeat count 1, the scan code, and the previous-state bit for repeats.
    return static_cast<LPARAM>(1u | (static_cast<unsigned>(key.keysym.scancode) & 0xFF) << 16 |
                               (key.repeat ? 1u << 30 : 0u));
}

}  // namespace

int virtualKeyOf(SDL_Keycode key) {
    switch (key) {
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_END:
            return VK_END;
        case SDLK_UP:
            return VK_UP;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_RETURN:
            return 0x0D;
        case SDLK_SPACE:
            return 0x20;
        default:
            break;
    }
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    return 0;
}

TranslatedEvent translateSdlEvent(const SDL_Event& event, SDL_Keymod mods, int clientTop,
                                  InputState* state) {
    TranslatedEvent out;
    auto keyFlags = [&] {
        WPARAM flags = state->buttons;
        if (mods & KMOD_SHIFT) flags |= MK_SHIFT;
        if (mods & KMOD_CTRL) flags |= MK_CONTROL;
        return flags;
    };
    auto message = [&](std::uint32_t window, UINT msg, WPARAM wParam, LPARAM lParam) {
        out.kind = TranslatedEvent::Kind::Message;
        out.windowId = window;
        out.message = {msg, wParam, lParam};
    };
    switch (event.type) {
        case SDL_MOUSEMOTION: {
            const SDL_MouseMotionEvent& m = event.motion;
            if (m.y < clientTop && state->buttons == 0) break;
            message(m.windowID, WM_MOUSEMOVE, keyFlags(), pointParam(m.x, m.y - clientTop));
            break;
        }
        case SDL_MOUSEBUTTONDOWN: {
            const SDL_MouseButtonEvent& b = event.button;
            const std::uint32_t bit = b.button == SDL_BUTTON_LEFT    ? MK_LBUTTON
                                      : b.button == SDL_BUTTON_RIGHT ? MK_RBUTTON
                                                                     : 0;
            if (!bit) break;
            state->buttons |= bit;
            if (b.y < clientTop) break;  // on the caption
            // A second click within the double-click time (SDL counts them)
            // comes as a double click, as Windows sends it.
            const UINT msg = bit == MK_RBUTTON   ? WM_RBUTTONDOWN
                             : b.clicks % 2 == 0 ? WM_LBUTTONDBLCLK
                                                 : WM_LBUTTONDOWN;
            message(b.windowID, msg, keyFlags(), pointParam(b.x, b.y - clientTop));
            break;
        }
        case SDL_MOUSEBUTTONUP: {
            const SDL_MouseButtonEvent& b = event.button;
            if (b.button == SDL_BUTTON_RIGHT)
                state->buttons &= ~static_cast<std::uint32_t>(MK_RBUTTON);
            if (b.button != SDL_BUTTON_LEFT) break;
            state->buttons &= ~static_cast<std::uint32_t>(MK_LBUTTON);
            message(b.windowID, WM_LBUTTONUP, keyFlags(), pointParam(b.x, b.y - clientTop));
            break;
        }
        case SDL_KEYDOWN: {
            const int vk = virtualKeyOf(event.key.keysym.sym);
            if (vk)
                message(event.key.windowID, WM_KEYDOWN, static_cast<WPARAM>(vk),
                        keyParam(event.key));
            break;
        }
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                out.kind = TranslatedEvent::Kind::Expose;
                out.windowId = event.window.windowID;
            } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
                message(event.window.windowID, WM_CLOSE, 0, 0);
            }
            break;
        default:
            break;
    }
    return out;
}

bool sdlWanted() {
    const char* ui = std::getenv("PXCM_UI");
    if (ui && std::strcmp(ui, "headless") == 0) return false;
    if (ui && std::strcmp(ui, "sdl") == 0) return true;
    return hasText("DISPLAY") || hasText("WAYLAND_DISPLAY");
}

bool sdlStart() {
    if (!sdlLibrary()) {
        // Once per process: every later window is headless for the same reason.
        static bool told = false;
        if (!told)
            std::fprintf(stderr, "pxcm: %s: windows are not shown on screen\n",
                         sdlLibraryError().c_str());
        told = true;
        return false;
    }
    // SIGINT and SIGTERM stay the host application's.
    sdl().SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The click that brings the window to the front is the user's click, as
    // on Windows; SDL would drop one that comes within 10 ms of the focus.
    sdl().SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (sdl().InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    ++g_starts;
    return true;
}

void sdlStop() {
    if (g_starts == 0) return;
    if (--g_starts == 0) {
        if (g_cursors.arrow) sdl().FreeCursor(g_cursors.arrow);
        if (g_cursors.wait) sdl().FreeCursor(g_cursors.wait);
        g_cursors = {};
    }
    sdl().QuitSubSystem(SDL_INIT_VIDEO);
    // Nothing else of SDL in use (the application may have its own): let
    // it go entirely, so that the module can be unloaded.
    if (sdl().WasInit(0) == 0) sdl().Quit();
}

SdlWindow* sdlCreateWindow(const char* title, int width, int height, int captionHeight,
                           SdlWindow* modalFor) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (captionHeight > 0) flags |= SDL_WINDOW_BORDERLESS;
    SDL_Window* raw =
        sdl().CreateWindow(title ? title : "", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                           width, height + captionHeight, flags);
    if (!raw) return nullptr;
    std::unique_ptr<SdlWindow, SdlWindowDeleter> window(new SdlWindow);
    window->window = raw;
    window->captionHeight = captionHeight;
    if (captionHeight > 0) window->captionFont = createFont(FontFace::StatusSans);
    if (modalFor && modalFor->window) sdl().SetWindowModalFor(raw, modalFor->window);
    return window.release();
}

std::uint32_t sdlWindowId(const SdlWindow* window) {
    return window && window->window ? sdl().GetWindowID(window->window) : 0;
}

int sdlCaptionHeight(const SdlWindow* window) {
    return window ? window->captionHeight : 0;
}

void sdlShowWindow(SdlWindow* window, bool show) {
    if (!window) return;
    if (show)
        sdl().ShowWindow(window->window);
    else
        sdl().HideWindow(window->window);
}

void sdlSetTitle(SdlWindow* window, const char* title) {
    if (window) sdl().SetWindowTitle(window->window, title ? title : "");
}

void sdlPlaceWindow(SdlWindow* window, int clientLeft, int clientTop, int width, int height) {
    if (!window) return;
    sdl().SetWindowPosition(window->window, clientLeft, clientTop);
    sdl().SetWindowSize(window->window, width, height + window->captionHeight);
}

void sdlRaiseWindow(SdlWindow* window) {
    if (!window) return;
    sdl().RaiseWindow(window->window);
    // Without a window manager nobody else gives the keyboard back.
    if (sdl().GetWindowFlags(window->window) & SDL_WINDOW_SHOWN)
        sdl().SetWindowInputFocus(window->window);
}

void sdlPresent(SdlWindow* window, const Bitmap& client, const char* caption) {
    if (!window) return;
    SDL_Surface* screen = sdl().GetWindowSurface(window->window);
    if (!screen) return;
    const int width = std::min(screen->w, client.width());
    auto copy = [&](const Bitmap& part, int top) {
        const int rows = std::min(part.height(), screen->h - top);
        if (rows <= 0 || width <= 0) return;
        auto* first = static_cast<std::uint8_t*>(screen->pixels) +
                      static_cast<std::ptrdiff_t>(top) * screen->pitch;
        sdl().ConvertPixels(width, rows, SDL_PIXELFORMAT_BGR24, part.data(),
                            static_cast<int>(part.stride()), screen->format->format, first,
                            screen->pitch);
    };
    if (SDL_MUSTLOCK(screen) && sdl().LockSurface(screen) != 0) return;
    if (window->captionHeight > 0) {
        FrameSurface bar(client.width(), window->captionHeight);
        bar.fillRect({0, 0, bar.width(), bar.height()}, kCaptionBack);
        if (window->captionFont && caption) {
            const auto* glyphs = dynamic_cast<const GlyphFont*>(window->captionFont.get());
            const int y = glyphs ? (bar.height() - glyphs->lineHeight()) / 2 : 1;
            bar.drawText(*window->captionFont, 3, y, caption, kCaptionText, nullptr);
        }
        copy(bar.frame(), 0);
    }
    copy(client, window->captionHeight);
    if (SDL_MUSTLOCK(screen)) sdl().UnlockSurface(screen);
    sdl().UpdateWindowSurface(window->window);
}

bool sdlScreenSize(int* width, int* height) {
    SDL_DisplayMode mode;
    if (sdl().GetDesktopDisplayMode(0, &mode) != 0) return false;
    *width = mode.w;
    *height = mode.h;
    return true;
}

bool sdlNextEvent(SDL_Event* event, int timeoutMs) {
    if (g_starts == 0) return false;
    return timeoutMs > 0 ? sdl().WaitEventTimeout(event, timeoutMs) == 1
                         : sdl().PollEvent(event) == 1;
}

SDL_Keymod sdlModState() {
    return sdl().GetModState();
}

void sdlCaptureMouse(bool capture) {
    sdl().CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
}

void sdlSetCursor(CursorShape shape) {
    if (g_starts == 0) return;
    SDL_Cursor*& cursor = shape == CursorShape::Wait ? g_cursors.wait : g_cursors.arrow;
    if (!cursor)
        cursor = sdl().CreateSystemCursor(shape == CursorShape::Wait ? SDL_SYSTEM_CURSOR_WAIT
                                                                     : SDL_SYSTEM_CURSOR_ARROW);
    if (cursor) sdl().SetCursor(cursor);
}

int sdlMessageBox(SdlWindow* parent, const char* text, const char* caption, Buttons buttons,
                  Icon icon) {
    SDL_MessageBoxButtonData data[2] = {};
    int count = 0;
    auto add = [&](int id, const char* label, Uint32 flags) {
        data[count].flags = flags;
        data[count].buttonid = id;
        data[count].text = label;
        ++count;
    };
    switch (buttons) {
        case Buttons::Ok:
            add(ANSWER_OK, "OK",
                SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
            break;
        case Buttons::OkCancel:
            add(ANSWER_OK, "OK", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT);
            add(ANSWER_CANCEL, "Cancel", SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
            break;
        case Buttons::RetryCancel:
            add(ANSWER_RETRY, "Retry", SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT);
            add(ANSWER_CANCEL, "Cancel", SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT);
            break;
    }
    Uint32 flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    if (icon == Icon::Error) flags |= SDL_MESSAGEBOX_ERROR;
    if (icon == Icon::Warning) flags |= SDL_MESSAGEBOX_WARNING;
    if (icon == Icon::Information) flags |= SDL_MESSAGEBOX_INFORMATION;
    SDL_MessageBoxData box{};
    box.flags = flags;
    box.window = parent ? parent->window : nullptr;
    box.title = caption;
    box.message = text;
    box.numbuttons = count;
    box.buttons = data;
    int pressed = -1;
    // SDL's own box needs the X server's core fonts, which a bare server
    // (Xvfb) lacks: then the host draws the box itself.
    if (sdl().ShowMessageBox(&box, &pressed) != 0)
        pressed = drawnMessageBox(parent, text, caption, buttons);
    if (pressed < 0)
        return buttons == Buttons::Ok ? ANSWER_OK : ANSWER_CANCEL;  // closed: the safe choice
    return pressed;
}

}  // namespace plat
