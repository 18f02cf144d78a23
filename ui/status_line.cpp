// status_line.cpp — the one line of text under the thumbnails.
#include <string>

#include "platform/window.h"
#include "ui/camera_window.h"
#include "ui/layout.h"

void drawStatusLine(const char* text) {
    if (!g_window.window || !g_window.statusFont) return;
    plat::WindowCanvas canvas(g_window.window);
    const plat::Color background = STATUS_BACKGROUND;
    canvas.surface().drawText(*g_window.statusFont, STATUS_X, STATUS_Y, text, STATUS_TEXT,
                              &background);
}

void clearStatusLine(int spaces) {
    drawStatusLine(std::string(spaces > 0 ? spaces : 0, ' ').c_str());
}
