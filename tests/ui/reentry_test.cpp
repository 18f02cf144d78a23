// reentry_test.cpp — a window whose pictures cannot all be had, and boxes
// shown in the middle of a camera exchange: the nested paint starts no
// second exchange.
#include "image/skin_bitmap.h"
#include "platform/window.h"
#include "ui/skin_source.h"
#include "ui_fixture.h"

using uitest::UiTest;

namespace {

int g_missingId = 0;

plat::Bitmap withoutOne(HINSTANCE module, int id) {
    return id == g_missingId ? plat::Bitmap() : loadSkinBitmap(module, id);
}

class Reentry : public UiTest {
protected:
    void TearDown() override {
        setSkinSource(nullptr);
        UiTest::TearDown();
    }
};

TEST_F(Reentry, AMissingPictureFailsEnableWithLowMemoryAndLeavesNothing) {
    addPictures(2);
    startCamera({});
    ASSERT_EQ(open(), TWRC_SUCCESS);
    // An up face, a down face, the background, a battery, a frame piece.
    const int missing[] = {169, 195, BITMAP_BACKGROUND, BITMAP_BATTERY_LOW, 144};
    setSkinSource(withoutOne);
    for (int id : missing) {
        SCOPED_TRACE(id);
        g_missingId = id;
        root->clearPrompts();
        EXPECT_EQ(userInterface(MSG_ENABLEDS, true), TWRC_FAILURE);
        EXPECT_EQ(g_source.protocolState, STATE_OPEN);
        EXPECT_EQ(g_source.cameraWindow, nullptr);
        EXPECT_EQ(plat::activeWindow(), nullptr);
        EXPECT_FALSE(g_window.list);
        EXPECT_EQ(g_window.window, nullptr);
        EXPECT_EQ(g_window.background.width(), 0);
        EXPECT_EQ(conditionCode(), TWCC_LOWMEMORY);
        const auto prompts = root->prompts();
        ASSERT_EQ(prompts.size(), 1u);
        EXPECT_EQ(prompts[0].text.rfind("General failure in response to MSG_ENABLEDS.  ", 0), 0u);
    }
    // With every picture there, the same open source enables.
    setSkinSource(nullptr);
    ASSERT_EQ(userInterface(MSG_ENABLEDS, true), TWRC_SUCCESS);
    paint();
    EXPECT_EQ(visiblePictures(), (std::vector<int>{0, 1}));
}

TEST_F(Reentry, ABoxInsideADeletionRepaintsFromTheCacheOnly) {
    addPictures(4);
    startCamera({"--fault", "bad-header:L"});
    enable();
    clickSlot(1);
    forgetCameraLog();
    root->clearPrompts();
    root->setAnswers("ok");
    clickButton(BUTTON_DELETE);
    const auto prompts = root->prompts();
    ASSERT_EQ(prompts.size(), 3u);
    EXPECT_EQ(prompts[0].text, "Do you really want\n to delete all selected images ?");
    EXPECT_EQ(prompts[1].text.rfind("Communication error with camera.", 0), 0u);
    EXPECT_TRUE(prompts[1].owned);
    EXPECT_EQ(prompts[2].text,
              "Error happened when deleting.\nPlease check camera and press Update Button");
    // The link's box repainted the window in the middle of the deletion:
    // pictures 2 and 3 had lost their cells, yet nothing was fetched and no
    // status asked beyond the check before the question.
    EXPECT_TRUE(thumbnailsFetched().empty());
    EXPECT_EQ(cameraLines("'P' -> status"), 1);
    // The list is left as the deletion left it.
    EXPECT_EQ(list().count, 2);
    EXPECT_EQ(list().cell(2), nullptr);
    EXPECT_NE(list().cell(1), nullptr);
    EXPECT_EQ(g_window.busy, 0);
    EXPECT_EQ(g_window.progress.position(), 0);
}

TEST_F(Reentry, ACloseInsideAnExchangeWaitsForItsEnd) {
    addPictures(2);
    startCamera({});
    enable();
    {
        BusyGuard exchange;
        send(WM_CLOSE);
        EXPECT_EQ(g_window.windowClosed, 0);
        EXPECT_EQ(notified(MSG_CLOSEDSREQ), 0);
        // Input that would talk to the camera is ignored meanwhile.
        forgetCameraLog();
        clickButton(BUTTON_SELECT_ALL);
        send(WM_KEYDOWN, VK_END);
        EXPECT_EQ(cameraLines("->"), 0);
        EXPECT_TRUE(selectedPictures().empty());
    }
    send(WM_TIMER);
    EXPECT_EQ(g_window.windowClosed, 1);
    EXPECT_EQ(notified(MSG_CLOSEDSREQ), 1);
}

}  // namespace
