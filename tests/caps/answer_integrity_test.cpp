// What a capability request answers is whole: indexes inside the items, the
// item type the capability has, no empty list stored, and a success always
// with a container.
#include <string>

#include "caps/capability_ops.h"
#include "caps_fixture.h"

namespace testsupport {
namespace {

class AnswerIntegrity : public CapsTest {
protected:
    std::string file() const { return root.read("windows/PXCM.src"); }
    // A request through the entry that must fail with `code` and leave the
    // record without a container.
    void expectRefused(TW_UINT16 msg, TW_UINT16 code, const std::string& what) {
        TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
        EXPECT_EQ(capability(msg, cap), TWRC_FAILURE) << what;
        own(cap);
        EXPECT_EQ(status(), code) << what;
        EXPECT_EQ(handleOf(cap), nullptr) << what;
    }
};

std::string numbers(int from, int count) {
    std::string list;
    for (int i = 0; i < count; ++i) list += (i ? "," : "") + std::to_string(from + i);
    return list;
}

TEST_F(AnswerIntegrity, EnumerationIndexesNeverPointPastTheItems) {
    const struct {
        const char* what;
        std::string allowed, current, def, getCurrent;
    } refused[] = {
        {"current past the list limit", numbers(1000, 300), "1290", "1000", "TWON_ONEVALUE"},
        {"default past the list limit", numbers(1000, 300), "1000", "1299", "TWON_ONEVALUE"},
        {"no items at all", "", "TWPT_RGB", "TWPT_RGB", "TWON_ONEVALUE"},
        {"only commas", ",,,", "TWPT_RGB", "TWPT_RGB", "TWON_ONEVALUE"},
    };
    for (const auto& c : refused) {
        setKey("ICAP_PIXELTYPE", "Allowed", c.allowed);
        setKey("ICAP_PIXELTYPE", "Current", c.current);
        setKey("ICAP_PIXELTYPE", "Default", c.def);
        expectRefused(MSG_GET, TWCC_BADVALUE, c.what);
    }

    // An enumeration answer built from "Current" holds one item, while the
    // index comes from "Allowed".
    setKey("ICAP_PIXELTYPE", "Allowed", "TWPT_BW,TWPT_GRAY,TWPT_RGB");
    setKey("ICAP_PIXELTYPE", "Current", "TWPT_RGB");
    setKey("ICAP_PIXELTYPE", "Default", "TWPT_RGB");
    setKey("ICAP_PIXELTYPE", "GetCurrent", "TWON_ENUMERATION");
    expectRefused(MSG_GETCURRENT, TWCC_BADVALUE, "one-item answer, index 2");

    // The last item that a list holds is still answered.
    setKey("ICAP_PIXELTYPE", "Allowed", numbers(1000, 300));
    setKey("ICAP_PIXELTYPE", "Current", std::to_string(1000 + LIST_ITEMS_MAX - 1));
    setKey("ICAP_PIXELTYPE", "Default", "1000");
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(capability(MSG_GET, cap), TWRC_SUCCESS);
    own(cap);
    ASSERT_EQ(cap.ConType, TWON_ENUMERATION);
    const auto& e = as<TW_ENUMERATION>(cap);
    EXPECT_EQ(valueOf(e.NumItems), LIST_ITEMS_MAX);
    EXPECT_EQ(valueOf(e.CurrentIndex), LIST_ITEMS_MAX - 1);
    EXPECT_EQ(valueOf(e.DefaultIndex), 0u);
}

}  // namespace
}  // namespace testsupport
