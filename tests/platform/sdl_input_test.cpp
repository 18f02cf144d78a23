// sdl_input_test.cpp — SDL input as the Win32 messages the window procedure
// expects: mouse packing and key flags, double clicks in Windows order, keys
// as virtual-key codes, the window's close button and exposes.
#include <gtest/gtest.h>

#include <vector>

#include "wsys/sdl_host.h"

namespace {

using plat::InputState;
using plat::TranslatedEvent;

SDL_Event motion(int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = 7;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

SDL_Event button(bool down, Uint8 which, int clicks, int x, int y) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = 7;
    e.button.button = which;
    e.button.clicks = static_cast<Uint8>(clicks);
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event key(SDL_Keycode sym) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = 7;
    e.key.keysym.sym = sym;
    return e;
}

SDL_Event windowEvent(Uint8 what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = 7;
    e.window.event = what;
    return e;
}

struct Step {
    SDL_Event event;
    SDL_Keymod mods;
    UINT message;  // 0: no message
    WPARAM wParam;
    int x, y;
};

void run(const std::vector<Step>& steps, int clientTop = 0) {
    InputState state;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        const TranslatedEvent t = plat::translateSdlEvent(s.event, s.mods, clientTop, &state);
        if (s.message == 0) {
            EXPECT_NE(t.kind, TranslatedEvent::Kind::Message) << "step " << i;
            continue;
        }
        ASSERT_EQ(t.kind, TranslatedEvent::Kind::Message) << "step " << i;
        EXPECT_EQ(t.windowId, 7u);
        EXPECT_EQ(t.message.message, s.message) << "step " << i;
        EXPECT_EQ(t.message.wParam, s.wParam) << "step " << i;
        EXPECT_EQ(pointX(t.message.lParam), s.x) << "step " << i;
        EXPECT_EQ(pointY(t.message.lParam), s.y) << "step " << i;
    }
}

TEST(SdlInput, MouseMessagesCarryTheButtonsAndModifierKeysHeld) {
    run({
        {motion(10, 20), KMOD_NONE, WM_MOUSEMOVE, 0, 10, 20},
        {button(true, SDL_BUTTON_LEFT, 1, 10, 20), KMOD_LSHIFT, WM_LBUTTONDOWN,
         MK_LBUTTON | MK_SHIFT, 10, 20},
        {motion(12, 22), KMOD_RCTRL, WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, 12, 22},
        {motion(-4, 500), static_cast<SDL_Keymod>(KMOD_CTRL | KMOD_SHIFT), WM_MOUSEMOVE,
         MK_LBUTTON | MK_CONTROL | MK_SHIFT, -4, 500},
        {button(false, SDL_BUTTON_LEFT, 1, -4, 500), KMOD_NONE, WM_LBUTTONUP, 0, -4, 500},
        {button(true, SDL_BUTTON_RIGHT, 1, 3, 4), KMOD_NONE, WM_RBUTTONDOWN, MK_RBUTTON, 3, 4},
        {motion(5, 5), KMOD_NONE, WM_MOUSEMOVE, MK_RBUTTON, 5, 5},
        {button(false, SDL_BUTTON_RIGHT, 1, 5, 5), KMOD_NONE, 0, 0, 0, 0},
        {button(true, SDL_BUTTON_MIDDLE, 1, 5, 5), KMOD_NONE, 0, 0, 0, 0},
        {motion(6, 6), KMOD_NONE, WM_MOUSEMOVE, 0, 6, 6},
    });
}

TEST(SdlInput, ASecondClickIsADoubleClickInWindowsOrder) {
    run({
        {button(true, SDL_BUTTON_LEFT, 1, 50, 60), KMOD_NONE, WM_LBUTTONDOWN, MK_LBUTTON, 50, 60},
        {button(false, SDL_BUTTON_LEFT, 1, 50, 60), KMOD_NONE, WM_LBUTTONUP, 0, 50, 60},
        {button(true, SDL_BUTTON_LEFT, 2, 50, 60), KMOD_NONE, WM_LBUTTONDBLCLK, MK_LBUTTON, 50, 60},
        {button(false, SDL_BUTTON_LEFT, 2, 50, 60), KMOD_NONE, WM_LBUTTONUP, 0, 50, 60},
        // A third click starts over.
        {button(true, SDL_BUTTON_LEFT, 3, 50, 60), KMOD_NONE, WM_LBUTTONDOWN, MK_LBUTTON, 50, 60},
    });
}

TEST(SdlInput, ADrawnCaptionIsNotPartOfTheClientArea) {
    run(
        {
            {motion(5, 3), KMOD_NONE, 0, 0, 0, 0},
            {button(true, SDL_BUTTON_LEFT, 1, 5, 3), KMOD_NONE, 0, 0, 0, 0},
            {button(false, SDL_BUTTON_LEFT, 1, 5, 3), KMOD_NONE, WM_LBUTTONUP, 0, 5, -15},
            {button(true, SDL_BUTTON_LEFT, 1, 5, 18), KMOD_NONE, WM_LBUTTONDOWN, MK_LBUTTON, 5, 0},
        },
        18);
}

TEST(SdlInput, KeysBecomeVirtualKeyCodes) {
    struct Case {
        SDL_Keycode sym;
        int vk;
    };
    const Case cases[] = {
        {SDLK_PAGEUP, VK_PRIOR},
        {SDLK_PAGEDOWN, VK_NEXT},
        {SDLK_HOME, VK_HOME},
        {SDLK_END, VK_END},
        {SDLK_UP, VK_UP},
        {SDLK_DOWN, VK_DOWN},
        {SDLK_LEFT, VK_LEFT},
        {SDLK_RIGHT, VK_RIGHT},
        {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_a, 'A'},
        {SDLK_z, 'Z'},
        {SDLK_7, '7'},
    };
    for (const Case& c : cases) {
        InputState state;
        const TranslatedEvent t = plat::translateSdlEvent(key(c.sym), KMOD_NONE, 0, &state);
        ASSERT_EQ(t.kind, TranslatedEvent::Kind::Message) << c.sym;
        EXPECT_EQ(t.message.message, static_cast<UINT>(WM_KEYDOWN));
        EXPECT_EQ(t.message.wParam, static_cast<WPARAM>(c.vk)) << c.sym;
        EXPECT_EQ(t.message.lParam & 0xFFFF, 1);  // repeat count
    }
    InputState state;
    EXPECT_EQ(plat::translateSdlEvent(key(SDLK_F13), KMOD_NONE, 0, &state).kind,
              TranslatedEvent::Kind::None);
}

TEST(SdlInput, TheCloseButtonIsWmCloseAndAnExposeAsksForPaint) {
    InputState state;
    TranslatedEvent t =
        plat::translateSdlEvent(windowEvent(SDL_WINDOWEVENT_CLOSE), KMOD_NONE, 0, &state);
    ASSERT_EQ(t.kind, TranslatedEvent::Kind::Message);
    EXPECT_EQ(t.message.message, static_cast<UINT>(WM_CLOSE));
    t = plat::translateSdlEvent(windowEvent(SDL_WINDOWEVENT_EXPOSED), KMOD_NONE, 0, &state);
    EXPECT_EQ(t.kind, TranslatedEvent::Kind::Expose);
    EXPECT_EQ(t.windowId, 7u);
    t = plat::translateSdlEvent(windowEvent(SDL_WINDOWEVENT_MOVED), KMOD_NONE, 0, &state);
    EXPECT_EQ(t.kind, TranslatedEvent::Kind::None);
}

}  // namespace
