// camera_e2e_test.cpp — the camera link against the simulated camera over a
// real pty: the port scan, downloads by both methods at both fast rates, and
// the camera's faults leading to the failure paths and their messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "simulator.h"
#include "support/temp_root.h"
#include "ui/camera_module.h"

using simtest::Bytes;
using simtest::Simulator;

namespace {

class CameraE2E : public ::testing::Test {
protected:
    void SetUp() override {
        if (!simtest::simulatorAvailable()) GTEST_SKIP() << "pxcm-camera is not built";
        root = std::make_unique<testsupport::TempRoot>();
        std::filesystem::create_directories(pictures());
    }
    void TearDown() override {
        link.reset();
        sims.clear();
        root.reset();
    }

    std::string pictures() const { return root->file("pictures"); }
    std::string stderrFile() const { return root->file("camera.err"); }

    Simulator& start(std::vector<std::string> args) {
        sims.push_back(std::make_unique<Simulator>(args, stderrFile()));
        EXPECT_TRUE(sims.back()->running()) << "the simulator did not start";
        return *sims.back();
    }

    // COM1..COM8 all lead somewhere known: the given devices, else nowhere.
    void mapPorts(const std::vector<std::pair<int, std::string>>& devices) {
        std::string ini = "[Ports]\r\n";
        for (int n = 1; n <= 8; ++n) {
            std::string device = root->file("absent-com" + std::to_string(n));
            for (const auto& [m, d] : devices)
                if (m == n) device = d;
            ini += "COM" + std::to_string(n) + "=" + device + "\r\n";
        }
        root->write("windows/pxcm.ini", ini);
    }

    // A link that scans COM1 to COM8, as the data source's does.
    std::unique_ptr<CameraLink> scanningLink() {
        auto l = std::make_unique<CameraLink>();
        l->setPortFactory(systemPortFactory());
        return l;
    }

    // A link that has found the camera on COM1.
    CameraLink& connect(const Simulator& sim) {
        mapPorts({{1, sim.path()}});
        link = scanningLink();
        EXPECT_EQ(link->findCamera(&reporter), LINK_OK);
        return *link;
    }

