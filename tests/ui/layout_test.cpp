// layout_test.cpp — the pure parts of the window: which button a point
// names, the battery pictures, the About caption.
#include <gtest/gtest.h>

#include <string>

#include "ui/about_box.h"
#include "ui/camera_status.h"
#include "ui/layout.h"

namespace {

struct PointCase {
    int x, y;
    int released;
};

TEST(Layout, ReleasedButtonIsTheHighestIndexWhoseRectangleHoldsThePoint) {
    const PointCase cases[] = {
        {236, 345, BUTTON_LOAD},
        {316, 368, BUTTON_LOAD},
        {317, 368, NO_BUTTON},
        {316, 369, NO_BUTTON},
        {18, 345, BUTTON_EXIT},
        {17, 345, NO_BUTTON},
        {169, 371, BUTTON_SELECT_ALL},
        {166, 371, BUTTON_DESELECT_ALL},
        {167, 350, NO_BUTTON},
        {455, 150, BUTTON_UPDATE},
        {455, 190, BUTTON_SHOT},
        {455, 189, NO_BUTTON},
        {518, 147, BUTTON_DELETE},
        {460, 230, BUTTON_MODE_T},
        {361, 342, BUTTON_ROW_UP},
        {392, 370, BUTTON_ROW_DOWN},
        {330, 342, BUTTON_PAGE_UP},
        {452, 370, BUTTON_PAGE_DOWN},
        {461, 285, BUTTON_MODE_Q},
        {520, 394, BUTTON_HELP},
        {200, 200, NO_BUTTON},
        {-1, -1, NO_BUTTON},
        // Exit's 0-index neighbour Load does not overlap; Page down and HELP
        // meet at no point.
        {453, 370, NO_BUTTON},
    };
    for (const PointCase& c : cases)
        EXPECT_EQ(releasedButtonAt(c.x, c.y), c.released) << c.x << "," << c.y;
}

TEST(Layout, EveryButtonNamesItselfAtItsCorners) {
    for (const ButtonLayout& b : BUTTON_TABLE) {
        EXPECT_EQ(releasedButtonAt(b.rect.left, b.rect.top), b.index);
        EXPECT_EQ(releasedButtonAt(b.rect.right - 1, b.rect.bottom - 1), b.index);
        EXPECT_NE(releasedButtonAt(b.rect.right, b.rect.bottom - 1), b.index);
        EXPECT_NE(releasedButtonAt(b.rect.left, b.rect.bottom), b.index);
    }
}

TEST(Layout, BatteryLevelsChooseTheirPictures) {
    // Slots hold 206, 207, 208, 209 in order.
    const std::pair<int, int> cases[] = {{1, 2}, {2, 1}, {3, 3}, {0, 0}, {4, 0}, {255, 0}};
    for (const auto& [level, slot] : cases) EXPECT_EQ(batterySlot(level), slot) << level;
}

TEST(Layout, AboutCaptionHasFiftyFourBlanksAndOneDecimal) {
    const std::string blanks(54, ' ');
    EXPECT_EQ(aboutCaption(4.0), "About" + blanks + "RISC ver 4.0");
    EXPECT_EQ(aboutCaption(1.2), "About" + blanks + "RISC ver 1.2");
    EXPECT_EQ(aboutCaption(3.9), "About" + blanks + "RISC ver 3.9");
    EXPECT_EQ(aboutCaption(12.5), "About" + blanks + "RISC ver 12.5");
}

}  // namespace
