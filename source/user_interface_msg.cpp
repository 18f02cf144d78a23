// user_interface_msg.cpp — MSG_ENABLEDS finds the camera and creates the
// camera window; MSG_DISABLEDS hides it when asked.
#include "source/user_interface_msg.h"

#include "platform/prompt.h"
#include "platform/trace.h"
#include "platform/window.h"
#include "platform/window_thread.h"
#include "source/error_box.h"
#include "source/notify.h"
#include "source/pending_transfers.h"
#include "source/source_state.h"
#include "source/transfer_state.h"
#include "source/window_release.h"
#include "ui/camera_module.h"
#include "ui/camera_window.h"
#include "ui/window_front_end.h"
#include "ui/window_script.h"

namespace {

constexpr char TRACE_INTERFACE[] = "(PROT) : TW_UINT16 InterfaceMsg";
constexpr char TRACE_ENABLEDS[] = "(PROT) : TW_UINT16 EnableDS";
constexpr char TRACE_DISABLEDS[] = "(PROT) : TW_UINT16 DisableDS";

constexpr char FAIL_INTERFACE[] = "General failure in response to DAT_USERINTERFACE.  ";
constexpr char FAIL_ENABLEDS[] = "General failure in response to MSG_ENABLEDS.  ";
constexpr char FAIL_DISABLEDS[] = "General failure in response to MSG_DISABLEDS.  ";

constexpr char NO_CAMERA[] =
    "Camera does not respond.\nPlease check the camera power, cables\nand COM port, and try "
    "again.";
constexpr char NO_CAMERA_CAPTION[] = "KMT-18/19";

// Scans until the camera answers or the user gives up; false for Cancel. A
// port that another program holds gets the reporter's box for it; no camera
// found, the source's own.
bool findCameraOrGiveUp() {
    CameraDevice& camera = cameraDevice();
    camera.setReporter(&cameraErrorReporter());
    for (;;) {
        const LinkResult r = camera.findCamera();
        if (r == LINK_OK) return true;
        plat::PromptOptions options;
        options.buttons = plat::Buttons::RetryCancel;
        options.icon = plat::Icon::Error;
        options.taskModal = true;
        const bool busy = r == LINK_BUSY;
        const char* text = busy ? reporterMessage(LINK_BUSY).text : NO_CAMERA;
        const char* caption = busy ? reporterMessage(LINK_BUSY).caption : NO_CAMERA_CAPTION;
        if (plat::messageBox(g_source.appWindow, text, caption, options) != plat::ANSWER_RETRY)
            return false;
    }
}

}  // namespace

TW_UINT16 InterfaceMsg(TripletArgs* args) {
    TraceLog(TRACE_INTERFACE);
    auto* ui = static_cast<pTW_USERINTERFACE>(args->data);
    switch (args->msg) {
        case MSG_ENABLEDS:
            return EnableDS(ui);
        case MSG_DISABLEDS:
            return DisableDS(ui);
        default:
            return failWith(TWCC_BADPROTOCOL, FAIL_INTERFACE);
    }
}

namespace {

// What the camera window reaches of the source.
WindowFrontEnd sourceFrontEnd() {
    WindowFrontEnd host;
    host.moduleInstance = g_source.moduleInstance;
    host.announce = [](const std::vector<int>& pictures) { announceTransfers(pictures); };
    host.pendingCount = pendingTransfers;
    host.nextPicture = nextPendingPicture;
    host.dropPending = dropPendingTransfers;
    host.closeRequested = NotifyCloseDSReq;
    return host;
}

// The window script's next message waits until the application has taken
// the pictures of the last Load.
bool readyForScript() {
    return pendingTransfers() == 0;
}

// $PXCM_WINDOW_SCRIPT: lines that the window plays by itself after its
// first paint. A script that cannot be read plays nothing and says why.
void startWindowScript(HWND window) {
    const std::string path = plat::windowScriptPath();
    if (path.empty()) return;
    std::vector<pxcm::WindowMessage> messages;
    std::string error;
    if (!pxcm::readScript(path, &messages, &error)) {
        plat::PromptOptions options;
        options.icon = plat::Icon::Error;
        plat::messageBox(window, ("The window script is not played: " + error).c_str(),
                         NO_CAMERA_CAPTION, options);
        return;
    }
    plat::playWindowScript(window, std::move(messages), readyForScript);
}

}  // namespace

TW_UINT16 EnableDS(pTW_USERINTERFACE ui) {
    TraceLog(TRACE_ENABLEDS);
    if (!protocolStateIn(STATE_OPEN)) return failWith(TWCC_SEQERROR, FAIL_ENABLEDS);
    if (!ui) return failWith(TWCC_BADVALUE, FAIL_ENABLEDS);
    g_source.appWindow = static_cast<HWND>(ui->hParent);
    if (!findCameraOrGiveUp()) return TWRC_CANCEL;

    // Enabled, disabled and enabled again: the old window goes first.
    if (g_source.cameraWindow) releaseCameraWindow();
    plat::startWindowThread();
    setWindowFrontEnd(sourceFrontEnd());
    HWND window = plat::createModelessDialog(g_source.moduleInstance, CAMERA_WINDOW_TEMPLATE,
                                             CameraWindow, 0);
    if (!window || g_window.initFailed) {
        if (window) {
            releaseWindowObjects();
            plat::destroyWindow(window);
        }
        resetCameraWindowState();
        return failWith(TWCC_LOWMEMORY, FAIL_ENABLEDS);
    }
    g_source.cameraWindow = window;
    CameraMessageReporter& reporter = cameraErrorReporter();
    reporter.setOwner(window);
    // The reporter's boxes come in the middle of a camera exchange: the
    // repaint after one draws from what the window holds.
    reporter.setRepaintHook([](void* owner) {
        BusyGuard exchange;
        plat::repaintWindow(static_cast<HWND>(owner));
    });
    reporter.setCancelHook([] { g_window.continueLoading = 0; });
    if (ui->ShowUI) plat::showWindow(window, true);
    g_source.protocolState = STATE_ENABLED;
    startWindowScript(window);
    return TWRC_SUCCESS;
}

TW_UINT16 DisableDS(pTW_USERINTERFACE ui) {
    TraceLog(TRACE_DISABLEDS);
    if (!protocolStateIn(STATE_ENABLED, STATE_XFERREADY))
        return failWith(TWCC_SEQERROR, FAIL_DISABLEDS);
    if (!ui) return failWith(TWCC_BADVALUE, FAIL_DISABLEDS);
    dropPendingTransfers();
    dropCurrentImage();
    if (!ui->ShowUI && g_source.cameraWindow) plat::showWindow(g_source.cameraWindow, false);
    g_source.protocolState = STATE_OPEN;
    return TWRC_SUCCESS;
}
