// acquisition_test.cpp — pictures from the simulated camera through the
// headless camera window and DS_Entry: which picture each request fetches,
// scrolling to it, the selection afterwards, a failed download, the strips
// and DIBs of real pictures, and the fetch-again flag.
#include <string>
#include <vector>
#include "caps/packed_fields.h"

#include "camera_source_fixture.h"

using testsupport::CameraSourceTest;
using testsupport::RawImage;
using testsupport::referenceDecode;

namespace {

bool samePixels(const RawImage& a, const RawImage& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

class Acquisition : public CameraSourceTest {
protected:
    // Pictures p01, p02, ... of distinct widths, so that each is known by
    // its size.
    void addPictures(int n) {
        for (int i = 0; i < n; ++i) {
            char name[8];
            std::snprintf(name, sizeof name, "p%02d", i + 1);
            jpegs.push_back(addPicture(name, 40 + 8 * i, 24 + (i % 3), 10u + i));
        }
    }
    int widthOf(int number) const { return 40 + 8 * (number - 1); }
    RawImage decoded(int number) const {
        return referenceDecode(jpegs.at(static_cast<std::size_t>(number - 1)));
    }
    // Clicks picture `index` (from 0), scrolling row by row from the first
    // page as a user would.
    void selectPicture(int index) {
        send(WM_KEYDOWN, VK_HOME);
        while (index > g_window.list->firstVisible + 11) clickButton(BUTTON_ROW_DOWN);
        clickSlot(index - g_window.list->firstVisible);
    }

    std::vector<std::vector<std::uint8_t>> jpegs;
};

// Applications ask DAT_IMAGEINFO before the transfer, again after
// DAT_IMAGELAYOUT and after the transfer: each describes the picture that
// the one download of its transfer fetched, by native and memory transfer.
TEST_F(Acquisition, ImageInfoAskedOftenDownloadsEachPictureOnce) {
    addPictures(3);
    startCamera();
    enable();
    clickSlot(0);
    clickSlot(2);
    clickButton(BUTTON_LOAD);
    ASSERT_EQ(g_source.protocolState, STATE_XFERREADY);
    ASSERT_GE(notified(MSG_XFERREADY), 1);

    TW_IMAGEINFO info{};
    ASSERT_EQ(imageInfo(&info), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(info.ImageWidth), widthOf(1));
    EXPECT_EQ(valueOf(info.SamplesPerPixel), 3);
    EXPECT_EQ(valueOf(info.BitsPerPixel), 24);
    EXPECT_EQ(valueOf(info.BitsPerSample[0]), 8);
    EXPECT_EQ(valueOf(info.BitsPerSample[3]), 0);
    EXPECT_EQ(valueOf(info.PixelType), TWPT_RGB);
    EXPECT_EQ(valueOf(info.Compression), TWCP_NONE);
    EXPECT_EQ(valueOf(info.XResolution.Whole), 0);
    EXPECT_EQ(selectedPictures(), (std::vector<int>{2})) << "each fetched picture is deselected";

    // Before, between and after: the same picture, with no second download.
    const auto askAround = [&](int number, const char* when) {
        TW_IMAGELAYOUT layout{};
        EXPECT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS) << when;
        for (int i = 0; i < 2; ++i) {
            info = {};
            ASSERT_EQ(imageInfo(&info), TWRC_SUCCESS) << when;
            EXPECT_EQ(valueOf(info.ImageWidth), widthOf(number)) << when;
            EXPECT_EQ(valueOf(info.ImageLength), 24 + (number - 1) % 3) << when;
        }
    };
    askAround(1, "picture 1 before its transfer");
    RawImage got;
    ASSERT_EQ(nativeTransfer(&got), TWRC_XFERDONE);
    EXPECT_TRUE(samePixels(got, decoded(1)));
    askAround(1, "picture 1 after its native transfer");
    EXPECT_EQ(picturesSent(), (std::vector<int>{1}));
    EXPECT_EQ(endTransfer(), TWRC_SUCCESS);
    EXPECT_EQ(g_source.protocolState, STATE_XFERREADY) << "picture 3 is still to come";

    askAround(3, "picture 3 before its transfer");
    std::vector<std::uint8_t> buffer(2048), strips;
    TW_UINT16 rc;
    for (int calls = 0; calls < 100; ++calls) {
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, 2048, buffer.data()};
        rc = call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        strips.insert(strips.end(), buffer.begin(), buffer.begin() + xfer.BytesWritten);
        if (rc != TWRC_SUCCESS) break;
    }
    EXPECT_EQ(rc, TWRC_XFERDONE);
    EXPECT_TRUE(strips == decoded(3).pixels);
    askAround(3, "picture 3 after its memory transfer");
    EXPECT_EQ(picturesSent(), (std::vector<int>{1, 3}));
    EXPECT_EQ(endTransfer(), TWRC_SUCCESS);
    EXPECT_EQ(g_source.protocolState, STATE_ENABLED);
}

