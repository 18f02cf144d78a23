// ui_fixture.h — the camera window driven as an application and a user
// would: DS_Entry with the POSIX window records, the headless host, the
// simulated camera on a pty, prompts and notifications captured.
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "image/skin_bitmap.h"
#include "platform/surface.h"
#include "support/camera_session.h"

namespace uitest {

// The record that TW_EVENT.pEvent points to on POSIX.
struct WindowRecord {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

// A PNG read back into a 24-bit picture (empty when it cannot be read).
inline plat::Bitmap readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    plat::Bitmap out(static_cast<int>(image.width), static_cast<int>(image.height));
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const png_byte* p = &rgb[(static_cast<size_t>(y) * image.width + x) * 3];
            out.setPixel(x, y, plat::rgb(p[0], p[1], p[2]));
        }
    return out;
}

using testsupport::slotLeft;
using testsupport::slotTop;

class UiTest : public testsupport::CameraSession {
protected:
    void SetUp() override {
        if (!simtest::simulatorAvailable()) GTEST_SKIP() << "pxcm-camera is not built";
        setenv("PXCM_UI", "headless", 1);
        beginSession("ui test application");
        setenv("PXCM_WINDOW_PNG", pngPath().c_str(), 1);
    }

    void TearDown() override {
        endSession();
        unsetenv("PXCM_WINDOW_PNG");
        unsetenv("PXCM_UI");
    }

    std::string pngPath() const { return root->file("window.png"); }

    // `n` pictures, each a small JPEG with an 80 x 56 JPEG thumbnail.
    void addPictures(int n, int firstSeed = 1) {
        for (int i = 0; i < n; ++i) addPicture(firstSeed + i);
    }
    void addPicture(int seed) {
        char name[16];
        std::snprintf(name, sizeof name, "p%03d", seed);
        writeJpeg(pictures() + "/" + name + ".jpg", 64, 48, seed);
        writeJpeg(pictures() + "/" + name + ".thumb.jpg", 80, 56, seed + 500);
    }
    static void writeJpeg(const std::string& path, int w, int h, int seed) {
        const auto jpeg = testsupport::encodeJpeg(
            testsupport::patternImage(w, h, 3, static_cast<unsigned>(seed)));
        simtest::writeFile(path, simtest::Bytes(jpeg.begin(), jpeg.end()));
    }
    std::string thumbnailPath(int index) const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(pictures())) {
            const std::string name = e.path().filename().string();
            if (name.size() > 10 && name.compare(name.size() - 10, 10, ".thumb.jpg") == 0)
                names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return pictures() + "/" + names.at(static_cast<size_t>(index));
    }

    void startCamera(std::vector<std::string> args, const std::string& cameraKeys = "") {
        runCamera(std::move(args), cameraKeys);
    }
    TW_UINT16 userInterface(TW_UINT16 msg, bool showUI) {
        return CameraSession::userInterface(msg, showUI, reinterpret_cast<TW_HANDLE>(0x1234));
    }

    // Open and enable with the window's first paint done.
    void enable(bool firstPaint = true) {
        ASSERT_EQ(open(), TWRC_SUCCESS);
        ASSERT_EQ(userInterface(MSG_ENABLEDS, true), TWRC_SUCCESS);
        ASSERT_NE(g_source.cameraWindow, nullptr);
        if (firstPaint) paint();
    }

    // The record as an application builds it.
    TW_UINT16 send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        WindowRecord record{message, wParam, lParam};
        TW_EVENT event{&record, 0};
        return call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    }
    void paint() { send(WM_PAINT); }
    void down(int x, int y, uintptr_t keys = MK_LBUTTON) {
        send(WM_LBUTTONDOWN, keys, pointParam(x, y));
    }
    void move(int x, int y, uintptr_t keys = MK_LBUTTON) {
        send(WM_MOUSEMOVE, keys, pointParam(x, y));
    }
    void up(int x, int y) { send(WM_LBUTTONUP, 0, pointParam(x, y)); }
    ThumbnailList& list() { return *g_window.list; }
    std::vector<int> visiblePictures() {
        std::vector<int> shown;
        for (int s = 0; s < PAGE_SLOTS; ++s)
            if (list().slots[s] != NO_SLOT) shown.push_back(list().slots[s]);
        return shown;
    }
    // The pictures whose thumbnails the camera sent, in order (from its
    // --verbose trace), and the letters of its requests.
    std::vector<int> thumbnailsFetched() const {
        std::vector<int> out;
        std::ifstream in(cameraLog());
        std::string line;
        const std::regex thumb("'H' picture ([0-9]+):");
        std::smatch m;
        while (std::getline(in, line))
            if (std::regex_search(line, m, thumb)) out.push_back(std::stoi(m[1]) - 1);
        return out;
    }
    int cameraLines(const std::string& text) const {
        std::ifstream in(cameraLog());
        std::string line;
        int n = 0;
        while (std::getline(in, line))
            if (line.find(text) != std::string::npos) ++n;
        return n;
    }
    void forgetCameraLog() const { std::ofstream(cameraLog(), std::ios::trunc); }

    plat::Bitmap window() const { return readPng(pngPath()); }
    plat::Bitmap skin(int id) const { return loadSkinBitmap(g_source.moduleInstance, id); }
};

}  // namespace uitest
