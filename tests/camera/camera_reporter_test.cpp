// camera_reporter_test.cpp — the boxes of the module's camera reporter, their
// answers, the continue flag and the repaint of the owner window.
#include <gtest/gtest.h>

#include "support/temp_root.h"
#include "ui/camera_module.h"

namespace {

const char* const COMMUNICATION =
    "Communication error with camera.\nTurn the camera power off and on again,\nexit the TWAIN "
    "DRIVER screen,\nand ACQUIRE again.";

struct BoxCase {
    LinkResult code;
    const char* caption;
    const char* text;
    const char* buttons;
    const char* answer;  // the safe answer of an unanswered box
    ReportAnswer returned;
};

class Reporter : public ::testing::Test {
protected:
    testsupport::TempRoot root;
    CameraMessageReporter reporter;
};

TEST_F(Reporter, EveryCodeShowsItsBox) {
    const BoxCase cases[] = {
        {LINK_NO_ANSWER, "KMT-18/19",
         "Camera does not respond.\nPlease check whether the camera\npower is on, and try again.",
         "retrycancel", "cancel", ReportAnswer::Cancel},
        {LINK_BUSY, "KMT-18/19",
         "The COM port is in use by another program.\nPlease quit that program and try again.",
         "retrycancel", "cancel", ReportAnswer::Cancel},
        {LINK_BAD_REPLY, "KMT-18/19", COMMUNICATION, "ok", "ok", ReportAnswer::Ok},
        {LINK_BLOCK_FAILED, "KMT-18/19", COMMUNICATION, "ok", "ok", ReportAnswer::Ok},
        {LINK_NO_MEMORY, "KMT-18/19",
         "Memory allocation error\nPlease quit another program and try it again.", "ok", "ok",
         ReportAnswer::Ok},
        {LINK_TOO_BIG, "Twain cannot make such big memoryKMT-18/19",
         "Camera required big memory allocation.\n", "ok", "ok", ReportAnswer::Ok},
        {7774, "KMT-18/19", "Unrespected error happened.", "ok", "ok", ReportAnswer::Ok},
        {7777, "KMT-18/19", "Unrespected error happened.", "ok", "ok", ReportAnswer::Ok},
        {LINK_BAD_INFO, "KMT-18/19", "Unrespected error happened.", "ok", "ok", ReportAnswer::Ok},
        {LINK_OK, "KMT-18/19", "Unrespected error happened.", "ok", "ok", ReportAnswer::Ok},
    };
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(c.code);
        root.clearPrompts();
        EXPECT_EQ(reporter.reportError(c.code), c.returned);
        const auto prompts = root.prompts();
        ASSERT_EQ(prompts.size(), 1u);
        EXPECT_EQ(prompts[0].caption, c.caption);
        EXPECT_EQ(prompts[0].text, c.text);
        EXPECT_EQ(prompts[0].buttons, c.buttons);
        EXPECT_EQ(prompts[0].icon, "error");
        EXPECT_EQ(prompts[0].answer, c.answer);
        EXPECT_FALSE(prompts[0].owned);
    }
}

TEST_F(Reporter, OnlyCancelCallsTheCancelHook) {
    int cancels = 0;
    root.setAnswers("cancel,cancel,retry");
    // Without a hook a Cancel is only the answer.
    EXPECT_EQ(reporter.reportError(LINK_NO_ANSWER), ReportAnswer::Cancel);
    reporter.setCancelHook([&] { ++cancels; });
    EXPECT_EQ(reporter.reportError(LINK_NO_ANSWER), ReportAnswer::Cancel);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(reporter.reportError(LINK_NO_ANSWER), ReportAnswer::Retry);
    // An OK box is no Cancel.
    EXPECT_EQ(reporter.reportError(LINK_BAD_REPLY), ReportAnswer::Ok);
    EXPECT_EQ(cancels, 1);
}

TEST_F(Reporter, OwnedBoxRepaintsItsOwnerAfterwards) {
    int window = 0;
    std::vector<void*> repainted;
    reporter.setOwner(&window);
    reporter.setRepaintHook([&](void* owner) {
        // The box has been recorded before the repaint.
        EXPECT_EQ(root.prompts().size(), repainted.size() + 1);
        repainted.push_back(owner);
    });
    reporter.reportError(LINK_BAD_REPLY);
    reporter.reportError(LINK_NO_MEMORY);
    EXPECT_EQ(repainted, (std::vector<void*>{&window, &window}));
    const auto prompts = root.prompts();
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_TRUE(prompts[0].owned);
}

TEST_F(Reporter, ModuleHasOneCameraAndOneReporterWithoutOwner) {
    resetCameraDevice();
    EXPECT_EQ(&cameraDevice(), &cameraDevice());
    EXPECT_EQ(&cameraErrorReporter(), &cameraErrorReporter());
    EXPECT_EQ(cameraErrorReporter().owner(), nullptr);
    EXPECT_FALSE(cameraDevice().isOpen());
    EXPECT_FALSE(cameraDevice().downloadData());
    EXPECT_EQ(cameraDevice().link().reporter(), nullptr);
}

TEST_F(Reporter, EachCameraStartsAsAtLoadAndKeepsItsOwnLine) {
    CameraDevice a, b;
    a.setLineOptions({SPEED_115200, 3});
    for (const CameraDevice* d : {&a, &b}) {
        EXPECT_EQ(d->foundPort(), 0);
        EXPECT_FALSE(d->link().scanning());
        EXPECT_FALSE(d->cancelRequested());
    }
    EXPECT_EQ(a.lineOptions().speedCode, SPEED_115200);
    EXPECT_EQ(a.lineOptions().intervalTenths, 3);
    EXPECT_EQ(b.lineOptions().speedCode, 0);
    EXPECT_EQ(b.lineOptions().intervalTenths, 0);
    a.cancel();
    EXPECT_TRUE(a.cancelRequested());
    EXPECT_FALSE(b.cancelRequested());
}

}  // namespace
