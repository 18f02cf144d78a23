// thumbnail_list_test.cpp — the list against the simulated camera: the first
// preload and its order, the scroll table at 13 and 16 pictures, selection
// on release, hover marks, and Update fetching only what changed.
#include "ui_fixture.h"

using uitest::UiTest;

namespace {

std::vector<int> range(int from, int to) {
    std::vector<int> out;
    for (int i = from; i < to; ++i) out.push_back(i);
    return out;
}

TEST_F(UiTest, FirstPaintFetchesEveryThumbnailOnceInOrder) {
    struct Case {
        int pictures;
        int lastFirstVisible;
        int initialLoadPending;
    };
    const Case cases[] = {{5, 0, 1}, {12, 0, 1}, {13, 4, 0}, {16, 4, 0}, {17, 8, 0}, {30, 20, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pictures);
        TearDown();
        SetUp();
        addPictures(c.pictures);
        startCamera({});
        enable(false);
        EXPECT_TRUE(thumbnailsFetched().empty());
        paint();
        EXPECT_EQ(thumbnailsFetched(), range(0, c.pictures));
        EXPECT_EQ(list().firstVisible, c.lastFirstVisible);
        EXPECT_EQ(g_window.initialLoadPending, c.initialLoadPending);
        // The last picture is in view after the preload.
        const auto shown = visiblePictures();
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back(), c.pictures - 1);
        // A second paint fetches nothing more.
        paint();
        EXPECT_EQ(thumbnailsFetched().size(), static_cast<size_t>(c.pictures));
    }
}

struct ScrollCase {
    int pictures;
    int from;
    int button;  // a scroll button, or the key command for Home and End
    int firstVisible;
    std::vector<int> shown;
};

TEST_F(UiTest, ScrollTableAtThirteenAndSixteenPictures) {
    const ScrollCase cases[] = {
        {13, 0, BUTTON_ROW_DOWN, 4, range(4, 13)},    {13, 0, BUTTON_PAGE_DOWN, 12, {12}},
        {13, 0, SCROLL_END, 8, range(8, 13)},         {13, 0, BUTTON_ROW_UP, 0, range(0, 12)},
        {13, 0, BUTTON_PAGE_UP, 0, range(0, 12)},     {13, 0, SCROLL_HOME, 0, range(0, 12)},
        {13, 12, BUTTON_ROW_DOWN, 12, {12}},          {13, 12, BUTTON_PAGE_DOWN, 12, {12}},
        {13, 12, BUTTON_ROW_UP, 8, range(8, 13)},     {13, 12, BUTTON_PAGE_UP, 0, range(0, 12)},
        {13, 8, SCROLL_END, 8, range(8, 13)},         {16, 0, SCROLL_END, 12, range(12, 16)},
        {16, 0, BUTTON_PAGE_DOWN, 12, range(12, 16)}, {16, 12, BUTTON_ROW_DOWN, 12, range(12, 16)},
        {16, 12, SCROLL_HOME, 0, range(0, 12)},       {16, 4, BUTTON_PAGE_UP, 0, range(0, 12)},
        {16, 8, BUTTON_ROW_UP, 4, range(4, 16)},
    };
    int running = 0;
    for (const ScrollCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.pictures) + " pictures from " + std::to_string(c.from) +
                     " command " + std::to_string(c.button));
        if (running != c.pictures) {
            TearDown();
            SetUp();
            addPictures(c.pictures);
            startCamera({});
            enable();
            running = c.pictures;
        }
        list().firstVisible = static_cast<uint8_t>(c.from);
        list().reloadPage();
        forgetCameraLog();
        if (c.button == SCROLL_END)
            send(WM_KEYDOWN, VK_END);
        else if (c.button == SCROLL_HOME)
            send(WM_KEYDOWN, VK_HOME);
        else
            clickButton(c.button);
        EXPECT_EQ(list().firstVisible, c.firstVisible);
        EXPECT_EQ(visiblePictures(), c.shown);
        EXPECT_TRUE(thumbnailsFetched().empty());
        EXPECT_EQ(g_window.capturedButton, -1);
    }
}

