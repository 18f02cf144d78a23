// Bad input to capability requests gets a failure code and nothing else:
// no crash, no write past a block, no change to the files.
#include <string>

#include "caps/capability_ops.h"
#include "caps/value_text.h"
#include "caps_fixture.h"

namespace testsupport {
namespace {

class BadInput : public CapsTest {
protected:
    std::string file() const { return root.read("windows/PXCM.src"); }
};

TEST_F(BadInput, MalformedValueTextsNeverCrashAGet) {
    for (const char* text : {"", "_to_", "to_,", ",,,", "[", "]", "[,]", "1_to_", "_to_5,",
                             "x_to_y,z", "99999999999999999999_to_-99999999999999999999,0", "[1,2",
                             "TWPT_RGB]", "-", "+", ".", "1.2.3"}) {
        for (const char* get : {"TWON_ONEVALUE", "TWON_ENUMERATION", "TWON_ARRAY", "TWON_RANGE",
                                "TWON_ONEVALUE,TWON_RANGE"}) {
            setKey("ICAP_PIXELTYPE", "Allowed", text);
            setKey("ICAP_PIXELTYPE", "Current", text);
            setKey("ICAP_PIXELTYPE", "Get", get);
            // An enumeration of no items has no current item to point at.
            const std::string getText = get;
            const bool enumeration =
                getText == "TWON_ENUMERATION" || (getText.find(',') != std::string::npos &&
                                                  caps::shapeOf(text) == caps::Shape::Enumeration);
            const bool noItems = enumeration && caps::splitList(text).empty();
            TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
            EXPECT_EQ(capability(MSG_GET, cap), noItems ? TWRC_FAILURE : TWRC_SUCCESS)
                << text << " " << get;
            own(cap);
            if (noItems) {
                EXPECT_EQ(status(), TWCC_BADVALUE) << text << " " << get;
                EXPECT_EQ(handleOf(cap), nullptr) << text << " " << get;
            } else {
                EXPECT_NE(handleOf(cap), nullptr) << text << " " << get;
            }
        }
    }
}

TEST_F(BadInput, SetAgainstAMalformedRangeIsRefused) {
    for (const char* text : {"1_to_100,0", "1_to_100", "to", "5_to_,", "_to_,"}) {
        setKey("ICAP_PIXELTYPE", "Allowed", text);
        const std::string before = file();
        TW_CAPABILITY cap = oneValue(ICAP_PIXELTYPE, TWTY_UINT16, 5);
        EXPECT_EQ(capability(MSG_SET, cap), TWRC_FAILURE) << text;
        EXPECT_EQ(status(), TWCC_BADVALUE) << text;
        EXPECT_EQ(file(), before) << text;
    }
}

TEST_F(BadInput, UnknownNamesReadAsNinetyNine) {
    setKey("ICAP_PIXELTYPE", "Type", "TWTY_NOTHING");
    setKey("ICAP_PIXELTYPE", "Allowed", "TWPT_NOTHING,TWPT_RGB");
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(capability(MSG_GET, cap), TWRC_SUCCESS);
    own(cap);
    ASSERT_EQ(cap.ConType, TWON_ENUMERATION);
    EXPECT_EQ(as<TW_ENUMERATION>(cap).ItemType, 99);
    EXPECT_EQ(valueOf(as<TW_ENUMERATION>(cap).NumItems), 2u);
    EXPECT_EQ(caps::valueNumber("TWPT_NOTHING", "ICAP_PIXELTYPE", TWTY_UINT16), 99u);
    EXPECT_EQ(caps::valueNumber("TWPT_GRAY", "NO_SECTION", TWTY_UINT16), 99u);
}

TEST_F(BadInput, ContainerTypeThatSetDoesNotListIsRefused) {
    const std::string before = file();
    plat::MemHandle h = block(sizeof(TW_RANGE));
    *static_cast<TW_RANGE*>(h) = TW_RANGE{TWTY_UINT16, 0, 2, 1, 0, 0};
    for (TW_UINT16 conType : {TWON_RANGE, TWON_ENUMERATION, TWON_ARRAY, 0, 99, 0xFFFF}) {
        TW_CAPABILITY cap{ICAP_PIXELTYPE, conType, h};
        EXPECT_EQ(capability(MSG_SET, cap), TWRC_FAILURE) << conType;
        EXPECT_EQ(status(), TWCC_BADVALUE) << conType;
    }
    // A name that the dictionary maps to no TWAIN container.
    std::string dictionary = BASE_DICTIONARY;
    dictionary.insert(dictionary.find("TWON_RANGE=6"), "TWON_STRANGE=9\r\n");
    root.write("windows/pxcm.ini", dictionary);
    setKey("ICAP_PIXELTYPE", "Set", "TWON_STRANGE");
    TW_CAPABILITY strange{ICAP_PIXELTYPE, 9, h};
    EXPECT_EQ(SetNewCap(&strange, "ICAP_PIXELTYPE"), TWCC_BADVALUE);
    setKey("ICAP_PIXELTYPE", "Set", "TWON_ONEVALUE");
    EXPECT_EQ(file(), before);
    EXPECT_TRUE(root.prompts().empty());
}

TEST_F(BadInput, ItemCountFarBeyondTheBlockIsRefused) {
    setKey("ICAP_PIXELTYPE", "Set", "TWON_ENUMERATION,TWON_ARRAY");
    const std::string before = file();
    for (TW_UINT32 n : {100u, 100000u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        plat::MemHandle h = block(16);
        auto* e = static_cast<TW_ENUMERATION*>(h);
        e->ItemType = TWTY_UINT16;
        e->NumItems = n;
        TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ENUMERATION, h};
        EXPECT_EQ(capability(MSG_SET, cap), TWRC_FAILURE) << n;
        EXPECT_EQ(status(), TWCC_BADVALUE) << n;
        auto* a = static_cast<TW_ARRAY*>(h);
        a->NumItems = n;
        TW_CAPABILITY arr{ICAP_PIXELTYPE, TWON_ARRAY, h};
        EXPECT_EQ(capability(MSG_SET, arr), TWRC_FAILURE) << n;
    }
    EXPECT_EQ(file(), before);
}

TEST_F(BadInput, ListItemsWithoutATextFormAreRefused) {
    setKey("ICAP_PIXELTYPE", "Set", "TWON_ARRAY");
    const std::string before = file();
    for (TW_UINT16 itemType : {TWTY_STR32, TWTY_STR255, 99}) {
        plat::MemHandle h = block(64);
        auto* a = static_cast<TW_ARRAY*>(h);
        a->ItemType = itemType;
        a->NumItems = 1;
        TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ARRAY, h};
        EXPECT_EQ(capability(MSG_SET, cap), TWRC_FAILURE) << itemType;
        EXPECT_EQ(status(), TWCC_BADVALUE);
    }
    EXPECT_EQ(file(), before);
}

TEST_F(BadInput, NullContainerAndNullRecord) {
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ONEVALUE, nullptr};
    EXPECT_EQ(capability(MSG_SET, cap), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    EXPECT_EQ(handleOf(cap), nullptr);

    EXPECT_EQ(DS_Entry(&app, DG_CONTROL, DAT_CAPABILITY, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
}

TEST_F(BadInput, UnreadableFilesReadAsMissing) {
    // A directory where the source-control file should be: nothing to read.
    std::string dir = root.file("blocked");
    root.write("blocked/x", "");
    useControlFile(dir);
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
    EXPECT_EQ(capability(MSG_GET, cap), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADCAP);
    TW_CAPABILITY set = oneValue(ICAP_PIXELTYPE, TWTY_UINT16, 1);
    EXPECT_EQ(capability(MSG_SET, set), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);

    // And a dictionary that cannot be read: no capability is known.
    useControlFile(root.windowsDir() + "/PXCM.src");
    root.remove("windows/pxcm.ini");
    root.write("windows/pxcm.ini/x", "");
    TW_CAPABILITY again{ICAP_PIXELTYPE, 0, nullptr};
    EXPECT_EQ(capability(MSG_GET, again), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADCAP);
}

}  // namespace
}  // namespace testsupport
