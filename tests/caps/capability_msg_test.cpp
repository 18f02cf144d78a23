// Capability requests through DS_Entry: locating the settings, routing each
// message, the condition codes and the boxes.
#include <string>

#include "caps/settings_files.h"
#include "caps_fixture.h"
#include "source/control_ops.h"

namespace testsupport {
namespace {

TEST_F(CapsTest, GetAnswersAContainerAndSuccess) {
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
    EXPECT_EQ(capability(MSG_GET, cap), TWRC_SUCCESS);
    own(cap);
    EXPECT_EQ(status(), TWCC_SUCCESS);
    ASSERT_EQ(cap.ConType, TWON_ENUMERATION);
    EXPECT_EQ(valueOf(as<TW_ENUMERATION>(cap).NumItems), 3u);
    EXPECT_TRUE(root.prompts().empty());
}

TEST_F(CapsTest, UnknownCapabilityIsBadCapWithoutABox) {
    const std::string before = root.read("windows/PXCM.src");
    for (TW_UINT16 msg : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_RESET}) {
        TW_CAPABILITY cap{ICAP_BRIGHTNESS, 0, nullptr};
        EXPECT_EQ(capability(msg, cap), TWRC_FAILURE) << msg;
        EXPECT_EQ(status(), TWCC_BADCAP) << msg;
        EXPECT_EQ(handleOf(cap), nullptr);
    }
    // A set has no "Set" key to pass.
    TW_CAPABILITY set = oneValue(ICAP_BRIGHTNESS, TWTY_INT16, 1);
    EXPECT_EQ(capability(MSG_SET, set), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    EXPECT_TRUE(root.prompts().empty());
    EXPECT_EQ(root.read("windows/PXCM.src"), before);
}

TEST_F(CapsTest, UnsupportedMessagesShowTheBox) {
    for (int msg : {MSG_GETFIRST, MSG_GETNEXT, MSG_NULL, 0x0009}) {
        root.clearPrompts();
        TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
        EXPECT_EQ(capability(static_cast<TW_UINT16>(msg), cap), TWRC_FAILURE);
        EXPECT_EQ(status(), TWCC_BADPROTOCOL);
        auto prompts = root.prompts();
        ASSERT_EQ(prompts.size(), 1u);
        EXPECT_EQ(prompts[0].caption, "Sample Source Error");
        EXPECT_EQ(prompts[0].text, "General failure in response to DAT_CAPS.  Bad protocol error.");
    }
}

TEST_F(CapsTest, AutofeedQueryClearsThePendingCount) {
    setKey("ADF", "PendingImages", "3");
    TW_CAPABILITY cap{CAP_AUTOFEED, 0, nullptr};
    EXPECT_EQ(capability(MSG_GET, cap), TWRC_FAILURE);
    EXPECT_EQ(key("ADF", "PendingImages"), "0");

    TW_IDENTITY ds{};
    ds.Id = 42;
    ASSERT_EQ(DS_Entry(&app, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds), TWRC_SUCCESS);
    TW_PENDINGXFERS pending{};
    pending.Count = 9;
    EXPECT_EQ(DS_Entry(&app, DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
}

TEST_F(CapsTest, SetStoresAndAnswersInTheApplicationsBlock) {
    TW_CAPABILITY cap = oneValue(ICAP_PIXELTYPE, TWTY_UINT16, 1);
    void* mine = cap.hContainer;
    EXPECT_EQ(capability(MSG_SET, cap), TWRC_SUCCESS);
    EXPECT_EQ(status(), TWCC_SUCCESS);
    EXPECT_EQ(handleOf(cap), mine);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Current"), "TWPT_GRAY");
    EXPECT_EQ(valueOf(as<TW_ONEVALUE>(cap).Item), 1u);

    TW_CAPABILITY get{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(capability(MSG_GET, get), TWRC_SUCCESS);
    own(get);
    EXPECT_EQ(valueOf(as<TW_ENUMERATION>(get).CurrentIndex), 1u);
    EXPECT_EQ(valueOf(as<TW_ENUMERATION>(get).DefaultIndex), 2u);
}

TEST_F(CapsTest, RefusedSetLeavesTheContainerAsItWas) {
    TW_CAPABILITY cap = oneValue(ICAP_PIXELTYPE, TWTY_UINT16, 7);
    EXPECT_EQ(capability(MSG_SET, cap), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    EXPECT_EQ(valueOf(as<TW_ONEVALUE>(cap).Item), 7u);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Current"), "TWPT_RGB");
}

TEST_F(CapsTest, ResetRestoresPowerOnAndAnswersTheCurrentValue) {
    setKey("ICAP_PIXELTYPE", "Allowed", "TWPT_GRAY");
    setKey("ICAP_PIXELTYPE", "Current", "TWPT_GRAY");
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
    EXPECT_EQ(capability(MSG_RESET, cap), TWRC_SUCCESS);
    own(cap);
    EXPECT_EQ(status(), TWCC_SUCCESS);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Allowed"), "TWPT_BW,TWPT_GRAY,TWPT_RGB");
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Current"), "TWPT_RGB");
    ASSERT_EQ(cap.ConType, TWON_ONEVALUE);
    EXPECT_EQ(valueOf(as<TW_ONEVALUE>(cap).Item), 2u);

    setKey("ICAP_PIXELTYPE", "Reset", "TWCC_BADPROTOCOL");
    const std::string before = root.read("windows/PXCM.src");
    TW_CAPABILITY refused{ICAP_PIXELTYPE, 0, nullptr};
    EXPECT_EQ(capability(MSG_RESET, refused), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADPROTOCOL);
    EXPECT_EQ(handleOf(refused), nullptr);
    EXPECT_EQ(root.read("windows/PXCM.src"), before);
    EXPECT_TRUE(root.prompts().empty());
}

// Locating the source-control file.
class LocateTest : public CapsTest {
protected:
    void SetUp() override {
        CapsTest::SetUp();
        g_settingsFiles.sourceControlPath[0] = '\0';
        root.write("other/Other.src",
                   "[ICAP_PIXELTYPE]\r\nType=TWTY_UINT16\r\nCurrent=TWPT_BW\r\n"
                   "GetCurrent=TWON_ONEVALUE\r\n");
    }
    TW_UINT32 current() {
        TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
        EXPECT_EQ(capability(MSG_GETCURRENT, cap), TWRC_SUCCESS);
        own(cap);
        return cap.hContainer ? as<TW_ONEVALUE>(cap).Item : 0xFFFFu;
    }
};

TEST_F(LocateTest, DefaultFileInTheWindowsDirectory) {
    EXPECT_EQ(current(), 2u);
    EXPECT_EQ(std::string(g_settingsFiles.sourceControlPath), root.windowsDir() + "\\PXCM.src");
}

TEST_F(LocateTest, PointerFileTakesPrecedenceAndStays) {
    root.write("windows/source.$$$", root.file("other/Other.src"));
    EXPECT_EQ(current(), 0u);
    // The pointer file is read again at every request; without it, the
    // path last read stays.
    root.remove("windows/source.$$$");
    EXPECT_EQ(current(), 0u);
    EXPECT_EQ(std::string(g_settingsFiles.sourceControlPath), root.file("other/Other.src"));
}

TEST_F(LocateTest, LineEndOfThePointerFileIsNotPartOfThePath) {
    root.write("windows/source.$$$", root.file("other/Other.src") + "\r\n");
    EXPECT_EQ(current(), 0u);
    EXPECT_EQ(std::string(g_settingsFiles.sourceControlPath), root.file("other/Other.src"));
    root.write("windows/source.$$$", root.file("other/Other.src") + "\n\n");
    EXPECT_EQ(current(), 0u);
    EXPECT_EQ(std::string(g_settingsFiles.sourceControlPath), root.file("other/Other.src"));
}

TEST_F(LocateTest, PointersThatDoNotFitOrAreEmptyCountAsNone) {
    // A path of exactly the longest length that the buffer holds is taken.
    std::string longest = root.file("other/");
    longest += std::string(SOURCE_CONTROL_PATH_MAX - 1 - longest.size() - 4, 'x') + ".src";
    ASSERT_EQ(longest.size(), std::size_t(SOURCE_CONTROL_PATH_MAX - 1));
    root.write(longest.substr(root.path().size() + 1), root.read("other/Other.src"));
    root.write("windows/source.$$$", longest + "\r\n");
    EXPECT_EQ(current(), 0u);
    EXPECT_EQ(std::string(g_settingsFiles.sourceControlPath), longest);

    // Anything else leaves the path as it was: here the longest one.
    const std::string cutName = longest.substr(0, longest.size() - 1);
    const struct {
        const char* what;
        std::string content;
    } cases[] = {
        {"one character too long", longest + "c"},
        {"far too long", std::string(4000, 'y')},
        {"empty", ""},
        {"only a line end", "\r\n"},
        {"a NUL inside", root.file("windows/PXCM.src") + std::string(1, '\0') + "tail"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        root.write("windows/source.$$$", c.content);
        EXPECT_EQ(current(), 0u);
        EXPECT_EQ(std::string(g_settingsFiles.sourceControlPath), longest);
        TW_CAPABILITY reset{ICAP_PIXELTYPE, 0, nullptr};
        (void)capability(MSG_RESET, reset);
        own(reset);
    }
    // No write went to a file of a cut name, or to the profile default.
    EXPECT_FALSE(root.exists(cutName.substr(root.path().size() + 1)));
    EXPECT_FALSE(root.exists("windows/win.ini"));

    // Without an earlier path the default file answers.
    g_settingsFiles.sourceControlPath[0] = '\0';
    root.write("windows/source.$$$", "");
    EXPECT_EQ(current(), 2u);
    EXPECT_EQ(std::string(g_settingsFiles.sourceControlPath), root.windowsDir() + "\\PXCM.src");
}

TEST_F(LocateTest, NoSourceControlFileIsAnOperationError) {
    root.remove("windows/PXCM.src");
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
    EXPECT_EQ(capability(MSG_GET, cap), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_OPERATIONERROR);
    EXPECT_EQ(handleOf(cap), nullptr);
    auto prompts = root.prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, "Unable to find default Source Control");
    EXPECT_EQ(prompts[0].caption, "Error");
    EXPECT_FALSE(prompts[0].owned);
}

}  // namespace
}  // namespace testsupport
