// error_box_test.cpp — the condition-code texts of the error box.
#include <gtest/gtest.h>

#include <string>

#include "source/error_box.h"
#include "source/source_state.h"
#include "support/temp_root.h"

namespace {

TEST(ErrorBox, KnownAndUnknownCodeTexts) {
    EXPECT_STREQ(conditionCodeText(0), "Success message from detailed error request ??");
    EXPECT_STREQ(conditionCodeText(2),
                 "Low Memory Condition encountered, free up some memory and try again.");
    EXPECT_STREQ(conditionCodeText(5), "An operation error just occurred.");
    EXPECT_STREQ(conditionCodeText(10), "Bad value error.");
    for (unsigned cc : {7u, 8u, 12u, 13u, 1000u, 0xffffu})
        EXPECT_STREQ(conditionCodeText(cc), "Unknown Error value in condition code.") << cc;
}

TEST(ErrorBox, FailWithSetsTheCodeAndShowsMessageAndText) {
    testsupport::TempRoot root;
    resetSourceState();
    EXPECT_EQ(failWith(8, "General failure in response to DAT_STATUS.  "), TWRC_FAILURE);
    EXPECT_EQ(g_source.conditionCode, 8);
    auto prompts = root.prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].caption, "Sample Source Error");
    EXPECT_EQ(prompts[0].text,
              "General failure in response to DAT_STATUS.  Unknown Error value in condition code.");
    EXPECT_LE(prompts[0].text.size(), 180u);
    resetSourceState();
}

}  // namespace
