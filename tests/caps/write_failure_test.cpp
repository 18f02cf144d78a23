// Settings writes that the file system refuses (a file size limit, as a full
// disk would): the request fails with TWCC_OPERATIONERROR and the
// source-control file stays exactly as it was.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

#include "caps/caps_state.h"
#include "caps_fixture.h"

namespace testsupport {
namespace {

class WriteFailure : public CapsTest {
protected:
    std::string file() const { return root.read("windows/PXCM.src"); }

    // In a child process that may not grow any file past a few bytes: runs
    // one request and prints what it answered.
    [[noreturn]] void runLimited(const std::function<TW_UINT16()>& request) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        const TW_UINT16 rc = request();
        std::fprintf(stderr, "rc=%u cc=%u last=%s\n", rc, status(), g_caps.lastSetKey);
        std::fflush(stderr);
        _exit(0);
    }

    void expectRefusedWrite(const char* what, const std::function<TW_UINT16()>& request) {
        const std::string before = file();
        EXPECT_EXIT(runLimited(request), ::testing::ExitedWithCode(0), "rc=1 cc=5 last=\n") << what;
        EXPECT_EQ(file(), before) << what;
    }
};

TEST_F(WriteFailure, SetsAndResetsThatCannotBeWrittenFail) {
    setKey("ICAP_PIXELTYPE", "Set", "TWON_ONEVALUE,TWON_ENUMERATION,TWON_ARRAY,TWON_RANGE");
    setKey("ICAP_PIXELTYPE", "Current", "TWPT_BW");
    expectRefusedWrite("one-value", [this] {
        TW_CAPABILITY cap = oneValue(ICAP_PIXELTYPE, TWTY_UINT16, 1);
        return capability(MSG_SET, cap);
    });
    expectRefusedWrite("enumeration", [this] {
        TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ENUMERATION, block(14 + 2)};
        *static_cast<TW_ENUMERATION*>(cap.hContainer) = TW_ENUMERATION{TWTY_UINT16, 1, 0, 0, {}};
        return capability(MSG_SET, cap);
    });
    expectRefusedWrite("range: three keys", [this] {
        TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_RANGE, block(sizeof(TW_RANGE))};
        *static_cast<TW_RANGE*>(cap.hContainer) = TW_RANGE{TWTY_UINT16, 0, 2, 1, 2, 1};
        return capability(MSG_SET, cap);
    });
    expectRefusedWrite("reset: two keys", [this] {
        TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
        return capability(MSG_RESET, cap);
    });

    // Without the limit the same requests go through.
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_RANGE, block(sizeof(TW_RANGE))};
    *static_cast<TW_RANGE*>(cap.hContainer) = TW_RANGE{TWTY_UINT16, 0, 2, 1, 2, 1};
    EXPECT_EQ(capability(MSG_SET, cap), TWRC_SUCCESS);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Allowed"), "0_to_2,1");
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Current"), "1");
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Default"), "2");
}

}  // namespace
}  // namespace testsupport
