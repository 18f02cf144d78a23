// backend_entry.cpp — the SANE entry points of the pxcm backend: a thin C
// boundary over the configuration, the device list and the open handles.
// No exception crosses it.
#include <sane/sane.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <fstream>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "camera/camera_device.h"
#include "image/jpeg_decoder.h"
#include "platform/export.h"
#include "sane/backend_config.h"
#include "sane/camera_handle.h"
#include "sane/debug.h"

using sanepxcm::dbg;
using sanepxcm::DBG_CALL;
using sanepxcm::DBG_ERROR;
using sanepxcm::DBG_INFO;

namespace {

constexpr char CONFIG_FILE[] = "pxcm.conf";
constexpr char DEFAULT_CONFIG_DIR[] = "/etc/sane.d";
constexpr SANE_Int BACKEND_BUILD = 1;

struct Backend {
    bool initialised = false;
    BackendConfig config;
    // The devices found, with the strings their records point to.
    std::deque<std::string> names;
    std::vector<SANE_Device> devices;
    std::vector<const SANE_Device*> list{nullptr};
    // One handle per open device, each with its own camera.
    std::vector<std::unique_ptr<CameraHandle>> open;
};

Backend g_backend;

void jpegMessage(const char* text) {
    dbg(DBG_ERROR, "JPEG: %s", text);
}

BackendConfig readConfig() {
    for (const std::string& dir :
         configSearchPath(std::getenv("SANE_CONFIG_DIR"), DEFAULT_CONFIG_DIR)) {
        const std::string path = dir + "/" + CONFIG_FILE;
        std::ifstream in(path);
        if (!in) continue;
        std::ostringstream text;
        text << in.rdbuf();
        BackendConfig config = parseBackendConfig(text.str());
        dbg(DBG_INFO, "configuration %s: %zu devices, speed code %u", path.c_str(),
            config.devices.size(), config.speedCode);
        for (const std::string& problem : config.problems)
            dbg(DBG_ERROR, "%s: %s", path.c_str(), problem.c_str());
        return config;
    }
    dbg(DBG_ERROR, "no %s found: no devices to look at", CONFIG_FILE);
    return {};
}

// What opening `device` would give: SANE_STATUS_GOOD when a camera answers
// there; the port is let go again.
SANE_Status probe(const std::string& device) {
    CameraDevice camera;
    return statusFor(camera.openDevice(device));
}

void addDevice(const std::string& device) {
    Backend& b = g_backend;
    b.names.push_back(device);
    SANE_Device d{};
    d.name = b.names.back().c_str();
    d.vendor = "Orvimex";
    d.model = "Vantrel KMT-18/19";
    d.type = "still camera";
    b.devices.push_back(d);
}

void rebuildList() {
    Backend& b = g_backend;
    b.list.clear();
    for (const SANE_Device& d : b.devices) b.list.push_back(&d);
    b.list.push_back(nullptr);
}

SANE_Status getDevices(const SANE_Device*** deviceList) {
    Backend& b = g_backend;
    if (!b.open.empty()) {
        // An open camera holds its port: no other traffic now. The list found
        // last time stays, with the open cameras in it.
        bool added = false;
        for (const auto& h : b.open) {
            bool listed = false;
            for (const std::string& name : b.names) listed |= name == h->device();
            if (!listed) addDevice(h->device());
            added |= !listed;
        }
        if (added) rebuildList();
        *deviceList = b.list.data();
        return SANE_STATUS_GOOD;
    }
    b.devices.clear();
    b.names.clear();
    for (const std::string& device : b.config.devices) {
        // A configured port that another program holds may well be the
        // camera's: it stays listed, and opening it says it is busy.
        const SANE_Status s = probe(device);
        dbg(DBG_INFO, "get_devices: %s: %s", device.c_str(),
            s == SANE_STATUS_GOOD          ? "camera"
            : s == SANE_STATUS_DEVICE_BUSY ? "held by another program"
                                           : "no camera");
        if (s == SANE_STATUS_GOOD || s == SANE_STATUS_DEVICE_BUSY) addDevice(device);
    }
    rebuildList();
    *deviceList = b.list.data();
    return SANE_STATUS_GOOD;
}

// Only the devices that pxcm.conf names, or that the list found from it, are
// ever opened: through saned any client names the device, and a terminal that
// is not the camera's must not be written to or set up.
bool mayOpen(const std::string& device) {
    const Backend& b = g_backend;
    return std::find(b.config.devices.begin(), b.config.devices.end(), device) !=
               b.config.devices.end() ||
           std::find(b.names.begin(), b.names.end(), device) != b.names.end();
}

SANE_Status openDevice(SANE_String_Const name, SANE_Handle* handle) {
    Backend& b = g_backend;
    std::string device = name ? name : "";
    if (!device.empty() && !mayOpen(device)) {
        dbg(DBG_ERROR, "open: %s is not a device of the configuration", device.c_str());
        return SANE_STATUS_INVAL;
    }
    if (device.empty()) {
        // The first camera found.
        const SANE_Device** list = nullptr;
        (void)getDevices(&list);
        if (!list[0]) return SANE_STATUS_INVAL;
        device = list[0]->name;
    }
    for (const auto& h : b.open)
        if (h->device() == device) return SANE_STATUS_DEVICE_BUSY;
    std::unique_ptr<CameraHandle> h;
    const SANE_Status s = CameraHandle::open(device, b.config.speedCode, h);
    if (s != SANE_STATUS_GOOD) return s;
    b.open.push_back(std::move(h));
    *handle = b.open.back().get();
    return SANE_STATUS_GOOD;
}

// The open handle that `h` is, else null.
CameraHandle* handleOf(SANE_Handle h) {
    for (const auto& open : g_backend.open)
        if (h && h == open.get()) return open.get();
    return nullptr;
}

void closeHandle(SANE_Handle h) {
    auto& open = g_backend.open;
    for (auto it = open.begin(); it != open.end(); ++it)
        if (it->get() == h) {
            open.erase(it);
            return;
        }
}

template <typename F>
SANE_Status guarded(const char* what, F&& f) {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        dbg(DBG_ERROR, "%s: out of memory", what);
        return SANE_STATUS_NO_MEM;
    } catch (...) {
        dbg(DBG_ERROR, "%s: failed", what);
        return SANE_STATUS_IO_ERROR;
    }
}

}  // namespace

