// window_pixels_test.cpp — the window as the user sees it, read back from
// the headless host's PNG: faces at their rectangles, speed dots, battery,
// frames, thumbnails in their cells, label colours, the status line and the
// progress bar.
#include "image/jpeg_decoder.h"
#include "ui_fixture.h"

using uitest::UiTest;

namespace {

class WindowPixels : public UiTest {
protected:
    void ready(int pictures, std::vector<std::string> args = {}) {
        addPictures(pictures);
        startCamera(args);
        enable();
        shot = window();
        ASSERT_EQ(shot.width(), BACKGROUND_WIDTH);
        ASSERT_EQ(shot.height(), BACKGROUND_HEIGHT);
    }
    void repaint() {
        paint();
        shot = window();
        ASSERT_GT(shot.width(), 0);
    }
    // Every pixel of `face` at (x, y) in the window.
    void expectFaceAt(const plat::Bitmap& face, int x, int y, const std::string& what) {
        ASSERT_GT(face.width(), 0) << what;
        int wrong = 0;
        for (int j = 0; j < face.height(); ++j)
            for (int i = 0; i < face.width(); ++i)
                if (x + i < shot.width() && y + j < shot.height() &&
                    shot.pixel(x + i, y + j) != face.pixel(i, j))
                    ++wrong;
        EXPECT_EQ(wrong, 0) << what;
    }
    // Labels are small: any pixel of the colour in the label's box.
    int labelPixels(int slot, plat::Color color) {
        int n = 0;
        for (int y = uitest::slotTop(slot) + 76; y < uitest::slotTop(slot) + 92; ++y)
            for (int x = uitest::slotLeft(slot) + 8; x < uitest::slotLeft(slot) + 45; ++x)
                if (shot.pixel(x, y) == color) ++n;
        return n;
    }
    plat::Bitmap shot;
};

TEST_F(WindowPixels, EveryButtonShowsItsUpFaceAtItsRectangle) {
    ready(2);
    for (const ButtonLayout& b : BUTTON_TABLE)
        expectFaceAt(skin(b.upFace), b.rect.left, b.rect.top, "button " + std::to_string(b.index));
}

TEST_F(WindowPixels, PressedButtonsAndModesShowTheirDownFaces) {
    ready(2, {"--mode-t", "1"});
    expectFaceAt(skin(BUTTON_TABLE[BUTTON_MODE_T].downFace), 460, 230, "self-timer on");
    expectFaceAt(skin(BUTTON_TABLE[BUTTON_MODE_Q].upFace), 461, 285, "STD size");
    down(midX(BUTTON_PAGE_UP), midY(BUTTON_PAGE_UP));
    repaint();
    expectFaceAt(skin(BUTTON_TABLE[BUTTON_PAGE_UP].downFace), 330, 342, "page up pressed");
    up(midX(BUTTON_PAGE_UP), midY(BUTTON_PAGE_UP));
    repaint();
    expectFaceAt(skin(BUTTON_TABLE[BUTTON_PAGE_UP].upFace), 330, 342, "page up released");
}

TEST_F(WindowPixels, TheLitSpeedDotIsGreenAndTheOtherGrey) {
    ready(1);
    struct Case {
        int clickY;
        plat::Color upper, lower;
    };
    const Case cases[] = {
        {0, DOT_LIT, DOT_UNLIT}, {55, DOT_UNLIT, DOT_LIT}, {40, DOT_LIT, DOT_UNLIT}};
    for (const Case& c : cases) {
        if (c.clickY) click(500, c.clickY);
        repaint();
        for (int dy = 0; dy < 3; ++dy)
            for (int dx = 0; dx < 3; ++dx) {
                EXPECT_EQ(shot.pixel(510 + dx, 41 + dy), c.upper) << c.clickY;
                EXPECT_EQ(shot.pixel(510 + dx, 54 + dy), c.lower) << c.clickY;
            }
        EXPECT_NE(shot.pixel(513, 41), c.upper == DOT_LIT ? DOT_LIT : DOT_UNLIT);
    }
}

TEST_F(WindowPixels, TheBatteryPictureFollowsTheLevel) {
    const std::pair<const char*, int> cases[] = {{"1", BITMAP_BATTERY_FULL},
                                                 {"2", BITMAP_BATTERY_HALF},
                                                 {"3", BITMAP_BATTERY_LOW},
                                                 {"0", BITMAP_BATTERY_EMPTY},
                                                 {"7", BITMAP_BATTERY_EMPTY}};
    for (const auto& [level, id] : cases) {
        SCOPED_TRACE(level);
        TearDown();
        SetUp();
        ready(1, {"--battery", level});
        expectFaceAt(skin(id), BATTERY_X, BATTERY_Y, std::string("battery ") + level);
    }
}

TEST_F(WindowPixels, ThumbnailsSitInTheirCellsPixelForPixel) {
    ready(6);
    for (int slot : {0, 5}) {
        const auto jpeg = simtest::readFile(thumbnailPath(slot));
        plat::MemBlock dib(decodePicture(jpeg.data(), jpeg.size(), DECODE_DISPLAY));
        ASSERT_TRUE(dib);
        plat::MemLock lock(dib.get());
        const uint8_t* bits = lock.as<uint8_t>() + DIB_HEADER_SIZE;
        int wrong = 0;
        for (int y = 0; y < 56; ++y)
            for (int x = 0; x < 80; ++x) {
                const uint8_t* p = bits + (static_cast<size_t>(55 - y) * 80 + x) * 3;
                if (shot.pixel(uitest::slotLeft(slot) + x, uitest::slotTop(slot) + y) !=
                    plat::rgb(p[2], p[1], p[0]))
                    ++wrong;
            }
        EXPECT_EQ(wrong, 0) << "slot " << slot;
    }
    // An empty slot shows the background.
    const plat::Bitmap background = skin(BITMAP_BACKGROUND);
    EXPECT_EQ(shot.pixel(uitest::slotLeft(7) + 40, uitest::slotTop(7) + 28),
              background.pixel(uitest::slotLeft(7) + 40, uitest::slotTop(7) + 28));
}

TEST_F(WindowPixels, FramesShowSelectionAndHover) {
    ready(3);
    clickSlot(0);
    move(uitest::slotLeft(1) + 10, uitest::slotTop(1) + 10, 0);
    repaint();
    // Left piece at (left - 5, top - 5), top piece at (left, top - 5).
    struct Case {
        int slot;
        int leftPiece, topPiece;
    };
    const Case cases[] = {{0, 141, 143}, {1, 137, 139}, {2, 102, 131}};
    for (const Case& c : cases) {
        expectFaceAt(skin(c.leftPiece), uitest::slotLeft(c.slot) - 5, uitest::slotTop(c.slot) - 5,
                     "left piece of slot " + std::to_string(c.slot));
        expectFaceAt(skin(c.topPiece), uitest::slotLeft(c.slot), uitest::slotTop(c.slot) - 5,
                     "top piece of slot " + std::to_string(c.slot));
    }
    // Selected under the pointer stays selected.
    move(uitest::slotLeft(0) + 10, uitest::slotTop(0) + 10, 0);
    repaint();
    expectFaceAt(skin(142), uitest::slotLeft(0) + 80, uitest::slotTop(0) - 5, "right, selected");
    expectFaceAt(skin(144), uitest::slotLeft(0), uitest::slotTop(0) + 56, "bottom, selected");
}

TEST_F(WindowPixels, LabelsAreWhiteAndRedForAMarkedPicture) {
    ready(2);
    EXPECT_GT(labelPixels(0, LABEL_PLAIN), 0);
    EXPECT_EQ(labelPixels(0, LABEL_MARKED), 0);
    // The simulated camera marks no picture: mark the held record.
    list().cell(1)->record.marker = 1;
    repaint();
    EXPECT_GT(labelPixels(1, LABEL_MARKED), 0);
    EXPECT_EQ(labelPixels(1, LABEL_PLAIN), 0);
    EXPECT_GT(labelPixels(0, LABEL_PLAIN), 0);
}

TEST_F(WindowPixels, StatusLineAndProgressBar) {
    ready(1);
    drawStatusLine("Camera is processing the picture...");
    g_window.progress.setMaximum(4);
    g_window.progress.setPosition(2);
    repaint();
    // The repaint erased the trough and drew the bar at its position.
    int blue = 0;
    for (int x = 294; x < 450; ++x)
        if (shot.pixel(x, 385) == PROGRESS_FILL) ++blue;
    EXPECT_EQ(blue, 78);
    EXPECT_EQ(shot.pixel(294, 378), PROGRESS_FILL);
    EXPECT_EQ(shot.pixel(294 + 77, 391), PROGRESS_FILL);
    EXPECT_NE(shot.pixel(294 + 78, 385), PROGRESS_FILL);
    // A position beyond the maximum changes nothing.
    EXPECT_EQ(g_window.progress.setPositionChecked(5), 1);
    EXPECT_EQ(g_window.progress.position(), 2);
    // The status line: black text on RGB(204,204,204), then blanks over it.
    drawStatusLine("Camera is processing the picture...");
    send(WM_TIMER);  // a message without painting brings a new picture
    shot = window();
    int black = 0, grey = 0;
    for (int y = 378; y < 388; ++y)
        for (int x = 10; x < 200; ++x) {
            black += shot.pixel(x, y) == STATUS_TEXT;
            grey += shot.pixel(x, y) == STATUS_BACKGROUND;
        }
    EXPECT_GT(black, 20);
    EXPECT_GT(grey, 200);
    clearStatusLine(60);
    send(WM_TIMER);
    shot = window();
    black = 0;
    for (int y = 378; y < 388; ++y)
        for (int x = 10; x < 200; ++x) black += shot.pixel(x, y) == STATUS_TEXT;
    EXPECT_EQ(black, 0);
}

// A download sets a position per block, far more than the bar has pixels:
// whatever it skips drawing, the bar shows every whole pixel of fill, keeps
// a longer fill over a shorter one, and empties at 0.
TEST_F(WindowPixels, ProgressBarShowsEveryPixelOfManyPositions) {
    ready(1);
    auto blueNow = [&] {
        send(WM_TIMER);
        shot = window();
        int blue = 0;
        for (int x = 294; x < 460; ++x) blue += shot.pixel(x, 385) == PROGRESS_FILL;
        return blue;
    };
    struct Step {
        int maximum;
        int position;
        int blue;  // pixels of fill shown after it
    };
    // The bar is 156 pixels wide.
    const Step steps[] = {
        {62400, 0, 0},      {62400, 100, 0},    {62400, 400, 1},     {62400, 800, 2},
        {62400, 31200, 78}, {62400, 31300, 78}, {62400, 62300, 155}, {62400, 62400, 156},
        {62400, 100, 156},  {62400, 0, 0},      {4, 1, 39},          {4, 3, 117},
    };
    int position = 0;
    for (const Step& step : steps) {
        g_window.progress.setMaximum(step.maximum);
        // Every block in between, as a download sets them.
        if (step.position > position)
            for (int p = position + 100; p < step.position; p += 100)
                g_window.progress.setPosition(p);
        g_window.progress.setPosition(step.position);
        position = step.position;
        EXPECT_EQ(blueNow(), step.blue) << step.position << " of " << step.maximum;
    }
}

}  // namespace
