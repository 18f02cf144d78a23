// image_ops_test.cpp — the image description operations and the transfer
// set-up through DS_Entry: accepted states and messages, failure texts,
// fixed answers and the settings they read and write.
#include <cstdlib>
#include <string>
#include "caps/packed_fields.h"
#include "caps/settings_files.h"

#include "caps/fix32.h"
#include "source/transfer_state.h"
#include "source_fixture.h"

using testsupport::SourceTest;

namespace {

const std::string SEQ_TEXT = "DG DAT MSG is out of expected sequence.";
const std::string BADPROTOCOL_TEXT = "Bad protocol error.";

// Room for any record of these triplets (16 response elements included).
struct Record {
    alignas(8) unsigned char bytes[2048];
};

std::vector<testsupport::Prompt> errorBoxes(const testsupport::TempRoot& root) {
    std::vector<testsupport::Prompt> out;
    for (const auto& p : root.prompts())
        if (p.caption == "Sample Source Error") out.push_back(p);
    return out;
}

struct StateRow {
    const char* name;
    TW_UINT32 dg;
    TW_UINT16 dat;
    TW_UINT16 msg;
    // Return code in states 3, 4, 5, 6; SEQ = refused with TWCC_SEQERROR.
    TW_UINT16 rc[4];
};

constexpr TW_UINT16 SEQ = 0xFFFF;
constexpr TW_UINT16 OK = TWRC_SUCCESS;
constexpr TW_UINT16 FAIL = TWRC_FAILURE;  // without condition code or box
constexpr TW_UINT16 DONE = TWRC_XFERDONE;

// Without a camera window there is no picture: the transfers that would
// fetch one fail quietly, a memory buffer of length 0 is outside the limits.
const StateRow STATE_ROWS[] = {
    {"SETUPMEMXFER/GET", DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, {SEQ, OK, OK, OK}},
    {"SETUPFILEXFER/GET", DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, {SEQ, OK, OK, OK}},
    {"XFERGROUP/GET", DG_CONTROL, DAT_XFERGROUP, MSG_GET, {SEQ, OK, OK, OK}},
    {"XFERGROUP/SET", DG_CONTROL, DAT_XFERGROUP, MSG_SET, {SEQ, OK, OK, OK}},
    {"PALETTE8/GET", DG_IMAGE, DAT_PALETTE8, MSG_GET, {SEQ, OK, OK, OK}},
    {"PALETTE8/RESET", DG_IMAGE, DAT_PALETTE8, MSG_RESET, {SEQ, OK, OK, OK}},
    {"IMAGEINFO/GET", DG_IMAGE, DAT_IMAGEINFO, MSG_GET, {SEQ, SEQ, SEQ, FAIL}},
    {"IMAGENATIVEXFER/GET", DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, {SEQ, SEQ, SEQ, FAIL}},
    {"IMAGEMEMXFER/GET", DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, {FAIL, FAIL, FAIL, FAIL}},
    {"IMAGEFILEXFER/GET", DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, {DONE, DONE, DONE, DONE}},
    {"IMAGELAYOUT/GET", DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, {OK, OK, OK, OK}},
    {"IMAGELAYOUT/SET", DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, {OK, OK, OK, OK}},
    {"GRAYRESPONSE/SET", DG_IMAGE, DAT_GRAYRESPONSE, MSG_SET, {OK, OK, OK, OK}},
    {"RGBRESPONSE/RESET", DG_IMAGE, DAT_RGBRESPONSE, MSG_RESET, {OK, OK, OK, OK}},
    {"CIECOLOR/GET", DG_IMAGE, DAT_CIECOLOR, MSG_GET, {OK, OK, OK, OK}},
    {"JPEGCOMPRESSION/GET", DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_GET, {OK, OK, OK, OK}},
    {"JPEGCOMPRESSION/SET", DG_IMAGE, DAT_JPEGCOMPRESSION, MSG_SET, {OK, OK, OK, OK}},
};

TEST_F(SourceTest, EveryImageTripletInStatesThreeToSix) {
    const TW_INT32 states[] = {STATE_LOADED, STATE_OPEN, STATE_ENABLED, STATE_XFERREADY};
    for (const StateRow& row : STATE_ROWS) {
        for (int s = 0; s < 4; ++s) {
            SetUp();
            enterState(states[s]);
            Record data{};
            const std::string where =
                std::string(row.name) + " in state " + std::to_string(states[s]);
            const TW_UINT16 rc = call(row.dg, row.dat, row.msg, data.bytes);
            EXPECT_EQ(g_source.protocolState, states[s]) << where << ": no state change";
            if (row.rc[s] == SEQ) {
                EXPECT_EQ(rc, TWRC_FAILURE) << where;
                EXPECT_EQ(status(), TWCC_SEQERROR) << where;
                EXPECT_EQ(errorBoxes(root).size(), 1u) << where;
            } else {
                EXPECT_EQ(rc, valueOf(row.rc)[s]) << where;
                EXPECT_EQ(status(), TWCC_SUCCESS) << where;
                EXPECT_TRUE(errorBoxes(root).empty()) << where;
            }
        }
    }
}

struct MessageRow {
    TW_UINT32 dg;
    TW_UINT16 dat;
    TW_UINT16 msg;
    const char* text;  // the message before the code's text
};

// Messages that the handlers do not take, in a state they accept.
const MessageRow MESSAGE_ROWS[] = {
    {DG_CONTROL, DAT_SETUPMEMXFER, MSG_SET,
     "General failure in response to DAT_SETUPMEMXFER, not supported.  "},
    {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GETCURRENT,
     "General failure in response to DAT_SETUPMEMXFER, not supported.  "},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET,
     "General failure in response to DAT_SETUPFILEXFER, not supported.  "},
    {DG_CONTROL, DAT_XFERGROUP, MSG_ENDXFER,
     "General failure in response to DAT_XFERGROUP, not supported.  "},
    {DG_IMAGE, DAT_PALETTE8, MSG_GETCURRENT, "General failure in response to DAT_PALETTE8.  "},
    {DG_IMAGE, DAT_IMAGEINFO, MSG_SET, "General failure in transfer.  "},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_ENDXFER, "General failure in response to DAT_IMAGEINFO.  "},
    {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_SET,
     "General failure in response to DAT_IMAGENATIVEXFER.  "},
    {DG_IMAGE, DAT_IMAGEMEMXFER, MSG_SET, "General failure in response to DAT_IMAGEINFO.  "},
    {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_RESET, "General failure in response to DAT_IMAGEINFO.  "},
};