    std::unique_ptr<testsupport::TempRoot> root;
    std::vector<std::unique_ptr<Simulator>> sims;
    std::unique_ptr<CameraLink> link;
    CameraMessageReporter reporter;
};

Bytes downloaded(const CameraLink& l) {
    return Bytes(l.downloadData(), l.downloadData() + l.downloadSize());
}

TEST_F(CameraE2E, ScanSkipsAbsentAndSilentPortsAndFindsTheCameraOnCom3) {
    simtest::addPicture(pictures(), "a", 100, 10, 1);
    simtest::addPicture(pictures(), "b", 200, 20, 2);
    Simulator& silent = start({"--fault", "silent"});
    Simulator& camera = start({"--dir", pictures(), "--free", "7", "--battery", "2"});
    mapPorts({{2, silent.path()}, {3, camera.path()}});

    link = scanningLink();
    ASSERT_EQ(link->findCamera(&reporter), LINK_OK);
    EXPECT_EQ(link->foundPort(), 3);
    EXPECT_TRUE(link->port());
    EXPECT_EQ(link->reporter(), &reporter);
    EXPECT_EQ(link->status().pictureCount, 2);
    EXPECT_EQ(link->status().freeFrames, 7);
    EXPECT_EQ(link->status().batteryLevel, 2);
    EXPECT_TRUE(root->prompts().empty());

    // The port stays open and answers the next request.
    ASSERT_EQ(link->readFirmwareVersion(), LINK_OK);
    EXPECT_DOUBLE_EQ(link->firmwareVersion(), 4.0);
}

TEST_F(CameraE2E, NoCameraAnywhereIsABadReplyWithoutQuestions) {
    Simulator& silent = start({"--fault", "silent"});
    mapPorts({{5, silent.path()}});
    link = scanningLink();
    EXPECT_EQ(link->findCamera(&reporter), LINK_BAD_REPLY);
    EXPECT_FALSE(link->port());
    EXPECT_TRUE(root->prompts().empty());
}

TEST_F(CameraE2E, ABadStatusHeaderMakesTheScanGoOn) {
    Simulator& wrong = start({"--fault", "bad-header:P"});
    Simulator& camera = start({});
    mapPorts({{1, wrong.path()}, {4, camera.path()}});
    link = scanningLink();
    ASSERT_EQ(link->findCamera(&reporter), LINK_OK);
    EXPECT_EQ(link->foundPort(), 4);
}

// A link's own factory opens device paths only: a front end that never scans
// (the SANE backend, opened by a network client) cannot be led through
// pxcm.ini's port names to a terminal it was not configured for.
TEST_F(CameraE2E, OnlyTheScanningFactoryKnowsTheComNames) {
    Simulator& camera = start({});
    mapPorts({{2, camera.path()}});
    CameraLink plain;
    EXPECT_EQ(plain.openCamera("COM2", &reporter), LINK_NO_PORT);
    EXPECT_EQ(plain.findCamera(&reporter), LINK_BAD_REPLY);
    EXPECT_EQ(plain.openCamera(camera.path(), &reporter), LINK_OK);
    plain.closePort();
    link = scanningLink();
    EXPECT_EQ(link->openCamera("COM2", &reporter), LINK_OK);
}

// --- Downloads -------------------------------------------------------------------

struct Method {
    const char* firmware;
    uint8_t speedCode;
};

class DownloadE2E : public CameraE2E, public ::testing::WithParamInterface<Method> {};

TEST_P(DownloadE2E, EveryDownloadEqualsTheCamerasFile) {
    const Method m = GetParam();
    simtest::addPicture(pictures(), "p1", 100000, 20, 11);
    simtest::addPicture(pictures(), "p2", 100001, 13000, 12);
    simtest::addPicture(pictures(), "p3", 800000, 13001, 13);
    simtest::addPicture(pictures(), "p4", 800001, -1, 14);
    Simulator& sim = start({"--dir", pictures(), "--firmware", m.firmware, "--check-rate"});
    CameraLink& l = connect(sim);
    ASSERT_EQ(l.readFirmwareVersion(), LINK_OK);
    link->setLineOptions({m.speedCode, 1});

    const std::vector<std::pair<int, std::string>> pictureFiles = {
        {0, "p1.jpg"}, {1, "p2.jpg"}, {2, "p3.jpg"}};
    for (const auto& [index, file] : pictureFiles) {
        SCOPED_TRACE(file);
        ASSERT_EQ(l.downloadPicture(index, nullptr), LINK_OK);
        EXPECT_EQ(downloaded(l), simtest::readFile(pictures() + "/" + file));
    }
    const std::vector<std::pair<int, std::string>> thumbnails = {{0, "p1.thumb.jpg"},
                                                                 {1, "p2.thumb.jpg"}};
    for (const auto& [index, file] : thumbnails) {
        SCOPED_TRACE(file);
        ASSERT_EQ(l.downloadThumbnail(index, nullptr), LINK_OK);
        EXPECT_EQ(downloaded(l), simtest::readFile(pictures() + "/" + file));
    }
    // A picture without thumbnail has one of size 0.
    ASSERT_EQ(l.downloadThumbnail(3, nullptr), LINK_OK);
    EXPECT_EQ(l.downloadSize(), 0);

    // One byte over the limits: the thumbnail quietly, the picture with its box.
    EXPECT_EQ(l.downloadThumbnail(2, nullptr), LINK_TOO_BIG);
    EXPECT_TRUE(root->prompts().empty());
    EXPECT_EQ(l.downloadPicture(3, nullptr), LINK_TOO_BIG);
    const auto prompts = root->prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].caption, "Twain cannot make such big memoryKMT-18/19");
    EXPECT_EQ(prompts[0].text, "Camera required big memory allocation.\n");
}

INSTANTIATE_TEST_SUITE_P(BothMethodsBothRates, DownloadE2E,
                         ::testing::Values(Method{"3.9", SPEED_115200}, Method{"4.0", SPEED_56000},
                                           Method{"4.0", SPEED_115200}),
                         [](const ::testing::TestParamInfo<Method>& info) {
                             return std::string(info.param.firmware[0] == '3' ? "Stepped"
                                                                              : "Addressed") +
                                    (info.param.speedCode == SPEED_115200 ? "115200" : "56000");
                         });