TEST_F(UiTest, AClickTogglesSelectionOnReleaseAndOnlyOverAThumbnail) {
    addPictures(6);
    startCamera({});
    enable();
    struct Step {
        int x, y;
        bool release;
        std::vector<int> selected;
    };
    const int x1 = uitest::slotLeft(1), y1 = uitest::slotTop(1);
    const Step steps[] = {
        {x1 + 40, y1 + 28, false, {}},  // the press alone selects nothing
        {x1 + 40, y1 + 28, true, {1}},  // the release does
        {x1 + 79, y1 + 55, true, {}},   // same thumbnail again: unselected
        {x1 + 80, y1 + 28, true, {}},   // just right of it: nothing
        {x1 + 40, y1 + 56, true, {}},   // just below (the label): nothing
        {uitest::slotLeft(5), uitest::slotTop(5), true, {5}},
        {uitest::slotLeft(6) + 5, uitest::slotTop(6) + 5, true, {5}},  // an empty slot
        {uitest::slotLeft(0), uitest::slotTop(0), true, {0, 5}},
    };
    for (const Step& s : steps) {
        if (s.release)
            click(s.x, s.y);
        else
            down(s.x, s.y);
        EXPECT_EQ(selectedPictures(), s.selected) << s.x << "," << s.y;
    }
    clickButton(BUTTON_DESELECT_ALL);
    EXPECT_TRUE(selectedPictures().empty());
}

TEST_F(UiTest, HoverMarksFollowThePointerAndKeepTheLastIndex) {
    addPictures(4);
    startCamera({});
    enable();
    struct Step {
        int x, y;
        int hovered;  // the cell with its hover flag set, -1 none
        int hoverIndex;
    };
    const Step steps[] = {
        {uitest::slotLeft(2) + 10, uitest::slotTop(2) + 10, 2, 2},
        {uitest::slotLeft(3) + 10, uitest::slotTop(3) + 10, 3, 3},
        {10, 10, -1, 3},  // empty space: the mark goes, the index stays
        {uitest::slotLeft(3) + 1, uitest::slotTop(3) + 1, 3, 3},
        {uitest::slotLeft(9), uitest::slotTop(9), -1, 3},  // an empty slot
    };
    for (const Step& s : steps) {
        move(s.x, s.y, 0);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(list().cell(i)->hover, i == s.hovered ? 1 : 0)
                << "cell " << i << " at " << s.x << "," << s.y;
        EXPECT_EQ(list().hoverIndex, s.hoverIndex);
    }
}

TEST_F(UiTest, UpdateFetchesOnlyChangedAndNewThumbnailsAndClearsTheSelection) {
    addPictures(5);
    startCamera({});
    enable();
    clickSlot(1);
    clickSlot(4);
    // Picture 2 changes on the camera (new size), and a sixth arrives.
    writeJpeg(pictures() + "/p003.jpg", 72, 40, 99);
    addPicture(6);
    forgetCameraLog();
    root->clearPrompts();
    clickButton(BUTTON_UPDATE);
    EXPECT_EQ(thumbnailsFetched(), (std::vector<int>{2, 5}));
    EXPECT_EQ(list().count, 6);
    EXPECT_EQ(visiblePictures(), range(0, 6));
    EXPECT_TRUE(selectedPictures().empty());
    EXPECT_TRUE(root->prompts().empty());
    EXPECT_EQ(list().hoverIndex, 0);
}

TEST_F(UiTest, UpdateAfterPicturesVanishedDropsTheirCells) {
    addPictures(14);
    startCamera({});
    enable();
    for (int i = 10; i <= 14; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/p%03d", i);
        std::filesystem::remove(pictures() + name + ".jpg");
        std::filesystem::remove(pictures() + name + ".thumb.jpg");
    }
    forgetCameraLog();
    clickButton(BUTTON_UPDATE);
    EXPECT_EQ(list().count, 9);
    for (int i = 9; i < 14; ++i) EXPECT_EQ(list().cell(i), nullptr) << i;
    EXPECT_TRUE(thumbnailsFetched().empty());
    EXPECT_EQ(list().firstVisible, 0);
    EXPECT_EQ(visiblePictures(), range(0, 9));
}

}  // namespace
