// window_actions_test.cpp — Load and its one announcement under both
// kinds of Source Manager, double click, Shot, Delete and the check that the
// list still matches the camera.
#include "ui_fixture.h"

using testsupport::DsmMode;
using uitest::UiTest;

namespace {

const char DIFFERENT_COUNT[] =
    "Camera and TWAIN has different number of photos.\nPlease press Update button in advance "
    "and then try it again.";
const char DIFFERENT_PHOTOS[] =
    "Camera and TWAIN has different photos.\nPlease press Update button in advance and then try "
    "it again.";

class WindowActions : public UiTest {
protected:
    void ready(int pictures, std::vector<std::string> args = {}) {
        addPictures(pictures);
        startCamera(args);
        enable();
        root->clearPrompts();
        forgetCameraLog();
        testsupport::notifications().clear();
    }
    TW_UINT16 endTransfer() {
        TW_PENDINGXFERS pending{};
        return call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    }
    // DAT_PENDINGXFERS / MSG_GET's count.
    int pendingCount() {
        TW_PENDINGXFERS pending{};
        EXPECT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
        return pending.Count;
    }
    void removePicture(const char* stem) {
        std::filesystem::remove(pictures() + "/" + stem + ".jpg");
        std::filesystem::remove(pictures() + "/" + stem + ".thumb.jpg");
    }
};

TEST_F(WindowActions, LoadWithNothingSelectedAnnouncesNothing) {
    ready(3);
    clickButton(BUTTON_LOAD);
    EXPECT_EQ(notified(MSG_XFERREADY), 0);
    EXPECT_EQ(g_source.protocolState, STATE_ENABLED);
}

TEST_F(WindowActions, LoadAnnouncesEverySelectedPictureOnceAndCountsThemDown) {
    for (DsmMode mode : {DsmMode::Queue, DsmMode::SingleSlot}) {
        SCOPED_TRACE(mode == DsmMode::Queue ? "queue" : "single slot");
        TearDown();
        SetUp();
        ready(5);
        testsupport::setDsmMode(mode);
        for (int slot : {0, 2, 4}) clickSlot(slot);
        clickButton(BUTTON_LOAD);
        EXPECT_EQ(g_window.transferIndex, TRANSFER_ALL_SELECTED);
        EXPECT_EQ(g_source.protocolState, STATE_XFERREADY);
        EXPECT_EQ(notified(MSG_XFERREADY), 1);
        EXPECT_EQ(pendingCount(), 3);
        if (mode == DsmMode::SingleSlot) {
            TW_UINT16 msg = 0;
            ASSERT_TRUE(testsupport::takeNotification(&msg));
            EXPECT_EQ(msg, MSG_XFERREADY);
        }
        // The count goes down by one at each end of a transfer; the state
        // stays 6 until it reaches 0, and nothing is announced again.
        for (int left : {2, 1, 0}) {
            TW_PENDINGXFERS pending{};
            ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
            EXPECT_EQ(pending.Count, left);
            EXPECT_EQ(g_source.protocolState, left ? STATE_XFERREADY : STATE_ENABLED);
            turnLoop();
            EXPECT_EQ(notified(MSG_XFERREADY), 1);
        }
        EXPECT_EQ(testsupport::notificationSlot().lost, 0);
        EXPECT_FALSE(testsupport::takeNotification(nullptr));
    }
}

TEST_F(WindowActions, ResetAndDisableDropThePendingPictures) {
    ready(4);
    for (int slot : {0, 1, 2}) clickSlot(slot);
    clickButton(BUTTON_LOAD);
    ASSERT_EQ(pendingCount(), 3);
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
    EXPECT_EQ(g_source.protocolState, STATE_ENABLED);
    ASSERT_EQ(endTransfer(), TWRC_SUCCESS);
    turnLoop();
    EXPECT_EQ(notified(MSG_XFERREADY), 1);
    EXPECT_EQ(selectedPictures(), (std::vector<int>{0, 1, 2})) << "dropped, still selected";

    clickButton(BUTTON_LOAD);
    ASSERT_EQ(notified(MSG_XFERREADY), 2);
    ASSERT_EQ(pendingCount(), 3);
    ASSERT_EQ(userInterface(MSG_DISABLEDS, true), TWRC_SUCCESS);
    EXPECT_EQ(g_source.protocolState, STATE_OPEN);
    EXPECT_EQ(pendingCount(), 0);
}

TEST_F(WindowActions, DoubleClickAnnouncesThatPictureAloneOnceNoneIsPending) {
    ready(4);
    for (int slot : {0, 1}) clickSlot(slot);
    clickButton(BUTTON_LOAD);
    ASSERT_EQ(pendingCount(), 2);
    // The two releases of a double click toggle twice; while the Load's
    // pictures are pending the double click asks for nothing.
    const int x = uitest::slotLeft(3) + 40, y = uitest::slotTop(3) + 28;
    auto doubleClick = [&] {
        click(x, y);
        send(WM_LBUTTONDBLCLK, MK_LBUTTON, pointParam(x, y));
        up(x, y);
    };
    doubleClick();
    EXPECT_EQ(g_window.transferIndex, TRANSFER_ALL_SELECTED);
    EXPECT_EQ(notified(MSG_XFERREADY), 1);
    EXPECT_EQ(pendingCount(), 2);
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    doubleClick();
    EXPECT_EQ(g_window.transferIndex, 3);
    EXPECT_EQ(notified(MSG_XFERREADY), 2);
    EXPECT_EQ(pendingCount(), 1);
    EXPECT_EQ(selectedPictures(), (std::vector<int>{0, 1}));
    // A double click on empty space asks for nothing.
    ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, pointParam(10, 10));
    EXPECT_EQ(notified(MSG_XFERREADY), 2);
}

