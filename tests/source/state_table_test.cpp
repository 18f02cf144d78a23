// state_table_test.cpp — every control triplet of the protocol in every
// state from 3 to 6: accepted or refused with TWCC_SEQERROR, and where the
// state goes.
#include <string>

#include "source_fixture.h"

using testsupport::SourceTest;

namespace {

struct Row {
    const char* name;
    TW_UINT16 dat;
    TW_UINT16 msg;
    // Expected state after the triplet in states 3, 4, 5, 6; 0 = refused
    // with TWCC_SEQERROR (state unchanged).
    TW_INT32 after[4];
};

const Row ROWS[] = {
    {"IDENTITY/GET", DAT_IDENTITY, MSG_GET, {300, 400, 500, 600}},
    {"IDENTITY/OPENDS", DAT_IDENTITY, MSG_OPENDS, {400, 0, 0, 0}},
    {"IDENTITY/CLOSEDS", DAT_IDENTITY, MSG_CLOSEDS, {0, 300, 300, 300}},
    {"STATUS/GET", DAT_STATUS, MSG_GET, {300, 400, 500, 600}},
    {"PENDINGXFERS/GET", DAT_PENDINGXFERS, MSG_GET, {0, 400, 500, 600}},
    // In state 6 with nothing more pending, the end of a transfer is state 5.
    {"PENDINGXFERS/ENDXFER", DAT_PENDINGXFERS, MSG_ENDXFER, {300, 400, 500, 500}},
    {"PENDINGXFERS/RESET", DAT_PENDINGXFERS, MSG_RESET, {0, 0, 0, 500}},
};

class StateTable : public SourceTest {
protected:
    // A record big enough for any of the rows' data.
    union {
        TW_IDENTITY identity;
        TW_STATUS status;
        TW_PENDINGXFERS pending;
    } data{};
};

TEST_F(StateTable, EveryControlTripletInStatesThreeToSix) {
    const TW_INT32 states[] = {STATE_LOADED, STATE_OPEN, STATE_ENABLED, STATE_XFERREADY};
    for (const Row& row : ROWS) {
        for (int s = 0; s < 4; ++s) {
            SetUp();
            enterState(states[s]);
            data = {};
            if (row.dat == DAT_IDENTITY) data.identity = g_source.sourceIdentity;
            const std::string where =
                std::string(row.name) + " in state " + std::to_string(states[s]);
            TW_UINT16 rc = control(row.dat, row.msg, &data);
            if (row.after[s] == 0) {
                EXPECT_EQ(rc, TWRC_FAILURE) << where;
                EXPECT_EQ(g_source.protocolState, states[s]) << where;
                EXPECT_EQ(status(), TWCC_SEQERROR) << where;
                EXPECT_EQ(root.prompts().size(), 1u) << where;
            } else {
                EXPECT_EQ(rc, TWRC_SUCCESS) << where;
                EXPECT_EQ(g_source.protocolState, row.after[s]) << where;
                EXPECT_TRUE(root.prompts().empty()) << where;
            }
        }
    }
}

}  // namespace
