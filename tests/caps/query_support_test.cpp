// MSG_QUERYSUPPORT through DS_Entry: the TWQC_ flags that the container keys
// of the source-control file allow, and the capabilities the source lacks.
#include <string>

#include "caps_fixture.h"

namespace testsupport {
namespace {

constexpr TW_INT32 ALL_OPERATIONS =
    TWQC_GET | TWQC_GETCURRENT | TWQC_GETDEFAULT | TWQC_SET | TWQC_RESET;

class QuerySupportTest : public CapsTest {
protected:
    // The flags answered, or -1 after a failure (the code in `cc`).
    TW_INT32 flagsOf(TW_UINT16 capNumber, TW_UINT16* cc = nullptr) {
        TW_CAPABILITY cap{capNumber, TWON_DONTCARE16, nullptr};
        const TW_UINT16 rc = capability(MSG_QUERYSUPPORT, cap);
        own(cap);
        const TW_UINT16 code = status();
        if (cc) *cc = code;
        if (rc != TWRC_SUCCESS) {
            EXPECT_EQ(handleOf(cap), nullptr);
            return -1;
        }
        EXPECT_EQ(code, TWCC_SUCCESS);
        EXPECT_EQ(cap.ConType, TWON_ONEVALUE);
        if (cap.ConType != TWON_ONEVALUE || !handleOf(cap)) return -1;
        EXPECT_GE(plat::memSize(cap.hContainer), sizeof(TW_ONEVALUE));
        EXPECT_EQ(valueOf(as<TW_ONEVALUE>(cap).ItemType), TWTY_INT32);
        return static_cast<TW_INT32>(valueOf(as<TW_ONEVALUE>(cap).Item));
    }
};

TEST_F(QuerySupportTest, FlagsFollowTheContainerKeys) {
    struct Case {
        const char* key;
        const char* value;  // null: the key is taken out
        TW_INT32 flags;
    };
    const Case cases[] = {
        {nullptr, nullptr, ALL_OPERATIONS},
        {"Reset", "TWCC_BADPROTOCOL", ALL_OPERATIONS & ~TWQC_RESET},
        {"Reset", "TWCC_BUMMER", ALL_OPERATIONS & ~TWQC_RESET},
        {"Reset", "TWON_RANGE", ALL_OPERATIONS},
        {"Set", "", ALL_OPERATIONS & ~TWQC_SET},
        {"Set", nullptr, ALL_OPERATIONS & ~TWQC_SET},
        {"Set", "TWON_ENUMERATION,TWON_ONEVALUE", ALL_OPERATIONS},
        {"Set", "TWON_NOTHING", ALL_OPERATIONS & ~TWQC_SET},
        {"Get", "TWON_NOTHING", ALL_OPERATIONS & ~TWQC_GET},
        {"Get", "TWON_ONEVALUE,TWON_ENUMERATION", ALL_OPERATIONS},
        {"GetCurrent", "", ALL_OPERATIONS & ~TWQC_GETCURRENT},
        {"GetDefault", "TWON_ARRAY", ALL_OPERATIONS},
        {"GetDefault", nullptr, ALL_OPERATIONS & ~TWQC_GETDEFAULT},
        // A get without the value that it answers fails with TWCC_BADCAP.
        {"Default", nullptr, ALL_OPERATIONS & ~(TWQC_GETDEFAULT | TWQC_RESET)},
        // A reset needs the texts that it restores.
        {"PowerON", nullptr, ALL_OPERATIONS & ~TWQC_RESET},
        {"PowerON", "", ALL_OPERATIONS & ~TWQC_RESET},
        {"Current", nullptr, ALL_OPERATIONS & ~TWQC_GETCURRENT},
        {"Allowed", nullptr, ALL_OPERATIONS & ~TWQC_GET},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key ? c.key : "(as written)") + "=" +
                     (c.value ? c.value : "(none)"));
        root.write("windows/PXCM.src", PIXELTYPE_SECTION);
        if (c.key)
            ASSERT_TRUE(plat::profileWriteString("ICAP_PIXELTYPE", c.key, c.value, control()));
        const std::string before = root.read("windows/PXCM.src");
        EXPECT_EQ(flagsOf(ICAP_PIXELTYPE), c.flags);
        EXPECT_EQ(root.read("windows/PXCM.src"), before);
    }
    // A one-value "Get" answers "Current", so without it there is no get.
    setKey("ICAP_PIXELTYPE", "Get", "TWON_ONEVALUE");
    ASSERT_TRUE(plat::profileWriteString("ICAP_PIXELTYPE", "Allowed", nullptr, control()));
    EXPECT_EQ(flagsOf(ICAP_PIXELTYPE), ALL_OPERATIONS);
    ASSERT_TRUE(plat::profileWriteString("ICAP_PIXELTYPE", "Current", nullptr, control()));
    EXPECT_EQ(flagsOf(ICAP_PIXELTYPE), ALL_OPERATIONS & ~(TWQC_GET | TWQC_GETCURRENT));
    EXPECT_TRUE(root.prompts().empty());
}

TEST_F(QuerySupportTest, ASectionWithoutContainerKeysAllowsNothing) {
    root.write("windows/PXCM.src", "[ICAP_PIXELTYPE]\r\nType=TWTY_UINT16\r\n");
    EXPECT_EQ(flagsOf(ICAP_PIXELTYPE), 0);
}

TEST_F(QuerySupportTest, CapabilitiesTheSourceLacksAreBadCapWithoutABox) {
    // ICAP_BRIGHTNESS is not in "CAP NUMBERS"; CAP_XFERCOUNT is, but the
    // source-control file has no section for it.
    for (TW_UINT16 c : {ICAP_BRIGHTNESS, CAP_XFERCOUNT}) {
        SCOPED_TRACE(c);
        TW_UINT16 cc = 0;
        EXPECT_EQ(flagsOf(c, &cc), -1);
        EXPECT_EQ(cc, TWCC_BADCAP);
        // The answer to MSG_GET is the same.
        TW_CAPABILITY get{c, 0, nullptr};
        EXPECT_EQ(capability(MSG_GET, get), TWRC_FAILURE);
        EXPECT_EQ(status(), TWCC_BADCAP);
    }
    EXPECT_TRUE(root.prompts().empty());
}

TEST_F(QuerySupportTest, AnsweredInEveryStateWithANewBlock) {
    TW_IDENTITY ds{};
    ds.Id = 5;
    EXPECT_EQ(flagsOf(ICAP_PIXELTYPE), ALL_OPERATIONS);
    ASSERT_EQ(DS_Entry(&app, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds), TWRC_SUCCESS);
    EXPECT_EQ(flagsOf(ICAP_PIXELTYPE), ALL_OPERATIONS);

    // The application's own block is not written: the answer is a new one.
    TW_CAPABILITY cap = oneValue(ICAP_PIXELTYPE, TWTY_UINT16, 1);
    void* mine = cap.hContainer;
    ASSERT_EQ(capability(MSG_QUERYSUPPORT, cap), TWRC_SUCCESS);
    own(cap);
    EXPECT_NE(handleOf(cap), mine);
    EXPECT_EQ(valueOf(static_cast<const TW_ONEVALUE*>(mine)->Item), 1u);
}

}  // namespace
}  // namespace testsupport
