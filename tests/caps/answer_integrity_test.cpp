// What a capability request answers is whole: indexes inside the items, the
// item type the capability has, no empty list stored, and a success always
// with a container.
#include <cstring>
#include <string>
#include <vector>

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

TEST_F(AnswerIntegrity, ASetOfAnotherItemTypeIsRefused) {
    setKey("ICAP_PIXELTYPE", "Set", "TWON_ONEVALUE,TWON_ENUMERATION,TWON_ARRAY,TWON_RANGE");
    const std::string before = file();
    // The capability holds TWTY_UINT16 values.
    std::vector<TW_CAPABILITY> sets;
    for (TW_UINT16 itemType : {TWTY_FIX32, TWTY_INT16, TWTY_UINT32, TWTY_BOOL, TWTY_UINT8})
        sets.push_back(oneValue(ICAP_PIXELTYPE, itemType, 1));
    TW_CAPABILITY range{ICAP_PIXELTYPE, TWON_RANGE, block(sizeof(TW_RANGE))};
    *static_cast<TW_RANGE*>(range.hContainer) = TW_RANGE{TWTY_INT32, 0, 2, 1, 0, 0};
    sets.push_back(range);
    TW_CAPABILITY list{ICAP_PIXELTYPE, TWON_ENUMERATION, block(14 + 2 * 4)};
    *static_cast<TW_ENUMERATION*>(list.hContainer) = TW_ENUMERATION{TWTY_UINT32, 2, 0, 0, {}};
    sets.push_back(list);
    TW_CAPABILITY array{ICAP_PIXELTYPE, TWON_ARRAY, block(6 + 2)};
    *static_cast<TW_ARRAY*>(array.hContainer) = TW_ARRAY{TWTY_INT16, 1, {}};
    sets.push_back(array);
    for (TW_CAPABILITY& cap : sets) {
        const TW_UINT16 itemType = *static_cast<const TW_UINT16*>(cap.hContainer);
        EXPECT_EQ(capability(MSG_SET, cap), TWRC_FAILURE) << cap.ConType << "/" << itemType;
        EXPECT_EQ(status(), TWCC_BADVALUE) << cap.ConType << "/" << itemType;
    }
    EXPECT_EQ(file(), before);
    EXPECT_TRUE(root.prompts().empty());
}

TEST_F(AnswerIntegrity, RealOneValuesAreTestedAgainstAllowed) {
    addDictionary("[KMT-18]\r\nNEGOTIATION_BOXES=1\r\n");  // each refusal shows its box
    setKey("ICAP_PIXELTYPE", "Type", "TWTY_FIX32");
    const auto real = [](int whole, unsigned frac) {
        return static_cast<TW_UINT32>(static_cast<TW_UINT16>(whole)) | frac << 16;
    };
    const struct {
        const char* allowed;
        TW_UINT32 value;
        const char* stored;  // nullptr: refused
    } cases[] = {
        {"72.000000", real(72, 0), "72.000000"},
        {"72.000000", real(300, 0), nullptr},
        {"72.000000", real(72, 1), nullptr},
        {"72,150,300", real(150, 0), "150"},
        {"72,150,300", real(151, 0), nullptr},
        {"[72.5,96]", real(72, 0x8000), "72.5"},
        {"50.000000_to_600.000000,0.500000", real(72, 0x8000), "72.500000"},
        {"50.000000_to_600.000000,0.500000", real(72, 0xC000), "72.500000"},
        {"50.000000_to_600.000000,0.500000", real(49, 0), nullptr},
        {"50.000000_to_600.000000,0.500000", real(601, 0), nullptr},
        {"50_to_600,0", real(72, 0), nullptr},
        {"-2_to_2,0.25", real(-2, 0x8000), "-1.500000"},
        {"", real(72, 0), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.allowed) + " <- " + std::to_string(c.value));
        setKey("ICAP_PIXELTYPE", "Allowed", c.allowed);
        setKey("ICAP_PIXELTYPE", "Current", "unchanged");
        root.clearPrompts();
        TW_CAPABILITY cap = oneValue(ICAP_PIXELTYPE, TWTY_FIX32, c.value);
        EXPECT_EQ(SetNewCap(&cap, "ICAP_PIXELTYPE"), c.stored ? TWCC_SUCCESS : TWCC_BADVALUE);
        EXPECT_EQ(key("ICAP_PIXELTYPE", "Current"), c.stored ? c.stored : "unchanged");
        EXPECT_EQ(root.prompts().size(), c.stored ? 0u : 1u);
    }
}

