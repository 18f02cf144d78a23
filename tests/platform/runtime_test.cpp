// runtime_test.cpp — memory handles, identity strings, shared libraries and
// the clock of the POSIX platform layer.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/clock.h"
#include "platform/library.h"
#include "platform/memory.h"
#include "platform/module.h"
#include "platform/twain.h"
#include "resources/identity.h"
#include "source/source_state.h"

using namespace plat;

namespace {

TEST(Memory, HandlesAreCAllocatorBlocks) {
    MemHandle h = memAlloc(1000, true);
    ASSERT_NE(h, nullptr);
    EXPECT_GE(memSize(h), 1000u);
    auto* p = static_cast<unsigned char*>(memLock(h));
    EXPECT_EQ(p, h);
    bool allZero = true;
    for (int i = 0; i < 1000; ++i) allZero = allZero && p[i] == 0;
    EXPECT_TRUE(allZero);
    memUnlock(h);
    // The application's side of the convention: free() releases it.
    std::free(h);

    MemHandle empty = memAlloc(0, false);
    EXPECT_NE(empty, nullptr);
    memFree(empty);
    EXPECT_EQ(memSize(nullptr), 0u);
}

TEST(Memory, BlockOwnsUntilReleased) {
    MemBlock a(memAlloc(16, false));
    ASSERT_TRUE(a);
    MemHandle raw = a.get();
    MemBlock b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.get(), raw);
    {
        MemLock lock(b.get());
        ASSERT_TRUE(lock);
        std::memcpy(lock.as<char>(), "pixels", 7);
    }
    EXPECT_STREQ(static_cast<char*>(memLock(raw)), "pixels");
    MemHandle kept = b.release();
    EXPECT_FALSE(b);
    memFree(kept);
}

TEST(Module, IdentityStringsLoadLikeLoadString) {
    char buf[64];
    EXPECT_EQ(loadString(nullptr, IDS_MANUFACTURER, buf, sizeof buf), 13);
    EXPECT_STREQ(buf, IDENTITY_MANUFACTURER);
    EXPECT_EQ(loadString(nullptr, IDS_PRODUCT_FAMILY, buf, sizeof buf), 5);
    EXPECT_STREQ(buf, "TWAIN");
    EXPECT_EQ(loadString(nullptr, IDS_PRODUCT_NAME, buf, sizeof buf),
              static_cast<int>(std::strlen(IDENTITY_PRODUCT_NAME)));
    EXPECT_STREQ(buf, IDENTITY_PRODUCT_NAME);
    EXPECT_EQ(loadString(nullptr, IDS_VERSION_INFO, buf, sizeof buf), 11);
    EXPECT_STREQ(buf, "April, 1998");
    // Truncated to the buffer, as into a TW_STR32.
    EXPECT_EQ(loadString(nullptr, IDS_PRODUCT_NAME, buf, 6), 5);
    EXPECT_STREQ(buf, "Vantr");
    EXPECT_EQ(loadString(nullptr, 4, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(loadString(nullptr, IDS_MANUFACTURER, buf, 0), 0);
}

TEST(ModuleStart, DllMainRanAtLoadWithTheModulesBaseAddress) {
    // The core objects live in this program, so the module is the program.
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&loadString), &info), 0);
    EXPECT_EQ(g_source.moduleInstance, info.dli_fbase);
    EXPECT_STREQ(g_source.sourceIdentity.ProductName, IDENTITY_PRODUCT_NAME);
}

TEST(Library, LoadsTheSourceAndFindsItsEntry) {
    Library ds(PXCM_BINARY_DIR "/pxcmtwain.ds");
    ASSERT_TRUE(ds.loaded()) << Library::lastError();
    EXPECT_NE(ds.symbol("DS_Entry"), nullptr);
    // Only the entry is exported.
    EXPECT_EQ(ds.symbol("DllMain"), nullptr);

    Library missing("/no/such/library.ds");
    EXPECT_FALSE(missing.loaded());
    EXPECT_EQ(missing.symbol("DS_Entry"), nullptr);
    EXPECT_NE(Library::lastError().find("/no/such/library.ds"), std::string::npos);
    // A bare name is a file of the current folder, not a library search.
    Library bare("libc.so.6");
    EXPECT_FALSE(bare.loaded());
}

TEST(Clock, SleepWaitsAtLeastTheTime) {
    Clock& clock = systemClock();
    uint64_t start = clock.nowMs();
    clock.sleepMs(30);
    uint64_t elapsed = clock.nowMs() - start;
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 5000u);
}

}  // namespace