TEST_F(WindowActions, ExitTearsDownAndAsksToBeClosed) {
    ready(2);
    clickButton(BUTTON_EXIT);
    EXPECT_EQ(notified(MSG_CLOSEDSREQ), 1);
    EXPECT_EQ(g_window.windowClosed, 1);
    const auto& last = testsupport::notifications().back();
    EXPECT_EQ(last.dg, static_cast<TW_UINT32>(DG_CONTROL));
    EXPECT_EQ(last.dat, DAT_NULL);
    EXPECT_TRUE(last.dataNull);
    EXPECT_EQ(last.originId, 42u);
    EXPECT_EQ(last.destId, 17u);
    // The application then disables and closes.
    EXPECT_EQ(userInterface(MSG_DISABLEDS, false), TWRC_SUCCESS);
    TW_IDENTITY ds = g_source.sourceIdentity;
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds), TWRC_SUCCESS);
    EXPECT_EQ(g_source.cameraWindow, nullptr);
}

TEST_F(WindowActions, ShotWithAFullCameraShowsTheMessageAndTakesNothing) {
    ready(2, {"--free", "0"});
    clickButton(BUTTON_SHOT);
    const auto prompts = root->prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].caption, "KMT-18/19");
    EXPECT_EQ(prompts[0].text, "Camera memory is already full.\nCamera cannot make new photo");
    EXPECT_EQ(prompts[0].icon, "error");
    EXPECT_EQ(cameraLines("'S'"), 0);
    EXPECT_EQ(list().count, 2);
}

TEST_F(WindowActions, ShotBringsTheNewPicturesRowIntoView) {
    struct Case {
        int pictures;
        int firstVisible;
    };
    const Case cases[] = {{3, 0}, {11, 0}, {12, 4}, {16, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pictures);
        TearDown();
        SetUp();
        ready(c.pictures);
        list().firstVisible = 0;
        list().reloadPage();
        forgetCameraLog();
        clickButton(BUTTON_SHOT);
        EXPECT_EQ(cameraLines("'S': picture"), 1);
        EXPECT_EQ(list().count, c.pictures + 1);
        EXPECT_EQ(list().firstVisible, c.firstVisible);
        EXPECT_EQ(thumbnailsFetched(), std::vector<int>{c.pictures});
        EXPECT_EQ(visiblePictures().back(), c.pictures);
        EXPECT_TRUE(root->prompts().empty());
    }
}