TEST_F(AnswerIntegrity, ListSetsThatWouldAllowNothingAreRefused) {
    setKey("ICAP_PIXELTYPE", "Set", "TWON_ENUMERATION,TWON_ARRAY");
    const std::string before = file();
    // No items, and items that have no name in the dictionary section.
    // Blocks of exactly the header and items, as an application may send.
    const auto list = [this](TW_UINT16 conType, TW_UINT32 n, std::vector<TW_UINT16> items) {
        const std::size_t header = conType == TWON_ARRAY ? 6 : 14;
        TW_CAPABILITY cap{ICAP_PIXELTYPE, conType, block(header + 2 * items.size(), 0)};
        auto* b = static_cast<TW_UINT8*>(cap.hContainer);
        const TW_UINT16 itemType = TWTY_UINT16;
        std::memcpy(b, &itemType, 2);
        std::memcpy(b + 2, &n, 4);
        if (!items.empty()) std::memcpy(b + header, items.data(), 2 * items.size());
        return cap;
    };
    TW_CAPABILITY noItems = list(TWON_ENUMERATION, 0, {});
    TW_CAPABILITY emptyArray = list(TWON_ARRAY, 0, {});
    TW_CAPABILITY unnamed = list(TWON_ENUMERATION, 2, {7, 9});
    for (TW_CAPABILITY* cap : {&noItems, &emptyArray, &unnamed}) {
        EXPECT_EQ(capability(MSG_SET, *cap), TWRC_FAILURE) << cap->ConType;
        EXPECT_EQ(status(), TWCC_BADVALUE) << cap->ConType;
    }
    EXPECT_EQ(file(), before);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Allowed"), "TWPT_BW,TWPT_GRAY,TWPT_RGB");
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

TEST_F(AnswerIntegrity, ASuccessAlwaysCarriesAContainerAndNoEmptySectionIsWritten) {
    const struct {
        const char* what;
        std::string control;
    } files[] = {
        {"get naming no container",
         replaced(PIXELTYPE_SECTION, "Get=TWON_ENUMERATION", "Get=TWON_NOTHING")},
        {"get naming nothing", replaced(replaced(PIXELTYPE_SECTION, "Get=TWON_ENUMERATION", "Get="),
                                        "GetCurrent=TWON_ONEVALUE", "GetCurrent")},
        {"no section for the capability", "[OTHER]\r\nType=TWTY_UINT16\r\n"},
        {"not a single '='",
         "[ICAP_PIXELTYPE]\r\nType\r\nAllowed\r\nCurrent\r\nDefault\r\nPowerON\r\nGet\r\n"
         "GetCurrent\r\nReset\r\n"},
        {"no lines at all", ""},
        {"text without sections or keys", "just some words\r\n"},
    };
    for (const auto& f : files) {
        root.write("windows/PXCM.src", f.control);
        const std::string before = file();
        for (TW_UINT16 msg : {MSG_GET, MSG_GETCURRENT, MSG_GETDEFAULT, MSG_RESET}) {
            SCOPED_TRACE(std::string(f.what) + ", message " + std::to_string(msg));
            for (TW_UINT16 capNumber : {ICAP_PIXELTYPE, CAP_XFERCOUNT}) {
                TW_CAPABILITY cap{capNumber, 0, nullptr};
                const TW_UINT16 rc = capability(msg, cap);
                own(cap);
                if (rc == TWRC_SUCCESS)
                    EXPECT_NE(handleOf(cap), nullptr) << capNumber;
                else
                    EXPECT_NE(status(), TWCC_SUCCESS) << capNumber;
            }
            EXPECT_EQ(file(), before);
        }
    }
    // The first file answers all but MSG_GET, which names no container.
    root.write("windows/PXCM.src", files[0].control);
    expectRefused(MSG_GET, TWCC_BADCAP, files[0].what);
}

}  // namespace
}  // namespace testsupport
