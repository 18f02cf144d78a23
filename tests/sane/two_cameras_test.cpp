// two_cameras_test.cpp — the backend with two cameras open at once, each on
// its own line: reads interleaved, every picture the one of its own camera,
// pixel for pixel as libjpeg decodes it; and a picture damaged on the line
// on every try is an I/O error that deletes nothing.
#include <gtest/gtest.h>
#include <sane/sane.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "camera/simulator.h"
#include "support/temp_root.h"
#include "support/test_jpeg.h"

extern "C" {
SANE_Status sane_pxcm_init(SANE_Int*, SANE_Auth_Callback);
void sane_pxcm_exit(void);
SANE_Status sane_pxcm_open(SANE_String_Const, SANE_Handle*);
void sane_pxcm_close(SANE_Handle);
SANE_Status sane_pxcm_control_option(SANE_Handle, SANE_Int, SANE_Action, void*, SANE_Int*);
const SANE_Option_Descriptor* sane_pxcm_get_option_descriptor(SANE_Handle, SANE_Int);
SANE_Status sane_pxcm_start(SANE_Handle);
SANE_Status sane_pxcm_read(SANE_Handle, SANE_Byte*, SANE_Int, SANE_Int*);
}

namespace {

struct Camera {
    std::string dir;
    std::vector<uint8_t> jpeg;
    std::unique_ptr<simtest::Simulator> sim;
};

class TwoCameras : public ::testing::Test {
protected:
    void SetUp() override {
        if (!simtest::simulatorAvailable()) GTEST_SKIP() << "pxcm-camera is not built";
    }
    void TearDown() override {
        sane_pxcm_exit();
        unsetenv("SANE_CONFIG_DIR");
    }
    // A camera holding one picture of `width` x `height`, started with `args`.
    Camera start(const std::string& name, int width, int height, unsigned seed,
                 std::vector<std::string> args = {}) {
        Camera c;
        c.dir = root.file(name);
        std::filesystem::create_directories(c.dir);
        c.jpeg = testsupport::encodeJpeg(testsupport::patternImage(width, height, 3, seed));
        simtest::writeFile(c.dir + "/p1.jpg", c.jpeg);
        args.insert(args.begin(), {"--dir", c.dir});
        c.sim = std::make_unique<simtest::Simulator>(args, root.file(name + ".err"));
        return c;
    }
    void configure(const std::vector<const Camera*>& cameras) {
        std::string conf;
        for (const Camera* c : cameras) conf += c->sim->path() + "\n";
        root.write("conf/pxcm.conf", conf + "speed 115200\n");
        setenv("SANE_CONFIG_DIR", root.file("conf").c_str(), 1);
        ASSERT_EQ(sane_pxcm_init(nullptr, nullptr), SANE_STATUS_GOOD);
    }
    static std::vector<uint8_t> readAll(SANE_Handle h, SANE_Status& end) {
        std::vector<uint8_t> out;
        SANE_Byte buf[4096];
        SANE_Int n = 0;
        while ((end = sane_pxcm_read(h, buf, sizeof buf, &n)) == SANE_STATUS_GOOD)
            out.insert(out.end(), buf, buf + n);
        return out;
    }
    testsupport::TempRoot root;
};

TEST_F(TwoCameras, EachHandleGetsItsOwnCamerasPicturePixelExact) {
    Camera a = start("a", 160, 120, 1), b = start("b", 96, 64, 2);
    configure({&a, &b});
    SANE_Handle ha = nullptr, hb = nullptr;
    ASSERT_EQ(sane_pxcm_open(a.sim->path().c_str(), &ha), SANE_STATUS_GOOD);
    ASSERT_EQ(sane_pxcm_open(b.sim->path().c_str(), &hb), SANE_STATUS_GOOD);
    ASSERT_NE(ha, hb);
    // The same device twice is busy.
    SANE_Handle again = nullptr;
    EXPECT_EQ(sane_pxcm_open(a.sim->path().c_str(), &again), SANE_STATUS_DEVICE_BUSY);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(sane_pxcm_start(ha), SANE_STATUS_GOOD);
        ASSERT_EQ(sane_pxcm_start(hb), SANE_STATUS_GOOD);
        SANE_Status endA, endB;
        const std::vector<uint8_t> gotB = readAll(hb, endB);
        const std::vector<uint8_t> gotA = readAll(ha, endA);
        EXPECT_EQ(endA, SANE_STATUS_EOF);
        EXPECT_EQ(endB, SANE_STATUS_EOF);
        EXPECT_EQ(gotA, testsupport::referenceDecode(a.jpeg).pixels) << "round " << round;
        EXPECT_EQ(gotB, testsupport::referenceDecode(b.jpeg).pixels) << "round " << round;
    }
    sane_pxcm_close(ha);
    // The other stays open and working after one closes.
    ASSERT_EQ(sane_pxcm_start(hb), SANE_STATUS_GOOD);
    SANE_Status end;
    EXPECT_EQ(readAll(hb, end), testsupport::referenceDecode(b.jpeg).pixels);
    sane_pxcm_close(hb);
}

TEST_F(TwoCameras, DamagedOnceIsFetchedAgainDamagedAlwaysDeletesNothing) {
    Camera once = start("once", 320, 240, 3, {"--fault", "corrupt-block:20"});
    // Damage that the decoder can see: the protocol has no checksum, and a
    // damaged block may decode into wrong pixels without a complaint.
    Camera always = start("always", 320, 240, 4,
                          {"--fault", "corrupt-block-always:30", "--fault",
                           "corrupt-block-always:60", "--fault", "corrupt-block-always:90"});
    configure({&once, &always});
    struct Case {
        const Camera* camera;
        SANE_Status start;
        size_t picturesLeft;
    };
    for (const Case& c :
         {Case{&once, SANE_STATUS_GOOD, 0}, Case{&always, SANE_STATUS_IO_ERROR, 1}}) {
        SCOPED_TRACE(c.camera->dir);
        SANE_Handle h = nullptr;
        ASSERT_EQ(sane_pxcm_open(c.camera->sim->path().c_str(), &h), SANE_STATUS_GOOD);
        SANE_Bool yes = SANE_TRUE;
        bool set = false;
        for (SANE_Int o = 1; o < 16 && !set; ++o) {
            const SANE_Option_Descriptor* d = sane_pxcm_get_option_descriptor(h, o);
            if (d && d->name && std::string(d->name) == "delete-after-download")
                set = sane_pxcm_control_option(h, o, SANE_ACTION_SET_VALUE, &yes, nullptr) ==
                      SANE_STATUS_GOOD;
        }
        ASSERT_TRUE(set);
        ASSERT_EQ(sane_pxcm_start(h), c.start);
        if (c.start == SANE_STATUS_GOOD) {
            SANE_Status end;
            EXPECT_EQ(readAll(h, end), testsupport::referenceDecode(c.camera->jpeg).pixels);
            EXPECT_EQ(end, SANE_STATUS_EOF);
        }
        sane_pxcm_close(h);
        EXPECT_EQ(testsupport::listFolder(c.camera->dir).size(), c.picturesLeft);
    }
}

}  // namespace
