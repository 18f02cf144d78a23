// Every capability that the installed settings list in CAP_SUPPORTEDCAPS,
// driven through DS_Entry as a careful application would.
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "caps/containers.h"
#include "caps/fix32.h"
#include "caps/settings_files.h"
#include "caps_fixture.h"

namespace testsupport {
namespace {

class Conformance : public CapsTest {
protected:
    void SetUp() override {
        CapsTest::SetUp();
        root.remove("windows/pxcm.ini");
        root.remove("windows/PXCM.src");
        root.installDefaultSettings();
        g_settingsFiles.sourceControlPath[0] = '\0';
    }

    // The answer to one request, the container owned by the test.
    struct Answer {
        TW_UINT16 rc;
        TW_UINT16 cc;
        TW_CAPABILITY cap;
    };
    Answer ask(TW_UINT16 capNumber, TW_UINT16 msg) {
        Answer a{0, 0, TW_CAPABILITY{capNumber, 0, nullptr}};
        a.rc = capability(msg, a.cap);
        own(a.cap);
        a.cc = status();
        return a;
    }

    std::vector<TW_UINT16> supportedCaps() {
        Answer a = ask(CAP_SUPPORTEDCAPS, MSG_GET);
        EXPECT_EQ(a.rc, TWRC_SUCCESS);
        EXPECT_EQ(a.cap.ConType, TWON_ARRAY);
        std::vector<TW_UINT16> caps;
        if (a.rc != TWRC_SUCCESS || a.cap.ConType != TWON_ARRAY) return caps;
        const auto& arr = as<TW_ARRAY>(a.cap);
        EXPECT_EQ(arr.ItemType, TWTY_UINT16);
        for (TW_UINT32 i = 0; i < arr.NumItems; ++i)
            caps.push_back(static_cast<TW_UINT16>(itemAt(a.cap, 6, 2, i)));
        return caps;
    }

    // Container well formed: a known type, a block large enough for what it
    // claims, an item type with a width.
    static void expectWellFormed(const Answer& a, TW_UINT16 itemType, const char* what) {
        ASSERT_EQ(a.rc, TWRC_SUCCESS) << what;
        ASSERT_EQ(a.cc, TWCC_SUCCESS) << what;
        ASSERT_NE(handleOf(a.cap), nullptr) << what;
        std::size_t size = plat::memSize(a.cap.hContainer);
        TW_UINT32 n = 0;
        if (a.cap.ConType == TWON_ENUMERATION)
            n = static_cast<const TW_ENUMERATION*>(a.cap.hContainer)->NumItems;
        else if (a.cap.ConType == TWON_ARRAY)
            n = static_cast<const TW_ARRAY*>(a.cap.hContainer)->NumItems;
        const std::size_t needed = caps::containerBytes(a.cap.ConType, itemType, n);
        ASSERT_NE(needed, 0u) << what << ": container type " << a.cap.ConType;
        EXPECT_GE(size, needed) << what;
        EXPECT_EQ(*static_cast<const TW_UINT16*>(handleOf(a.cap)), itemType) << what;
        EXPECT_NE(caps::itemWidth(itemType), 0u) << what;
        if (a.cap.ConType == TWON_ENUMERATION) {
            const auto& e = *static_cast<const TW_ENUMERATION*>(a.cap.hContainer);
            EXPECT_GT(valueOf(e.NumItems), 0u) << what;
            EXPECT_LT(valueOf(e.CurrentIndex), valueOf(e.NumItems)) << what;
            EXPECT_LT(valueOf(e.DefaultIndex), valueOf(e.NumItems)) << what;
        }
    }

