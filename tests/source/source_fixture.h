// source_fixture.h — drives DS_Entry as an application would, with a private
// settings root, captured prompts and a Source Manager entry of our own.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/twain.h"
#include "source/entry.h"
#include "source/source_state.h"
#include "support/notifications.h"
#include "support/temp_root.h"

namespace testsupport {

class SourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSourceState();
        notifications().clear();
        app.Id = 17;
        std::strcpy(app.ProductName, "test application");
    }

    TW_UINT16 call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return DS_Entry(&app, dg, dat, msg, data);
    }
    TW_UINT16 control(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return call(DG_CONTROL, dat, msg, data);
    }
    // DAT_STATUS / MSG_GET; reads and clears the condition code.
    TW_UINT16 status() {
        TW_STATUS s{};
        EXPECT_EQ(control(DAT_STATUS, MSG_GET, &s), TWRC_SUCCESS);
        return s.ConditionCode;
    }
    TW_UINT16 open() {
        TW_IDENTITY ds{};
        EXPECT_EQ(control(DAT_IDENTITY, MSG_GET, &ds), TWRC_SUCCESS);
        ds.Id = 42;
        return control(DAT_IDENTITY, MSG_OPENDS, &ds);
    }
    // Puts the source in a protocol state as if the application had got there.
    void enterState(TW_INT32 state) {
        if (state >= STATE_OPEN) ASSERT_EQ(open(), TWRC_SUCCESS);
        g_source.protocolState = state;
        root.clearPrompts();
    }

    TempRoot root;
    TW_IDENTITY app{};
};

}  // namespace testsupport
