// pending_count_test.cpp — the pending count of one Load: its value and the
// protocol state after every MSG_ENDXFER, a skipped picture, MSG_RESET,
// CAP_XFERCOUNT, and an application that stops at a count of 0.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "camera_source_fixture.h"
#include "platform/memory.h"

using testsupport::CameraSourceTest;
using testsupport::RawImage;
using testsupport::referenceDecode;

namespace {

class PendingCount : public CameraSourceTest {
protected:
    // Pictures p01, p02, ... of distinct widths.
    void ready(int n) {
        for (int i = 0; i < n; ++i) {
            char name[8];
            std::snprintf(name, sizeof name, "p%02d", i + 1);
            jpegs.push_back(addPicture(name, 40 + 8 * i, 24, 30u + i));
        }
        startCamera();
        enable();
    }
    void load(std::initializer_list<int> slots) {
        for (int slot : slots) clickSlot(slot);
        clickButton(BUTTON_LOAD);
    }
    TW_UINT16 count() {
        TW_PENDINGXFERS p{};
        EXPECT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &p), TWRC_SUCCESS);
        return p.Count;
    }
    TW_UINT16 endCount() {
        TW_PENDINGXFERS p{0xEEEE, {0}};
        EXPECT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &p), TWRC_SUCCESS);
        return p.Count;
    }
    // One picture as an application takes it: its number (from 1) by size,
    // 0 when it did not arrive whole and pixel-exact.
    int takeOne() {
        TW_IMAGEINFO info{};
        if (imageInfo(&info) != TWRC_SUCCESS) return 0;
        RawImage got;
        if (nativeTransfer(&got) != TWRC_XFERDONE) return 0;
        const int number = (got.width - 40) / 8 + 1;
        if (number < 1 || number > static_cast<int>(jpegs.size())) return 0;
        const RawImage want = referenceDecode(jpegs[static_cast<std::size_t>(number - 1)]);
        return got.pixels == want.pixels && got.height == want.height ? number : 0;
    }
    TW_UINT16 userInterface(TW_UINT16 msg) {
        TW_USERINTERFACE ui{};
        ui.ShowUI = TRUE;
        return call(DG_CONTROL, DAT_USERINTERFACE, msg, &ui);
    }
    void setTransferCount(TW_INT16 n) {
        TW_CAPABILITY cap{};
        cap.Cap = CAP_XFERCOUNT;
        cap.ConType = TWON_ONEVALUE;
        plat::MemBlock container(plat::memAlloc(sizeof(TW_ONEVALUE), true));
        {
            plat::MemLock lock(container.get());
            auto* one = lock.as<TW_ONEVALUE>();
            one->ItemType = TWTY_INT16;
            one->Item = static_cast<TW_UINT32>(static_cast<TW_UINT16>(n));
        }
        cap.hContainer = container.get();
        ASSERT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap), TWRC_SUCCESS) << n;
    }

    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::vector<std::vector<std::uint8_t>> jpegs;
};

TEST_F(PendingCount, EveryEndOfTransferAnswersThePicturesStillToCome) {
    ready(4);
    load({0, 1, 3});
    EXPECT_EQ(notified(MSG_XFERREADY), 1);
    EXPECT_EQ(count(), 3) << "MSG_GET right after the announcement";
    struct Step {
        int picture;
        TW_UINT16 left;
        TW_INT32 state;
    };
    for (const Step& s :
         {Step{1, 2, STATE_XFERREADY}, Step{2, 1, STATE_XFERREADY}, Step{4, 0, STATE_ENABLED}}) {
        SCOPED_TRACE(s.picture);
        EXPECT_EQ(takeOne(), s.picture);
        EXPECT_EQ(endCount(), s.left);
        EXPECT_EQ(g_source.protocolState, s.state);
        if (s.left) {
            EXPECT_EQ(count(), s.left);
        }
    }
    EXPECT_EQ(notified(MSG_XFERREADY), 1) << "nothing announced again";
    EXPECT_EQ(picturesSent(), (std::vector<int>{1, 2, 4}));
    EXPECT_TRUE(selectedPictures().empty());
}

TEST_F(PendingCount, AnEndWithoutTransferSkipsThatPictureForGood) {
    ready(3);
    load({0, 1, 2});
    EXPECT_EQ(endCount(), 2) << "picture 1 skipped before its information";
    TW_IMAGEINFO info{};
    ASSERT_EQ(imageInfo(&info), TWRC_SUCCESS);
    EXPECT_EQ(endCount(), 1) << "picture 2 skipped after its information";
    EXPECT_EQ(takeOne(), 3) << "the described but skipped picture does not stand in";
    EXPECT_EQ(endCount(), 0);
    EXPECT_EQ(g_source.protocolState, STATE_ENABLED);
    EXPECT_EQ(selectedPictures(), (std::vector<int>{0})) << "the skipped picture 1 stays selected";
    EXPECT_EQ(picturesSent(), (std::vector<int>{2, 3}));
}

