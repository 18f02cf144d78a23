// user_interface_test.cpp — DAT_USERINTERFACE: the state table, enabling
// with and without a camera, showing and hiding, enabling again, opening
// again after a close.
#include <ctime>

#include "platform/window.h"
#include "ui_fixture.h"
#include "wsys/window_system.h"

using uitest::UiTest;

namespace {

const char NO_CAMERA_TEXT[] =
    "Camera does not respond.\nPlease check the camera power, cables\nand COM port, and try "
    "again.";

struct StateRow {
    const char* name;
    TW_UINT16 msg;
    // Per state 3, 4, 5, 6: the state after success, or 0 for a refusal
    // with `refusal`.
    TW_INT32 after[4];
    TW_UINT16 refusal;
};

TEST_F(UiTest, UserInterfaceInStatesThreeToSix) {
    addPictures(2);
    startCamera({});
    const StateRow rows[] = {
        {"ENABLEDS", MSG_ENABLEDS, {0, STATE_ENABLED, 0, 0}, TWCC_SEQERROR},
        {"DISABLEDS", MSG_DISABLEDS, {0, 0, STATE_OPEN, STATE_OPEN}, TWCC_SEQERROR},
        {"GET", MSG_GET, {0, 0, 0, 0}, TWCC_BADPROTOCOL},
    };
    const TW_INT32 states[] = {STATE_LOADED, STATE_OPEN, STATE_ENABLED, STATE_XFERREADY};
    for (const StateRow& row : rows) {
        for (int s = 0; s < 4; ++s) {
            const std::string where =
                std::string(row.name) + " in state " + std::to_string(states[s]);
            // Every case from a closed source.
            if (g_source.protocolState >= STATE_OPEN) {
                TW_IDENTITY ds = g_source.sourceIdentity;
                ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds), TWRC_SUCCESS);
            }
            if (states[s] >= STATE_OPEN) {
                ASSERT_EQ(open(), TWRC_SUCCESS) << where;
            }
            if (states[s] >= STATE_ENABLED) {
                ASSERT_EQ(userInterface(MSG_ENABLEDS, true), TWRC_SUCCESS) << where;
            }
            g_source.protocolState = states[s];
            root->clearPrompts();

            const TW_UINT16 rc = userInterface(row.msg, true);
            const auto prompts = root->prompts();
            if (row.after[s] == 0) {
                EXPECT_EQ(rc, TWRC_FAILURE) << where;
                EXPECT_EQ(g_source.protocolState, states[s]) << where;
                EXPECT_EQ(conditionCode(), row.refusal) << where;
                ASSERT_EQ(prompts.size(), 1u) << where;
                EXPECT_EQ(prompts[0].caption, "Sample Source Error") << where;
            } else {
                EXPECT_EQ(rc, TWRC_SUCCESS) << where;
                EXPECT_EQ(g_source.protocolState, row.after[s]) << where;
                EXPECT_TRUE(prompts.empty()) << where;
            }
        }
    }
}

TEST_F(UiTest, EnableInStateFiveNamesTheMessageAndTheSequence) {
    addPictures(1);
    startCamera({});
    enable(false);
    root->clearPrompts();
    EXPECT_EQ(userInterface(MSG_ENABLEDS, true), TWRC_FAILURE);
    const auto prompts = root->prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text,
              "General failure in response to MSG_ENABLEDS.  DG DAT MSG is out of expected "
              "sequence.");
}

TEST_F(UiTest, NoCameraAsksRetryOrCancelAndCancelLeavesTheSourceOpen) {
    mapPorts(root->file("absent-com1"), "");
    root->setAnswers("retry,cancel");
    ASSERT_EQ(open(), TWRC_SUCCESS);
    EXPECT_EQ(userInterface(MSG_ENABLEDS, true), TWRC_CANCEL);
    EXPECT_EQ(g_source.protocolState, STATE_OPEN);
    EXPECT_EQ(g_source.cameraWindow, nullptr);
    const auto prompts = root->prompts();
    ASSERT_EQ(prompts.size(), 2u);
    for (const auto& p : prompts) {
        EXPECT_EQ(p.caption, "KMT-18/19");
        EXPECT_EQ(p.text, NO_CAMERA_TEXT);
        EXPECT_EQ(p.buttons, "retrycancel");
        EXPECT_EQ(p.icon, "error");
    }
    EXPECT_EQ(prompts[0].answer, "retry");
    EXPECT_EQ(prompts[1].answer, "cancel");
    EXPECT_EQ(conditionCode(), TWCC_SUCCESS);
}