    static TW_UINT32 oneValueItem(const Answer& a) {
        EXPECT_EQ(a.cap.ConType, TWON_ONEVALUE);
        return a.cap.ConType == TWON_ONEVALUE
                   ? static_cast<const TW_ONEVALUE*>(a.cap.hContainer)->Item
                   : 0xDEADBEEFu;
    }
};

TEST_F(Conformance, OffersWhatAnImageSourceMust) {
    const std::vector<TW_UINT16> caps = supportedCaps();
    const std::set<TW_UINT16> offered(caps.begin(), caps.end());
    EXPECT_EQ(offered.size(), caps.size()) << "listed twice";
    for (TW_UINT16 required :
         {CAP_XFERCOUNT, CAP_SUPPORTEDCAPS, CAP_UICONTROLLABLE, CAP_DEVICEONLINE, ICAP_COMPRESSION,
          ICAP_PIXELTYPE, ICAP_BITDEPTH, ICAP_BITORDER, ICAP_PLANARCHUNKY, ICAP_PHYSICALWIDTH,
          ICAP_PHYSICALHEIGHT, ICAP_PIXELFLAVOR, ICAP_UNITS, ICAP_XFERMECH, ICAP_XRESOLUTION,
          ICAP_YRESOLUTION})
        EXPECT_TRUE(offered.count(required)) << "capability " << required;
}

TEST_F(Conformance, EveryCapabilityAnswersEveryGet) {
    for (TW_UINT16 c : supportedCaps()) {
        SCOPED_TRACE("capability " + std::to_string(c));
        Answer get = ask(c, MSG_GET);
        ASSERT_EQ(get.rc, TWRC_SUCCESS);
        const TW_UINT16 itemType = *static_cast<const TW_UINT16*>(get.cap.hContainer);
        expectWellFormed(get, itemType, "MSG_GET");
        Answer cur = ask(c, MSG_GETCURRENT);
        expectWellFormed(cur, itemType, "MSG_GETCURRENT");
        Answer def = ask(c, MSG_GETDEFAULT);
        expectWellFormed(def, itemType, "MSG_GETDEFAULT");

        if (get.cap.ConType == TWON_ENUMERATION && cur.cap.ConType == TWON_ONEVALUE) {
            const auto& e = as<TW_ENUMERATION>(get.cap);
            const std::size_t w = caps::itemWidth(itemType);
            TW_UINT32 mask = w >= 4 ? 0xFFFFFFFFu : (1u << (8 * w)) - 1;
            EXPECT_EQ(itemAt(get.cap, 14, w, valueOf(e.CurrentIndex)), oneValueItem(cur) & mask);
            EXPECT_EQ(itemAt(get.cap, 14, w, valueOf(e.DefaultIndex)), oneValueItem(def) & mask);
        }
        if (get.cap.ConType == TWON_ONEVALUE) {
            EXPECT_EQ(oneValueItem(get), oneValueItem(cur));
        }
    }
}

TEST_F(Conformance, SettingTheCurrentValueSucceedsWhereAllowed) {
    for (TW_UINT16 c : supportedCaps()) {
        SCOPED_TRACE("capability " + std::to_string(c));
        Answer cur = ask(c, MSG_GETCURRENT);
        ASSERT_EQ(cur.rc, TWRC_SUCCESS);
        if (cur.cap.ConType != TWON_ONEVALUE) continue;
        const TW_UINT16 itemType = as<TW_ONEVALUE>(cur.cap).ItemType;
        TW_CAPABILITY set = oneValue(c, itemType, oneValueItem(cur));
        const TW_UINT16 rc = capability(MSG_SET, set);
        const TW_UINT16 cc = status();
        if (rc == TWRC_SUCCESS) {
            EXPECT_EQ(cc, TWCC_SUCCESS);
            EXPECT_EQ(valueOf(as<TW_ONEVALUE>(set).Item), oneValueItem(cur));
            Answer after = ask(c, MSG_GETCURRENT);
            EXPECT_EQ(oneValueItem(after), oneValueItem(cur));
        } else {
            // Read-only capabilities refuse every set, without a box.
            EXPECT_EQ(cc, TWCC_BADVALUE);
            EXPECT_TRUE(root.prompts().empty());
        }
    }
}

TEST_F(Conformance, MandatorySetsAndResetsWork) {
    for (TW_UINT16 c : {CAP_XFERCOUNT, ICAP_BITDEPTH, ICAP_BITORDER, ICAP_PIXELTYPE, ICAP_UNITS,
                        ICAP_XFERMECH, ICAP_XRESOLUTION, ICAP_YRESOLUTION}) {
        SCOPED_TRACE("capability " + std::to_string(c));
        Answer cur = ask(c, MSG_GETCURRENT);
        TW_CAPABILITY set = oneValue(c, as<TW_ONEVALUE>(cur.cap).ItemType, oneValueItem(cur));
        EXPECT_EQ(capability(MSG_SET, set), TWRC_SUCCESS);
        Answer reset = ask(c, MSG_RESET);
        EXPECT_EQ(reset.rc, TWRC_SUCCESS);
        EXPECT_EQ(oneValueItem(reset), oneValueItem(cur));
    }
}

TEST_F(Conformance, ResetBringsBackThePowerOnState) {
    const std::string installed = root.read("windows/PXCM.src");
    // Move what can move away from its power-on value.
    TW_CAPABILITY count = oneValue(CAP_XFERCOUNT, TWTY_INT16, 5);
    ASSERT_EQ(capability(MSG_SET, count), TWRC_SUCCESS);
    TW_CAPABILITY mech = oneValue(ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY);
    ASSERT_EQ(capability(MSG_SET, mech), TWRC_SUCCESS);
    // Only 72 is offered: 150 is refused, 72 taken.
    TW_CAPABILITY res = oneValue(ICAP_XRESOLUTION, TWTY_FIX32, 150);
    ASSERT_EQ(capability(MSG_SET, res), TWRC_FAILURE);
    res = oneValue(ICAP_XRESOLUTION, TWTY_FIX32, 72);
    ASSERT_EQ(capability(MSG_SET, res), TWRC_SUCCESS);
    root.clearPrompts();
    EXPECT_NE(root.read(std::string("windows/PXCM.src")), installed);

    for (TW_UINT16 c : supportedCaps()) {
        Answer reset = ask(c, MSG_RESET);
        if (reset.rc == TWRC_SUCCESS) continue;
        EXPECT_EQ(reset.cc, TWCC_BADPROTOCOL) << c;
    }
    for (const char* section : {"CAP_XFERCOUNT", "ICAP_XFERMECH", "ICAP_XRESOLUTION"}) {
        EXPECT_EQ(key(section, "Allowed"), key(section, "PowerON")) << section;
        EXPECT_EQ(key(section, "Current"), key(section, "Default")) << section;
    }
    Answer mechNow = ask(ICAP_XFERMECH, MSG_GETCURRENT);
    EXPECT_EQ(oneValueItem(mechNow), static_cast<TW_UINT32>(TWSX_NATIVE));
}

TEST_F(Conformance, QuerySupportTellsWhatEachOperationDoes) {
    // An operation is supported when it succeeds and answers a container.
    auto answered = [](const Answer& a) {
        return a.rc == TWRC_SUCCESS && a.cc == TWCC_SUCCESS && handleOf(a.cap) != nullptr &&
               caps::containerBytes(a.cap.ConType, TWTY_UINT8, 0) != 0;
    };
    for (TW_UINT16 c : supportedCaps()) {
        SCOPED_TRACE("capability " + std::to_string(c));
        Answer q = ask(c, MSG_QUERYSUPPORT);
        ASSERT_EQ(q.rc, TWRC_SUCCESS);
        ASSERT_EQ(q.cap.ConType, TWON_ONEVALUE);
        ASSERT_EQ(as<TW_ONEVALUE>(q.cap).ItemType, TWTY_INT32);
        const auto flags = static_cast<TW_INT32>(oneValueItem(q));
        EXPECT_EQ(flags & ~(TWQC_GET | TWQC_GETCURRENT | TWQC_GETDEFAULT | TWQC_SET | TWQC_RESET),
                  0);

        const struct {
            TW_UINT16 msg;
            TW_INT32 flag;
        } gets[] = {{MSG_GET, TWQC_GET},
                    {MSG_GETCURRENT, TWQC_GETCURRENT},
                    {MSG_GETDEFAULT, TWQC_GETDEFAULT}};
        for (const auto& g : gets)
            EXPECT_EQ(answered(ask(c, g.msg)), (flags & g.flag) != 0) << "message " << g.msg;

        // A set of the value in force, sent back in the container that
        // MSG_GETCURRENT answered, in a block of the application's own.
        Answer cur = ask(c, MSG_GETCURRENT);
        ASSERT_NE(handleOf(cur.cap), nullptr);
        const std::size_t bytes = plat::memSize(cur.cap.hContainer);
        TW_CAPABILITY set{c, cur.cap.ConType, block(bytes)};
        std::memcpy(set.hContainer, cur.cap.hContainer, bytes);
        const bool setDone = capability(MSG_SET, set) == TWRC_SUCCESS;
        EXPECT_EQ(status(), setDone ? TWCC_SUCCESS : TWCC_BADVALUE);
        EXPECT_EQ(setDone, (flags & TWQC_SET) != 0);

        EXPECT_EQ(answered(ask(c, MSG_RESET)), (flags & TWQC_RESET) != 0);
    }
    // Asking shows no box, and neither do the answers to what it said.
    EXPECT_TRUE(root.prompts().empty());
    // Every capability can at least be read.
    for (TW_UINT16 c : supportedCaps())
        EXPECT_EQ(oneValueItem(ask(c, MSG_QUERYSUPPORT)) & TWQC_GET, TWQC_GET) << c;
}

TEST_F(Conformance, ValuesTellWhatTheTransfersDeliver) {
    EXPECT_EQ(oneValueItem(ask(ICAP_PIXELTYPE, MSG_GETCURRENT)), static_cast<TW_UINT32>(TWPT_RGB));
    EXPECT_EQ(oneValueItem(ask(ICAP_BITDEPTH, MSG_GETCURRENT)), 24u);
    EXPECT_EQ(oneValueItem(ask(ICAP_COMPRESSION, MSG_GETCURRENT)),
              static_cast<TW_UINT32>(TWCP_NONE));
    EXPECT_EQ(oneValueItem(ask(ICAP_PLANARCHUNKY, MSG_GETCURRENT)),
              static_cast<TW_UINT32>(TWPC_CHUNKY));
    EXPECT_EQ(oneValueItem(ask(CAP_UICONTROLLABLE, MSG_GET)), 0u);

    Answer mech = ask(ICAP_XFERMECH, MSG_GET);
    ASSERT_EQ(mech.cap.ConType, TWON_ENUMERATION);
    std::set<TW_UINT32> mechs;
    for (TW_UINT32 i = 0; i < as<TW_ENUMERATION>(mech.cap).NumItems; ++i)
        mechs.insert(itemAt(mech.cap, 14, 2, i));
    EXPECT_EQ(mechs, (std::set<TW_UINT32>{TWSX_NATIVE, TWSX_MEMORY}));

    // 640 pixels across at the offered resolution.
    TW_FIX32 width = wordToFix32(oneValueItem(ask(ICAP_PHYSICALWIDTH, MSG_GETCURRENT)));
    TW_FIX32 res = wordToFix32(oneValueItem(ask(ICAP_XRESOLUTION, MSG_GETCURRENT)));
    double pixels = (width.Whole + width.Frac / 65536.0) * (res.Whole + res.Frac / 65536.0);
    EXPECT_NEAR(pixels, 640.0, 0.01);

    // A 640-pixel row fits the largest and the preferred memory-transfer
    // buffer: an application that takes the preferred size gets whole rows.
    const unsigned max = plat::profileGetInt("Setup Memory Transfer", "Max", 0, control());
    const unsigned preferred =
        plat::profileGetInt("Setup Memory Transfer", "Preferred", 0, control());
    EXPECT_GE(max, 1920u);
    EXPECT_EQ(plat::profileGetInt("Setup Memory Transfer", "Min", 0, control()), 512u);
    EXPECT_GE(preferred, 1920u);
    EXPECT_LE(preferred, max);
    EXPECT_EQ(plat::profileGetInt("KMT-18", "SERIAL_SPEED", 0, dictionary().c_str()), 15u);
    EXPECT_EQ(plat::profileGetInt("KMT-18", "SPECIAL_INTERVAL_TIME", 0, dictionary().c_str()), 1u);
}

}  // namespace
}  // namespace testsupport
