// control_test.cpp — identity, open and close, status, pending transfers and
// the entry's own rules, driven through DS_Entry.
#include <cstdlib>
#include <string>

#include "caps/settings_files.h"
#include "source/dll_main.h"
#include "source/notify.h"
#include "source_fixture.h"

using testsupport::SourceTest;

namespace {

const std::string SEQ_TEXT = "DG DAT MSG is out of expected sequence.";

TEST_F(SourceTest, IdentityIsTheSourcesOwnInEveryState) {
    for (TW_INT32 state : {STATE_LOADED, STATE_OPEN, STATE_ENABLED, STATE_XFERREADY}) {
        SetUp();
        enterState(state);
        TW_IDENTITY id{};
        ASSERT_EQ(control(DAT_IDENTITY, MSG_GET, &id), TWRC_SUCCESS) << state;
        EXPECT_EQ(id.Version.MajorNum, 1);
        EXPECT_EQ(id.Version.MinorNum, 0);
        EXPECT_EQ(id.Version.Language, TWLG_USA);
        EXPECT_EQ(id.Version.Country, TWCY_USA);
        EXPECT_STREQ(id.Version.Info, "April, 1998");
        EXPECT_EQ(id.ProtocolMajor, 1);
        EXPECT_EQ(id.ProtocolMinor, 6);
        EXPECT_EQ(static_cast<TW_UINT32>(id.SupportedGroups),
                  static_cast<TW_UINT32>(DG_CONTROL | DG_IMAGE));
        EXPECT_STREQ(id.Manufacturer, "Orvimex TWAIN");
        EXPECT_STREQ(id.ProductFamily, "TWAIN");
        EXPECT_STREQ(id.ProductName, "Vantrel KMT-18/19 ver 1.6");
        EXPECT_EQ(static_cast<TW_UINT32>(id.Id), state == STATE_LOADED ? 0u : 42u)
            << "the manager's Id after open";
    }
}

TEST_F(SourceTest, OpenRecordsBothIdentitiesAndRemovesTheTraceFile) {
    root.write("camds.log", "old trace");
    ASSERT_EQ(open(), TWRC_SUCCESS);
    EXPECT_FALSE(root.exists("camds.log"));
    EXPECT_EQ(g_source.protocolState, STATE_OPEN);
    EXPECT_EQ(static_cast<TW_UINT32>(g_source.appIdentity.Id), 17u);
    EXPECT_STREQ(g_source.appIdentity.ProductName, "test application");
    EXPECT_EQ(static_cast<TW_UINT32>(g_source.sourceIdentity.Id), 42u);
    EXPECT_TRUE(root.prompts().empty());
    EXPECT_FALSE(root.exists("camds.log")) << "no operation writes a trace file";
}

TEST_F(SourceTest, SecondOpenFailsWithSequenceErrorBox) {
    ASSERT_EQ(open(), TWRC_SUCCESS);
    EXPECT_EQ(open(), TWRC_FAILURE);
    auto prompts = root.prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].caption, "Sample Source Error");
    EXPECT_EQ(prompts[0].text, "General failure in response to MSG_OPENDS.  " + SEQ_TEXT);
    EXPECT_EQ(prompts[0].buttons, "ok");
    EXPECT_FALSE(prompts[0].owned) << "no application window before MSG_ENABLEDS";
    EXPECT_EQ(status(), TWCC_SEQERROR);
    EXPECT_EQ(status(), TWCC_SUCCESS) << "DAT_STATUS clears the code";
}

TEST_F(SourceTest, OpenWithAnApplicationStillRecordedIsRefused) {
    // The same application's Id recorded in state 3: a connection is held.
    g_source.appIdentity.Id = app.Id;
    TW_IDENTITY ds{};
    EXPECT_EQ(control(DAT_IDENTITY, MSG_OPENDS, &ds), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_MAXCONNECTIONS);
    EXPECT_EQ(
        root.prompts().at(0).text,
        "General failure in response to MSG_OPENDS.  Source is connected to max possible apps.");
}

TEST_F(SourceTest, ASecondApplicationIsTurnedAway) {
    ASSERT_EQ(open(), TWRC_SUCCESS);
    TW_IDENTITY other{};
    other.Id = 99;
    TW_UINT32 badGroup = 4;
    DS_Entry(&app, badGroup, DAT_NULL, MSG_GET, nullptr);  // leaves TWCC_BADPROTOCOL set
    TW_IDENTITY id{};
    EXPECT_NE(DS_Entry(&other, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &id), TWRC_SUCCESS);
    TW_STATUS s{};
    EXPECT_NE(DS_Entry(&other, DG_CONTROL, DAT_STATUS, MSG_GET, &s), TWRC_SUCCESS);
    EXPECT_EQ(s.ConditionCode, 0) << "nothing processed for the other application";
    EXPECT_EQ(g_source.protocolState, STATE_OPEN);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL) << "the first application's code survives";
}