TEST_F(PendingCount, ResetAndDisableDropTheRest) {
    for (TW_UINT16 msg : {MSG_RESET, MSG_DISABLEDS}) {
        SCOPED_TRACE(msg);
        TearDown();
        SetUp();
        jpegs.clear();
        ready(3);
        load({0, 1, 2});
        EXPECT_EQ(takeOne(), 1);
        EXPECT_EQ(endCount(), 2);
        if (msg == MSG_RESET) {
            TW_PENDINGXFERS p{};
            ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &p), TWRC_SUCCESS);
            EXPECT_EQ(p.Count, 0);
            EXPECT_EQ(g_source.protocolState, STATE_ENABLED);
        } else {
            ASSERT_EQ(userInterface(MSG_DISABLEDS), TWRC_SUCCESS);
            EXPECT_EQ(g_source.protocolState, STATE_OPEN);
        }
        EXPECT_EQ(count(), 0);
        EXPECT_EQ(endCount(), 0) << "outside a transfer";
        EXPECT_EQ(notified(MSG_XFERREADY), 1);
        EXPECT_EQ(picturesSent(), (std::vector<int>{1}));
        if (msg == MSG_RESET) {
            // The next Load hands over what is still selected, once.
            clickButton(BUTTON_LOAD);
            EXPECT_EQ(notified(MSG_XFERREADY), 2);
            EXPECT_EQ(count(), 2);
            EXPECT_EQ(takeOne(), 2);
        }
    }
}

TEST_F(PendingCount, TransferCountLimitsALoadToTheLowestSelected) {
    struct Case {
        TW_INT16 limit;
        std::vector<int> delivered;
        std::vector<int> stillSelected;
    };
    for (const Case& c : {Case{1, {1}, {2, 3}}, Case{2, {1, 3}, {3}}, Case{-1, {1, 3, 4}, {}}}) {
        SCOPED_TRACE(c.limit);
        TearDown();
        SetUp();
        jpegs.clear();
        for (int i = 0; i < 5; ++i) {
            char name[8];
            std::snprintf(name, sizeof name, "p%02d", i + 1);
            jpegs.push_back(addPicture(name, 40 + 8 * i, 24, 30u + i));
        }
        startCamera();
        // The capability as the installed settings describe it.
        root->write("windows/pxcm.ini", read(root->file("windows/pxcm.ini")) +
                                            "[CAP NUMBERS]\r\n1=CAP_XFERCOUNT\r\n"
                                            "[ItemType]\r\nTWTY_INT16=1\r\n"
                                            "[ConType]\r\nTWON_ONEVALUE=5\r\n");
        root->write("windows/PXCM.src",
                    "[CAP_XFERCOUNT]\r\nType=TWTY_INT16\r\nAllowed=-1_to_32767,1\r\n"
                    "PowerON=-1_to_32767,1\r\nCurrent=-1\r\nDefault=-1\r\n"
                    "Get=TWON_ONEVALUE\r\nGetCurrent=TWON_ONEVALUE\r\n"
                    "GetDefault=TWON_ONEVALUE\r\nSet=TWON_ONEVALUE\r\nReset=TWON_ONEVALUE\r\n");
        TW_IDENTITY ds{};
        ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &ds), TWRC_SUCCESS);
        ds.Id = 42;
        ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds), TWRC_SUCCESS);
        setTransferCount(c.limit);
        ASSERT_EQ(userInterface(MSG_ENABLEDS), TWRC_SUCCESS);
        send(WM_PAINT);
        load({0, 2, 3});
        EXPECT_EQ(count(), c.delivered.size());
        std::vector<int> got;
        do got.push_back(takeOne());
        while (endCount() != 0);
        EXPECT_EQ(got, c.delivered);
        EXPECT_EQ(selectedPictures(), c.stillSelected);
    }
}

TEST_F(PendingCount, AnApplicationThatDisablesAtCountZeroHasEveryPicture) {
    ready(5);
    load({0, 1, 2, 3, 4});
    // The common application: transfer while the count is not 0, then
    // disable, never waiting for another announcement.
    std::vector<int> got;
    do got.push_back(takeOne());
    while (endCount() != 0);
    ASSERT_EQ(userInterface(MSG_DISABLEDS), TWRC_SUCCESS);
    EXPECT_EQ(got, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(notified(MSG_XFERREADY), 1);
}

}  // namespace
