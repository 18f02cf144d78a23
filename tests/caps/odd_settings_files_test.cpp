// Settings files that are no regular files of a settings file's size: a FIFO
// or a device in the place of the pointer or source-control file, a huge
// file. They count as missing, cost nothing, and are never written over.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

#include "caps/settings_files.h"
#include "caps_fixture.h"
#include "platform/files.h"

namespace testsupport {
namespace {

class OddSettingsFiles : public CapsTest {
protected:
    void SetUp() override {
        CapsTest::SetUp();
        g_settingsFiles.sourceControlPath[0] = '\0';
    }
    void makeFifo(const std::string& rel) const {
        root.remove(rel);
        ASSERT_EQ(mkfifo(root.file(rel).c_str(), 0600), 0);
    }
    bool isFifo(const std::string& rel) const {
        struct stat st;
        return stat(root.file(rel).c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
    }
    // In a child that an alarm ends should the request hang: runs it and
    // prints what it answered.
    [[noreturn]] void runBounded(const std::function<TW_UINT16()>& request) {
        alarm(20);
        const TW_UINT16 rc = request();
        std::fprintf(stderr, "rc=%u cc=%u\n", rc, status());
        std::fflush(stderr);
        _exit(0);
    }
    TW_UINT16 getCurrent() {
        TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
        const TW_UINT16 rc = capability(MSG_GETCURRENT, cap);
        if (cap.hContainer) plat::memFree(cap.hContainer);
        return rc;
    }
    TW_UINT16 setGray() {
        TW_CAPABILITY cap = oneValue(ICAP_PIXELTYPE, TWTY_UINT16, 1);
        return capability(MSG_SET, cap);
    }
};

TEST_F(OddSettingsFiles, AFifoPointerFileCountsAsMissing) {
    makeFifo("windows/source.$$$");
    // The default file answers instead.
    EXPECT_EXIT(runBounded([this] { return getCurrent(); }), ::testing::ExitedWithCode(0),
                "rc=0 cc=0\n");
    EXPECT_TRUE(isFifo("windows/source.$$$"));
}

TEST_F(OddSettingsFiles, ASourceControlFileThatIsNoRegularFileIsNeitherReadNorReplaced) {
    makeFifo("windows/fifo.src");
    root.write("windows/source.$$$", root.file("windows/fifo.src"));
    EXPECT_EXIT(runBounded([this] { return getCurrent(); }), ::testing::ExitedWithCode(0),
                "rc=1 cc=6\n");
    // Nothing there says what the capability holds: the set is refused.
    EXPECT_EXIT(runBounded([this] { return setGray(); }), ::testing::ExitedWithCode(0),
                "rc=1 cc=10\n");
    EXPECT_TRUE(isFifo("windows/fifo.src"));

    // A device reads as missing too, and is not written.
    root.write("windows/source.$$$", "/dev/null");
    EXPECT_EQ(getCurrent(), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADCAP);
    EXPECT_EQ(setGray(), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
}

TEST_F(OddSettingsFiles, SettingsFilesLargerThanTheLimitCountAsMissing) {
    // The pixel type's section (current value TWPT_BW), then comment lines up
    // to the size wanted.
    const auto padded = [](std::size_t size) {
        std::string text = PIXELTYPE_SECTION;
        text.replace(text.find("Current=TWPT_RGB"), 16, "Current=TWPT_BW");
        while (text.size() + 66 <= size) text += "; " + std::string(62, '-') + "\r\n";
        text += std::string(size - text.size(), ';');
        return text;
    };
    const auto setTo = [this](TW_UINT32 value) {
        TW_CAPABILITY cap = oneValue(ICAP_PIXELTYPE, TWTY_UINT16, value);
        return capability(MSG_SET, cap);
    };
    root.write("windows/source.$$$", root.file("windows/big.src"));
    root.write("windows/big.src", padded(plat::SETTINGS_FILE_MAX - 1));
    EXPECT_EQ(getCurrent(), TWRC_SUCCESS);
    // TWPT_GRAY would take the file past the limit: refused, file unchanged.
    std::string before = root.read("windows/big.src");
    EXPECT_EQ(setTo(TWPT_GRAY), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_OPERATIONERROR);
    EXPECT_TRUE(root.read("windows/big.src") == before);
    // TWPT_RGB makes it exactly the limit, which is still read.
    EXPECT_EQ(setTo(TWPT_RGB), TWRC_SUCCESS);
    EXPECT_EQ(root.read("windows/big.src").size(), plat::SETTINGS_FILE_MAX);
    EXPECT_EQ(getCurrent(), TWRC_SUCCESS);

    root.write("windows/big.src", padded(plat::SETTINGS_FILE_MAX + 1));
    before = root.read("windows/big.src");
    EXPECT_EQ(getCurrent(), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADCAP);
    EXPECT_EQ(setGray(), TWRC_FAILURE);
    EXPECT_TRUE(root.read("windows/big.src") == before);

    // The default file in the Windows directory likewise.
    root.remove("windows/source.$$$");
    g_settingsFiles.sourceControlPath[0] = '\0';
    root.write("windows/PXCM.src", padded(plat::SETTINGS_FILE_MAX + 1));
    EXPECT_EQ(getCurrent(), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_OPERATIONERROR);
    ASSERT_EQ(root.prompts().size(), 1u);
    EXPECT_EQ(root.prompts()[0].text, "Unable to find default Source Control");
}

}  // namespace
}  // namespace testsupport
