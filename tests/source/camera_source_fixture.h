// camera_source_fixture.h — the source driven through DS_Entry with the
// simulated camera on COM1 and the headless camera window, clicked through
// the window contract's records; pictures made in the test as JPEG files.
#pragma once

#include <cstring>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "source/transfer_state.h"
#include "support/camera_session.h"

namespace testsupport {

class CameraSourceTest : public CameraSession {
protected:
    void SetUp() override {
        if (!simtest::simulatorAvailable()) GTEST_SKIP() << "pxcm-camera is not built";
        setenv("PXCM_UI", "headless", 1);
        beginSession("transfer test application");
    }

    void TearDown() override {
        endSession();
        unsetenv("PXCM_UI");
    }

    // Picture `name`.jpg of the given size (and an 80 x 56 thumbnail); the
    // JPEG bytes, for comparisons with libjpeg's own decoding.
    std::vector<std::uint8_t> addPicture(const std::string& name, int width, int height,
                                         unsigned seed) {
        const auto jpeg = encodeJpeg(patternImage(width, height, 3, seed));
        simtest::writeFile(pictures() + "/" + name + ".jpg",
                           simtest::Bytes(jpeg.begin(), jpeg.end()));
        const auto thumb = encodeJpeg(patternImage(80, 56, 3, seed + 1000));
        simtest::writeFile(pictures() + "/" + name + ".thumb.jpg",
                           simtest::Bytes(thumb.begin(), thumb.end()));
        return jpeg;
    }

    void startCamera(std::vector<std::string> args = {}) { runCamera(std::move(args)); }

    // Open and enable; the window's first paint fetches the thumbnails.
    void enable() {
        ASSERT_EQ(open(), TWRC_SUCCESS);
        ASSERT_EQ(userInterface(MSG_ENABLEDS, true, nullptr), TWRC_SUCCESS);
        ASSERT_NE(g_source.cameraWindow, nullptr);
        send(WM_PAINT);
        ASSERT_TRUE(g_window.list);
    }

    // The application's loop until the window's queue is empty.
    void drainQueue() {
        for (int i = 0; i < 100; ++i)
            if (turnLoop() != TWRC_DSEVENT) return;
    }
    static int slotX(int slot) { return slotLeft(slot) + 40; }
    static int slotY(int slot) { return slotTop(slot) + 28; }
    void doubleClickSlot(int slot) {
        click(slotX(slot), slotY(slot));
        send(WM_LBUTTONDBLCLK, MK_LBUTTON, pointParam(slotX(slot), slotY(slot)));
        send(WM_LBUTTONUP, 0, pointParam(slotX(slot), slotY(slot)));
    }

    TW_UINT16 imageInfo(TW_IMAGEINFO* info) { return call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, info); }
    TW_UINT16 endTransfer() {
        TW_PENDINGXFERS p{};
        return call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &p);
    }

    // A native transfer; the DIB's rows back as top-down RGB.
    TW_UINT16 nativeTransfer(RawImage* out) {
        TW_HANDLE h = nullptr;
        const TW_UINT16 rc = call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h);
        if (rc != TWRC_XFERDONE) return rc;
        plat::MemBlock dib(h);
        plat::MemLock lock(h);
        std::int32_t w, ht;
        std::memcpy(&w, lock.as<std::uint8_t>() + 4, 4);
        std::memcpy(&ht, lock.as<std::uint8_t>() + 8, 4);
        const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) & ~std::size_t(3);
        out->width = w;
        out->height = ht;
        out->components = 3;
        out->pixels.resize(static_cast<std::size_t>(w) * 3 * ht);
        for (int y = 0; y < ht; ++y) {
            const std::uint8_t* row = lock.as<std::uint8_t>() + 40 + stride * (ht - 1 - y);
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    out->pixels[(static_cast<std::size_t>(y) * w + x) * 3 + c] = row[x * 3 + 2 - c];
        }
        return rc;
    }

    // The pictures (from 1) that the camera sent by 'F', in order.
    std::vector<int> picturesSent() const {
        std::vector<int> out;
        std::ifstream in(cameraLog());
        std::string line;
        const std::regex sent("'F' picture ([0-9]+):");
        std::smatch m;
        while (std::getline(in, line))
            if (std::regex_search(line, m, sent)) out.push_back(std::stoi(m[1]));
        return out;
    }
};

}  // namespace testsupport
