// The store's settings reads: within one request a section is read once and
// answered from memory exactly as the profile functions would answer.
#include <string>

#include "caps/settings_files.h"
#include "caps_fixture.h"

namespace testsupport {
namespace {

class SettingsReads : public CapsTest {
protected:
    void SetUp() override {
        CapsTest::SetUp();
        root.write("windows/PXCM.src",
                   "[Odd]\r\n"
                   "  Spaced Key  =  spaced value  \r\n"
                   "Quoted=\"in quotes\"\r\n"
                   "Single='x'\r\n"
                   "Half=\"open\r\n"
                   "NoEquals\r\n"
                   "Empty=\r\n"
                   "; Comment=hidden\r\n"
                   "Number= -42abc\r\n"
                   "Dup=first\r\n"
                   "dup=second\r\n"
                   "Long=0123456789\r\n"
                   "[odd]\r\nLater=not seen\r\n");
    }
    // Every way the store reads a key, once straight from the file and once
    // inside a request.
    void expectSameReads(const char* key) {
        char direct[8], cached[8];
        std::string directNumber, cachedNumber;
        unsigned long n1 = caps::readText(control(), "Odd", key, "dflt", direct, sizeof direct);
        unsigned d1 = caps::readNumber(control(), "Odd", key, 7);
        caps::SettingsRequest scope;
        unsigned long n2 = caps::readText(control(), "Odd", key, "dflt", cached, sizeof cached);
        unsigned d2 = caps::readNumber(control(), "ODD", key, 7);
        EXPECT_EQ(n1, n2) << key;
        EXPECT_STREQ(direct, cached) << key;
        EXPECT_EQ(d1, d2) << key;
    }
};

TEST_F(SettingsReads, RequestReadsAnswerAsTheProfileFunctions) {
    for (const char* key :
         {"Spaced Key", "spaced key", " Spaced Key ", "Quoted", "Single", "Half", "NoEquals",
          "Empty", "; Comment", "Comment", "Number", "Dup", "DUP", "Long", "Later", "Missing", ""})
        expectSameReads(key);
}

TEST_F(SettingsReads, SectionListsAreCutAlike) {
    for (unsigned long size : {2ul, 3ul, 10ul, 40ul, 4096ul}) {
        std::string direct(size, 'x'), cached(size, 'y');
        unsigned long n1 = caps::readSection(control(), "Odd", direct.data(), size);
        caps::SettingsRequest scope;
        unsigned long n2 = caps::readSection(control(), "Odd", cached.data(), size);
        EXPECT_EQ(n1, n2) << size;
        EXPECT_EQ(direct.substr(0, n1 + 2 <= size ? n1 + 2 : size),
                  cached.substr(0, n2 + 2 <= size ? n2 + 2 : size))
            << size;
    }
}

TEST_F(SettingsReads, WritesAreSeenWithinTheRequestAndChangesBetweenRequests) {
    {
        caps::SettingsRequest scope;
        EXPECT_EQ(caps::readText(control(), "Odd", "Dup", "", 20), "first");
        // A change behind the request's back is not seen until the next one...
        root.write("windows/PXCM.src", "[Odd]\r\nDup=edited\r\n");
        EXPECT_EQ(caps::readText(control(), "Odd", "Dup", "", 20), "first");
        // ...but the store's own writes are.
        caps::writeText(control(), "Odd", "Dup", "written");
        EXPECT_EQ(caps::readText(control(), "Odd", "Dup", "", 20), "written");
    }
    root.write("windows/PXCM.src", "[Odd]\r\nDup=next request\r\n");
    caps::SettingsRequest scope;
    EXPECT_EQ(caps::readText(control(), "Odd", "Dup", "", 20), "next request");
}

TEST_F(CapsTest, EveryRequestReadsTheFilesAgain) {
    TW_CAPABILITY first{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(capability(MSG_GETCURRENT, first), TWRC_SUCCESS);
    own(first);
    EXPECT_EQ(valueOf(as<TW_ONEVALUE>(first).Item), 2u);
    setKey("ICAP_PIXELTYPE", "Current", "TWPT_GRAY");
    root.write("windows/pxcm.ini", std::string(BASE_DICTIONARY) + "TWPT_BLUE=5\r\n");
    setKey("ICAP_PIXELTYPE", "Current", "TWPT_BLUE");
    TW_CAPABILITY second{ICAP_PIXELTYPE, 0, nullptr};
    ASSERT_EQ(capability(MSG_GETCURRENT, second), TWRC_SUCCESS);
    own(second);
    EXPECT_EQ(valueOf(as<TW_ONEVALUE>(second).Item), 5u);
}

}  // namespace
}  // namespace testsupport