TEST_F(Acquisition, SelectedPicturesComeLowestFirstScrollingToEachOne) {
    addPictures(20);
    startCamera();
    enable();
    selectPicture(2);
    selectPicture(16);
    send(WM_KEYDOWN, VK_HOME);
    ASSERT_EQ(g_window.list->firstVisible, 0) << "the first page shown";
    ASSERT_EQ(selectedPictures(), (std::vector<int>{2, 16}));
    clickButton(BUTTON_LOAD);
    ASSERT_EQ(g_source.protocolState, STATE_XFERREADY);

    TW_IMAGEINFO info{};
    ASSERT_EQ(imageInfo(&info), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(info.ImageWidth), widthOf(3));
    EXPECT_EQ(g_window.list->firstVisible, 0) << "picture 3 is on the page";
    EXPECT_EQ(selectedPictures(), (std::vector<int>{16}));
    RawImage got;
    ASSERT_EQ(nativeTransfer(&got), TWRC_XFERDONE);
    EXPECT_TRUE(samePixels(got, decoded(3)));
    ASSERT_EQ(endTransfer(), TWRC_SUCCESS);
    drainQueue();

    ASSERT_EQ(imageInfo(&info), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(info.ImageWidth), widthOf(17));
    EXPECT_EQ(g_window.list->firstVisible, 16) << "17 became the first visible picture";
    EXPECT_EQ(g_window.list->slots[0], 16);
    EXPECT_TRUE(selectedPictures().empty());
    ASSERT_EQ(nativeTransfer(&got), TWRC_XFERDONE);
    EXPECT_TRUE(samePixels(got, decoded(17)));
    EXPECT_EQ(picturesSent(), (std::vector<int>{3, 17}));
}

TEST_F(Acquisition, ADoubleClickedPictureIsSelectedForItsTransferAndStaysSo) {
    addPictures(4);
    startCamera();
    enable();
    doubleClickSlot(1);
    ASSERT_EQ(g_window.transferIndex, 1);
    EXPECT_TRUE(selectedPictures().empty()) << "its two releases toggled it back";
    ASSERT_EQ(notified(MSG_XFERREADY), 1);

    TW_IMAGEINFO info{};
    ASSERT_EQ(imageInfo(&info), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(info.ImageWidth), widthOf(2));
    EXPECT_EQ(selectedPictures(), (std::vector<int>{1}));
    RawImage got;
    ASSERT_EQ(nativeTransfer(&got), TWRC_XFERDONE);
    EXPECT_TRUE(samePixels(got, decoded(2)));
    EXPECT_EQ(selectedPictures(), (std::vector<int>{1}));
}

TEST_F(Acquisition, AFailedDownloadDeselectsEveryPictureAndDescribesNone) {
    addPictures(3);
    startCamera({"--fault", "short:F"});
    enable();
    clickSlot(0);
    clickSlot(2);
    clickButton(BUTTON_LOAD);

    TW_IMAGEINFO info{};
    EXPECT_EQ(imageInfo(&info), TWRC_FAILURE);
    EXPECT_EQ(valueOf(info.ImageWidth), 640) << "the no-picture answer";
    EXPECT_EQ(valueOf(info.ImageLength), 480);
    EXPECT_EQ(conditionCode(), TWCC_SUCCESS);
    EXPECT_TRUE(selectedPictures().empty());
    EXPECT_EQ(valueOf(g_transfer.currentImage), nullptr);
    EXPECT_EQ(valueOf(g_transfer.fetchAgain), FALSE);
    EXPECT_EQ(g_window.progress.position(), 0);
}