extern "C" PXCM_EXPORT SANE_Status sane_pxcm_init(SANE_Int* versionCode, SANE_Auth_Callback) {
    sanepxcm::initDebug();
    dbg(DBG_CALL, "init");
    if (versionCode)
        *versionCode = SANE_VERSION_CODE(SANE_CURRENT_MAJOR, SANE_CURRENT_MINOR, BACKEND_BUILD);
    return guarded("init", [] {
        g_backend.open.clear();
        g_backend.config = readConfig();
        g_backend.initialised = true;
        setJpegMessageSink(jpegMessage);
        return SANE_STATUS_GOOD;
    });
}

extern "C" PXCM_EXPORT void sane_pxcm_exit(void) {
    dbg(DBG_CALL, "exit");
    (void)guarded("exit", [] {
        g_backend = Backend{};
        setJpegMessageSink(nullptr);
        return SANE_STATUS_GOOD;
    });
}

extern "C" PXCM_EXPORT SANE_Status sane_pxcm_get_devices(const SANE_Device*** deviceList,
                                                         SANE_Bool) {
    dbg(DBG_CALL, "get_devices");
    if (!deviceList) return SANE_STATUS_INVAL;
    if (!g_backend.initialised) return SANE_STATUS_INVAL;
    return guarded("get_devices", [&] { return getDevices(deviceList); });
}

