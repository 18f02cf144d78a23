// The capability operations on the settings files: the allowed-test, the
// indexes, the names, reset, the stores of each container type and the
// answers built from the files.
#include <string>

#include "caps/capability_ops.h"
#include "caps/containers.h"
#include "caps_fixture.h"

namespace testsupport {
namespace {

// A capability with a numeric allowed text, written into the section.
class AllowedTest : public CapsTest {
protected:
    void allow(const std::string& allowed) { setKey("ICAP_PIXELTYPE", "Allowed", allowed); }
    // The text that a one-value set of v would store, or "refused".
    std::string stores(TW_INT16 v) {
        char text[30] = "unchanged";
        return IsCapAllowed(v, "ICAP_PIXELTYPE", text) ? std::string(text) : "refused";
    }
};

TEST_F(AllowedTest, RangeStepsCountFromTheMinimum) {
    allow("1_to_100,2");
    EXPECT_EQ(stores(5), "5");
    EXPECT_EQ(stores(4), "3");
    EXPECT_EQ(stores(1), "1");
    EXPECT_EQ(stores(100), "99");
    EXPECT_EQ(stores(101), "refused");
    EXPECT_EQ(stores(0), "refused");

    allow("5_to_100,10");
    EXPECT_EQ(stores(7), "5");
    EXPECT_EQ(stores(25), "25");
    EXPECT_EQ(stores(34), "25");

    allow("-10_to_10,4");
    EXPECT_EQ(stores(-7), "-10");
    EXPECT_EQ(stores(-6), "-6");
    EXPECT_EQ(stores(10), "10");
}

TEST_F(AllowedTest, MalformedRangesAllowNothing) {
    for (const char* text :
         {"1_to_100,0", "1_to_100,-2", "1_to_100", "to", "_to_,", "100_to_1,1"}) {
        allow(text);
        EXPECT_EQ(stores(50), "refused") << text;
        EXPECT_EQ(stores(1), "refused") << text;
    }
}

TEST_F(AllowedTest, ListsMatchNumbersAndNames) {
    allow("[1,2,3]");
    EXPECT_EQ(stores(3), "3");
    EXPECT_EQ(stores(4), "refused");

    allow("TWPT_BW,TWPT_GRAY,TWPT_RGB");
    EXPECT_EQ(stores(1), "TWPT_GRAY");
    EXPECT_EQ(stores(3), "refused");

    // A name that the dictionary lacks stands for 99.
    allow("TWPT_BW,TWPT_NOWHERE");
    EXPECT_EQ(stores(99), "TWPT_NOWHERE");

    allow("");
    EXPECT_EQ(stores(0), "refused");
}

TEST_F(AllowedTest, LongListsAreSearchedWhole) {
    std::string list;
    for (int i = 0; i < 600; ++i) list += std::to_string(i * 3) + ",";
    allow(list);
    EXPECT_EQ(stores(1797), "1797");
    EXPECT_EQ(stores(1798), "refused");
}

TEST_F(CapsTest, IndexComparesTheFirstEightCharacters) {
    setKey("ICAP_PIXELTYPE", "Allowed", "ABCDEFGX,ABCDEFGHIJ,ABCDEFGH");
    setKey("ICAP_PIXELTYPE", "Current", "ABCDEFGH");
    setKey("ICAP_PIXELTYPE", "Default", "ABCDEFGX");
    EXPECT_EQ(GetIndex(MSG_GETCURRENT, "ICAP_PIXELTYPE"), 1);
    EXPECT_EQ(GetIndex(MSG_GETDEFAULT, "ICAP_PIXELTYPE"), 0);

    // Short texts must match to their end; no match gives 0.
    setKey("ICAP_PIXELTYPE", "Allowed", "AB,ABC,ABCD");
    setKey("ICAP_PIXELTYPE", "Current", "ABC");
    EXPECT_EQ(GetIndex(MSG_GETCURRENT, "ICAP_PIXELTYPE"), 1);
    setKey("ICAP_PIXELTYPE", "Current", "ZZZ");
    EXPECT_EQ(GetIndex(MSG_GETCURRENT, "ICAP_PIXELTYPE"), 0);
}

TEST_F(CapsTest, NamesComeFromTheDictionarySection) {
    char text[30] = "";
    ConvertAttributeToText(2, text, "ICAP_PIXELTYPE");
    EXPECT_STREQ(text, "TWPT_RGB");

    std::strcpy(text, "kept");
    ConvertAttributeToText(7, text, "ICAP_PIXELTYPE");
    EXPECT_STREQ(text, "kept");

    ConvertAttributeToText(-12, text, "NO_SUCH_SECTION");
    EXPECT_STREQ(text, "-12");

    // The first line in file order wins; names are cut to 29 characters.
    addDictionary(
        "[TWO]\r\nFIRST=5\r\nSECOND=5\r\n"
        "[LONG]\r\nA_VERY_LONG_NAME_OF_FORTY_CHARACTERS_XX=1\r\n");
    ConvertAttributeToText(5, text, "TWO");
    EXPECT_STREQ(text, "FIRST");
    ConvertAttributeToText(1, text, "LONG");
    EXPECT_STREQ(text, "A_VERY_LONG_NAME_OF_FORTY_CHA");
}

TEST_F(CapsTest, ResetCopiesPowerOnAndDefault) {
    setKey("ICAP_PIXELTYPE", "Allowed", "TWPT_GRAY");
    setKey("ICAP_PIXELTYPE", "Current", "TWPT_GRAY");
    EXPECT_EQ(ResetValues("ICAP_PIXELTYPE"), TWCC_SUCCESS);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Allowed"), "TWPT_BW,TWPT_GRAY,TWPT_RGB");
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Current"), "TWPT_RGB");
    EXPECT_STREQ(g_caps.lastSetKey, "Current");

    setKey("ICAP_PIXELTYPE", "Reset", "TWON_ENUMERATION");
    EXPECT_EQ(ResetValues("ICAP_PIXELTYPE"), TWCC_SUCCESS);
    EXPECT_STREQ(g_caps.lastSetKey, "Allowed");
}

TEST_F(CapsTest, ResetRefusedLeavesTheFileAlone) {
    setKey("ICAP_PIXELTYPE", "Reset", "TWCC_BADPROTOCOL");
    setKey("ICAP_PIXELTYPE", "Current", "TWPT_GRAY");
    const std::string before = root.read("windows/PXCM.src");
    EXPECT_EQ(ResetValues("ICAP_PIXELTYPE"), TWCC_BADPROTOCOL);
    EXPECT_EQ(root.read("windows/PXCM.src"), before);
}

TEST_F(CapsTest, OneValueSetStoresTheAllowedText) {
    TW_CAPABILITY cap = oneValue(ICAP_PIXELTYPE, TWTY_UINT16, 1);
    EXPECT_EQ(SetNewCap(&cap, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Current"), "TWPT_GRAY");
    EXPECT_STREQ(g_caps.lastSetKey, "Current");
    EXPECT_TRUE(root.prompts().empty());

    // Only the low 16 bits count.
    cap = oneValue(ICAP_PIXELTYPE, TWTY_UINT16, 0x00050000u);
    EXPECT_EQ(SetNewCap(&cap, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Current"), "TWPT_BW");
}

// A refused one-value answers TWCC_BADVALUE and keeps Current; its box only
// where the dictionary turns negotiation boxes on.
TEST_F(CapsTest, OneValueOutsideAllowedShowsTheBoxOnlyWhenTurnedOn) {
    const struct {
        const char* dictionary;
        bool box;
    } cases[] = {
        {"", false},
        {"[KMT-18]\r\nNEGOTIATION_BOXES=0\r\n", false},
        {"[KMT-18]\r\nNEGOTIATION_BOXES=1\r\n", true},
    };
    for (const auto& c : cases) {
        addDictionary(c.dictionary);
        root.clearPrompts();
        TW_CAPABILITY cap = oneValue(ICAP_PIXELTYPE, TWTY_UINT16, 3);
        EXPECT_EQ(SetNewCap(&cap, "ICAP_PIXELTYPE"), TWCC_BADVALUE) << c.dictionary;
        EXPECT_EQ(key("ICAP_PIXELTYPE", "Current"), "TWPT_RGB") << c.dictionary;
        auto prompts = root.prompts();
        ASSERT_EQ(prompts.size(), c.box ? 1u : 0u) << c.dictionary;
        if (!c.box) continue;
        EXPECT_EQ(prompts[0].text, "IsCapAllowed");
        EXPECT_EQ(prompts[0].buttons, "ok");
        EXPECT_FALSE(prompts[0].owned);
    }
}

TEST_F(CapsTest, Fix32OneValueIsStoredAsAReal) {
    setKey("ICAP_PIXELTYPE", "Type", "TWTY_FIX32");
    setKey("ICAP_PIXELTYPE", "Allowed", "-2_to_2,0.5");
    TW_CAPABILITY cap = oneValue(ICAP_PIXELTYPE, TWTY_FIX32, 0x8000FFFEu);  // -1.5
    EXPECT_EQ(SetNewCap(&cap, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Current"), "-1.500000");
}

TEST_F(CapsTest, ContainerTypeMustBeListedInSet) {
    setKey("ICAP_PIXELTYPE", "Set", "TWON_ENUMERATION,TWON_RANGE");
    TW_CAPABILITY cap = oneValue(ICAP_PIXELTYPE, TWTY_UINT16, 1);
    const std::string before = root.read("windows/PXCM.src");
    EXPECT_EQ(SetNewCap(&cap, "ICAP_PIXELTYPE"), TWCC_BADVALUE);
    EXPECT_EQ(root.read("windows/PXCM.src"), before);
    // Names longer than the old 39-character limit of the key still count.
    setKey("ICAP_PIXELTYPE", "Set", "TWON_ENUMERATION,TWON_RANGE,TWON_ARRAY,TWON_ONEVALUE");
    EXPECT_EQ(SetNewCap(&cap, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
}

// An application's list container with items of `width` bytes.
TW_CAPABILITY listContainer(CapsTest& t, plat::MemHandle h, TW_UINT16 conType, TW_UINT16 itemType,
                            const std::vector<TW_UINT32>& items, std::size_t width) {
    auto* b = static_cast<TW_UINT8*>(h);
    std::memcpy(b, &itemType, 2);
    TW_UINT32 n = static_cast<TW_UINT32>(items.size());
    std::memcpy(b + 2, &n, 4);
    std::size_t first = conType == TWON_ENUMERATION ? 14 : 6;
    if (conType == TWON_ENUMERATION) std::memset(b + 6, 0, 8);
    for (std::size_t i = 0; i < items.size(); ++i)
        std::memcpy(b + first + i * width, &items[i], width);
    return TW_CAPABILITY{ICAP_PIXELTYPE, conType, h};
}

TEST_F(CapsTest, EnumerationSetStoresNames) {
    setKey("ICAP_PIXELTYPE", "Set", "TWON_ENUMERATION");
    TW_CAPABILITY cap =
        listContainer(*this, block(14 + 3 * 2), TWON_ENUMERATION, TWTY_UINT16, {2, 0, 7}, 2);
    EXPECT_EQ(SetNewCap(&cap, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    // 7 has no name in a non-empty section: an empty item.
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Allowed"), "TWPT_RGB,TWPT_BW,");
    EXPECT_STREQ(g_caps.lastSetKey, "Allowed");
    // The next answer skips the empty item.
    EXPECT_EQ(SetValues(&cap, MSG_SET, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    EXPECT_EQ(valueOf(as<TW_ENUMERATION>(cap).NumItems), 2u);
    EXPECT_EQ(itemAt(cap, 14, 2, 0), 2u);
    EXPECT_EQ(itemAt(cap, 14, 2, 1), 0u);
}

TEST_F(CapsTest, EnumerationSetWithoutDictionaryStoresNumbers) {
    setKey("CAP_XFERCOUNT", "Type", "TWTY_INT16");
    setKey("CAP_XFERCOUNT", "Set", "TWON_ENUMERATION");
    TW_CAPABILITY cap =
        listContainer(*this, block(14 + 2 * 2), TWON_ENUMERATION, TWTY_INT16, {0xFFFF, 5}, 2);
    EXPECT_EQ(SetNewCap(&cap, "CAP_XFERCOUNT"), TWCC_SUCCESS);
    EXPECT_EQ(key("CAP_XFERCOUNT", "Allowed"), "-1,5");

    // No items would allow nothing: refused, and "Allowed" stays.
    TW_CAPABILITY none = listContainer(*this, block(14), TWON_ENUMERATION, TWTY_INT16, {}, 2);
    EXPECT_EQ(SetNewCap(&none, "CAP_XFERCOUNT"), TWCC_BADVALUE);
    EXPECT_EQ(key("CAP_XFERCOUNT", "Allowed"), "-1,5");
}

TEST_F(CapsTest, ArraySetStoresSignedNumbers) {
    setKey("ICAP_PIXELTYPE", "Type", "TWTY_INT32");
    setKey("ICAP_PIXELTYPE", "Set", "TWON_ARRAY");
    TW_CAPABILITY cap =
        listContainer(*this, block(6 + 3 * 4), TWON_ARRAY, TWTY_INT32, {1, 0xFFFFFFFEu, 4000}, 4);
    EXPECT_EQ(SetNewCap(&cap, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Allowed"), "[1,-2,4000]");

    TW_CAPABILITY empty = listContainer(*this, block(6), TWON_ARRAY, TWTY_INT32, {}, 4);
    EXPECT_EQ(SetNewCap(&empty, "ICAP_PIXELTYPE"), TWCC_BADVALUE);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Allowed"), "[1,-2,4000]");

    setKey("ICAP_PIXELTYPE", "Type", "TWTY_FIX32");
    TW_CAPABILITY reals =
        listContainer(*this, block(6 + 4), TWON_ARRAY, TWTY_FIX32, {0x80000048u}, 4);  // 72.5
    EXPECT_EQ(SetNewCap(&reals, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Allowed"), "[72.500000]");
}

TEST_F(CapsTest, RangeSetStoresAllThreeKeys) {
    setKey("ICAP_PIXELTYPE", "Type", "TWTY_INT16");
    setKey("ICAP_PIXELTYPE", "Set", "TWON_RANGE");
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_RANGE, block(sizeof(TW_RANGE))};
    *static_cast<TW_RANGE*>(cap.hContainer) = TW_RANGE{TWTY_INT16, 0xFFFFFFFBu, 10, 5, 0, 5};
    EXPECT_EQ(SetNewCap(&cap, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Allowed"), "-5_to_10,5");
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Current"), "5");
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Default"), "0");
    EXPECT_STREQ(g_caps.lastSetKey, "Allowed");

    setKey("ICAP_PIXELTYPE", "Type", "TWTY_FIX32");
    *static_cast<TW_RANGE*>(cap.hContainer) =
        TW_RANGE{TWTY_FIX32, 0x00000048u, 0x0000012Cu, 0x80000000u, 0x00000048u, 0x00000064u};
    EXPECT_EQ(SetNewCap(&cap, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Allowed"), "72.000000_to_300.000000,0.500000");
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Current"), "100.000000");
    EXPECT_EQ(key("ICAP_PIXELTYPE", "Default"), "72.000000");
}

TEST_F(CapsTest, AnswersFollowTheContainerKeys) {
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(SetValues(&cap, MSG_GET, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    own(cap);
    ASSERT_EQ(cap.ConType, TWON_ENUMERATION);
    const auto& e = as<TW_ENUMERATION>(cap);
    EXPECT_EQ(e.ItemType, TWTY_UINT16);
    EXPECT_EQ(valueOf(e.NumItems), 3u);
    EXPECT_EQ(valueOf(e.CurrentIndex), 2u);
    EXPECT_EQ(valueOf(e.DefaultIndex), 2u);
    EXPECT_EQ(itemAt(cap, 14, 2, 1), 1u);

    TW_CAPABILITY cur{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(SetValues(&cur, MSG_GETCURRENT, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    own(cur);
    EXPECT_EQ(cur.ConType, TWON_ONEVALUE);
    EXPECT_EQ(valueOf(as<TW_ONEVALUE>(cur).Item), 2u);

    TW_CAPABILITY missing{ICAP_PIXELTYPE, 0, nullptr};
    EXPECT_EQ(SetValues(&missing, MSG_GET, "NONE"), TWCC_BADCAP);
    EXPECT_EQ(handleOf(missing), nullptr);
}

TEST_F(CapsTest, RangeAnswerCarriesNoCurrentOrDefault) {
    setKey("CAP_XFERCOUNT", "Type", "TWTY_INT16");
    setKey("CAP_XFERCOUNT", "Allowed", "-1_to_50,1");
    setKey("CAP_XFERCOUNT", "Current", "7");
    setKey("CAP_XFERCOUNT", "Default", "3");
    setKey("CAP_XFERCOUNT", "Get", "TWON_RANGE");
    TW_CAPABILITY cap{CAP_XFERCOUNT, 0, nullptr};
    ASSERT_EQ(SetValues(&cap, MSG_GET, "CAP_XFERCOUNT"), TWCC_SUCCESS);
    own(cap);
    ASSERT_EQ(cap.ConType, TWON_RANGE);
    const auto& r = as<TW_RANGE>(cap);
    EXPECT_EQ(valueOf(r.MinValue), 0xFFFFFFFFu);
    EXPECT_EQ(valueOf(r.MaxValue), 50u);
    EXPECT_EQ(valueOf(r.StepSize), 1u);
    EXPECT_EQ(valueOf(r.CurrentValue), 0u);
    EXPECT_EQ(valueOf(r.DefaultValue), 0u);

    // A range without a step or without "to_" answers the parts it has.
    setKey("CAP_XFERCOUNT", "Allowed", "4_to_9");
    TW_CAPABILITY partial{CAP_XFERCOUNT, 0, nullptr};
    ASSERT_EQ(SetValues(&partial, MSG_GET, "CAP_XFERCOUNT"), TWCC_SUCCESS);
    own(partial);
    EXPECT_EQ(valueOf(as<TW_RANGE>(partial).MinValue), 4u);
    EXPECT_EQ(valueOf(as<TW_RANGE>(partial).MaxValue), 9u);
    EXPECT_EQ(valueOf(as<TW_RANGE>(partial).StepSize), 0u);
}

TEST_F(CapsTest, Fix32AnswersAreRealNumbers) {
    setKey("ICAP_XRESOLUTION", "Type", "TWTY_FIX32");
    setKey("ICAP_XRESOLUTION", "Allowed", "50.5_to_300.000000,0.25");
    setKey("ICAP_XRESOLUTION", "Current", "72.5");
    setKey("ICAP_XRESOLUTION", "Get", "TWON_RANGE");
    setKey("ICAP_XRESOLUTION", "GetCurrent", "TWON_ONEVALUE");
    TW_CAPABILITY r{ICAP_XRESOLUTION, 0, nullptr};
    ASSERT_EQ(SetValues(&r, MSG_GET, "ICAP_XRESOLUTION"), TWCC_SUCCESS);
    own(r);
    EXPECT_EQ(valueOf(as<TW_RANGE>(r).MinValue), 0x80000032u);
    EXPECT_EQ(valueOf(as<TW_RANGE>(r).MaxValue), 300u);
    EXPECT_EQ(valueOf(as<TW_RANGE>(r).StepSize), 0x40000000u);
    TW_CAPABILITY c{ICAP_XRESOLUTION, 0, nullptr};
    ASSERT_EQ(SetValues(&c, MSG_GETCURRENT, "ICAP_XRESOLUTION"), TWCC_SUCCESS);
    own(c);
    EXPECT_EQ(valueOf(as<TW_ONEVALUE>(c).Item), 0x80000048u);
}

TEST_F(CapsTest, ShapeOfTheValueDecidesBetweenSeveralContainers) {
    setKey("ICAP_PIXELTYPE", "Get", "TWON_ONEVALUE,TWON_ENUMERATION");
    setKey("ICAP_PIXELTYPE", "Allowed", "2");
    TW_CAPABILITY one{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(SetValues(&one, MSG_GET, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    own(one);
    EXPECT_EQ(one.ConType, TWON_ONEVALUE);

    setKey("ICAP_PIXELTYPE", "Allowed", "1,2");
    TW_CAPABILITY list{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(SetValues(&list, MSG_GET, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    own(list);
    EXPECT_EQ(list.ConType, TWON_ENUMERATION);
    EXPECT_EQ(valueOf(as<TW_ENUMERATION>(list).NumItems), 2u);

    setKey("ICAP_PIXELTYPE", "Allowed", "[4,5,6]");
    TW_CAPABILITY array{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(SetValues(&array, MSG_GET, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    own(array);
    EXPECT_EQ(array.ConType, TWON_ARRAY);
    EXPECT_EQ(itemAt(array, 6, 2, 2), 6u);
}

TEST_F(CapsTest, UnknownContainerNameBuildsNothing) {
    setKey("ICAP_PIXELTYPE", "Get", "TWON_SOMETHING");
    plat::MemHandle mine = block(8);
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 42, mine};
    // Nothing to answer with: no success without a container.
    EXPECT_EQ(SetValues(&cap, MSG_GET, "ICAP_PIXELTYPE"), TWCC_BADCAP);
    EXPECT_EQ(handleOf(cap), mine);
    EXPECT_EQ(cap.ConType, 42);
}

TEST_F(CapsTest, ResetWithoutPowerOnOrDefaultChangesNothing) {
    for (const char* missing : {"PowerON", "Default"}) {
        SCOPED_TRACE(missing);
        root.write("windows/PXCM.src", PIXELTYPE_SECTION);
        setKey("ICAP_PIXELTYPE", "Allowed", "TWPT_GRAY");
        setKey("ICAP_PIXELTYPE", "Current", "TWPT_GRAY");
        plat::profileWriteString("ICAP_PIXELTYPE", missing, nullptr, control());
        const std::string before = root.read("windows/PXCM.src");
        EXPECT_EQ(ResetValues("ICAP_PIXELTYPE"), TWCC_BADPROTOCOL);
        EXPECT_EQ(root.read("windows/PXCM.src"), before);
    }
}

TEST_F(CapsTest, LongValueTextsAnswerCompletely) {
    std::string list;
    for (int i = 0; i < 40; ++i) list += (i ? "," : "") + std::to_string(1000 + i);
    ASSERT_GT(list.size(), 79u);
    setKey("ICAP_PIXELTYPE", "Allowed", list);
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(SetValues(&cap, MSG_GET, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    own(cap);
    ASSERT_EQ(valueOf(as<TW_ENUMERATION>(cap).NumItems), 40u);
    EXPECT_EQ(itemAt(cap, 14, 2, 39), 1039u);

    // Far more than a list may hold: cut at the limit, never overrun.
    std::string huge;
    for (int i = 0; i < 2000; ++i) huge += "1,";
    setKey("ICAP_PIXELTYPE", "Allowed", huge);
    TW_CAPABILITY cut{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(SetValues(&cut, MSG_GET, "ICAP_PIXELTYPE"), TWCC_SUCCESS);
    own(cut);
    EXPECT_EQ(valueOf(as<TW_ENUMERATION>(cut).NumItems), LIST_ITEMS_MAX);
}

TEST_F(CapsTest, SetAnswerThatWouldOutgrowTheBlockIsRefused) {
    // The application sends bytes; the capability answers 32-bit items.
    setKey("ICAP_PIXELTYPE", "Type", "TWTY_UINT32");
    setKey("ICAP_PIXELTYPE", "Set", "TWON_ARRAY");
    plat::MemHandle mine = block(6 + 8);
    TW_CAPABILITY cap =
        listContainer(*this, mine, TWON_ARRAY, TWTY_UINT8, {1, 2, 3, 4, 5, 6, 7, 8}, 1);
    if (plat::memSize(mine) >= 6 + 8 * 4) GTEST_SKIP() << "allocator rounds too generously";
    const std::string before = root.read("windows/PXCM.src");
    EXPECT_EQ(SetNewCap(&cap, "ICAP_PIXELTYPE"), TWCC_BADVALUE);
    EXPECT_EQ(root.read("windows/PXCM.src"), before);

    // The answer itself never goes past the block either.
    setKey("ICAP_PIXELTYPE", "Allowed", "[1,2,3,4,5,6,7,8]");
    setLastSetKey("Allowed");
    EXPECT_EQ(SetValues(&cap, MSG_SET, "ICAP_PIXELTYPE"), TWCC_BADVALUE);
    EXPECT_EQ(as<TW_ARRAY>(cap).ItemType, TWTY_UINT8);
}

}  // namespace
}  // namespace testsupport
