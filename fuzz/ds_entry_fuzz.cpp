// ds_entry_fuzz.cpp — DS_Entry driven as a careless application would: any
// triplet of any data group, data argument type and message, records of the
// right size or none, capability containers that lie about their items,
// window records while the camera window exists, opens and closes between
// them; the camera answers in-process and may fail any reply. After every
// call the protocol state must be one that the state table allows.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_camera.h"
#include "platform/export.h"
#include "platform/memory.h"
#include "platform/os_types.h"
#include "platform/twain.h"
#include "platform/window.h"
#include "source/entry.h"
#include "source/pending_transfers.h"
#include "source/source_state.h"
#include "source/transfer_state.h"
#include "support/test_jpeg.h"
#include "testsupport/fake_clock.h"
#include "ui/camera_module.h"
#include "ui/camera_window.h"
#include "ui/layout.h"
#include "ui/window_front_end.h"

namespace {

namespace fs = std::filesystem;

std::string g_root;
std::string g_settings[2];  // the installed pxcm.ini and PXCM.src
fuzzcam::Camera g_camera;
testsupport::FakeClock g_clock;
std::vector<fuzzcam::Picture> g_pictures;  // the shapes an input picks from
int g_notifications = 0;

// Reads the input front to back; zeros once it is used up.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | byte() << 8); }
    std::uint32_t u32() { return u16() | static_cast<std::uint32_t>(u16()) << 16; }
    template <typename T, std::size_t N>
    T pick(const T (&values)[N]) {
        return values[byte() % N];
    }
    void fill(void* to, std::size_t n) {
        auto* p = static_cast<std::uint8_t*>(to);
        for (std::size_t i = 0; i < n; ++i) p[i] = byte();
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void removeRoot() {
    std::error_code ec;
    fs::remove_all(g_root, ec);
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

fuzzcam::Bytes jpeg(int w, int h, unsigned seed) {
    return testsupport::encodeJpeg(testsupport::patternImage(w, h, 3, seed));
}

fuzzcam::Picture picture(fuzzcam::Bytes full, fuzzcam::Bytes thumb) {
    fuzzcam::Picture p;
    p.pictureSize = static_cast<std::uint32_t>(full.size());
    p.thumbSize = static_cast<std::uint32_t>(thumb.size());
    p.jpeg = std::move(full);
    p.thumb = std::move(thumb);
    return p;
}

// Pictures of every kind the source must survive: ordinary ones, odd
// sizes, wider than the native transfer's rows, corrupt JPEG, sizes that
// lie or exceed the limits.
void makePictures() {
    for (unsigned s = 1; s <= 4; ++s)
        g_pictures.push_back(picture(jpeg(64, 48, s), jpeg(80, 56, s)));
    g_pictures.push_back(picture(jpeg(640, 6, 5), jpeg(80, 56, 5)));
    g_pictures.push_back(picture(jpeg(700, 3, 6), jpeg(80, 56, 6)));
    g_pictures.push_back(picture(jpeg(1, 1, 7), jpeg(1, 1, 7)));
    g_pictures.push_back(picture(jpeg(33, 3, 8), jpeg(80, 56, 8)));
    fuzzcam::Picture corrupt = picture(jpeg(64, 48, 9), jpeg(80, 56, 9));
    for (std::size_t i = corrupt.jpeg.size() / 3; i < corrupt.jpeg.size(); i += 7)
        corrupt.jpeg[i] ^= 0x5A;
    for (std::size_t i = 20; i < corrupt.thumb.size(); i += 5) corrupt.thumb[i] = 0xFF;
    g_pictures.push_back(corrupt);
    fuzzcam::Picture cut = picture(jpeg(64, 48, 10), jpeg(80, 56, 10));
    cut.jpeg.resize(cut.jpeg.size() / 2);
    cut.thumb.resize(40);
    g_pictures.push_back(cut);
    fuzzcam::Picture lying = picture(jpeg(64, 48, 11), jpeg(80, 56, 11));
    lying.pictureSize += 100;
    lying.thumbSize += 33;
    g_pictures.push_back(lying);
    fuzzcam::Picture huge = picture(jpeg(64, 48, 12), jpeg(80, 56, 12));
    huge.pictureSize = 800001;
    huge.thumbSize = 13001;
    g_pictures.push_back(huge);
    g_pictures.push_back(picture({}, {}));
    g_pictures.push_back(picture({0xFF, 0xD8, 0xFF, 0xD9}, {'n', 'o', 't', 'j', 'p', 'g'}));
}

// --- The application's records ------------------------------------------------

// Heap blocks of exactly the record's size, so that any overrun is seen.
struct Record {
    std::vector<std::uint8_t> bytes;
    void* get() { return bytes.empty() ? nullptr : bytes.data(); }
};

std::size_t recordSize(TW_UINT16 dat) {
    switch (dat) {
        case DAT_IDENTITY:
            return sizeof(TW_IDENTITY);
        case DAT_USERINTERFACE:
            return sizeof(TW_USERINTERFACE);
        case DAT_CAPABILITY:
            return sizeof(TW_CAPABILITY);
        case DAT_STATUS:
            return sizeof(TW_STATUS);
        case DAT_PENDINGXFERS:
            return sizeof(TW_PENDINGXFERS);
        case DAT_SETUPMEMXFER:
            return sizeof(TW_SETUPMEMXFER);
        case DAT_SETUPFILEXFER:
            return sizeof(TW_SETUPFILEXFER);
        case DAT_XFERGROUP:
            return sizeof(TW_UINT32);
        case DAT_EVENT:
            return sizeof(TW_EVENT);
        case DAT_IMAGEINFO:
            return sizeof(TW_IMAGEINFO);
        case DAT_IMAGELAYOUT:
            return sizeof(TW_IMAGELAYOUT);
        case DAT_IMAGEMEMXFER:
            return sizeof(TW_IMAGEMEMXFER);
        case DAT_IMAGENATIVEXFER:
            return sizeof(TW_HANDLE);
        case DAT_CIECOLOR:
            return sizeof(TW_CIECOLOR);
        case DAT_GRAYRESPONSE:
        case DAT_RGBRESPONSE:
            // Sixteen entries, as many as the source reads.
            return sizeof(TW_GRAYRESPONSE) + 15 * sizeof(TW_ELEMENT8);
        case DAT_JPEGCOMPRESSION:
            return sizeof(TW_JPEGCOMPRESSION);
        case DAT_PALETTE8:
            return sizeof(TW_PALETTE8);
        default:
            return 16;
    }
}

TW_IDENTITY g_app{};

TW_UINT16 entry(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data,
                const TW_IDENTITY* origin = &g_app);

bool allowedState() {
    const TW_INT32 s = g_source.protocolState;
    if (s != STATE_LOADED && s != STATE_OPEN && s != STATE_ENABLED && s != STATE_XFERREADY)
        return false;
    // Held by an application exactly while open; a window only while open,
    // and always once enabled.
    if ((s == STATE_LOADED) != (g_source.appIdentity.Id == 0)) return false;
    if (s == STATE_LOADED && g_source.cameraWindow) return false;
    if (s >= STATE_ENABLED && !g_source.cameraWindow) return false;
    return true;
}

TW_UINT16 entry(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, void* data, const TW_IDENTITY* origin) {
    const TW_UINT16 rc =
        DS_Entry(const_cast<TW_IDENTITY*>(origin), dg, dat, msg, static_cast<TW_MEMREF>(data));
    if (!allowedState()) {
        std::fprintf(stderr, "state %d (app %u, window %p) after DG %u DAT 0x%04x MSG 0x%04x\n",
                     static_cast<int>(g_source.protocolState),
                     static_cast<unsigned>(g_source.appIdentity.Id),
                     static_cast<void*>(g_source.cameraWindow), static_cast<unsigned>(dg), dat,
                     msg);
        std::abort();
    }
    if (rc > TWRC_ENDOFLIST) {
        std::fprintf(stderr, "return code %u\n", rc);
        std::abort();
    }
    return rc;
}

void openSource(Input& in) {
    TW_IDENTITY ds{};
    entry(DG_CONTROL, DAT_IDENTITY, MSG_GET, &ds);
    ds.Id = 42;
    if (in.byte() % 8 == 0) ds.Id = in.u32();
    entry(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &ds);
}

void closeSource(const TW_IDENTITY* origin = &g_app) {
    TW_IDENTITY ds = g_source.sourceIdentity;
    entry(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &ds, origin);
}

void userInterface(Input& in, TW_UINT16 msg) {
    Record r{std::vector<std::uint8_t>(sizeof(TW_USERINTERFACE))};
    auto* ui = reinterpret_cast<TW_USERINTERFACE*>(r.get());
    ui->ShowUI = in.byte() % 3 == 0 ? FALSE : TRUE;
    ui->ModalUI = in.byte() & 1;
    ui->hParent = reinterpret_cast<TW_HANDLE>(static_cast<std::uintptr_t>(0x1234));
    entry(DG_CONTROL, DAT_USERINTERFACE, msg, r.get());
}

// --- The window contract ----------------------------------------------------------

LPARAM point(int x, int y) {
    return static_cast<LPARAM>((x & 0xFFFF) | (y & 0xFFFF) << 16);
}

LPARAM anywhere(Input& in) {
    const std::uint8_t where = in.byte();
    if (where < 100) {
        const plat::Rect& r = BUTTON_TABLE[where % LAYOUT_BUTTONS].rect;
        return point((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    if (where < 180) {
        const int slot = where % PAGE_SLOTS;
        return point(slotMiddleX(slot), slotMiddleY(slot));
    }
    if (where < 200) return point(480, 20);                   // logo
    if (where < 220) return point(490, where & 1 ? 43 : 55);  // speed spots
    return static_cast<LPARAM>(static_cast<std::int32_t>(in.u32()));
}

TW_UINT16 record(UINT message, WPARAM wParam, LPARAM lParam) {
    plat::EventRecord r{message, wParam, lParam};
    TW_EVENT event{&r, 0xBEEF};
    return entry(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
}

void windowInput(Input& in, int& idleTurns) {
    static const UINT messages[] = {WM_PAINT,         WM_CLOSE,          WM_KEYDOWN,
                                    WM_MOUSEMOVE,     WM_LBUTTONDOWN,    WM_LBUTTONUP,
                                    WM_LBUTTONDBLCLK, WM_CAPTURECHANGED, WM_TIMER,
                                    WM_INITDIALOG,    WM_RBUTTONDOWN,    WM_APP + 0x51};
    static const WPARAM keys[] = {VK_PRIOR, VK_NEXT, VK_HOME,  VK_END,    VK_UP,
                                  VK_DOWN,  VK_LEFT, VK_RIGHT, VK_ESCAPE, 0x41};
    static const WPARAM buttons[] = {MK_LBUTTON, 0, MK_LBUTTON | MK_SHIFT | MK_CONTROL,
                                     MK_LBUTTON | MK_CONTROL, MK_SHIFT | MK_CONTROL};
    switch (in.byte() % 6) {
        case 0: {  // a click
            const LPARAM at = anywhere(in);
            const WPARAM flags = in.pick(buttons);
            record(WM_LBUTTONDOWN, flags, at);
            if (in.byte() & 1) record(WM_MOUSEMOVE, MK_LBUTTON, anywhere(in));
            record(WM_LBUTTONUP, 0, in.byte() & 1 ? at : anywhere(in));
            return;
        }
        case 1: {  // a double click
            const LPARAM at = anywhere(in);
            record(WM_LBUTTONDOWN, MK_LBUTTON, at);
            record(WM_LBUTTONUP, 0, at);
            record(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            record(WM_LBUTTONUP, 0, at);
            return;
        }
        case 2:
            record(WM_KEYDOWN, in.pick(keys), 0);
            return;
        case 3: {
            const UINT message = in.byte() < 240 ? in.pick(messages) : in.u32();
            const WPARAM w = in.byte() & 1 ? in.pick(buttons) : in.u32();
            record(message, w, anywhere(in));
            return;
        }
        case 4:
            record(WM_PAINT, 0, 0);
            return;
        default: {
            // The application's own loop asks the source to take a message:
            // bounded, since an idle turn waits a little.
            if (idleTurns <= 0) return;
            --idleTurns;
            TW_EVENT event{nullptr, 0};
            entry(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, in.byte() & 7 ? &event : nullptr);
            return;
        }
    }
}

// --- Capabilities -------------------------------------------------------------------

constexpr TW_UINT16 CAP_IDS[] = {1,    256,  257,  258,  259,  4101, 4103, 4110, 4111,
                                 4369, 4370, 4376, 4377, 4380, 4383, 4384, 4395, 0};
constexpr TW_UINT16 MESSAGES[] = {
    MSG_NULL,    MSG_GET,       MSG_GETCURRENT,   MSG_GETDEFAULT, MSG_GETFIRST,   MSG_GETNEXT,
    MSG_SET,     MSG_RESET,     MSG_QUERYSUPPORT, MSG_XFERREADY,  MSG_CLOSEDSREQ, MSG_OPENDS,
    MSG_CLOSEDS, MSG_DISABLEDS, MSG_ENABLEDS,     MSG_ENDXFER,    MSG_USERSELECT, MSG_OPENDSM};

// A container of any type whose NumItems and item type need not fit its block.
plat::MemHandle container(Input& in, TW_UINT16 conType) {
    static const TW_UINT16 itemTypes[] = {TWTY_INT8,   TWTY_INT16,  TWTY_INT32,  TWTY_UINT8,
                                          TWTY_UINT16, TWTY_UINT32, TWTY_BOOL,   TWTY_FIX32,
                                          TWTY_FRAME,  TWTY_STR32,  TWTY_STR255, 0x7777};
    std::size_t size;
    switch (conType) {
        case TWON_ONEVALUE:
            size = sizeof(TW_ONEVALUE);
            break;
        case TWON_RANGE:
            size = sizeof(TW_RANGE);
            break;
        case TWON_ENUMERATION:
            size = sizeof(TW_ENUMERATION) + in.byte() % 64;
            break;
        case TWON_ARRAY:
            size = sizeof(TW_ARRAY) + in.byte() % 64;
            break;
        default:
            size = in.byte() % 48;
            break;
    }
    if (in.byte() % 5 == 0) size = in.byte() % 24;  // a block too small for its type
    plat::MemHandle h = plat::memAlloc(size ? size : 1, true);
    auto* p = static_cast<std::uint8_t*>(plat::memLock(h));
    in.fill(p, size);
    if (size >= 2 && in.byte() & 1) {
        const TW_UINT16 type = in.pick(itemTypes);
        std::memcpy(p, &type, 2);
    }
    if (size >= 6 && (conType == TWON_ENUMERATION || conType == TWON_ARRAY)) {
        // Small counts mostly, so that the honest ones are reached too.
        TW_UINT32 n = in.byte() & 1 ? in.byte() % 8 : in.u32();
        std::memcpy(p + 2, &n, 4);
    }
    plat::memUnlock(h);
    return h;
}

void capability(Input& in) {
    static const TW_UINT16 conTypes[] = {
        TWON_ARRAY, TWON_ENUMERATION, TWON_ONEVALUE, TWON_RANGE, TWON_DONTCARE16, 9, 0};
    TW_CAPABILITY* cap = new TW_CAPABILITY{};
    cap->Cap = in.byte() < 230 ? in.pick(CAP_IDS) : in.u16();
    const TW_UINT16 msg = in.byte() < 240 ? in.pick(MESSAGES) : in.u16();
    cap->ConType = in.pick(conTypes);
    plat::MemHandle given = nullptr;
    if (msg == MSG_SET || in.byte() % 4 == 0) {
        given = container(in, cap->ConType);
        cap->hContainer = given;
    }
    const TW_UINT16 rc = entry(DG_CONTROL, DAT_CAPABILITY, msg, in.byte() % 16 ? cap : nullptr);
    // What the source answers belongs to the application.
    if (cap->hContainer && cap->hContainer != given) plat::memFree(cap->hContainer);
    if (given) plat::memFree(given);
    (void)rc;
    delete cap;
}

// --- Any triplet ------------------------------------------------------------------

void anyTriplet(Input& in) {
    static const TW_UINT32 groups[] = {DG_CONTROL, DG_IMAGE, DG_CONTROL, DG_IMAGE, DG_AUDIO, 0};
    static const TW_UINT16 dats[] = {DAT_NULL,
                                     DAT_CAPABILITY,
                                     DAT_EVENT,
                                     DAT_IDENTITY,
                                     DAT_PARENT,
                                     DAT_PENDINGXFERS,
                                     DAT_SETUPMEMXFER,
                                     DAT_SETUPFILEXFER,
                                     DAT_STATUS,
                                     DAT_USERINTERFACE,
                                     DAT_XFERGROUP,
                                     DAT_IMAGEINFO,
                                     DAT_IMAGELAYOUT,
                                     DAT_IMAGEMEMXFER,
                                     DAT_IMAGENATIVEXFER,
                                     DAT_IMAGEFILEXFER,
                                     DAT_CIECOLOR,
                                     DAT_GRAYRESPONSE,
                                     DAT_RGBRESPONSE,
                                     DAT_JPEGCOMPRESSION,
                                     DAT_PALETTE8,
                                     0x010b,
                                     0x0801};
    const TW_UINT32 dg = in.byte() < 250 ? in.pick(groups) : in.u32();
    const TW_UINT16 dat = in.byte() < 250 ? in.pick(dats) : in.u16();
    const TW_UINT16 msg = in.byte() < 240 ? in.pick(MESSAGES) : in.u16();
    // The memory transfer reads its buffer, the file set-up its name, the UI
    // its window: those are filled so that they point where they may.
    const bool none = in.byte() % 10 == 0;
    Record r{std::vector<std::uint8_t>(none ? 0 : recordSize(dat))};
    if (!none) in.fill(r.get(), r.bytes.size());
    plat::MemHandle buffer = nullptr;
    if (!none && dat == DAT_IMAGEMEMXFER) {
        auto* x = reinterpret_cast<TW_IMAGEMEMXFER*>(r.get());
        x->Memory.Length = in.byte() & 1 ? 1920 : in.u16() % 5000;
        buffer = plat::memAlloc(x->Memory.Length ? x->Memory.Length : 1, false);
        x->Memory.TheMem = buffer;
    }
    if (!none && dat == DAT_SETUPFILEXFER) {
        auto* f = reinterpret_cast<TW_SETUPFILEXFER*>(r.get());
        const char* names[] = {"c:\\twain.bmp", "c:\\missing\\dir\\x.bmp", "c:\\xfer.bmp", ""};
        std::snprintf(f->FileName, sizeof f->FileName, "%s", names[in.byte() % 4]);
    }
    if (!none && dat == DAT_USERINTERFACE)
        reinterpret_cast<TW_USERINTERFACE*>(r.get())->hParent = nullptr;
    if (!none && dat == DAT_EVENT) reinterpret_cast<TW_EVENT*>(r.get())->pEvent = nullptr;
    if (!none && dat == DAT_CAPABILITY)
        reinterpret_cast<TW_CAPABILITY*>(r.get())->hContainer = nullptr;
    const TW_UINT16 rc = entry(dg, dat, msg, r.get());
    if (rc == TWRC_XFERDONE && dat == DAT_IMAGENATIVEXFER && !none) {
        TW_HANDLE h;
        std::memcpy(&h, r.get(), sizeof h);
        if (h) plat::memFree(h);
    }
    if (!none && dat == DAT_CAPABILITY) {
        auto* cap = reinterpret_cast<TW_CAPABILITY*>(r.get());
        if (cap->hContainer) plat::memFree(cap->hContainer);
    }
    if (buffer) plat::memFree(buffer);
}

// What an application does after MSG_XFERREADY: the image information, then
// a native transfer or memory strips until done, then MSG_ENDXFER.
void transfer(Input& in) {
    TW_IMAGEINFO info{};
    entry(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info);
    if (in.byte() & 1) {
        TW_HANDLE h = nullptr;
        if (entry(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &h) == TWRC_XFERDONE && h)
            plat::memFree(h);
    } else {
        const TW_UINT32 length = in.byte() & 1 ? 2048 : 512 + in.u16() % 1600;
        plat::MemHandle buffer = plat::memAlloc(length, false);
        for (int strip = 0; strip < 1200; ++strip) {
            TW_IMAGEMEMXFER x{};
            x.Memory.Flags = TWMF_APPOWNS | (in.byte() % 8 ? TWMF_POINTER : TWMF_HANDLE);
            x.Memory.Length = length;
            x.Memory.TheMem = buffer;
            const TW_UINT16 rc = entry(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &x);
            if (rc != TWRC_SUCCESS || in.byte() == 0xFF) break;
        }
        plat::memFree(buffer);
    }
    TW_PENDINGXFERS pending{};
    entry(DG_CONTROL, DAT_PENDINGXFERS, in.byte() % 5 ? MSG_ENDXFER : MSG_RESET, &pending);
}

void setUpCamera(Input& in) {
    g_camera.reset();
    g_camera.pictures.clear();
    const int count = in.byte() % 17;
    const std::uint8_t shapes = in.byte();
    for (int i = 0; i < count; ++i) {
        // Mostly ordinary pictures; the first header byte's bits make others.
        const std::size_t k = shapes & (1u << (i % 8)) ? in.byte() % g_pictures.size() : i % 4;
        g_camera.pictures.push_back(g_pictures[k]);
    }
    const std::uint8_t flags = in.byte();
    g_camera.firmware = flags & 1 ? 39 : 40;
    g_camera.freeFrames = flags & 2 ? 0 : 20;
    g_camera.modes = flags & 4 ? 0x33 : 0;
    g_camera.battery = flags >> 4;
    g_camera.faultRate = in.byte() % 4 == 0 ? in.byte() % 64 : 0;
}

}  // namespace

// The application's Source Manager entry: the source's notifications.
extern "C" PXCM_EXPORT TW_UINT16 TW_CALLINGSTYLE DSM_Entry(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32,
                                                           TW_UINT16, TW_UINT16, TW_MEMREF) {
    ++g_notifications;
    return TWRC_SUCCESS;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Settings on a memory file system when there is one: sets write with fsync.
    std::string base = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
    std::string tmpl = base + "/pxcm-fuzz-XXXXXX";
    if (!mkdtemp(tmpl.data())) std::abort();
    g_root = tmpl;
    std::atexit(removeRoot);
    fs::create_directories(g_root + "/windows");
    fs::create_directories(g_root + "/tmp");
    setenv("PXCM_ROOT", g_root.c_str(), 1);
    setenv("TMPDIR", (g_root + "/tmp").c_str(), 1);
    setenv("PXCM_UI", "headless", 1);
    setenv("PXCM_PROMPTS", "/dev/null", 1);
    unsetenv("PXCM_ANSWERS");
    unsetenv("PXCM_WINDOW_PNG");
    unsetenv("PXCM_DSM");
    unsetenv("PXCM_SERIAL_LOG");
    g_settings[0] = readText(std::string(PXCM_SOURCE_DIR) + "/resources/settings/pxcm.ini");
    g_settings[1] = readText(std::string(PXCM_SOURCE_DIR) + "/resources/settings/PXCM.src");
    if (g_settings[0].empty() || g_settings[1].empty()) std::abort();
    makePictures();
    g_app.Id = 17;
    std::strcpy(g_app.ProductName, "fuzz application");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    // The state of a fresh load, with the default settings installed.
    resetSourceState();
    resetCameraDevice();
    resetCameraWindowState();
    dropPendingTransfers();
    writeText(g_root + "/windows/pxcm.ini", g_settings[0]);
    writeText(g_root + "/windows/PXCM.src", g_settings[1]);
    std::error_code ec;
    fs::remove(g_root + "/windows/source.$$$", ec);

    setUpCamera(in);
    g_camera.faultByte = [&in] { return in.byte(); };
    const int cameraPort = 1 + in.byte() % 8;
    CameraLink& link = cameraDevice().link();
    link.setClock(&g_clock);
    link.setPortFactory(
        [cameraPort](const std::string& name, bool&) -> std::unique_ptr<plat::SerialPort> {
            if (name != "COM" + std::to_string(cameraPort)) return nullptr;
            g_camera.reset();
            return std::make_unique<testsupport::FakeSerialPort>(g_camera);
        });

    int idleTurns = 4;
    for (int step = 0; step < 96 && !in.done(); ++step) {
        switch (in.byte() % 12) {
            case 0:
                openSource(in);
                break;
            case 1:
                closeSource();
                break;
            case 2:
                userInterface(in, MSG_ENABLEDS);
                break;
            case 3:
                userInterface(in, MSG_DISABLEDS);
                break;
            case 4:
            case 5:
            case 6:
                windowInput(in, idleTurns);
                break;
            case 7:
                capability(in);
                break;
            case 8:
            case 9:
                anyTriplet(in);
                break;
            case 10:
                transfer(in);
                break;
            default: {
                // Another application's triplet while one holds the source.
                TW_IDENTITY other = g_app;
                other.Id = 99;
                TW_IDENTITY ds{};
                entry(DG_CONTROL, in.byte() & 1 ? DAT_IDENTITY : DAT_USERINTERFACE,
                      in.pick(MESSAGES), &ds, &other);
                break;
            }
        }
    }

    // The application goes, as a careless one may: close if open, and the
    // module's port is let go as at unload.
    // (Whichever application holds it.)
    if (g_source.protocolState >= STATE_OPEN) {
        const TW_IDENTITY holder = g_source.appIdentity;
        closeSource(&holder);
    }
    if (g_source.protocolState != STATE_LOADED || g_source.cameraWindow) std::abort();
    g_camera.faultByte = nullptr;
    link.closePort();
    link.setPortFactory(nullptr);
    resetTransferState();
    return 0;
}