TEST_F(SourceTest, CloseReturnsToStateThreeFromFourFiveAndSix) {
    for (TW_INT32 state : {STATE_OPEN, STATE_ENABLED, STATE_XFERREADY}) {
        SetUp();
        enterState(state);
        TW_IDENTITY id = g_source.sourceIdentity;
        ASSERT_EQ(control(DAT_IDENTITY, MSG_CLOSEDS, &id), TWRC_SUCCESS) << state;
        EXPECT_EQ(g_source.protocolState, STATE_LOADED);
        EXPECT_EQ(static_cast<TW_UINT32>(g_source.appIdentity.Id), 0u);
        EXPECT_EQ(open(), TWRC_SUCCESS) << "the source can be opened again";
    }
}

TEST_F(SourceTest, CloseWithoutOpenIsASequenceError) {
    TW_IDENTITY id{};
    EXPECT_EQ(control(DAT_IDENTITY, MSG_CLOSEDS, &id), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_SEQERROR);
    EXPECT_EQ(root.prompts().at(0).text,
              "General failure in response to MSG_CLOSEDS.  " + SEQ_TEXT);
}

TEST_F(SourceTest, UnknownIdentityMessageIsABadProtocol) {
    TW_IDENTITY id{};
    EXPECT_EQ(control(DAT_IDENTITY, MSG_USERSELECT, &id), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(root.prompts().at(0).text,
              "General failure in response to DAT_IDENTITY.  Bad protocol error.");
}

TEST_F(SourceTest, StatusReportsTheLastFailureOnceAndOnlyUntilTheNextTriplet) {
    ASSERT_EQ(control(DAT_NULL, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(status(), TWCC_SUCCESS);

    ASSERT_EQ(control(DAT_NULL, MSG_GET, nullptr), TWRC_FAILURE);
    TW_IDENTITY id{};
    ASSERT_EQ(control(DAT_IDENTITY, MSG_GET, &id), TWRC_SUCCESS);
    EXPECT_EQ(status(), TWCC_SUCCESS) << "any other triplet clears the code";
}

TEST_F(SourceTest, StatusWithAnotherMessageFailsAndKeepsItsCode) {
    TW_STATUS s{};
    EXPECT_EQ(control(DAT_STATUS, MSG_SET, &s), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(root.prompts().at(0).text,
              "General failure in response to DAT_STATUS.  Bad protocol error.");
}

TEST_F(SourceTest, ForeignGroupsAndMissingRowsFailSilently) {
    TW_UINT32 group4 = 4;
    EXPECT_EQ(call(group4, DAT_IDENTITY, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(control(DAT_NULL, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(control(0x7777, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(call(DG_IMAGE, 0x01ff, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
    EXPECT_TRUE(root.prompts().empty());
}

TEST_F(SourceTest, ProcessEventWithoutCameraWindowIsNotTheSources) {
    ASSERT_EQ(control(DAT_NULL, MSG_GET, nullptr), TWRC_FAILURE);  // sets a code
    int message = 0;
    TW_EVENT event{&message, 0x1234};
    EXPECT_EQ(control(DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
    EXPECT_EQ(event.TWMessage, 0x1234) << "TWMessage untouched";
    EXPECT_EQ(call(DG_IMAGE, DAT_NULL, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL) << "the event path leaves the condition code";
}

TEST_F(SourceTest, PendingTransfersFollowTheSourceControlFile) {
    root.write("control.src", "[ADF]\r\nPendingImages=3\r\n");
    enterState(STATE_OPEN);
    std::string path = root.file("control.src");
    std::snprintf(g_settingsFiles.sourceControlPath, sizeof g_settingsFiles.sourceControlPath, "%s",
                  path.c_str());

    TW_PENDINGXFERS p{};
    ASSERT_EQ(control(DAT_PENDINGXFERS, MSG_GET, &p), TWRC_SUCCESS);
    EXPECT_EQ(p.Count, 3);
    p.Count = 9;
    ASSERT_EQ(control(DAT_PENDINGXFERS, MSG_ENDXFER, &p), TWRC_SUCCESS);
    EXPECT_EQ(p.Count, 0);
    EXPECT_EQ(g_source.protocolState, STATE_OPEN) << "MSG_ENDXFER keeps the state";
    ASSERT_EQ(control(DAT_PENDINGXFERS, MSG_GET, &p), TWRC_SUCCESS);
    EXPECT_EQ(p.Count, 0) << "MSG_ENDXFER wrote 0";
    EXPECT_NE(root.read("control.src").find("PendingImages=0"), std::string::npos);
}

TEST_F(SourceTest, PendingResetOnlyInStateSix) {
    enterState(STATE_ENABLED);
    TW_PENDINGXFERS p{};
    p.Count = 5;
    EXPECT_EQ(control(DAT_PENDINGXFERS, MSG_RESET, &p), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_SEQERROR);
    EXPECT_EQ(root.prompts().at(0).text,
              "General failure in response to DAT_PENDINGXFER.  " + SEQ_TEXT);

    g_source.protocolState = STATE_XFERREADY;
    ASSERT_EQ(control(DAT_PENDINGXFERS, MSG_RESET, &p), TWRC_SUCCESS);
    EXPECT_EQ(p.Count, 0);
    EXPECT_EQ(g_source.protocolState, STATE_ENABLED);
}

TEST_F(SourceTest, PendingMessagesOutsideTheirStatesOrSetFail) {
    TW_PENDINGXFERS p{};
    EXPECT_EQ(control(DAT_PENDINGXFERS, MSG_GET, &p), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_SEQERROR);
    EXPECT_EQ(control(DAT_PENDINGXFERS, MSG_ENDXFER, &p), TWRC_SUCCESS) << "any state";
    EXPECT_EQ(control(DAT_PENDINGXFERS, MSG_SET, &p), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
}

TEST_F(SourceTest, NullDataIsRefusedNotDereferenced) {
    enterState(STATE_XFERREADY);
    EXPECT_EQ(control(DAT_IDENTITY, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    EXPECT_EQ(control(DAT_STATUS, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(control(DAT_PENDINGXFERS, MSG_RESET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(g_source.protocolState, STATE_XFERREADY) << "a refused reset changes nothing";
}

TEST_F(SourceTest, XferReadyMovesToStateSixAndReachesTheApplication) {
    enterState(STATE_ENABLED);
    NotifyXferReady();
    NotifyXferReady();
    NotifyCloseDSReq();
    EXPECT_EQ(g_source.protocolState, STATE_XFERREADY);
    const auto& n = testsupport::notifications();
    ASSERT_EQ(n.size(), 3u);
    for (const auto& one : n) {
        EXPECT_EQ(one.originId, 42u);
        EXPECT_EQ(one.destId, 17u);
        EXPECT_EQ(one.dg, static_cast<TW_UINT32>(DG_CONTROL));
        EXPECT_EQ(one.dat, DAT_NULL);
        EXPECT_TRUE(one.dataNull);
    }
    EXPECT_EQ(n[0].msg, MSG_XFERREADY);
    EXPECT_EQ(n[2].msg, MSG_CLOSEDSREQ);
}

TEST_F(SourceTest, NotificationsWithoutASourceManagerAreDropped) {
    enterState(STATE_OPEN);
    setenv("PXCM_DSM", root.file("no-such-manager.so").c_str(), 1);
    NotifyXferReady();
    NotifyCloseDSReq();
    unsetenv("PXCM_DSM");
    EXPECT_TRUE(testsupport::notifications().empty());
    EXPECT_EQ(g_source.protocolState, STATE_XFERREADY);
}

TEST_F(SourceTest, DllMainWithoutModuleRecordsNothing) {
    HINSTANCE before = g_source.moduleInstance;
    EXPECT_EQ(DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr), FALSE);
    EXPECT_EQ(g_source.moduleInstance, before);
    int token = 0;
    g_source.sourceIdentity = TW_IDENTITY{};
    g_source.appIdentity.Id = 5;
    EXPECT_EQ(DllMain(&token, DLL_PROCESS_ATTACH, nullptr), TRUE);
    EXPECT_EQ(static_cast<TW_UINT32>(g_source.appIdentity.Id), 0u);
    EXPECT_STREQ(g_source.sourceIdentity.ProductName, "Vantrel KMT-18/19 ver 1.6");
    EXPECT_EQ(DllMain(&token, DLL_THREAD_ATTACH, nullptr), TRUE);
    g_source.moduleInstance = before;
}

}  // namespace

namespace {

TEST_F(SourceTest, PendingTransfersBeforeAnyCapabilityRequestUseTheDefaultFile) {
    root.write("windows/PXCM.src", "[ADF]\r\nPendingImages=3\r\n");
    enterState(STATE_OPEN);
    ASSERT_EQ(g_settingsFiles.sourceControlPath[0], '\0');
    TW_PENDINGXFERS p{};
    ASSERT_EQ(control(DAT_PENDINGXFERS, MSG_GET, &p), TWRC_SUCCESS);
    EXPECT_EQ(p.Count, 3);
    EXPECT_TRUE(root.prompts().empty()) << "the quiet search shows no box";
}

TEST_F(SourceTest, PendingTransfersWithoutAnySourceControlFileWriteNothing) {
    enterState(STATE_OPEN);
    TW_PENDINGXFERS p{};
    p.Count = 4;
    ASSERT_EQ(control(DAT_PENDINGXFERS, MSG_ENDXFER, &p), TWRC_SUCCESS);
    EXPECT_EQ(p.Count, 0);
    ASSERT_EQ(control(DAT_PENDINGXFERS, MSG_GET, &p), TWRC_SUCCESS);
    EXPECT_EQ(p.Count, 0);
    EXPECT_FALSE(root.exists("windows/win.ini"));
    EXPECT_TRUE(root.prompts().empty());
}

}  // namespace