TEST_F(Acquisition, MemoryStripsOfARealPictureAreItsRowsTopFirst) {
    const auto jpeg = addPicture("big", 640, 480, 7);
    addPicture("small", 320, 240, 8);
    startCamera();
    enable();
    const RawImage big = referenceDecode(jpeg);

    for (TW_UINT32 length : {1920u, 2048u}) {
        clickSlot(0);
        clickButton(BUTTON_LOAD);
        TW_IMAGEINFO info{};
        ASSERT_EQ(imageInfo(&info), TWRC_SUCCESS);
        std::vector<std::uint8_t> got, buffer(length);
        int calls = 0;
        TW_UINT16 rc;
        do {
            TW_IMAGEMEMXFER xfer{};
            xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, length, buffer.data()};
            rc = call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
            ASSERT_TRUE(rc == TWRC_SUCCESS || rc == TWRC_XFERDONE) << length << " call " << calls;
            EXPECT_EQ(valueOf(xfer.YOffset), static_cast<TW_UINT32>(calls));
            EXPECT_EQ(valueOf(xfer.Rows), 1u);
            EXPECT_EQ(valueOf(xfer.BytesWritten), 1920u);
            got.insert(got.end(), buffer.begin(), buffer.begin() + xfer.BytesWritten);
            ++calls;
        } while (rc == TWRC_SUCCESS && calls < 600);
        EXPECT_EQ(calls, 480) << length;
        EXPECT_EQ(rc, TWRC_XFERDONE);
        EXPECT_TRUE(got == big.pixels) << length;
        ASSERT_EQ(endTransfer(), TWRC_SUCCESS);
        drainQueue();
    }

    clickSlot(0);
    clickButton(BUTTON_LOAD);
    TW_IMAGEINFO info{};
    ASSERT_EQ(imageInfo(&info), TWRC_SUCCESS);
    root->clearPrompts();
    std::vector<std::uint8_t> buffer(4096, 0xEE);
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, 4096, buffer.data()};
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_FAILURE);
    EXPECT_EQ(buffer[0], 0xEE) << "above Max: nothing copied";
    xfer.Memory.Length = 1024;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_FAILURE);
    const auto prompts = root->prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "Buffer is too small for strip transfers");
}

TEST_F(Acquisition, ATransferWithoutImageInfoFetchesTheNextSelectedPictureItself) {
    addPictures(3);
    startCamera();
    enable();
    clickSlot(0);
    clickSlot(1);
    clickButton(BUTTON_LOAD);
    TW_IMAGEINFO info{};
    ASSERT_EQ(imageInfo(&info), TWRC_SUCCESS);
    RawImage got;
    ASSERT_EQ(nativeTransfer(&got), TWRC_XFERDONE);
    EXPECT_TRUE(samePixels(got, decoded(1)));
    ASSERT_EQ(endTransfer(), TWRC_SUCCESS);
    ASSERT_EQ(nativeTransfer(&got), TWRC_XFERDONE) << "the flag is set: the transfer fetches";
    EXPECT_TRUE(samePixels(got, decoded(2)));
    EXPECT_EQ(picturesSent(), (std::vector<int>{1, 2}));
}

