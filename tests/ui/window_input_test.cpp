// window_input_test.cpp — presses and releases over the skin buttons: the
// capture quirks, the mode toggles and their latches, the speed selector,
// the About box, keys, and what the window ignores after its teardown.
#include "platform/files.h"
#include "platform/profile.h"
#include "ui_fixture.h"

using uitest::UiTest;

namespace {

class WindowInput : public UiTest {
protected:
    void ready(int pictures, std::vector<std::string> args = {}, const std::string& keys = "") {
        addPictures(pictures);
        startCamera(args, keys);
        enable();
        root->clearPrompts();
        forgetCameraLog();
    }
};

TEST_F(WindowInput, PushButtonFaceFollowsThePointerAndAReleaseElsewhereRunsNothing) {
    ready(3);
    clickSlot(1);
    ASSERT_EQ(selectedPictures(), std::vector<int>{1});
    const int x = midX(BUTTON_DELETE), y = midY(BUTTON_DELETE);
    down(x, y);
    EXPECT_EQ(g_window.capturedButton, BUTTON_DELETE);
    EXPECT_FALSE(g_window.buttons[BUTTON_DELETE].isUp());
    struct Step {
        int x, y;
        uintptr_t keys;
        bool up;
    };
    const Step steps[] = {
        {x, y + 40, MK_LBUTTON, true},              // dragged off
        {x, y, MK_LBUTTON, false},                  // back on
        {x, y + 40, MK_LBUTTON | MK_SHIFT, false},  // other keys too: face kept
        {x + 100, y + 40, MK_LBUTTON, true},
    };
    for (const Step& s : steps) {
        move(s.x, s.y, s.keys);
        EXPECT_EQ(g_window.buttons[BUTTON_DELETE].isUp(), s.up ? 1 : 0) << s.x << "," << s.y;
    }
    up(200, 330);  // over no button and no thumbnail
    EXPECT_TRUE(root->prompts().empty());
    EXPECT_EQ(g_window.capturedButton, BUTTON_DELETE);
    EXPECT_TRUE(g_window.buttons[BUTTON_DELETE].isUp());

    // The press that ends on Delete began on a thumbnail: Delete still runs.
    root->setAnswers("cancel");
    down(uitest::slotLeft(0) + 40, uitest::slotTop(0) + 28);
    EXPECT_EQ(g_window.capturedButton, BUTTON_DELETE);
    up(x, y);
    const auto prompts = root->prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "Do you really want\n to delete all selected images ?");
    EXPECT_EQ(prompts[0].buttons, "okcancel");
    EXPECT_EQ(prompts[0].icon, "question");
    EXPECT_EQ(g_window.capturedButton, -1);
    EXPECT_EQ(cameraLines("'L'"), 0);
}

TEST_F(WindowInput, AReleaseOverAScrollButtonScrollsWhereverThePressBegan) {
    ready(16);
    send(WM_KEYDOWN, VK_HOME);  // the first paint's preload left 4-15 in view
    down(uitest::slotLeft(5) + 40, uitest::slotTop(5) + 28);
    up(midX(BUTTON_ROW_DOWN), midY(BUTTON_ROW_DOWN));
    EXPECT_EQ(list().firstVisible, 4);
    // Nothing selected: the release was not over a thumbnail.
    EXPECT_TRUE(selectedPictures().empty());
}

TEST_F(WindowInput, CaptureLostShowsTheUpFaceAndKeepsTheButton) {
    ready(2);
    down(midX(BUTTON_SHOT), midY(BUTTON_SHOT));
    ASSERT_FALSE(g_window.buttons[BUTTON_SHOT].isUp());
    send(WM_CAPTURECHANGED);
    EXPECT_TRUE(g_window.buttons[BUTTON_SHOT].isUp());
    EXPECT_EQ(g_window.capturedButton, BUTTON_SHOT);
}

TEST_F(WindowInput, ModeTogglesSwitchOnAtPressAndOffAtTheSecondRelease) {
    ready(2);
    const struct {
        int button;
        const char* request;
        int* latch;
    } toggles[] = {
        {BUTTON_MODE_T, "'T' -> status", &g_window.modeTLatch},
        {BUTTON_MODE_Q, "'Q' -> status", &g_window.modeQLatch},
    };
    for (const auto& t : toggles) {
        SCOPED_TRACE(t.button);
        const int x = midX(t.button), y = midY(t.button);
        struct Step {
            bool press;
            int requests;  // requests of this letter so far
            bool faceUp;
            int latch;
        };
        const Step steps[] = {
            {true, 1, false, 1},   // on at once
            {false, 1, false, 1},  // its release changes nothing
            {true, 1, false, 0},   // unlatched, still on
            {false, 2, true, 0},   // off at this release
        };
        for (const Step& s : steps) {
            if (s.press)
                down(x, y);
            else
                up(x, y);
            EXPECT_EQ(cameraLines(t.request), s.requests);
            EXPECT_EQ(g_window.buttons[t.button].isUp(), s.faceUp ? 1 : 0);
            EXPECT_EQ(*t.latch, s.latch);
        }
        EXPECT_EQ(g_window.capturedButton, -1);
    }
}

TEST_F(WindowInput, TheCameraModesShowAtTheNextPaint) {
    ready(1, {"--mode-t", "1", "--mode-q", "1"});
    EXPECT_FALSE(g_window.buttons[BUTTON_MODE_T].isUp());
    EXPECT_FALSE(g_window.buttons[BUTTON_MODE_Q].isUp());
    EXPECT_EQ(g_window.modeTLatch, 1);
    EXPECT_EQ(g_window.modeQLatch, 1);
}