TEST_F(CameraE2E, RetriedBlocksStillGiveTheExactPicture) {
    simtest::addPicture(pictures(), "p1", 5000, 100, 21);
    // A request lost once, and a block cut short on five tries of six.
    Simulator& sim = start({"--dir", pictures(), "--firmware", "4.0", "--fault", "fail-block:5:1",
                            "--fault", "cut-block:7:5"});
    CameraLink& l = connect(sim);
    ASSERT_EQ(l.readFirmwareVersion(), LINK_OK);
    link->setLineOptions({SPEED_115200, 1});
    ASSERT_EQ(l.downloadPicture(0, nullptr), LINK_OK);
    EXPECT_EQ(downloaded(l), simtest::readFile(pictures() + "/p1.jpg"));
    EXPECT_TRUE(root->prompts().empty());
}

TEST_F(CameraE2E, CorruptedBlockLandsOnlyInItsPlace) {
    // The line has no checksums: the link cannot see a corrupted block, but
    // it must put every block at its own offset.
    simtest::addPicture(pictures(), "p1", 1000, 100, 22);
    Simulator& sim = start({"--dir", pictures(), "--fault", "corrupt-block:3"});
    CameraLink& l = connect(sim);
    ASSERT_EQ(l.readFirmwareVersion(), LINK_OK);
    link->setLineOptions({SPEED_115200, 1});
    const Bytes file = simtest::readFile(pictures() + "/p1.jpg");
    ASSERT_EQ(l.downloadPicture(0, nullptr), LINK_OK);
    const Bytes first = downloaded(l);
    ASSERT_EQ(first.size(), file.size());
    for (size_t i = 0; i < file.size(); ++i) {
        const bool inBlock3 = i >= 96 && i < 128;
        ASSERT_EQ(first[i], inBlock3 ? file[i] ^ 0xA5 : file[i]) << "byte " << i;
    }
    ASSERT_EQ(l.downloadPicture(0, nullptr), LINK_OK);
    EXPECT_EQ(downloaded(l), file);
}

// --- Faults ---------------------------------------------------------------------

const char* const COMMUNICATION =
    "Communication error with camera.\nTurn the camera power off and on again,\nexit the TWAIN "
    "DRIVER screen,\nand ACQUIRE again.";

TEST_F(CameraE2E, CameraFallingSilentAsksAndCancelStops) {
    Simulator& sim = start({"--fault", "silent-after:1"});
    CameraLink& l = connect(sim);
    int cancels = 0;
    reporter.setCancelHook([&] { ++cancels; });
    root->setAnswers("cancel");
    EXPECT_EQ(l.requestStatus(), LINK_NO_ANSWER);
    EXPECT_EQ(cancels, 1);
    const auto prompts = root->prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].caption, "KMT-18/19");
    EXPECT_EQ(
        prompts[0].text,
        "Camera does not respond.\nPlease check whether the camera\npower is on, and try again.");
    EXPECT_EQ(prompts[0].buttons, "retrycancel");
    EXPECT_EQ(prompts[0].icon, "error");
}

TEST_F(CameraE2E, WrongCaptureAndDeletionRepliesShowTheCommunicationError) {
    simtest::addPicture(pictures(), "p1", 100, 10, 31);
    Simulator& sim =
        start({"--dir", pictures(), "--fault", "bad-header:S", "--fault", "bad-header:L"});
    CameraLink& l = connect(sim);
    EXPECT_EQ(l.takePicture(), LINK_BAD_REPLY);
    EXPECT_EQ(l.deletePicture(0), LINK_BAD_REPLY);
    const auto prompts = root->prompts();
    ASSERT_EQ(prompts.size(), 2u);
    for (const auto& p : prompts) {
        EXPECT_EQ(p.caption, "KMT-18/19");
        EXPECT_EQ(p.text, COMMUNICATION);
        EXPECT_EQ(p.buttons, "ok");
    }
    // The other requests still work.
    EXPECT_EQ(l.setModeT(1), LINK_OK);
    EXPECT_EQ(l.status().modeT, 1);
}