TEST_F(Acquisition, AFailedImageInfoStopsTheNextTransferFromFetchingOnce) {
    addPictures(3);
    startCamera();
    enable();
    clickSlot(0);
    clickButton(BUTTON_LOAD);
    TW_IMAGEINFO info{};
    ASSERT_EQ(imageInfo(&info), TWRC_SUCCESS);
    RawImage got;
    ASSERT_EQ(nativeTransfer(&got), TWRC_XFERDONE);
    ASSERT_EQ(endTransfer(), TWRC_SUCCESS);

    // Nothing pending: the fetch fails without a word to the camera.
    g_source.protocolState = STATE_XFERREADY;
    ASSERT_EQ(imageInfo(&info), TWRC_FAILURE);
    EXPECT_EQ(valueOf(g_transfer.fetchAgain), FALSE);
    EXPECT_EQ(picturesSent(), (std::vector<int>{1}));

    clickSlot(2);
    ASSERT_EQ(selectedPictures(), (std::vector<int>{2}));
    clickButton(BUTTON_LOAD);
    EXPECT_EQ(nativeTransfer(&got), TWRC_FAILURE) << "the cleared flag forbids a fetch";
    EXPECT_EQ(conditionCode(), TWCC_SUCCESS);
    EXPECT_EQ(valueOf(g_transfer.fetchAgain), TRUE) << "set again by the transfer";
    EXPECT_EQ(picturesSent(), (std::vector<int>{1}));

    // The memory transfer that follows fetches the picture itself.
    std::vector<std::uint8_t> buffer(2048), strips;
    TW_IMAGEMEMXFER xfer{};
    TW_UINT16 rc;
    int calls = 0;
    do {
        xfer = {};
        xfer.Memory = {TWMF_APPOWNS | TWMF_POINTER, 2048, buffer.data()};
        rc = call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        strips.insert(strips.end(), buffer.begin(), buffer.begin() + xfer.BytesWritten);
    } while (rc == TWRC_SUCCESS && ++calls < 100);
    EXPECT_EQ(rc, TWRC_XFERDONE);
    EXPECT_EQ(valueOf(xfer.Columns), static_cast<TW_UINT32>(widthOf(3)));
    EXPECT_EQ(picturesSent(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(strips == decoded(3).pixels);
}

TEST_F(Acquisition, ImageInfoOutsideStateSixAsksTheCameraNothing) {
    addPictures(2);
    startCamera();
    enable();
    clickSlot(0);
    ASSERT_EQ(g_source.protocolState, STATE_ENABLED);
    TW_IMAGEINFO info{};
    EXPECT_EQ(imageInfo(&info), TWRC_FAILURE);
    EXPECT_EQ(conditionCode(), TWCC_SEQERROR);
    EXPECT_TRUE(picturesSent().empty());
    EXPECT_EQ(selectedPictures(), (std::vector<int>{0}));
}

// A picture fetched for one announcement and then abandoned is freed where
// the announcement ends; the next announced picture is the one transferred,
// in this session or the next.
TEST_F(Acquisition, AnAbandonedPictureIsNeverDeliveredForAnotherAnnouncement) {
    enum class End { EndXfer, Reset, ResetDisable, ResetDisableClose };
    const struct {
        const char* name;
        End end;
    } cases[] = {
        {"MSG_ENDXFER without a transfer", End::EndXfer},
        {"MSG_RESET", End::Reset},
        {"MSG_RESET, MSG_DISABLEDS", End::ResetDisable},
        {"MSG_RESET, MSG_DISABLEDS, MSG_CLOSEDS", End::ResetDisableClose},
    };
    addPictures(2);
    startCamera();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        enable();
        clickSlot(0);
        if (c.end == End::EndXfer) clickSlot(1);
        clickButton(BUTTON_LOAD);
        TW_IMAGEINFO info{};
        ASSERT_EQ(imageInfo(&info), TWRC_SUCCESS);
        ASSERT_EQ(valueOf(info.ImageWidth), widthOf(1));
        TW_PENDINGXFERS pending{};
        TW_USERINTERFACE ui{};
        TW_IDENTITY ds = g_source.sourceIdentity;
        if (c.end == End::EndXfer) {
            ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
        } else {
            ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
        }
        EXPECT_EQ(valueOf(g_transfer.currentImage), nullptr) << "the abandoned picture is freed";
        if (c.end == End::ResetDisable || c.end == End::ResetDisableClose) {
            ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui), TWRC_SUCCESS);
        }
        if (c.end == End::ResetDisableClose) {
            ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds), TWRC_SUCCESS);
            enable();
        } else if (c.end == End::ResetDisable) {
            ui.ShowUI = TRUE;
            ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
        }
        if (c.end == End::EndXfer) {
            turnLoop();  // the second picture's announcement
        } else {
            send(WM_PAINT);
            clickSlot(1);
            clickButton(BUTTON_LOAD);
        }
        ASSERT_EQ(g_source.protocolState, STATE_XFERREADY);
        RawImage got;
        ASSERT_EQ(nativeTransfer(&got), TWRC_XFERDONE);
        EXPECT_TRUE(samePixels(got, decoded(2))) << "got a picture " << got.width << " wide";
        EXPECT_EQ(endTransfer(), TWRC_SUCCESS);
        TW_IDENTITY closing = g_source.sourceIdentity;
        ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &closing), TWRC_SUCCESS);
    }
}

}  // namespace
