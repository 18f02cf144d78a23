// cut_transfer_test.cpp — the camera falls silent, or is switched off and
// its line closes, in the middle of a thumbnail and of a picture.
#include "faults/faults_fixture.h"

namespace faulttest {
namespace {

using Cut = FaultsTest;

TEST_F(Cut, MidThumbnailAndMidPictureEndInTheMessageAndAFailure) {
    struct Case {
        const char* name;
        const char* fault;  // stop-after-blocks (silent) or exit-after-blocks (line closed)
        bool inThumbnail;   // cut in the thumbnail, else in the picture
        // What the user sees. A thumbnail failure of the first load is not
        // told: the white cell it leaves differs from the camera's picture,
        // which Select All and Load then say; a camera that has gone away
        // does not answer their checks.
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"silent in the thumbnail", "stop-after-blocks", true, {OTHER_PHOTOS, OTHER_PHOTOS}},
        {"switched off in the thumbnail", "exit-after-blocks", true, {NO_ANSWER, NO_ANSWER}},
        {"silent in the picture", "stop-after-blocks", false, {COMMUNICATION}},
        {"switched off in the picture", "exit-after-blocks", false, {COMMUNICATION}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        begin();
        addPictures(1);
        const long thumbBlocks = blocks(written[0].thumb);
        const long at = c.inThumbnail ? thumbBlocks / 2 : thumbBlocks + blocks(written[0].jpeg) / 2;
        startCamera({std::string(c.fault) + ":" + std::to_string(at)});
        enable();
        ASSERT_TRUE(g_window.list && g_window.list->cell(0) && g_window.list->cell(0)->thumbnail);
        // A failed thumbnail's cell carries year 0, so that it never passes for the picture.
        EXPECT_EQ(g_window.list->cell(0)->record.year == 0, c.inThumbnail);
        EXPECT_TRUE(promptTexts().empty());

        selectAllAndLoad();
        if (announced() > 0) {
            const Received got = acquireOne();
            EXPECT_EQ(got.infoRc, TWRC_FAILURE);
            EXPECT_EQ(got.width, 640);
            EXPECT_EQ(got.height, 480);
            EXPECT_EQ(got.xferRc, TWRC_FAILURE) << "no picture may be handed over";
            EXPECT_TRUE(got.rgb.empty());
            EXPECT_EQ(selectedCount(), 0) << "a failed download deselects every picture";
        }
        EXPECT_EQ(announced() > 0, !c.inThumbnail);
        EXPECT_EQ(promptTexts(), c.boxes);
        // Nothing announced, or the one picture's failed transfer ended: state 5.
        EXPECT_EQ(g_source.protocolState, STATE_ENABLED);
        EXPECT_EQ(cameraFiles(), writtenFiles()) << "nothing deleted on the camera";
    }
}

}  // namespace
}  // namespace faulttest
