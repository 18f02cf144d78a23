// sdl_box.cpp — a message box that the host draws in a window of its own,
// for servers on which SDL cannot show one: the text, and buttons that
// answer on a click, Enter (the first) or Escape and the close button (the
// last).
#include <algorithm>
#include <string>
#include <vector>

#include "wsys/font.h"
#include "wsys/sdl_host.h"
#include "wsys/sdl_library.h"

namespace plat {
namespace {

constexpr int MARGIN = 14;
constexpr int BUTTON_WIDTH = 75;
constexpr int BUTTON_HEIGHT = 23;
constexpr int BUTTON_GAP = 8;
constexpr Color FACE = rgb(192, 192, 192);
constexpr Color LIGHT = rgb(255, 255, 255);
constexpr Color SHADOW = rgb(128, 128, 128);
constexpr Color INK = rgb(0, 0, 0);

struct BoxButton {
    int answer;
    const char* label;
    Rect place;
};

std::vector<std::string> linesOf(const char* text) {
    std::vector<std::string> lines(1);
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\n')
            lines.emplace_back();
        else if (*p != '\r')
            lines.back() += *p;
    }
    return lines;
}

void drawButton(FrameSurface& s, const GlyphFont& font, const BoxButton& b, bool isDefault) {
    const Rect& r = b.place;
    s.fillRect(r, FACE);
    s.fillRect({r.left, r.top, r.right, r.top + 1}, LIGHT);
    s.fillRect({r.left, r.top, r.left + 1, r.bottom}, LIGHT);
    s.fillRect({r.left, r.bottom - 1, r.right, r.bottom}, SHADOW);
    s.fillRect({r.right - 1, r.top, r.right, r.bottom}, SHADOW);
    if (isDefault) {
        s.fillRect({r.left - 1, r.top - 1, r.right + 1, r.top}, INK);
        s.fillRect({r.left - 1, r.bottom, r.right + 1, r.bottom + 1}, INK);
        s.fillRect({r.left - 1, r.top, r.left, r.bottom}, INK);
        s.fillRect({r.right, r.top, r.right + 1, r.bottom}, INK);
    }
    const int x = r.left + (r.width() - font.textWidth(b.label)) / 2;
    const int y = r.top + (r.height() - font.lineHeight()) / 2;
    s.drawText(font, x, y, b.label, INK, nullptr);
}

std::vector<BoxButton> buttonsFor(Buttons buttons) {
    switch (buttons) {
        case Buttons::OkCancel:
            return {{ANSWER_OK, "OK", {}}, {ANSWER_CANCEL, "Cancel", {}}};
        case Buttons::RetryCancel:
            return {{ANSWER_RETRY, "Retry", {}}, {ANSWER_CANCEL, "Cancel", {}}};
        case Buttons::Ok:
            break;
    }
    return {{ANSWER_OK, "OK", {}}};
}

// The box's face: the text's lines, and the buttons centred under them (their
// places are set here, for the clicks).
FrameSurface drawFace(const GlyphFont& font, const char* text, std::vector<BoxButton>* choices) {
    const std::vector<std::string> lines = linesOf(text);
    int textWidth = 0;
    for (const std::string& line : lines)
        textWidth = std::max(textWidth, font.textWidth(line.c_str()));
    const int count = static_cast<int>(choices->size());
    const int row = count * BUTTON_WIDTH + (count - 1) * BUTTON_GAP;
    const int width = std::max({textWidth, row, 160}) + 2 * MARGIN;
    const int textHeight = static_cast<int>(lines.size()) * font.lineHeight();
    const int height = MARGIN + textHeight + MARGIN + BUTTON_HEIGHT + MARGIN;

    FrameSurface face(width, height);
    face.fillRect({0, 0, width, height}, FACE);
    for (std::size_t i = 0; i < lines.size(); ++i)
        face.drawText(font, MARGIN, MARGIN + static_cast<int>(i) * font.lineHeight(),
                      lines[i].c_str(), INK, nullptr);
    int x = (width - row) / 2;
    const int y = MARGIN + textHeight + MARGIN;
    for (std::size_t i = 0; i < choices->size(); ++i) {
        (*choices)[i].place = {x, y, x + BUTTON_WIDTH, y + BUTTON_HEIGHT};
        drawButton(face, font, (*choices)[i], i == 0);
        x += BUTTON_WIDTH + BUTTON_GAP;
    }
    return face;
}

void centreOn(SdlWindow* parent, SdlWindow* box, int width, int height) {
    int px = 0, py = 0, pw = 0, ph = 0;
    sdl().GetWindowPosition(parent->window, &px, &py);
    sdl().GetWindowSize(parent->window, &pw, &ph);
    sdl().SetWindowPosition(box->window, px + (pw - width) / 2,
                            py + (ph - height - DRAWN_CAPTION_HEIGHT) / 2);
}

// The answer of the box's one event, 0 for none. Clicks count in the client
// area, below the drawn caption.
int answerOf(const SDL_Event& e, std::uint32_t id, const std::vector<BoxButton>& choices) {
    if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE)
        return choices.back().answer;
    if (e.type == SDL_KEYDOWN && e.key.windowID == id) {
        if (e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER)
            return choices.front().answer;
        if (e.key.keysym.sym == SDLK_ESCAPE) return choices.back().answer;
    }
    if (e.type == SDL_MOUSEBUTTONUP && e.button.windowID == id &&
        e.button.button == SDL_BUTTON_LEFT) {
        const int cx = e.button.x, cy = e.button.y - DRAWN_CAPTION_HEIGHT;
        for (const BoxButton& b : choices)
            if (cx >= b.place.left && cx < b.place.right && cy >= b.place.top &&
                cy < b.place.bottom)
                return b.answer;
    }
    return 0;
}

}  // namespace

int drawnMessageBox(SdlWindow* parent, const char* text, const char* caption, Buttons buttons) {
    const std::unique_ptr<Font> font = createFont(FontFace::StatusSans);
    const auto* glyphs = dynamic_cast<const GlyphFont*>(font.get());
    if (!glyphs) return -1;
    std::vector<BoxButton> choices = buttonsFor(buttons);
    const FrameSurface face = drawFace(*glyphs, text, &choices);
    const int width = face.frame().width(), height = face.frame().height();

    std::unique_ptr<SdlWindow, SdlWindowDeleter> box(
        sdlCreateWindow(caption, width, height, DRAWN_CAPTION_HEIGHT, parent));
    if (!box) return -1;
    if (parent) centreOn(parent, box.get(), width, height);
    sdlShowWindow(box.get(), true);
    sdlRaiseWindow(box.get());
    sdlPresent(box.get(), face.frame(), caption);

    const std::uint32_t id = sdlWindowId(box.get());
    std::vector<SDL_Event> others;  // other windows' events, given back afterwards
    int answer = 0;
    while (answer == 0) {
        SDL_Event e;
        if (!sdlNextEvent(&e, 50)) continue;
        if (e.type == SDL_WINDOWEVENT && e.window.windowID != id)
            others.push_back(e);
        else if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED)
            sdlPresent(box.get(), face.frame(), caption);
        else
            answer = answerOf(e, id, choices);
    }
    box.reset();
    for (SDL_Event& e : others) sdl().PushEvent(&e);
    return answer;
}

}  // namespace plat
