// faults_fixture.h — whole acquisitions against the simulated camera with
// its faults switched on: DS_Entry with the POSIX window records, headless
// prompts answered by their safe choice unless scripted, the pictures on
// the camera and what the application received checked afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/memory.h"
#include "support/camera_session.h"

namespace faulttest {

// The texts of the boxes that the system shows.
constexpr char NO_ANSWER[] =
    "Camera does not respond.\nPlease check whether the camera\npower is on, and try again.";
constexpr char NO_CAMERA[] =
    "Camera does not respond.\nPlease check the camera power, cables\nand COM port, and try again.";
constexpr char COMMUNICATION[] =
    "Communication error with camera.\nTurn the camera power off and on again,\nexit the TWAIN "
    "DRIVER screen,\nand ACQUIRE again.";
constexpr char OTHER_COUNT[] =
    "Camera and TWAIN has different number of photos.\nPlease press Update button in advance and "
    "then try it again.";
constexpr char OTHER_PHOTOS[] =
    "Camera and TWAIN has different photos.\nPlease press Update button in advance and then try "
    "it again.";
constexpr char DELETE_FAILED[] =
    "Error happened when deleting.\nPlease check camera and press Update Button";
constexpr char JPEG_ERROR_CAPTION[] = "JPEG Error";

// One picture file of the camera, as the test wrote it.
struct CameraPicture {
    std::string name;
    std::vector<std::uint8_t> jpeg;
    std::vector<std::uint8_t> thumb;
};

class FaultsTest : public testsupport::CameraSession {
protected:
    void SetUp() override {
        if (!simtest::simulatorAvailable()) GTEST_SKIP() << "pxcm-camera is not built";
        setenv("PXCM_UI", "headless", 1);
        unsetenv("PXCM_WINDOW_PNG");
    }
    void TearDown() override {
        finish();
        unsetenv("PXCM_UI");
    }

    // A fresh module state, settings root and picture folder, for each case
    // of a table.
    void begin() {
        finish();
        beginSession("faults test application");
        written.clear();
    }
    // Closes what the case left open and stops the camera.
    void finish() { endSession(); }

    // A 160 x 120 picture (more blocks than its thumbnail) with an 80 x 56
    // thumbnail, both real JPEGs.
    void addPicture(int seed) {
        CameraPicture p;
        char name[16];
        std::snprintf(name, sizeof name, "p%03d", seed);
        p.name = name;
        p.jpeg = testsupport::encodeJpeg(testsupport::patternImage(160, 120, 3, seed));
        p.thumb = testsupport::encodeJpeg(testsupport::patternImage(80, 56, 3, seed + 500));
        simtest::writeFile(pictures() + "/" + p.name + ".jpg", p.jpeg);
        simtest::writeFile(pictures() + "/" + p.name + ".thumb.jpg", p.thumb);
        written.push_back(std::move(p));
    }
    void addPictures(int n) {
        for (int i = 1; i <= n; ++i) addPicture(i);
    }
    void removePicture(const CameraPicture& p) {
        std::filesystem::remove(pictures() + "/" + p.name + ".jpg");
        std::filesystem::remove(pictures() + "/" + p.name + ".thumb.jpg");
    }
    // Data blocks of a download of `bytes` (the last one shorter).
    static long blocks(const std::vector<std::uint8_t>& bytes) {
        return static_cast<long>((bytes.size() + 31) / 32);
    }
    // The picture files on the camera now.
    std::vector<std::string> cameraFiles() const { return testsupport::listFolder(pictures()); }
    std::vector<std::string> writtenFiles() const {
        std::vector<std::string> names;
        for (const CameraPicture& p : written) {
            names.push_back(p.name + ".jpg");
            names.push_back(p.name + ".thumb.jpg");
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // The camera on COM1 with `faults` (pxcm-camera --fault values); every
    // other port leads nowhere.
    void startCamera(const std::vector<std::string>& faults) {
        std::vector<std::string> args;
        for (const std::string& f : faults) {
            args.push_back("--fault");
            args.push_back(f);
        }
        runCamera(args);
    }
    TW_UINT16 enableDS() {
        return userInterface(MSG_ENABLEDS, true, reinterpret_cast<TW_HANDLE>(0x1234));
    }

    // Open and enable; the first paint fetches the thumbnails.
    void enable() {
        ASSERT_EQ(open(), TWRC_SUCCESS);
        ASSERT_EQ(enableDS(), TWRC_SUCCESS);
        ASSERT_NE(g_source.cameraWindow, nullptr);
        send(WM_PAINT);
    }

    void selectAllAndLoad() {
        clickButton(BUTTON_SELECT_ALL);
        clickButton(BUTTON_LOAD);
    }
    int announced() const { return notified(MSG_XFERREADY); }
    int selectedCount() const { return static_cast<int>(selectedPictures().size()); }

    // What the application gets for one announced picture: the image
    // information, then a native transfer; 0 x 0 when nothing came.
    struct Received {
        TW_UINT16 infoRc = 0;
        TW_INT32 width = 0, height = 0;
        TW_UINT16 xferRc = 0;
        std::vector<std::uint8_t> rgb;  // top row first, red, green, blue
    };
    Received acquireOne() {
        Received got;
        TW_IMAGEINFO info{};
        got.infoRc = call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info);
        got.width = info.ImageWidth;
        got.height = info.ImageLength;
        TW_HANDLE dib = nullptr;
        got.xferRc = call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib);
        if (got.xferRc == TWRC_XFERDONE && dib) {
            // A bottom-up DIB of blue, green, red rows after its 40-byte header.
            const auto* p = static_cast<const std::uint8_t*>(plat::memLock(dib));
            std::int32_t w, h;
            std::memcpy(&w, p + 4, 4);
            std::memcpy(&h, p + 8, 4);
            got.width = w;
            got.height = h;
            got.rgb.resize(static_cast<std::size_t>(w) * h * 3);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    for (int c = 0; c < 3; ++c)
                        got.rgb[(static_cast<std::size_t>(y) * w + x) * 3 + c] =
                            p[40 + (static_cast<std::size_t>(h - 1 - y) * w + x) * 3 + 2 - c];
            plat::memUnlock(dib);
            plat::memFree(dib);
        }
        TW_PENDINGXFERS pending{};
        call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
        return got;
    }
    // The picture as libjpeg decodes it, to compare a transfer with.
    static std::vector<std::uint8_t> original(const CameraPicture& p) {
        return testsupport::referenceDecode(p.jpeg).pixels;
    }

    std::vector<std::string> promptTexts() const {
        std::vector<std::string> out;
        for (const auto& p : root->prompts()) out.push_back(p.text);
        return out;
    }
    int promptsWithCaption(const std::string& caption) const {
        int n = 0;
        for (const auto& p : root->prompts())
            if (p.caption == caption) ++n;
        return n;
    }

    std::vector<CameraPicture> written;
};

}  // namespace faulttest