TEST_F(WindowInput, SpeedSpotsChooseTheCodeAndTeardownWritesIt) {
    struct Case {
        const char* keys;
        int clickY;  // 0: no click
        int selection;
        int code;
        const char* written;
    };
    const Case cases[] = {
        {"", 0, 0, 15, "15"},
        {"SERIAL_SPEED=7\r\n", 0, 1, 7, "7"},
        {"SERIAL_SPEED=92\r\n", 0, 0, 92, "92"},
        {"SERIAL_SPEED=92\r\n", 56, 1, 7, "7"},
        {"SERIAL_SPEED=7\r\n", 43, 0, 15, "15"},
        {"SERIAL_SPEED=46\r\n", 49, 0, 46, "46"},  // between the spots
    };
    addPictures(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keys) + " click " + std::to_string(c.clickY));
        sim.reset();
        cameraDevice().close();
        startCamera({}, std::string("SPECIAL_INTERVAL_TIME=0\r\n") + c.keys);
        enable();
        if (c.clickY) click(490, c.clickY);
        EXPECT_EQ(g_window.speedSelection, c.selection);
        EXPECT_EQ(cameraDevice().lineOptions().speedCode, c.code);
        clickButton(BUTTON_EXIT);
        char written[16] = {};
        plat::profileGetString("KMT-18", "SERIAL_SPEED", "", written, sizeof written,
                               (plat::windowsDirectory() + "\\pxcm.ini").c_str());
        EXPECT_STREQ(written, c.written);
        TW_IDENTITY ds = g_source.sourceIdentity;
        ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds), TWRC_SUCCESS);
    }
}

TEST_F(WindowInput, AboutOpensOnlyOnCtrlShiftClickOnTheLogo) {
    ready(1);
    const std::string caption = "About" + std::string(54, ' ') + "RISC ver 4.0";
    struct Case {
        int x, y;
        uintptr_t keys;
        bool opens;
    };
    const Case cases[] = {
        {480, 10, MK_LBUTTON, false},
        {480, 10, MK_LBUTTON | MK_CONTROL, false},
        {480, 10, MK_LBUTTON | MK_SHIFT, false},
        {459, 10, MK_LBUTTON | MK_CONTROL | MK_SHIFT, false},
        {480, 35, MK_LBUTTON | MK_CONTROL | MK_SHIFT, false},
        {460, 0, MK_LBUTTON | MK_CONTROL | MK_SHIFT, true},
        {514, 34, MK_LBUTTON | MK_CONTROL | MK_SHIFT, true},
    };
    for (const Case& c : cases) {
        root->clearPrompts();
        click(c.x, c.y, c.keys);
        int about = 0;
        for (const auto& p : root->prompts())
            if (p.caption == caption) ++about;
        EXPECT_EQ(about, c.opens ? 1 : 0) << c.x << "," << c.y << " keys " << c.keys;
    }
}

TEST_F(WindowInput, KeysScrollAndTheArrowsAcrossDoNothing) {
    ready(30);
    struct Case {
        uintptr_t key;
        int firstVisible;
    };
    const Case cases[] = {
        {VK_NEXT, 12}, {VK_DOWN, 16},  {VK_LEFT, 16}, {VK_RIGHT, 16}, {VK_UP, 12},
        {VK_END, 24},  {VK_PRIOR, 12}, {VK_HOME, 0},  {'A', 0},
    };
    // The first paint's preload left the last page in view.
    send(WM_KEYDOWN, VK_HOME);
    for (const Case& c : cases) {
        send(WM_KEYDOWN, c.key);
        EXPECT_EQ(list().firstVisible, c.firstVisible) << "key " << c.key;
    }
    EXPECT_TRUE(thumbnailsFetched().empty());
}

TEST_F(WindowInput, AfterExitTheWindowIgnoresInputAndEachCloseAsksAgain) {
    ready(3);
    clickButton(BUTTON_EXIT);
    EXPECT_EQ(g_window.windowClosed, 1);
    EXPECT_FALSE(g_window.list);
    EXPECT_EQ(notified(MSG_CLOSEDSREQ), 1);
    // Nothing reaches the camera or a box any more, and painting only
    // validates.
    clickSlot(0);
    click(490, 56);
    send(WM_KEYDOWN, VK_NEXT);
    send(WM_LBUTTONDBLCLK, 0, pointParam(70, 48));
    move(70, 48, 0);
    paint();
    EXPECT_EQ(cameraDevice().lineOptions().speedCode, 15);
    EXPECT_TRUE(root->prompts().empty());
    EXPECT_EQ(cameraLines("->"), 0);
    send(WM_CLOSE);
    EXPECT_EQ(notified(MSG_CLOSEDSREQ), 2);
    EXPECT_EQ(notified(MSG_XFERREADY), 0);
}

TEST_F(WindowInput, CloseButtonTearsDownLikeExit) {
    ready(2);
    send(WM_CLOSE);
    EXPECT_EQ(g_window.windowClosed, 1);
    EXPECT_EQ(notified(MSG_CLOSEDSREQ), 1);
    EXPECT_NE(root->read("windows/pxcm.ini").find("SERIAL_SPEED=15"), std::string::npos);
}

}  // namespace
