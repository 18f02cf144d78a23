// dsm_test.cpp — notifications to the Source Manager: the program's own
// DSM_Entry (tests/support), the library that $PXCM_DSM names, or a manager
// library that the application loaded.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/dsm.h"
#include "support/notifications.h"

namespace {

class Notify : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("PXCM_DSM");
        testsupport::notifications().clear();
        source.Id = 7;
        app.Id = 3;
    }
    void TearDown() override { unsetenv("PXCM_DSM"); }
    TW_IDENTITY source{}, app{};
};

TEST_F(Notify, ReachesTheProgramsDsmEntryWithTheControlNullTriplet) {
    plat::notifySourceManager(&source, &app, MSG_XFERREADY);
    plat::notifySourceManager(&source, &app, MSG_CLOSEDSREQ);
    const auto& got = testsupport::notifications();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].originId, 7u);
    EXPECT_EQ(got[0].destId, 3u);
    EXPECT_EQ(got[0].dg, static_cast<TW_UINT32>(DG_CONTROL));
    EXPECT_EQ(got[0].dat, DAT_NULL);
    EXPECT_EQ(got[0].msg, MSG_XFERREADY);
    EXPECT_TRUE(got[0].dataNull);
    EXPECT_EQ(got[1].msg, MSG_CLOSEDSREQ);
}

TEST_F(Notify, PxcmDsmNamesTheManagerLibrary) {
    void* lib = dlopen(PXCM_TEST_DSM, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto* libCalls = static_cast<int*>(dlsym(lib, "testDsmCalls"));
    auto* libMsg = static_cast<TW_UINT16*>(dlsym(lib, "testDsmLastMsg"));
    auto* libOrigin = static_cast<pTW_IDENTITY*>(dlsym(lib, "testDsmLastOrigin"));
    ASSERT_TRUE(libCalls && libMsg && libOrigin);

    setenv("PXCM_DSM", PXCM_TEST_DSM, 1);
    plat::notifySourceManager(&source, &app, MSG_CLOSEDSREQ);
    EXPECT_EQ(*libCalls, 1);
    EXPECT_EQ(*libMsg, MSG_CLOSEDSREQ);
    EXPECT_EQ(*libOrigin, &source);
    // The program's own entry is not used then.
    EXPECT_TRUE(testsupport::notifications().empty());

    // A library that cannot be loaded, or has no DSM_Entry, drops the
    // notification without a fuss.
    setenv("PXCM_DSM", "/no/such/manager.so", 1);
    plat::notifySourceManager(&source, &app, MSG_XFERREADY);
    setenv("PXCM_DSM", PXCM_BINARY_DIR "/pxcmtwain.ds", 1);
    plat::notifySourceManager(&source, &app, MSG_XFERREADY);
    EXPECT_EQ(*libCalls, 1);
    EXPECT_TRUE(testsupport::notifications().empty());
    dlclose(lib);
}

// What a stand-in manager library received.
struct StandIn {
    void* lib = nullptr;
    int* calls = nullptr;
    TW_UINT16* msg = nullptr;
    pTW_IDENTITY* origin = nullptr;
    pTW_IDENTITY* dest = nullptr;
    bool open(const char* path, int flags) {
        lib = dlopen(path, RTLD_NOW | flags);
        if (!lib) return false;
        calls = static_cast<int*>(dlsym(lib, "testDsmCalls"));
        msg = static_cast<TW_UINT16*>(dlsym(lib, "testDsmLastMsg"));
        origin = static_cast<pTW_IDENTITY*>(dlsym(lib, "testDsmLastOrigin"));
        dest = static_cast<pTW_IDENTITY*>(dlsym(lib, "testDsmLastDest"));
        return calls && msg && origin && dest;
    }
};

TEST_F(Notify, TheManagerLibraryThatTheApplicationLoadedTakesIt) {
    struct Case {
        const char* path;
        int flags;
        const char* what;
    };
    const Case cases[] = {
        {PXCM_TEST_DSM_SO2, RTLD_LOCAL, "libtwaindsm.so.2, RTLD_LOCAL"},
        {PXCM_TEST_DSM_SO2, RTLD_GLOBAL, "libtwaindsm.so.2, RTLD_GLOBAL"},
        {PXCM_TEST_DSM_SO, RTLD_LOCAL, "libtwaindsm.so, RTLD_LOCAL"},
        {PXCM_TEST_DSM_SO, RTLD_GLOBAL, "libtwaindsm.so, RTLD_GLOBAL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::notifications().clear();
        StandIn dsm;
        ASSERT_TRUE(dsm.open(c.path, c.flags)) << dlerror();
        plat::notifySourceManager(&source, &app, MSG_XFERREADY);
        plat::notifySourceManager(&source, &app, MSG_CLOSEDSREQ);
        EXPECT_EQ(*dsm.calls, 2);
        EXPECT_EQ(*dsm.msg, MSG_CLOSEDSREQ);
        EXPECT_EQ(*dsm.origin, &source);
        EXPECT_EQ(*dsm.dest, &app);
        // Not the program's own entry, though the program exports one.
        EXPECT_TRUE(testsupport::notifications().empty());
        ASSERT_EQ(dlclose(dsm.lib), 0);

        // Once the application has let it go, the notification goes to the
        // program's entry, and the manager is not loaded again for it.
        plat::notifySourceManager(&source, &app, MSG_XFERREADY);
        EXPECT_EQ(testsupport::notifications().size(), 1u);
        void* again = dlopen(c.path, RTLD_NOW | RTLD_NOLOAD);
        EXPECT_EQ(again, nullptr);
        if (again) dlclose(again);
    }
}

}  // namespace
