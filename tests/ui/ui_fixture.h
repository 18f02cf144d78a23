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

#include "camera/camera_module.h"
#include "camera/simulator.h"
#include "image/skin_bitmap.h"
#include "platform/surface.h"
#include "platform/twain.h"
#include "source/entry.h"
#include "source/pending_transfers.h"
#include "source/source_state.h"
#include "support/notifications.h"
#include "support/temp_root.h"
#include "support/test_jpeg.h"
#include "ui/camera_window.h"
#include "ui/layout.h"

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

// A thumbnail cell's top-left corner.
inline int slotLeft(int slot) {
    return 30 + 105 * (slot % 4);
}
inline int slotTop(int slot) {
    return 20 + 114 * (slot / 4);
}

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!simtest::simulatorAvailable()) GTEST_SKIP() << "pxcm-camera is not built";
        resetSourceState();
        resetLinkState();
        resetCameraWindowState();
        dropPendingTransfers();
        testsupport::notifications().clear();
        testsupport::setDsmMode(testsupport::DsmMode::Queue);
        root = std::make_unique<testsupport::TempRoot>();
        setenv("PXCM_UI", "headless", 1);
        setenv("PXCM_WINDOW_PNG", pngPath().c_str(), 1);
        std::filesystem::create_directories(pictures());
        app.Id = 17;
        std::strcpy(app.ProductName, "ui test application");
    }

    void TearDown() override {
        if (g_source.protocolState >= STATE_OPEN) {
            TW_IDENTITY ds = g_source.sourceIdentity;
            call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds);
        }
        cameraLink().closePort();
        sim.reset();
        unsetenv("PXCM_WINDOW_PNG");
        unsetenv("PXCM_UI");
        root.reset();
        resetSourceState();
        resetLinkState();
        resetCameraWindowState();
        dropPendingTransfers();
        testsupport::setDsmMode(testsupport::DsmMode::Queue);
    }

    std::string pictures() const { return root->file("pictures"); }
    std::string cameraLog() const { return root->file("camera.err"); }
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

    // The camera on COM1 (every other port leads nowhere) and the camera
    // settings of the Windows directory.
    void startCamera(std::vector<std::string> args, const std::string& cameraKeys = "") {
        args.insert(args.begin(), {"--dir", pictures(), "--verbose"});
        sim = std::make_unique<simtest::Simulator>(args, cameraLog());
        ASSERT_TRUE(sim->running()) << "the simulator did not start";
        mapPorts(sim->path(), cameraKeys);
    }
    void mapPorts(const std::string& com1, const std::string& cameraKeys) {
        std::string ini = "[Ports]\r\n";
        for (int n = 1; n <= 8; ++n)
            ini += "COM" + std::to_string(n) + "=" +
                   (n == 1 ? com1 : root->file("absent-com" + std::to_string(n))) + "\r\n";
        ini += "[KMT-18]\r\n" +
               (cameraKeys.empty() ? std::string("SPECIAL_INTERVAL_TIME=0\r\n") : cameraKeys);
        root->write("windows/pxcm.ini", ini);
    }

    TW_UINT16 call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return DS_Entry(&app, dg, dat, msg, data);
    }
    TW_UINT16 open() {
        TW_IDENTITY ds{};
        EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &ds), TWRC_SUCCESS);
        ds.Id = 42;
        return call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds);
    }
    TW_UINT16 userInterface(TW_UINT16 msg, bool showUI) {
        TW_USERINTERFACE ui{};
        ui.ShowUI = showUI ? TRUE : FALSE;
        ui.hParent = reinterpret_cast<TW_HANDLE>(0x1234);
        return call(DG_CONTROL, DAT_USERINTERFACE, msg, &ui);
    }
    TW_UINT16 conditionCode() {
        TW_STATUS s{};
        EXPECT_EQ(call(DG_CONTROL, DAT_STATUS, MSG_GET, &s), TWRC_SUCCESS);
        return s.ConditionCode;
    }
    // Open and enable with the window's first paint done.
    void enable(bool firstPaint = true) {
        ASSERT_EQ(open(), TWRC_SUCCESS);
        ASSERT_EQ(userInterface(MSG_ENABLEDS, true), TWRC_SUCCESS);
        ASSERT_NE(g_source.cameraWindow, nullptr);
        if (firstPaint) paint();
    }

    // One window record through MSG_PROCESSEVENT; the return code.
    TW_UINT16 send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        WindowRecord record{message, wParam, lParam};
        TW_EVENT event{&record, 0};
        return call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    }
    // A null pEvent: the source takes one message from its own queue.
    TW_UINT16 turnLoop() {
        TW_EVENT event{nullptr, 0};
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
    void click(int x, int y, uintptr_t keys = MK_LBUTTON) {
        down(x, y, keys);
        up(x, y);
    }
    // The middle of a button's rectangle.
    static int midX(int button) {
        const plat::Rect& r = BUTTON_TABLE[button].rect;
        return (r.left + r.right) / 2;
    }
    static int midY(int button) {
        const plat::Rect& r = BUTTON_TABLE[button].rect;
        return (r.top + r.bottom) / 2;
    }
    void clickButton(int button) { click(midX(button), midY(button)); }
    // The middle of a thumbnail slot.
    void clickSlot(int slot) { click(slotLeft(slot) + 40, slotTop(slot) + 28); }

    ThumbnailList& list() { return *g_window.list; }
    std::vector<int> visiblePictures() {
        std::vector<int> shown;
        for (int s = 0; s < PAGE_SLOTS; ++s)
            if (list().slots[s] != NO_SLOT) shown.push_back(list().slots[s]);
        return shown;
    }
    std::vector<int> selectedPictures() {
        std::vector<int> out;
        for (int i = 0; i < LIST_CELLS; ++i)
            if (list().cell(i) && list().cell(i)->selected) out.push_back(i);
        return out;
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

    int notified(TW_UINT16 msg) const {
        int n = 0;
        for (const auto& note : testsupport::notifications())
            if (note.msg == msg) ++n;
        return n;
    }

    plat::Bitmap window() const { return readPng(pngPath()); }
    plat::Bitmap skin(int id) const { return loadSkinBitmap(g_source.moduleInstance, id); }

    std::unique_ptr<testsupport::TempRoot> root;
    std::unique_ptr<simtest::Simulator> sim;
    TW_IDENTITY app{};
};

}  // namespace uitest
