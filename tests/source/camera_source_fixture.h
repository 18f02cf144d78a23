// camera_source_fixture.h — the source driven through DS_Entry with the
// simulated camera on COM1 and the headless camera window, clicked through
// the window contract's records; pictures made in the test as JPEG files.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "camera/camera_module.h"
#include "camera/simulator.h"
#include "platform/twain.h"
#include "platform/window.h"
#include "source/entry.h"
#include "source/pending_transfers.h"
#include "source/source_state.h"
#include "source/transfer_state.h"
#include "support/notifications.h"
#include "support/temp_root.h"
#include "support/test_jpeg.h"
#include "ui/camera_window.h"
#include "ui/layout.h"

namespace testsupport {

class CameraSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!simtest::simulatorAvailable()) GTEST_SKIP() << "pxcm-camera is not built";
        resetSourceState();
        resetLinkState();
        resetCameraWindowState();
        dropPendingTransfers();
        notifications().clear();
        root = std::make_unique<TempRoot>();
        setenv("PXCM_UI", "headless", 1);
        std::filesystem::create_directories(pictures());
        app.Id = 17;
        std::strcpy(app.ProductName, "transfer test application");
    }

    void TearDown() override {
        if (g_source.protocolState >= STATE_OPEN) {
            TW_IDENTITY ds = g_source.sourceIdentity;
            call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds);
        }
        cameraLink().closePort();
        sim.reset();
        unsetenv("PXCM_UI");
        root.reset();
        resetSourceState();
        resetLinkState();
        resetCameraWindowState();
        dropPendingTransfers();
    }

    std::string pictures() const { return root->file("pictures"); }
    std::string cameraLog() const { return root->file("camera.err"); }

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

    // The camera on COM1; every other port leads nowhere.
    void startCamera(std::vector<std::string> args = {}) {
        args.insert(args.begin(), {"--dir", pictures(), "--verbose"});
        sim = std::make_unique<simtest::Simulator>(args, cameraLog());
        ASSERT_TRUE(sim->running()) << "the simulator did not start";
        std::string ini = "[Ports]\r\n";
        for (int n = 1; n <= 8; ++n)
            ini += "COM" + std::to_string(n) + "=" +
                   (n == 1 ? sim->path() : root->file("absent-com" + std::to_string(n))) + "\r\n";
        ini += "[KMT-18]\r\nSPECIAL_INTERVAL_TIME=0\r\n";
        root->write("windows/pxcm.ini", ini);
    }

    TW_UINT16 call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return DS_Entry(&app, dg, dat, msg, data);
    }
    TW_UINT16 conditionCode() {
        TW_STATUS s{};
        EXPECT_EQ(call(DG_CONTROL, DAT_STATUS, MSG_GET, &s), TWRC_SUCCESS);
        return s.ConditionCode;
    }
    // Open and enable; the window's first paint fetches the thumbnails.
    void enable() {
        TW_IDENTITY ds{};
        ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &ds), TWRC_SUCCESS);
        ds.Id = 42;
        ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds), TWRC_SUCCESS);
        TW_USERINTERFACE ui{};
        ui.ShowUI = TRUE;
        ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui), TWRC_SUCCESS);
        ASSERT_NE(g_source.cameraWindow, nullptr);
        send(WM_PAINT);
        ASSERT_TRUE(g_window.list);
    }

    // One window record through MSG_PROCESSEVENT.
    TW_UINT16 send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        plat::EventRecord record{message, wParam, lParam};
        TW_EVENT event{&record, 0};
        return call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    }
    // The application's loop until the window's queue is empty.
    void turnLoop() {
        for (int i = 0; i < 100; ++i) {
            TW_EVENT event{nullptr, 0};
            if (call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) != TWRC_DSEVENT) return;
        }
    }
    void click(int x, int y) {
        send(WM_LBUTTONDOWN, MK_LBUTTON, pointParam(x, y));
        send(WM_LBUTTONUP, 0, pointParam(x, y));
    }
    void clickButton(int button) {
        const plat::Rect& r = BUTTON_TABLE[button].rect;
        click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    static int slotX(int slot) { return 30 + 105 * (slot % 4) + 40; }
    static int slotY(int slot) { return 20 + 114 * (slot / 4) + 28; }
    void clickSlot(int slot) { click(slotX(slot), slotY(slot)); }
    void doubleClickSlot(int slot) {
        click(slotX(slot), slotY(slot));
        send(WM_LBUTTONDBLCLK, MK_LBUTTON, pointParam(slotX(slot), slotY(slot)));
        send(WM_LBUTTONUP, 0, pointParam(slotX(slot), slotY(slot)));
    }

    std::vector<int> selected() const {
        std::vector<int> out;
        for (int i = 0; i < LIST_CELLS; ++i)
            if (g_window.list->cell(i) && g_window.list->cell(i)->selected) out.push_back(i);
        return out;
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

    int notified(TW_UINT16 msg) const {
        int n = 0;
        for (const auto& note : notifications())
            if (note.msg == msg) ++n;
        return n;
    }

    std::unique_ptr<TempRoot> root;
    std::unique_ptr<simtest::Simulator> sim;
    TW_IDENTITY app{};
};

}  // namespace testsupport
