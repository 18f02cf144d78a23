// camera_session.h — the source driven through DS_Entry against the
// simulated camera on COM1 (every other port leads nowhere), headless, with
// the window clicked through its event records: the base of the acquisition,
// window and fault tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "camera/simulator.h"
#include "platform/twain.h"
#include "platform/window.h"
#include "source/entry.h"
#include "source/pending_transfers.h"
#include "source/source_state.h"
#include "support/notifications.h"
#include "support/temp_root.h"
#include "support/test_jpeg.h"
#include "ui/camera_module.h"
#include "ui/camera_window.h"
#include "ui/layout.h"

namespace testsupport {

// A thumbnail cell's top-left corner.
inline int slotLeft(int slot) {
    return slotRect(slot).left;
}
inline int slotTop(int slot) {
    return slotRect(slot).top;
}

class CameraSession : public ::testing::Test {
protected:
    // The module's state as at load.
    static void resetModule() {
        resetSourceState();
        resetCameraDevice();
        resetCameraWindowState();
        dropPendingTransfers();
    }
    // A fresh module state, settings root and picture folder.
    void beginSession(const char* productName) {
        resetModule();
        notifications().clear();
        setDsmMode(DsmMode::Queue);
        root = std::make_unique<TempRoot>();
        std::filesystem::create_directories(pictures());
        app.Id = 17;
        std::strcpy(app.ProductName, productName);
    }
    // Closes what the test left open, stops the camera, drops the root.
    void endSession() {
        if (!root) return;
        if (g_source.protocolState >= STATE_OPEN) {
            TW_IDENTITY ds = g_source.sourceIdentity;
            call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds);
        }
        cameraDevice().close();
        sim.reset();
        root.reset();
        resetModule();
        setDsmMode(DsmMode::Queue);
    }

    std::string pictures() const { return root->file("pictures"); }
    std::string cameraLog() const { return root->file("camera.err"); }

    // pxcm-camera with `args` after its folder and trace options.
    void runCamera(std::vector<std::string> args, const std::string& cameraKeys = "") {
        args.insert(args.begin(), {"--dir", pictures(), "--verbose"});
        sim = std::make_unique<simtest::Simulator>(args, cameraLog());
        ASSERT_TRUE(sim->running()) << "the simulator did not start";
        mapPorts(sim->path(), cameraKeys);
    }
    // COM1 to `com1`, the other ports nowhere, and the camera settings of
    // the Windows directory (a zero special interval unless given).
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
    TW_UINT16 userInterface(TW_UINT16 msg, bool showUI, TW_HANDLE parent) {
        TW_USERINTERFACE ui{};
        ui.ShowUI = showUI ? TRUE : FALSE;
        ui.hParent = parent;
        return call(DG_CONTROL, DAT_USERINTERFACE, msg, &ui);
    }
    TW_UINT16 conditionCode() {
        TW_STATUS s{};
        EXPECT_EQ(call(DG_CONTROL, DAT_STATUS, MSG_GET, &s), TWRC_SUCCESS);
        return s.ConditionCode;
    }

    // One window record through MSG_PROCESSEVENT; the return code.
    TW_UINT16 send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
        plat::EventRecord record{message, wParam, lParam};
        TW_EVENT event{&record, 0};
        return call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    }
    // A null pEvent: the source takes one message from its own queue.
    TW_UINT16 turnLoop() {
        TW_EVENT event{nullptr, 0};
        return call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
    }
    void click(int x, int y, std::uintptr_t keys = MK_LBUTTON) {
        send(WM_LBUTTONDOWN, keys, pointParam(x, y));
        send(WM_LBUTTONUP, 0, pointParam(x, y));
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
    void clickSlot(int slot) { click(slotMiddleX(slot), slotMiddleY(slot)); }

    // The pictures selected in the list, by index.
    std::vector<int> selectedPictures() const {
        std::vector<int> out;
        for (int i = 0; g_window.list && i < LIST_CELLS; ++i)
            if (g_window.list->cell(i) && g_window.list->cell(i)->selected) out.push_back(i);
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