TEST_F(WindowActions, DeleteAsksThenDeletesFromTheHighestIndexDown) {
    ready(6);
    for (int slot : {1, 3, 4}) clickSlot(slot);
    root->setAnswers("cancel");
    clickButton(BUTTON_DELETE);
    EXPECT_EQ(cameraLines("'L'"), 0);
    EXPECT_EQ(selectedPictures(), (std::vector<int>{1, 3, 4}));

    root->clearPrompts();
    root->setAnswers("ok");
    clickButton(BUTTON_DELETE);
    const auto prompts = root->prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].caption, "KMT-18/19");
    EXPECT_EQ(prompts[0].text, "Do you really want\n to delete all selected images ?");
    EXPECT_EQ(prompts[0].answer, "ok");
    std::vector<std::string> deleted;
    {
        std::ifstream in(cameraLog());
        std::string line;
        while (std::getline(in, line))
            if (line.find("'L': picture") != std::string::npos) deleted.push_back(line);
    }
    ASSERT_EQ(deleted.size(), 3u);
    EXPECT_NE(deleted[0].find("picture 5 (p005"), std::string::npos) << deleted[0];
    EXPECT_NE(deleted[1].find("picture 4 (p004"), std::string::npos) << deleted[1];
    EXPECT_NE(deleted[2].find("picture 2 (p002"), std::string::npos) << deleted[2];
    EXPECT_EQ(list().count, 3);
    EXPECT_TRUE(selectedPictures().empty());
    // p001 keeps its thumbnail; p003 and p006, renumbered to 1 and 2, are
    // fetched again.
    EXPECT_EQ(thumbnailsFetched(), (std::vector<int>{1, 2}));
    EXPECT_EQ(visiblePictures(), (std::vector<int>{0, 1, 2}));
}

TEST_F(WindowActions, DeleteWithNothingSelectedAsksNothing) {
    ready(3);
    clickButton(BUTTON_DELETE);
    EXPECT_TRUE(root->prompts().empty());
    EXPECT_EQ(cameraLines("->"), 0);
}

TEST_F(WindowActions, ACameraChangedBehindTheWindowStopsEveryCheckedAction) {
    struct Case {
        const char* change;
        const char* message;
    };
    const Case cases[] = {{"added", DIFFERENT_COUNT},
                          {"removed", DIFFERENT_COUNT},
                          {"last replaced", DIFFERENT_PHOTOS}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        TearDown();
        SetUp();
        ready(4);
        clickSlot(0);
        if (std::string(c.change) == "added")
            addPicture(9);
        else if (std::string(c.change) == "removed")
            removePicture("p002");
        else
            writeJpeg(pictures() + "/p004.jpg", 70, 50, 77);
        forgetCameraLog();
        const int actions[] = {BUTTON_LOAD, BUTTON_SELECT_ALL, BUTTON_SHOT, BUTTON_DELETE};
        for (int action : actions) {
            root->clearPrompts();
            clickButton(action);
            const auto prompts = root->prompts();
            ASSERT_EQ(prompts.size(), 1u) << "button " << action;
            EXPECT_EQ(prompts[0].text, c.message) << "button " << action;
            EXPECT_EQ(prompts[0].icon, "error");
        }
        root->clearPrompts();
        send(WM_LBUTTONDBLCLK, MK_LBUTTON,
             pointParam(uitest::slotLeft(1) + 5, uitest::slotTop(1) + 5));
        ASSERT_EQ(root->prompts().size(), 1u);
        EXPECT_EQ(root->prompts()[0].text, c.message);
        EXPECT_EQ(notified(MSG_XFERREADY), 0);
        EXPECT_EQ(cameraLines("'S'"), 0);
        EXPECT_EQ(cameraLines("'L'"), 0);
        EXPECT_EQ(selectedPictures(), std::vector<int>{0});
        // The remembered count is put back: the window still believes in 4.
        EXPECT_EQ(cameraDevice().status().pictureCount, 4);

        // Update clears the condition.
        clickButton(BUTTON_UPDATE);
        root->clearPrompts();
        clickButton(BUTTON_SELECT_ALL);
        EXPECT_TRUE(root->prompts().empty());
        EXPECT_EQ(static_cast<int>(selectedPictures().size()), list().count);
    }
}

}  // namespace
