// bad_replies_test.cpp — a camera that never answers, answers short or with
// a wrong header, garbles a data block, or fails a block on every try.
#include "faults/faults_fixture.h"

namespace faulttest {
namespace {

using BadReplies = FaultsTest;

TEST_F(BadReplies, SilenceAtEnableAsksRetryOrCancelAndCancelLeavesTheSourceOpen) {
    begin();
    addPictures(1);
    startCamera({"silent"});
    root->setAnswers("retry,cancel");
    ASSERT_EQ(open(), TWRC_SUCCESS);
    EXPECT_EQ(enableDS(), TWRC_CANCEL);
    EXPECT_EQ(promptTexts(), (std::vector<std::string>{NO_CAMERA, NO_CAMERA}));
    EXPECT_EQ(g_source.protocolState, STATE_OPEN);
    EXPECT_EQ(g_source.cameraWindow, nullptr);
    EXPECT_EQ(conditionCode(), TWCC_SUCCESS);
}

// Faults in the replies to the acquisition's own requests: the download
// ("F") and the checks before it ("P", "I").
TEST_F(BadReplies, ShortAndWrongRepliesFailTheTransferAndHandNothingOver) {
    struct Case {
        const char* fault;
        bool atPictureBlock;  // the fault's number is a block in the picture's middle
        int jpegBoxes;        // "JPEG Error" boxes
    };
    const Case cases[] = {
        // The download's information cut short or wrong: the link gives up
        // without a box of its own.
        {"short:F", false, 0},
        {"bad-header:F", false, 0},
        // A data block garbled on the line at every try: the decoder sees
        // damaged data each time and says so in its box.
        {"corrupt-block-always:", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        begin();
        addPictures(1);
        std::string fault = c.fault;
        if (c.atPictureBlock)
            fault += std::to_string(blocks(written[0].thumb) + blocks(written[0].jpeg) / 2);
        startCamera({fault});
        enable();
        selectAllAndLoad();
        ASSERT_EQ(announced(), 1);
        const Received got = acquireOne();
        EXPECT_EQ(got.infoRc, TWRC_FAILURE);
        EXPECT_EQ(got.xferRc, TWRC_FAILURE);
        EXPECT_TRUE(got.rgb.empty());
        EXPECT_EQ(promptsWithCaption(JPEG_ERROR_CAPTION), c.jpegBoxes);
        EXPECT_EQ(static_cast<int>(promptTexts().size()), c.jpegBoxes);
        EXPECT_EQ(cameraFiles(), writtenFiles());
    }
}

// Requests of the window's buttons answered with a wrong header: the
// communication error, and for Delete its own message after it.
TEST_F(BadReplies, WrongHeadersOfShotAndDeleteAreTold) {
    struct Case {
        const char* fault;
        int button;
        const char* answers;
        std::vector<std::string> boxes;
    };
    const std::string question = "Do you really want\n to delete all selected images ?";
    const Case cases[] = {
        {"bad-header:S", BUTTON_SHOT, "", {COMMUNICATION}},
        {"bad-header:L", BUTTON_DELETE, "ok", {question, COMMUNICATION, DELETE_FAILED}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        begin();
        addPictures(2);
        startCamera({c.fault});
        enable();
        root->setAnswers(c.answers);
        if (c.button == BUTTON_DELETE) clickButton(BUTTON_SELECT_ALL);
        clickButton(c.button);
        EXPECT_EQ(promptTexts(), c.boxes);
        EXPECT_EQ(g_source.protocolState, STATE_ENABLED);
        EXPECT_EQ(announced(), 0);
    }
}

// A picture block cut short on every try of the picture (six) fails the
// transfer with the communication error; one that comes whole on the last
// try is taken, and the picture arrives whole. A block left unanswered is
// asked once more, briefly: answered then, the picture arrives; silent
// again, the camera is taken for gone.
TEST_F(BadReplies, ABlockFailingEveryTryFailsTheTransferOneTryLessDoesNot) {
    struct Case {
        const char* fault;
        int tries;
        bool delivered;
    };
    for (const Case c : {Case{"cut-block", 6, false}, Case{"cut-block", 5, true},
                         Case{"fail-block", 2, false}, Case{"fail-block", 1, true}}) {
        SCOPED_TRACE(std::string(c.fault) + " " + std::to_string(c.tries));
        begin();
        addPictures(1);
        const long block = blocks(written[0].thumb) + 3;
        startCamera(
            {std::string(c.fault) + ":" + std::to_string(block) + ":" + std::to_string(c.tries)});
        enable();
        selectAllAndLoad();
        ASSERT_EQ(announced(), 1);
        const Received got = acquireOne();
        if (c.delivered) {
            EXPECT_EQ(got.infoRc, TWRC_SUCCESS);
            EXPECT_EQ(got.xferRc, TWRC_XFERDONE);
            EXPECT_EQ(got.rgb, original(written[0]));
            EXPECT_TRUE(promptTexts().empty());
        } else {
            EXPECT_EQ(got.infoRc, TWRC_FAILURE);
            EXPECT_EQ(got.xferRc, TWRC_FAILURE);
            EXPECT_TRUE(got.rgb.empty());
            EXPECT_EQ(promptTexts(), std::vector<std::string>{COMMUNICATION});
        }
    }
}

}  // namespace
}  // namespace faulttest