extern "C" PXCM_EXPORT SANE_Status sane_pxcm_open(SANE_String_Const name, SANE_Handle* handle) {
    dbg(DBG_CALL, "open %s", name ? name : "(null)");
    if (!handle || !g_backend.initialised) return SANE_STATUS_INVAL;
    *handle = nullptr;
    return guarded("open", [&] { return openDevice(name, handle); });
}

extern "C" PXCM_EXPORT void sane_pxcm_close(SANE_Handle handle) {
    dbg(DBG_CALL, "close");
    (void)guarded("close", [&] {
        closeHandle(handle);
        return SANE_STATUS_GOOD;
    });
}

extern "C" PXCM_EXPORT const SANE_Option_Descriptor* sane_pxcm_get_option_descriptor(
    SANE_Handle handle, SANE_Int option) {
    CameraHandle* h = handleOf(handle);
    return h ? h->descriptor(option) : nullptr;
}

extern "C" PXCM_EXPORT SANE_Status sane_pxcm_control_option(SANE_Handle handle, SANE_Int option,
                                                            SANE_Action action, void* value,
                                                            SANE_Int* info) {
    // saned passes a client's number through: read it as the integer it is
    // and check it before it is used as an action.
    SANE_Word number = 0;
    static_assert(sizeof action == sizeof number, "SANE_Action is a word");
    std::memcpy(&number, &action, sizeof number);
    dbg(DBG_CALL, "control_option %d action %d", option, number);
    if (number != SANE_ACTION_GET_VALUE && number != SANE_ACTION_SET_VALUE &&
        number != SANE_ACTION_SET_AUTO)
        return SANE_STATUS_INVAL;
    CameraHandle* h = handleOf(handle);
    if (!h) return SANE_STATUS_INVAL;
    return guarded("control_option", [&] {
        return h->controlOption(option, static_cast<SANE_Action>(number), value, info);
    });
}

extern "C" PXCM_EXPORT SANE_Status sane_pxcm_get_parameters(SANE_Handle handle,
                                                            SANE_Parameters* params) {
    CameraHandle* h = handleOf(handle);
    if (!h) return SANE_STATUS_INVAL;
    return guarded("get_parameters", [&] { return h->getParameters(params); });
}

extern "C" PXCM_EXPORT SANE_Status sane_pxcm_start(SANE_Handle handle) {
    dbg(DBG_CALL, "start");
    CameraHandle* h = handleOf(handle);
    if (!h) return SANE_STATUS_INVAL;
    return guarded("start", [&] { return h->start(); });
}

extern "C" PXCM_EXPORT SANE_Status sane_pxcm_read(SANE_Handle handle, SANE_Byte* data,
                                                  SANE_Int maxLength, SANE_Int* length) {
    CameraHandle* h = handleOf(handle);
    if (length) *length = 0;
    if (!h) return SANE_STATUS_INVAL;
    return guarded("read", [&] { return h->read(data, maxLength, length); });
}

// May run in a signal handler: the handle only raises its flag.
extern "C" PXCM_EXPORT void sane_pxcm_cancel(SANE_Handle handle) {
    if (CameraHandle* h = handleOf(handle)) h->cancel();
}

// Both belong to a scan: outside one they are refused.
extern "C" PXCM_EXPORT SANE_Status sane_pxcm_set_io_mode(SANE_Handle handle,
                                                         SANE_Bool nonBlocking) {
    CameraHandle* h = handleOf(handle);
    if (!h || !h->inScan()) return SANE_STATUS_INVAL;
    return nonBlocking ? SANE_STATUS_UNSUPPORTED : SANE_STATUS_GOOD;
}

extern "C" PXCM_EXPORT SANE_Status sane_pxcm_get_select_fd(SANE_Handle handle, SANE_Int*) {
    CameraHandle* h = handleOf(handle);
    if (!h || !h->inScan()) return SANE_STATUS_INVAL;
    return SANE_STATUS_UNSUPPORTED;
}