TEST_F(SourceTest, UnsupportedMessagesFailWithTheirHandlersText) {
    for (const MessageRow& row : MESSAGE_ROWS) {
        SetUp();
        enterState(STATE_XFERREADY);
        Record data{};
        const std::string where =
            "DAT " + std::to_string(row.dat) + " MSG " + std::to_string(row.msg);
        EXPECT_EQ(call(valueOf(row.dg), valueOf(row.dat), valueOf(row.msg), valueOf(data.bytes)),
                  TWRC_FAILURE)
            << where;
        EXPECT_EQ(status(), TWCC_BADPROTOCOL) << where;
        const auto boxes = errorBoxes(root);
        ASSERT_EQ(boxes.size(), 1u) << where;
        EXPECT_EQ(boxes[0].text, valueOf(row.text) + BADPROTOCOL_TEXT) << where;
    }
}

TEST_F(SourceTest, WrongStateTextsNameTheHandler) {
    const MessageRow rows[] = {
        {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, "General failure in transfer.  "},
        {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET,
         "General failure in response to DAT_IMAGENATIVEXFER.  "},
        {DG_IMAGE, DAT_PALETTE8, MSG_GET, "General failure in response to DAT_PALETTE8.  "},
        {DG_CONTROL, DAT_XFERGROUP, MSG_GET,
         "General failure in response to DAT_XFERGROUP, not supported.  "},
    };
    for (const MessageRow& row : rows) {
        SetUp();
        root.clearPrompts();
        Record data{};
        EXPECT_EQ(call(valueOf(row.dg), valueOf(row.dat), valueOf(row.msg), valueOf(data.bytes)),
                  TWRC_FAILURE);
        const auto boxes = errorBoxes(root);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, valueOf(row.text) + SEQ_TEXT);
    }
}

TEST_F(SourceTest, ImageInfoInStateFiveFetchesNothing) {
    enterState(STATE_ENABLED);
    g_transfer.fetchAgain = TRUE;
    TW_IMAGEINFO info{};
    info.ImageWidth = 7;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_FAILURE);
    EXPECT_EQ(valueOf(info.ImageWidth), 7) << "the record is not touched";
    EXPECT_EQ(valueOf(g_transfer.fetchAgain), TRUE) << "no fetch was tried";
}

