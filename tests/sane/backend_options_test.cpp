// backend_options_test.cpp — the option rules of sane_control_option: what
// may be set, what is refused, what is corrected, and what reloads.
#include "sane/backend_options.h"

#include <gtest/gtest.h>
#include <sane/saneopts.h>

#include <cstring>
#include <string>

namespace {

SANE_Status setWord(BackendOptions& o, SANE_Int option, SANE_Word value, SANE_Int* info = nullptr,
                    SANE_Word* after = nullptr) {
    SANE_Word w = value;
    const SANE_Status s = o.control(option, SANE_ACTION_SET_VALUE, &w, info);
    if (after) *after = w;
    return s;
}

SANE_Status setText(BackendOptions& o, SANE_Int option, const char* text,
                    SANE_Int* info = nullptr) {
    char buffer[64] = {};
    std::strncpy(buffer, text, sizeof buffer - 1);
    return o.control(option, SANE_ACTION_SET_VALUE, buffer, info);
}

bool active(const BackendOptions& o, SANE_Int option) {
    return SANE_OPTION_IS_ACTIVE(o.descriptor(option)->cap);
}

TEST(BackendOptions, DescriptorsCarryTheStandardNames) {
    BackendOptions o(6);
    EXPECT_STREQ(o.descriptor(OPT_NUM_OPTIONS)->name, SANE_NAME_NUM_OPTIONS);
    EXPECT_STREQ(o.descriptor(OPT_SOURCE)->name, SANE_NAME_SCAN_SOURCE);
    EXPECT_STREQ(o.descriptor(OPT_PREVIEW)->name, SANE_NAME_PREVIEW);
    EXPECT_STREQ(o.descriptor(OPT_RESOLUTION)->name, SANE_NAME_SCAN_RESOLUTION);
    EXPECT_EQ(o.descriptor(OPT_COUNT), nullptr);
    EXPECT_EQ(o.descriptor(-1), nullptr);
    // The string option's size holds its longest choice and the terminator.
    EXPECT_EQ(o.descriptor(OPT_SOURCE)->size, static_cast<SANE_Int>(sizeof(SOURCE_ONE)));
    EXPECT_EQ(o.descriptor(OPT_PICTURE)->constraint.range->max, 6);
}

TEST(BackendOptions, SetsAreCheckedOneByOne) {
    struct {
        const char* what;
        SANE_Int option;
        SANE_Word value;
        SANE_Status status;
        SANE_Int info;
        SANE_Word after;
    } cases[] = {
        {"picture in range", OPT_PICTURE, 4, SANE_STATUS_GOOD, SANE_INFO_RELOAD_PARAMS, 4},
        {"picture past the count", OPT_PICTURE, 9, SANE_STATUS_GOOD,
         SANE_INFO_INEXACT | SANE_INFO_RELOAD_PARAMS, 6},
        {"picture 0", OPT_PICTURE, 0, SANE_STATUS_GOOD, SANE_INFO_INEXACT | SANE_INFO_RELOAD_PARAMS,
         1},
        {"preview on: the same picture", OPT_PREVIEW, SANE_TRUE, SANE_STATUS_GOOD, 0, SANE_TRUE},
        {"preview not a bool", OPT_PREVIEW, 2, SANE_STATUS_INVAL, 0, 2},
        {"thumbnail on", OPT_THUMBNAIL, SANE_TRUE, SANE_STATUS_GOOD, SANE_INFO_RELOAD_PARAMS,
         SANE_TRUE},
        {"delete on", OPT_DELETE, SANE_TRUE, SANE_STATUS_GOOD, 0, SANE_TRUE},
        {"delete not a bool", OPT_DELETE, -1, SANE_STATUS_INVAL, 0, -1},
        {"the camera's resolution", OPT_RESOLUTION, CAMERA_DPI, SANE_STATUS_GOOD, 0, CAMERA_DPI},
        {"another resolution becomes the camera's", OPT_RESOLUTION, 300, SANE_STATUS_GOOD,
         SANE_INFO_INEXACT, CAMERA_DPI},
        {"a resolution below it too", OPT_RESOLUTION, -5, SANE_STATUS_GOOD, SANE_INFO_INEXACT,
         CAMERA_DPI},
        {"the option count is read-only", OPT_NUM_OPTIONS, 3, SANE_STATUS_INVAL, 0, 3},
        {"no such option", OPT_COUNT, 1, SANE_STATUS_INVAL, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BackendOptions o(6);
        SANE_Int info = -1;
        SANE_Word after = 0;
        EXPECT_EQ(setWord(o, c.option, c.value, &info, &after), c.status);
        EXPECT_EQ(info, c.info);
        EXPECT_EQ(after, c.after);
    }
}

TEST(BackendOptions, RefusedSetsChangeNothing) {
    BackendOptions o(6);
    ASSERT_EQ(setWord(o, OPT_PREVIEW, 7), SANE_STATUS_INVAL);
    ASSERT_EQ(setText(o, OPT_SOURCE, "all pictures"), SANE_STATUS_INVAL);
    ASSERT_EQ(setText(o, OPT_SOURCE, ""), SANE_STATUS_INVAL);
    ASSERT_EQ(o.control(OPT_DELETE, SANE_ACTION_SET_AUTO, nullptr, nullptr), SANE_STATUS_INVAL);
    ASSERT_EQ(o.control(OPT_PICTURE, SANE_ACTION_SET_VALUE, nullptr, nullptr), SANE_STATUS_INVAL);
    ASSERT_EQ(o.control(OPT_PICTURE, static_cast<SANE_Action>(3), nullptr, nullptr),
              SANE_STATUS_INVAL);
    EXPECT_FALSE(o.thumbnail());
    EXPECT_FALSE(o.allPictures());
    EXPECT_FALSE(o.deleteAfterDownload());
    EXPECT_EQ(o.picture(), 6);
}

// A frontend without a place for options gets the newest picture, and the
// automatic setting (which such frontends ask for) goes back to it.
TEST(BackendOptions, TheDefaultIsTheNewestPictureOneAtATime) {
    BackendOptions o(5);
    EXPECT_EQ(o.picture(), 5);
    EXPECT_TRUE(o.descriptor(OPT_SOURCE)->cap & SANE_CAP_AUTOMATIC);
    ASSERT_EQ(setWord(o, OPT_PICTURE, 2), SANE_STATUS_GOOD);
    ASSERT_EQ(o.control(OPT_PICTURE, SANE_ACTION_SET_AUTO, nullptr, nullptr), SANE_STATUS_GOOD);
    EXPECT_EQ(o.picture(), 5);
    ASSERT_EQ(setText(o, OPT_SOURCE, SOURCE_ALL), SANE_STATUS_GOOD);
    SANE_Int info = 0;
    ASSERT_EQ(o.control(OPT_SOURCE, SANE_ACTION_SET_AUTO, nullptr, &info), SANE_STATUS_GOOD);
    EXPECT_FALSE(o.allPictures());
    EXPECT_TRUE(active(o, OPT_PICTURE));
    EXPECT_EQ(info, SANE_INFO_RELOAD_OPTIONS | SANE_INFO_RELOAD_PARAMS);
}

TEST(BackendOptions, SourceSwitchesThePictureOptionOff) {
    BackendOptions o(3);
    SANE_Int info = 0;
    ASSERT_EQ(setText(o, OPT_SOURCE, SOURCE_ALL, &info), SANE_STATUS_GOOD);
    EXPECT_EQ(info, SANE_INFO_RELOAD_OPTIONS | SANE_INFO_RELOAD_PARAMS);
    EXPECT_TRUE(o.allPictures());
    EXPECT_FALSE(active(o, OPT_PICTURE));
    // An inactive option is neither read nor set.
    SANE_Word w = 0;
    EXPECT_EQ(o.control(OPT_PICTURE, SANE_ACTION_GET_VALUE, &w, nullptr), SANE_STATUS_INVAL);
    EXPECT_EQ(setWord(o, OPT_PICTURE, 2), SANE_STATUS_INVAL);
    char text[32] = {};
    ASSERT_EQ(o.control(OPT_SOURCE, SANE_ACTION_GET_VALUE, text, nullptr), SANE_STATUS_GOOD);
    EXPECT_STREQ(text, SOURCE_ALL);

    ASSERT_EQ(setText(o, OPT_SOURCE, SOURCE_ONE), SANE_STATUS_GOOD);
    EXPECT_TRUE(active(o, OPT_PICTURE));
    EXPECT_FALSE(o.allPictures());
}

TEST(BackendOptions, PictureFollowsTheCount) {
    BackendOptions o(5);
    ASSERT_EQ(setWord(o, OPT_PICTURE, 5), SANE_STATUS_GOOD);
    // Pictures deleted: the choice moves down to the last one left.
    o.setPictureCount(3);
    EXPECT_EQ(o.picture(), 3);
    EXPECT_EQ(o.descriptor(OPT_PICTURE)->constraint.range->max, 3);
    // None left: a valid range remains, the option is inactive.
    o.setPictureCount(0);
    EXPECT_FALSE(active(o, OPT_PICTURE));
    EXPECT_LE(o.descriptor(OPT_PICTURE)->constraint.range->min,
              o.descriptor(OPT_PICTURE)->constraint.range->max);
    o.setPictureCount(2);
    EXPECT_TRUE(active(o, OPT_PICTURE));
    EXPECT_EQ(o.picture(), 1);
    // Never chosen, it is the newest whatever the count.
    BackendOptions fresh(0);
    EXPECT_EQ(fresh.picture(), 1);
    fresh.setPictureCount(4);
    EXPECT_EQ(fresh.picture(), 4);
    fresh.setPictureCount(3);
    EXPECT_EQ(fresh.picture(), 3);
}

TEST(BackendOptions, GetsAnswerTheValues) {
    BackendOptions o(4);
    ASSERT_EQ(setWord(o, OPT_DELETE, SANE_TRUE), SANE_STATUS_GOOD);
    struct {
        SANE_Int option;
        SANE_Word value;
    } cases[] = {{OPT_NUM_OPTIONS, OPT_COUNT}, {OPT_PICTURE, 4},
                 {OPT_PREVIEW, SANE_FALSE},    {OPT_THUMBNAIL, SANE_FALSE},
                 {OPT_RESOLUTION, CAMERA_DPI}, {OPT_DELETE, SANE_TRUE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(o.descriptor(c.option)->title);
        SANE_Word w = -7;
        ASSERT_EQ(o.control(c.option, SANE_ACTION_GET_VALUE, &w, nullptr), SANE_STATUS_GOOD);
        EXPECT_EQ(w, c.value);
    }
}

}  // namespace