TEST_F(CameraE2E, ShortOrWrongInformationFailsTheDownloadQuietly) {
    for (const char* fault : {"short:F", "bad-header:F"}) {
        SCOPED_TRACE(fault);
        simtest::addPicture(pictures(), "p1", 3000, 100, 41);
        Simulator& sim = start({"--dir", pictures(), "--fault", fault});
        CameraLink& l = connect(sim);
        ASSERT_EQ(l.readFirmwareVersion(), LINK_OK);
        link->setLineOptions({SPEED_115200, 1});
        EXPECT_EQ(l.downloadPicture(0, nullptr), LINK_BAD_REPLY);
        EXPECT_FALSE(l.downloadData());
        EXPECT_TRUE(root->prompts().empty());
        // The camera is reachable again at 9600 baud.
        EXPECT_EQ(l.setModeQ(1), LINK_OK);
        link.reset();
        sims.clear();
    }
}

TEST_F(CameraE2E, ThumbnailBlockFailingFourTriesAborts) {
    simtest::addPicture(pictures(), "p1", 3000, 500, 51);
    Simulator& sim = start({"--dir", pictures(), "--firmware", "4.0", "--fault", "fail-block:1:4"});
    CameraLink& l = connect(sim);
    ASSERT_EQ(l.readFirmwareVersion(), LINK_OK);
    link->setLineOptions({SPEED_115200, 1});
    EXPECT_EQ(l.downloadThumbnail(0, nullptr), LINK_BLOCK_FAILED);
    EXPECT_FALSE(l.downloadData());
    const auto prompts = root->prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, COMMUNICATION);
    // The stop bytes ended the transfer: the camera answers again.
    EXPECT_EQ(l.requestStatus(), LINK_OK);
    EXPECT_EQ(l.status().pictureCount, 1);
}

TEST_F(CameraE2E, SteppedTransferThatStopsFailsAtTheFirstMissingBlock) {
    simtest::addPicture(pictures(), "p1", 3000, 500, 61);
    Simulator& sim =
        start({"--dir", pictures(), "--firmware", "3.9", "--fault", "stop-after-blocks:10"});
    CameraLink& l = connect(sim);
    ASSERT_EQ(l.readFirmwareVersion(), LINK_OK);
    link->setLineOptions({SPEED_56000, 1});
    EXPECT_EQ(l.downloadPicture(0, nullptr), LINK_BLOCK_FAILED);
    const auto prompts = root->prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, COMMUNICATION);
}

TEST_F(CameraE2E, RequestsChangeTheCamera) {
    simtest::addPicture(pictures(), "p1", 300, 30, 71);
    simtest::addPicture(pictures(), "p2", 400, 40, 72);
    simtest::addPicture(pictures(), "p3", 500, 50, 73);
    Simulator& sim = start({"--dir", pictures(), "--free", "2"});
    CameraLink& l = connect(sim);
    ASSERT_EQ(l.readPictureInfo(1), LINK_OK);
    EXPECT_EQ(l.pictureInfo().pictureSize, 400u);
    EXPECT_EQ(l.pictureInfo().thumbnailSize, 40u);

    ASSERT_EQ(l.deletePicture(0), LINK_OK);
    EXPECT_EQ(l.status().pictureCount, 2);
    ASSERT_EQ(l.readPictureInfo(0), LINK_OK);
    EXPECT_EQ(l.pictureInfo().pictureSize, 400u);

    ASSERT_EQ(l.setModeQ(1), LINK_OK);
    EXPECT_EQ(l.status().modeQ, 1);
    ASSERT_EQ(l.setCameraClock(clockBytes(2001, 2, 3, 4, 5)), LINK_OK);
    ASSERT_EQ(l.requestStatus(), LINK_OK);
    EXPECT_EQ(l.status().clockYear, 2001);
    EXPECT_EQ(l.status().clockMonth, 2);
    EXPECT_EQ(l.status().clockDay, 3);
    EXPECT_EQ(l.status().clockHour, 4);
}

}  // namespace
