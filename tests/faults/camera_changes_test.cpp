// camera_changes_test.cpp — the camera's pictures change behind the window's
// back (taken, deleted, replaced, deleted between Load and the transfer) or
// are not JPEG at all.
#include "faults/faults_fixture.h"

namespace faulttest {
namespace {

using CameraChanges = FaultsTest;

// Select All and Load both check the camera first and refuse.
TEST_F(CameraChanges, ChangesBeforeLoadAreToldAndNothingIsAnnounced) {
    enum Change { Taken, Deleted, Replaced };
    struct Case {
        const char* name;
        Change change;
        const char* box;
    };
    const Case cases[] = {
        {"a picture taken", Taken, OTHER_COUNT},
        {"a picture deleted", Deleted, OTHER_COUNT},
        {"the last picture replaced", Replaced, OTHER_PHOTOS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        begin();
        addPictures(2);
        startCamera({});
        enable();
        if (c.change != Taken) removePicture(written[c.change == Deleted ? 0 : 1]);
        if (c.change != Deleted) addPicture(7);
        selectAllAndLoad();
        EXPECT_EQ(promptTexts(), (std::vector<std::string>{c.box, c.box}));
        EXPECT_EQ(announced(), 0);
        EXPECT_EQ(g_source.protocolState, STATE_ENABLED);
    }
}

// After Load, the camera loses a picture: what is transferred is never
// another picture passed off as the announced one.
TEST_F(CameraChanges, APictureDeletedBetweenLoadAndItsTransfer) {
    // The first of two: the second moves up into its number and is refused.
    begin();
    addPictures(2);
    startCamera({});
    enable();
    selectAllAndLoad();
    ASSERT_EQ(announced(), 1);
    removePicture(written[0]);
    const Received moved = acquireOne();
    EXPECT_EQ(moved.infoRc, TWRC_FAILURE);
    EXPECT_EQ(moved.xferRc, TWRC_FAILURE);
    EXPECT_TRUE(moved.rgb.empty());
    EXPECT_EQ(promptTexts(), std::vector<std::string>{OTHER_PHOTOS});
    EXPECT_EQ(selectedCount(), 0) << "a failed transfer deselects every picture";

    // The last of two: the first still comes whole, the second fails.
    begin();
    addPictures(2);
    startCamera({});
    enable();
    selectAllAndLoad();
    removePicture(written[1]);
    const Received first = acquireOne();
    EXPECT_EQ(first.xferRc, TWRC_XFERDONE);
    EXPECT_EQ(first.rgb, original(written[0]));
    turnLoop();
    ASSERT_EQ(announced(), 1) << "one announcement for the Load";
    ASSERT_EQ(g_source.protocolState, STATE_XFERREADY) << "the second is still to come";
    const Received gone = acquireOne();
    EXPECT_EQ(gone.infoRc, TWRC_FAILURE);
    EXPECT_EQ(gone.xferRc, TWRC_FAILURE);
    EXPECT_TRUE(gone.rgb.empty());
    EXPECT_EQ(selectedCount(), 0);
}

TEST_F(CameraChanges, ACorruptJpegIsToldAndNothingIsHandedOver) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> (*spoil)(std::vector<std::uint8_t>);
    };
    const Case cases[] = {
        {"cut in half",
         [](std::vector<std::uint8_t> j) {
             j.resize(j.size() / 2);
             return j;
         }},
        {"scrambled after the headers",
         [](std::vector<std::uint8_t> j) {
             for (std::size_t i = j.size() / 3; i + 2 < j.size(); i += 3) j[i] ^= 0x5A;
             return j;
         }},
        {"not a JPEG",
         [](std::vector<std::uint8_t> j) { return std::vector<std::uint8_t>(j.size(), 'x'); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        begin();
        addPictures(2);
        written[0].jpeg = c.spoil(written[0].jpeg);
        simtest::writeFile(pictures() + "/" + written[0].name + ".jpg", written[0].jpeg);
        startCamera({});
        enable();
        selectAllAndLoad();
        ASSERT_EQ(announced(), 1);
        const Received bad = acquireOne();
        EXPECT_EQ(bad.infoRc, TWRC_FAILURE);
        EXPECT_EQ(bad.xferRc, TWRC_FAILURE);
        EXPECT_TRUE(bad.rgb.empty());
        EXPECT_GE(promptsWithCaption(JPEG_ERROR_CAPTION), 1);
        // The next announced picture still comes, whole.
        turnLoop();
        ASSERT_EQ(announced(), 1) << "one announcement for the Load";
        ASSERT_EQ(g_source.protocolState, STATE_XFERREADY) << "the second is still to come";
        const Received good = acquireOne();
        EXPECT_EQ(good.xferRc, TWRC_XFERDONE);
        EXPECT_EQ(good.rgb, original(written[1]));
        EXPECT_EQ(cameraFiles(), writtenFiles());
    }
}

}  // namespace
}  // namespace faulttest