TEST_F(UiTest, ShowUIDecidesOnlyWhetherDisableHidesTheWindow) {
    addPictures(2);
    startCamera({});
    struct Case {
        bool enableShow, disableShow, visibleAfterDisable;
    };
    const Case cases[] = {{false, true, true}, {true, false, false}, {true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.enableShow) + "/" + std::to_string(c.disableShow));
        if (g_source.protocolState < STATE_OPEN) {
            ASSERT_EQ(open(), TWRC_SUCCESS);
        }
        ASSERT_EQ(userInterface(MSG_ENABLEDS, c.enableShow), TWRC_SUCCESS);
        EXPECT_EQ(g_source.protocolState, STATE_ENABLED);
        // The window shows itself whatever the application asked.
        EXPECT_TRUE(plat::windowVisible(g_source.cameraWindow));
        ASSERT_EQ(userInterface(MSG_DISABLEDS, c.disableShow), TWRC_SUCCESS);
        EXPECT_EQ(g_source.protocolState, STATE_OPEN);
        ASSERT_NE(g_source.cameraWindow, nullptr);
        EXPECT_EQ(plat::windowVisible(g_source.cameraWindow), c.visibleAfterDisable);
    }
}

TEST_F(UiTest, EnableDisableEnableMakesAFreshWindowThatWorks) {
    addPictures(3);
    startCamera({});
    enable();
    clickSlot(0);
    ASSERT_EQ(selectedPictures(), std::vector<int>{0});
    ASSERT_EQ(userInterface(MSG_DISABLEDS, false), TWRC_SUCCESS);
    ASSERT_EQ(userInterface(MSG_ENABLEDS, true), TWRC_SUCCESS);
    paint();
    // A new list: nothing selected, thumbnails fetched again, clicks work.
    EXPECT_TRUE(selectedPictures().empty());
    EXPECT_EQ(visiblePictures(), (std::vector<int>{0, 1, 2}));
    clickSlot(2);
    EXPECT_EQ(selectedPictures(), std::vector<int>{2});
    EXPECT_EQ(thumbnailsFetched(), (std::vector<int>{0, 1, 2, 0, 1, 2}));
}

TEST_F(UiTest, CloseAndOpenAgainInTheSameProcess) {
    addPictures(2);
    startCamera({});
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        enable();
        EXPECT_EQ(visiblePictures(), (std::vector<int>{0, 1}));
        TW_IDENTITY ds = g_source.sourceIdentity;
        ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds), TWRC_SUCCESS);
        EXPECT_EQ(g_source.cameraWindow, nullptr);
        EXPECT_FALSE(g_window.list);
        EXPECT_EQ(g_window.window, nullptr);
    }
    EXPECT_TRUE(root->prompts().empty());
}

TEST_F(UiTest, ProcessEventBelongsToTheWindowOnlyWhileItExists) {
    addPictures(1);
    startCamera({});
    ASSERT_EQ(open(), TWRC_SUCCESS);
    EXPECT_EQ(send(WM_PAINT), TWRC_NOTDSEVENT);
    ASSERT_EQ(userInterface(MSG_ENABLEDS, true), TWRC_SUCCESS);
    EXPECT_EQ(send(WM_PAINT), TWRC_DSEVENT);
}

TEST_F(UiTest, TheWindowSetsTheCameraClockAndCentresItselfWithItsCaption) {
    addPictures(1);
    startCamera({"--clock", "1999-03-05T14:07"});
    const std::time_t before = std::time(nullptr);
    enable(false);
    const std::time_t after = std::time(nullptr);
    const plat::HostWindow* w = plat::findHostWindow(g_source.cameraWindow);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->caption, " Vantrel Digital Camera KMT-18/19 TWAIN Driver ver 1.6");
    int width = 0, height = 0;
    plat::screenSize(&width, &height);
    EXPECT_EQ(w->left, width / 2 - 266);
    EXPECT_EQ(w->top, height / 2 - 213);
    EXPECT_EQ(w->frame.width(), BACKGROUND_WIDTH);
    EXPECT_EQ(w->frame.height(), BACKGROUND_HEIGHT);
    EXPECT_DOUBLE_EQ(cameraDevice().firmwareVersion(), 4.0);
    EXPECT_EQ(g_window.initialLoadPending, 1);
    // The camera's clock now shows the PC's local time.
    auto stamp = [](std::time_t t) {
        char text[32];
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", std::localtime(&t));
        return std::string("'M': clock set to ") + text;
    };
    EXPECT_EQ(cameraLines(stamp(before)) +
                  (stamp(after) != stamp(before) ? cameraLines(stamp(after)) : 0),
              1);
}

TEST_F(UiTest, CountsAboveTheListsRoomAreBounded) {
    addPictures(185);
    startCamera({});
    enable(false);
    EXPECT_EQ(list().count, LIST_CELLS);
}

}  // namespace
