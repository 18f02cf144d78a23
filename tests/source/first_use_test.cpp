// The installed source at a user's first use: laid out as `cmake --install`
// lays it out, it seeds the user's settings from the installed defaults at
// MSG_OPENDS and then answers capabilities from them.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "caps/packed_fields.h"
#include "platform/memory.h"
#include "platform/twain.h"
#include "support/temp_root.h"

namespace fs = std::filesystem;

namespace testsupport {
namespace {

class FirstUse : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path prefix = root.file("prefix");
        fs::create_directories(prefix / "lib/twain/pxcm");
        fs::create_directories(prefix / "share/pxcm");
        // A copy, not a link: the module finds its prefix from its own file.
        fs::copy_file(PXCM_BINARY_DIR "/pxcmtwain.ds", prefix / "lib/twain/pxcm/pxcmtwain.ds");
        const fs::path settings = fs::path(PXCM_SOURCE_DIR) / "resources/settings";
        for (const char* name : {"pxcm.ini", "PXCM.src"})
            fs::copy_file(settings / name, prefix / "share/pxcm" / name);
        installedIni = root.read("prefix/share/pxcm/pxcm.ini");
        installedSrc = root.read("prefix/share/pxcm/PXCM.src");
    }
    void TearDown() override {
        if (lib) dlclose(lib);
    }

    // Loads the installed module as a Source Manager would.
    DSENTRYPROC load() {
        lib =
            dlopen(root.file("prefix/lib/twain/pxcm/pxcmtwain.ds").c_str(), RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(lib, nullptr) << dlerror();
        return lib ? reinterpret_cast<DSENTRYPROC>(dlsym(lib, "DS_Entry")) : nullptr;
    }

    TempRoot root;
    void* lib = nullptr;
    std::string installedIni, installedSrc;
};

TEST_F(FirstUse, OpeningSeedsTheSettingsThatTheCapabilitiesThenUse) {
    DSENTRYPROC entry = load();
    ASSERT_NE(entry, nullptr);
    TW_IDENTITY app{}, ds{};
    app.Id = 1;
    ds.Id = 2;
    // Asking the identity is not a use yet.
    ASSERT_EQ(entry(&app, DG_CONTROL, DAT_IDENTITY, MSG_GET, &ds), TWRC_SUCCESS);
    ds.Id = 2;
    EXPECT_FALSE(root.exists("windows/pxcm.ini"));

    ASSERT_EQ(entry(&app, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds), TWRC_SUCCESS);
    EXPECT_EQ(root.read("windows/pxcm.ini"), installedIni);
    EXPECT_EQ(root.read("windows/PXCM.src"), installedSrc);

    TW_CAPABILITY cap{ICAP_XFERMECH, TWON_DONTCARE16, nullptr};
    ASSERT_EQ(entry(&app, DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &cap), TWRC_SUCCESS);
    ASSERT_EQ(valueOf(cap.ConType), TWON_ONEVALUE);
    EXPECT_EQ(valueOf(static_cast<const TW_ONEVALUE*>(cap.hContainer)->Item),
              static_cast<TW_UINT32>(TWSX_NATIVE));
    plat::memFree(cap.hContainer);
    EXPECT_EQ(entry(&app, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds), TWRC_SUCCESS);
    EXPECT_TRUE(root.prompts().empty());
}

TEST_F(FirstUse, TheUsersOwnSettingsStay) {
    root.write("windows/PXCM.src",
               "[ICAP_XFERMECH]\r\nType=TWTY_UINT16\r\nCurrent=TWSX_MEMORY\r\n"
               "GetCurrent=TWON_ONEVALUE\r\n");
    const std::string mine = root.read("windows/PXCM.src");
    DSENTRYPROC entry = load();
    ASSERT_NE(entry, nullptr);
    TW_IDENTITY app{}, ds{};
    app.Id = 1;
    ds.Id = 2;
    ASSERT_EQ(entry(&app, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds), TWRC_SUCCESS);
    EXPECT_EQ(root.read("windows/pxcm.ini"), installedIni);
    EXPECT_EQ(root.read("windows/PXCM.src"), mine);

    TW_CAPABILITY cap{ICAP_XFERMECH, TWON_DONTCARE16, nullptr};
    ASSERT_EQ(entry(&app, DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &cap), TWRC_SUCCESS);
    EXPECT_EQ(valueOf(static_cast<const TW_ONEVALUE*>(cap.hContainer)->Item),
              static_cast<TW_UINT32>(TWSX_MEMORY));
    plat::memFree(cap.hContainer);
}

}  // namespace
}  // namespace testsupport