TEST_F(SourceTest, ImageLayoutIsFixedWhateverIsSet) {
    TW_IMAGELAYOUT layout{};
    layout.Frame.Left = FloatToFIX32(1.5f);
    layout.DocumentNumber = 9;
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_RESET, &layout), TWRC_SUCCESS);
    for (TW_UINT16 msg : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT}) {
        TW_IMAGELAYOUT out{};
        ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, msg, &out), TWRC_SUCCESS);
        for (const TW_FIX32& side :
             {out.Frame.Left, out.Frame.Top, out.Frame.Right, out.Frame.Bottom}) {
            EXPECT_EQ(valueOf(side.Whole), 22);
            EXPECT_EQ(valueOf(side.Frac), 33);
        }
        EXPECT_EQ(valueOf(out.DocumentNumber), 4u);
        EXPECT_EQ(valueOf(out.PageNumber), 88u);
        EXPECT_EQ(valueOf(out.FrameNumber), 1u);
    }
}

TEST_F(SourceTest, SetupMemXferAnswersTheSourceControlLimits) {
    enterState(STATE_OPEN);
    TW_SETUPMEMXFER setup{};
    ASSERT_EQ(control(DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(setup.MinBufSize), 512u) << "no source-control file: the defaults";
    EXPECT_EQ(valueOf(setup.MaxBufSize), 2048u);
    EXPECT_EQ(valueOf(setup.Preferred), 1024u);

    root.write("windows/PXCM.src", "[ADF]\r\nPendingImages=0\r\n");
    g_settingsFiles.sourceControlPath[0] = '\0';
    ASSERT_EQ(control(DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(setup.MinBufSize), 512u) << "no section: the defaults";
    EXPECT_EQ(valueOf(setup.Preferred), 1024u);

    root.write("windows/PXCM.src",
               "[Setup Memory Transfer]\r\nMin=100\r\nMax=70000\r\nPreferred=4000\r\n");
    ASSERT_EQ(control(DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(setup.MinBufSize), 100u) << "read afresh at every request";
    EXPECT_EQ(valueOf(setup.MaxBufSize), 70000u);
    EXPECT_EQ(valueOf(setup.Preferred), 4000u);
}

TEST_F(SourceTest, SetupFileXferAnswersTheFixedNameAndCreatesTheGivenOne) {
    enterState(STATE_ENABLED);
    TW_SETUPFILEXFER setup{};
    std::snprintf(setup.FileName, sizeof setup.FileName, "%s", root.file("new.bmp").c_str());
    ASSERT_EQ(control(DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
    EXPECT_TRUE(root.exists("new.bmp"));
    EXPECT_EQ(root.read("new.bmp"), "");

    root.write("kept.bmp", "content");
    std::snprintf(setup.FileName, sizeof setup.FileName, "%s", root.file("kept.bmp").c_str());
    ASSERT_EQ(control(DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(root.read("kept.bmp"), "content") << "an existing file is left alone";

    for (TW_UINT16 msg : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT}) {
        TW_SETUPFILEXFER out{};
        out.VRefNum = 5;
        ASSERT_EQ(control(DAT_SETUPFILEXFER, msg, &out), TWRC_SUCCESS);
        EXPECT_STREQ(out.FileName, "c:\\twain.bmp") << "not the name given by MSG_SET";
        EXPECT_EQ(valueOf(out.Format), TWFF_BMP);
        EXPECT_EQ(valueOf(out.VRefNum), 0);
    }

    std::snprintf(setup.FileName, sizeof setup.FileName, "%s",
                  root.file("no/such/dir/x.bmp").c_str());
    EXPECT_EQ(control(DAT_SETUPFILEXFER, MSG_SET, &setup), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    const auto boxes = errorBoxes(root);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Unable to create file <<DAT_SETUPFILEXFER>>Bad value error.");
}

TEST_F(SourceTest, XferGroupIsImageInAllThirtyTwoBits) {
    enterState(STATE_OPEN);
    for (TW_UINT16 msg : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_RESET}) {
        TW_UINT32 group = 0xFFFFFFFFu;
        ASSERT_EQ(control(DAT_XFERGROUP, msg, &group), TWRC_SUCCESS);
        EXPECT_EQ(group, static_cast<TW_UINT32>(DG_IMAGE)) << msg;
    }
    TW_UINT32 group = 0x12345678u;
    ASSERT_EQ(control(DAT_XFERGROUP, MSG_SET, &group), TWRC_SUCCESS);
    EXPECT_EQ(group, 0x12345678u) << "MSG_SET changes nothing";
}

TEST_F(SourceTest, PaletteWithoutCameraLeavesTheRecord) {
    enterState(STATE_ENABLED);
    TW_PALETTE8 palette{};
    palette.NumColors = 77;
    palette.Colors[0].Channel1 = 9;
    ASSERT_EQ(call(DG_IMAGE, DAT_PALETTE8, MSG_GET, &palette), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(palette.NumColors), 77);
    EXPECT_EQ(valueOf(palette.Colors[0].Channel1), 9);
    EXPECT_TRUE(errorBoxes(root).empty());
}

TEST_F(SourceTest, ResponseCurvesAreWrittenForEveryMessage) {
    root.write("windows/PXCM.src", "[ADF]\r\nPendingImages=0\r\n");
    const struct {
        TW_UINT16 dat;
        TW_UINT16 msg;
        const char* section;
    } rows[] = {
        {DAT_GRAYRESPONSE, MSG_RESET, "[GrayResponse]"},
        {DAT_RGBRESPONSE, MSG_GET, "[RGBResponse]"},
    };
    for (const auto& row : rows) {
        TW_ELEMENT8 response[16];
        for (int i = 0; i < 16; ++i)
            response[i] = {static_cast<TW_UINT8>(200 + i), static_cast<TW_UINT8>(i),
                           static_cast<TW_UINT8>(255 - i), static_cast<TW_UINT8>(i * 16)};
        ASSERT_EQ(call(DG_IMAGE, valueOf(row.dat), valueOf(row.msg), response), TWRC_SUCCESS);
        const std::string file = root.read("windows/PXCM.src");
        const std::size_t section = file.find(row.section);
        ASSERT_NE(section, std::string::npos) << valueOf(row.section);
        for (int i = 0; i < 16; ++i) {
            const std::string line = "Response[" + std::to_string(i) + "]={" + std::to_string(i) +
                                     "," + std::to_string(255 - i) + "," + std::to_string(i * 16) +
                                     "}";
            EXPECT_NE(file.find(line, section), std::string::npos)
                << valueOf(row.section) << " " << line;
        }
        EXPECT_EQ(file.find("Response[16]"), std::string::npos);
    }
}

TEST_F(SourceTest, CieColourIsTheFixedDescription) {
    TW_CIECOLOR cie;
    std::memset(&cie, 0x5A, sizeof cie);
    ASSERT_EQ(call(DG_IMAGE, DAT_CIECOLOR, MSG_SET, &cie), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(cie.ColorSpace), TWPT_RGB);
    EXPECT_EQ(valueOf(cie.LowEndian), 0);
    EXPECT_EQ(valueOf(cie.DeviceDependent), 1);
    EXPECT_EQ(valueOf(cie.VersionNumber), 0);
    auto same = [](TW_FIX32 a, float f) {
        const TW_FIX32 b = FloatToFIX32(f);
        return a.Whole == b.Whole && a.Frac == b.Frac;
    };
    EXPECT_TRUE(same(cie.StageABC.Decode[0].StartIn, 0.1f));
    EXPECT_TRUE(same(cie.StageLMN.Decode[0].StartIn, 1.1f));
    const float mix[3][3] = {{0.0f, 0.1f, 0.2f}, {1.0f, 1.1f, 1.2f}, {2.0f, 2.1f, 2.2f}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            EXPECT_TRUE(same(cie.StageABC.Mix[r][c], mix[r][c])) << r << "," << c;
            EXPECT_TRUE(same(cie.StageLMN.Mix[r][c], mix[r][c])) << r << "," << c;
        }
    EXPECT_TRUE(same(cie.WhitePoint.X, 4.4f) && same(cie.WhitePoint.Y, 5.5f) &&
                same(cie.WhitePoint.Z, 6.6f));
    for (const TW_CIEPOINT& p : {cie.BlackPoint, cie.WhitePaper, cie.BlackInk})
        EXPECT_TRUE(same(p.X, 1.1f) && same(p.Y, 5.5f) && same(p.Z, 6.6f));
    EXPECT_TRUE(same(cie.Samples[0], 99.99f));
    EXPECT_EQ(valueOf(cie.StageABC.Decode[0].BreakIn.Whole), 0x5A5A) << "members not listed stay";
    EXPECT_EQ(valueOf(cie.StageABC.Decode[1].StartIn.Whole), 0x5A5A);
}

TEST_F(SourceTest, JpegCompressionSucceedsInStateThreeWithoutTouchingTheRecord) {
    TW_JPEGCOMPRESSION jpeg;
    std::memset(&jpeg, 0x33, sizeof jpeg);
    for (TW_UINT16 msg : {MSG_GET, MSG_SET, MSG_RESET, MSG_ENDXFER})
        EXPECT_EQ(call(DG_IMAGE, DAT_JPEGCOMPRESSION, msg, &jpeg), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(jpeg.ColorSpace), 0x3333);
    EXPECT_EQ(valueOf(jpeg.RestartFrequency), 0x3333);
}

}  // namespace
