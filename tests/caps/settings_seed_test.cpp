// A user's first settings: the installed defaults copied into the Windows
// directory where the user has none, never over a file of the user's.
#include <gtest/gtest.h>

#include <string>

#include "caps/settings_seed.h"
#include "support/temp_root.h"

namespace testsupport {
namespace {

TEST(SettingsSeed, CopiesOnlyWhatTheUserLacks) {
    struct Case {
        const char* what;
        const char* userIni;  // null: the user has none
        const char* userSrc;
        bool installedSrc;  // the installation holds PXCM.src
        int copied;
        const char* iniAfter;  // null: still missing
        const char* srcAfter;
    };
    const Case cases[] = {
        {"a fresh user", nullptr, nullptr, true, 3, "installed ini", "installed src"},
        {"own dictionary", "mine", nullptr, true, 2, "mine", "installed src"},
        {"own source control", nullptr, "mine", true, 2, "installed ini", "mine"},
        {"both own, even empty", "", "", true, 1, "", ""},
        {"installation incomplete", nullptr, nullptr, false, 2, "installed ini", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempRoot root;
        root.write("share/pxcm/pxcm.ini", "installed ini");
        root.write("share/pxcm/KMT18V16.html", "installed help");
        if (c.installedSrc) root.write("share/pxcm/PXCM.src", "installed src");
        if (c.userIni) root.write("windows/pxcm.ini", c.userIni);
        if (c.userSrc) root.write("windows/PXCM.src", c.userSrc);

        EXPECT_EQ(caps::seedDefaultSettings(root.file("share/pxcm")), c.copied);
        EXPECT_EQ(root.exists("windows/pxcm.ini"), c.iniAfter != nullptr);
        if (c.iniAfter) EXPECT_EQ(root.read("windows/pxcm.ini"), c.iniAfter);
        EXPECT_EQ(root.exists("windows/PXCM.src"), c.srcAfter != nullptr);
        if (c.srcAfter) EXPECT_EQ(root.read("windows/PXCM.src"), c.srcAfter);
        EXPECT_EQ(root.read("windows/Help/KMT18V16.html"), "installed help");
        // A second use finds the user's files and copies nothing.
        EXPECT_EQ(caps::seedDefaultSettings(root.file("share/pxcm")), 0);
    }
}

TEST(SettingsSeed, NoInstallationNoCopies) {
    TempRoot root;
    EXPECT_EQ(caps::seedDefaultSettings(""), 0);
    EXPECT_EQ(caps::seedDefaultSettings(root.file("no/such/folder")), 0);
    EXPECT_FALSE(root.exists("windows/pxcm.ini"));
    EXPECT_FALSE(root.exists("windows/PXCM.src"));
}

}  // namespace
}  // namespace testsupport
