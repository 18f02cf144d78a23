// linux_app.cpp — a Linux TWAIN 2.x application of the common kind, written
// only against the published TWAIN header and a Source Manager library: it
// registers DAT_CALLBACK, never sends MSG_PROCESSEVENT, waits on a
// semaphore that the callback posts, transfers while Count is not 0, then
// disables and closes. Each case of its table checks the pictures pixel by
// pixel against the camera's decoded originals, and Count and the state
// after every MSG_ENDXFER.
// Usage: linux_app MANAGER REFERENCE_DIR WORK_DIR CASE...   (CASE "list" lists them)
// REFERENCE_DIR holds picture-N.ppm (binary P6); the camera is the one
// that the settings under $PXCM_ROOT name. Case "sdl" shows the window and
// waits for clicks from outside (three pictures, then Load).
#include <dlfcn.h>
#include <semaphore.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "twain.h"

namespace {

enum class Style {
    Wait,         // the main thread waits for the callback, then transfers
    Skip,         // the first picture ended without a transfer
    Reset,        // MSG_RESET after the first picture
    InCallback,   // every picture taken inside the notification
    OtherThread,  // a thread asks DAT_IMAGEINFO the moment the callback posts
};

struct Case {
    const char* name;
    TW_UINT16 protocolMinor;  // of protocol 2.x
    TW_UINT16 mechanism;      // TWSX_NATIVE or TWSX_MEMORY
    const char* script;       // the window script; nullptr: clicks from outside
    int xferCount;            // CAP_XFERCOUNT (-1: all); the source keeps it for later sessions
    Style style;
    int announced;              // Count of the one MSG_XFERREADY
    std::vector<int> pictures;  // camera numbers that must arrive, in order
};

// 2.2 and later: the manager refuses a call into the source while the
// callback still runs, so those cases wait for it (see managerCall). The
// cases that call from inside the notification, or race it on purpose,
// run at 2.1, which the manager lets through to the source.
const Case CASES[] = {
    {"native", 2, TWSX_NATIVE, "select 1,3,5\nload\n", -1, Style::Wait, 3, {1, 3, 5}},
    {"memory", 2, TWSX_MEMORY, "select 1,3,5\nload\n", -1, Style::Wait, 3, {1, 3, 5}},
    {"all", 2, TWSX_MEMORY, "select all\nload\n", -1, Style::Wait, 6, {1, 2, 3, 4, 5, 6}},
    {"skip", 2, TWSX_NATIVE, "select 1,3,5\nload\n", -1, Style::Skip, 3, {3, 5}},
    {"reset", 2, TWSX_NATIVE, "select 1,3,5\nload\n", -1, Style::Reset, 3, {1}},
    {"xfercount-1", 2, TWSX_NATIVE, "select 1,3,5\nload\n", 1, Style::Wait, 1, {1}},
    {"xfercount-2", 2, TWSX_MEMORY, "select 1,3,5\nload\n", 2, Style::Wait, 2, {1, 3}},
    {"in-callback", 1, TWSX_NATIVE, "select 2,4,6\nload\n", -1, Style::InCallback, 3, {2, 4, 6}},
    {"other-thread", 1, TWSX_MEMORY, "select 2,4,6\nload\n", -1, Style::OtherThread, 3, {2, 4, 6}},
    {"sdl", 2, TWSX_NATIVE, nullptr, -1, Style::Wait, 3, {1, 2, 3}},
};

DSMENTRYPROC g_dsm = nullptr;
TW_IDENTITY g_app{};
TW_IDENTITY g_source{};
sem_t g_ready;
std::atomic<int> g_xferReady{0};
std::atomic<int> g_closeRequested{0};
const Case* g_case = nullptr;
std::string g_failure;  // first failure of the case
std::vector<int> g_arrived;
std::vector<std::vector<unsigned char>> g_references;  // RGB rows by camera number - 1
std::vector<int> g_refWidth, g_refHeight;

bool onScreen() {
    const char* ui = std::getenv("PXCM_UI");
    return ui && std::strcmp(ui, "sdl") == 0;
}

void failCase(const std::string& why) {
    if (g_failure.empty()) g_failure = why;
}

TW_UINT16 ds(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    return g_dsm(&g_app, &g_source, dg, dat, msg, data);
}

TW_UINT16 conditionCode() {
    TW_STATUS status{};
    if (ds(DG_CONTROL, DAT_STATUS, MSG_GET, &status) != TWRC_SUCCESS) return 0xffff;
    return status.ConditionCode;
}

// The first call after a notification: a 2.2 manager answers TWCC_SEQERROR
// until the callback that posted the semaphore has returned to it.
TW_UINT16 managerCall(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    for (int i = 0;; ++i) {
        const TW_UINT16 rc = ds(dg, dat, msg, data);
        if (rc != TWRC_FAILURE || i == 2000 || conditionCode() != TWCC_SEQERROR) return rc;
        usleep(500);
    }
}

TW_UINT16 TW_CALLINGSTYLE callback(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32 dg, TW_UINT16 dat,
                                   TW_UINT16 msg, TW_MEMREF);

bool readPpm(const std::string& path, std::vector<unsigned char>* rgb, int* w, int* h) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int max = 0;
    if (!(in >> magic >> *w >> *h >> max) || magic != "P6" || max != 255) return false;
    in.get();
    rgb->assign(std::size_t(*w) * *h * 3, 0);
    return bool(in.read(reinterpret_cast<char*>(rgb->data()), rgb->size()));
}

// The picture that arrived (RGB rows, top first) against the camera's.
void checkPicture(int number, int w, int h, const std::vector<unsigned char>& rgb) {
    const std::size_t i = std::size_t(number - 1);
    if (i >= g_references.size() || g_references[i].empty())
        return failCase("no reference for picture " + std::to_string(number));
    if (w != g_refWidth[i] || h != g_refHeight[i])
        return failCase("picture " + std::to_string(number) + " is " + std::to_string(w) + " x " +
                        std::to_string(h));
    std::size_t differ = 0;
    for (std::size_t k = 0; k < rgb.size(); k += 3)
        if (std::memcmp(&rgb[k], &g_references[i][k], 3) != 0) ++differ;
    if (differ)
        failCase("picture " + std::to_string(number) + " differs in " + std::to_string(differ) +
                 " pixels");
}

// Which camera number the k-th arrival of a case is.
int expectedNumber() {
    const std::size_t k = g_arrived.size();
    return k < g_case->pictures.size() ? g_case->pictures[k] : -1;
}

bool receiveNative(int* w, int* h, std::vector<unsigned char>* rgb) {
    TW_MEMREF handle = nullptr;
    const TW_UINT16 rc = ds(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
    if (rc != TWRC_XFERDONE || !handle) {
        failCase("DAT_IMAGENATIVEXFER answered " + std::to_string(rc));
        return false;
    }
    // On Linux a TWAIN handle is a pointer from malloc, the application's now.
    const auto* dib = static_cast<const unsigned char*>(handle);
    TW_INT32 width, height;
    TW_UINT16 bits;
    TW_UINT32 colours;
    std::memcpy(&width, dib + 4, 4);
    std::memcpy(&height, dib + 8, 4);
    std::memcpy(&bits, dib + 14, 2);
    std::memcpy(&colours, dib + 32, 4);
    if (bits != 24 || width <= 0 || height <= 0) {
        std::free(handle);
        failCase("the native transfer is no 24-bit bottom-up DIB");
        return false;
    }
    const std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    const unsigned char* pixels = dib + 40 + colours * 4;
    *w = width;
    *h = height;
    rgb->resize(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = pixels + stride * std::size_t(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            unsigned char* out = &(*rgb)[(std::size_t(y) * width + x) * 3];
            out[0] = row[x * 3 + 2];
            out[1] = row[x * 3 + 1];
            out[2] = row[x * 3];
        }
    }
    std::free(handle);
    return true;
}

bool receiveMemory(const TW_IMAGEINFO& info, int* w, int* h, std::vector<unsigned char>* rgb) {
    TW_SETUPMEMXFER setup{};
    if (ds(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) != TWRC_SUCCESS) {
        failCase("DAT_SETUPMEMXFER failed");
        return false;
    }
    *w = info.ImageWidth;
    *h = info.ImageLength;
    const std::size_t rowBytes = std::size_t(*w) * 3;
    rgb->assign(rowBytes * *h, 0);
    std::vector<unsigned char> buffer(setup.Preferred);
    for (int calls = 0; calls <= *h; ++calls) {
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
        xfer.Memory.Length = setup.Preferred;
        xfer.Memory.TheMem = buffer.data();
        const TW_UINT16 rc = ds(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) {
            failCase("DAT_IMAGEMEMXFER answered " + std::to_string(rc));
            return false;
        }
        if (xfer.BytesPerRow != rowBytes ||
            std::size_t(xfer.YOffset + xfer.Rows) * rowBytes > rgb->size()) {
            failCase("a memory strip lies outside the picture");
            return false;
        }
        std::memcpy(rgb->data() + std::size_t(xfer.YOffset) * rowBytes, buffer.data(),
                    xfer.BytesWritten);
        if (rc == TWRC_XFERDONE) return true;
    }
    failCase("the memory transfer does not end");
    return false;
}

TW_INT16 endTransfer(TW_UINT16 msg) {
    TW_PENDINGXFERS pending{};
    if (ds(DG_CONTROL, DAT_PENDINGXFERS, msg, &pending) != TWRC_SUCCESS) {
        failCase("DAT_PENDINGXFERS answered failure");
        return 0;
    }
    return pending.Count;
}

// Count after an MSG_ENDXFER, and the state it stands for: 6 while more are
// to come (MSG_GET answers the same count), 5 at 0 (DAT_IMAGEINFO is then
// out of sequence; asked only headless, as the source's error box for it
// would wait for a click on screen).
void checkCount(TW_INT16 count, int expected) {
    if (count != expected)
        failCase("Count " + std::to_string(count) + " after picture " +
                 std::to_string(g_arrived.size()) + ", not " + std::to_string(expected));
    if (count > 0) {
        TW_PENDINGXFERS pending{};
        if (ds(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending) != TWRC_SUCCESS ||
            pending.Count != count)
            failCase("MSG_GET of DAT_PENDINGXFERS does not answer the count in state 6");
    } else if (!onScreen()) {
        TW_IMAGEINFO info{};
        if (ds(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_FAILURE ||
            conditionCode() != TWCC_SEQERROR)
            failCase("DAT_IMAGEINFO at Count 0 is not out of sequence (state 5)");
    }
}

// The pictures of one announcement, while Count is not 0.
void takePictures(bool first) {
    int remaining = g_case->announced;
    TW_PENDINGXFERS pending{};
    const TW_UINT16 got = first ? managerCall(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending)
                                : ds(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending);
    if (got != TWRC_SUCCESS || pending.Count != remaining)
        failCase("Count " + std::to_string(pending.Count) + " right after the announcement, not " +
                 std::to_string(remaining));
    bool skipped = false;
    while (remaining > 0 && g_failure.empty()) {
        if (g_case->style == Style::Skip && !skipped) {
            skipped = true;
            const TW_INT16 count = endTransfer(MSG_ENDXFER);
            checkCount(count, --remaining);
            continue;
        }
        TW_IMAGEINFO info{};
        const TW_UINT16 rc = ds(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info);
        if (rc != TWRC_SUCCESS) return failCase("DAT_IMAGEINFO answered " + std::to_string(rc));
        int w = 0, h = 0;
        std::vector<unsigned char> rgb;
        const bool ok = g_case->mechanism == TWSX_NATIVE ? receiveNative(&w, &h, &rgb)
                                                         : receiveMemory(info, &w, &h, &rgb);
        if (!ok) return;
        checkPicture(expectedNumber(), w, h, rgb);
        g_arrived.push_back(expectedNumber());
        TW_INT16 count = endTransfer(MSG_ENDXFER);
        if (g_case->style == Style::Reset && count > 0) {
            count = endTransfer(MSG_RESET);
            remaining = 1;  // MSG_RESET: Count 0 at once
        }
        checkCount(count, --remaining);
        if (count == 0) return;
    }
}

TW_UINT16 TW_CALLINGSTYLE callback(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32 dg, TW_UINT16 dat,
                                   TW_UINT16 msg, TW_MEMREF) {
    if (dg != DG_CONTROL || dat != DAT_NULL) return TWRC_FAILURE;
    if (msg == MSG_CLOSEDSREQ) {
        g_closeRequested = 1;
        sem_post(&g_ready);
        return TWRC_SUCCESS;
    }
    if (msg != MSG_XFERREADY) return TWRC_SUCCESS;
    ++g_xferReady;
    if (g_case->style == Style::InCallback) {
        takePictures(false);
        sem_post(&g_ready);
        return TWRC_SUCCESS;
    }
    sem_post(&g_ready);
    // Still inside the notification while the other thread already calls.
    if (g_case->style == Style::OtherThread)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return TWRC_SUCCESS;
}

bool waitReady(int seconds) {
    timespec until{};
    clock_gettime(CLOCK_REALTIME, &until);
    until.tv_sec += seconds;
    while (sem_timedwait(&g_ready, &until) != 0)
        if (errno != EINTR) return false;
    return true;
}

bool setOneValue(TW_UINT16 cap, TW_UINT16 type, TW_UINT32 value) {
    TW_CAPABILITY c{};
    c.Cap = cap;
    c.ConType = TWON_ONEVALUE;
    auto* one = static_cast<pTW_ONEVALUE>(std::malloc(sizeof(TW_ONEVALUE)));
    one->ItemType = type;
    one->Item = value;
    c.hContainer = one;
    const TW_UINT16 rc = ds(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &c);
    std::free(one);
    return rc == TWRC_SUCCESS;
}

// One case from open to close.
void runCase(const Case& c, const std::string& work) {
    g_case = &c;
    g_failure.clear();
    g_arrived.clear();
    g_xferReady = 0;
    g_closeRequested = 0;
    if (c.script) {
        const std::string path = work + "/" + c.name + ".script";
        std::ofstream(path) << c.script;
        setenv("PXCM_WINDOW_SCRIPT", path.c_str(), 1);
    } else {
        unsetenv("PXCM_WINDOW_SCRIPT");
    }
    g_app.ProtocolMinor = c.protocolMinor;
    if (g_dsm(&g_app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &g_source) != TWRC_SUCCESS)
        return failCase("MSG_OPENDS failed");
    TW_CALLBACK cb{};
    cb.CallBackProc = reinterpret_cast<TW_MEMREF>(&callback);
    if (ds(DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &cb) != TWRC_SUCCESS)
        failCase("DAT_CALLBACK was refused");
    if (!setOneValue(ICAP_XFERMECH, TWTY_UINT16, c.mechanism)) failCase("ICAP_XFERMECH refused");
    if (!setOneValue(CAP_XFERCOUNT, TWTY_INT16, TW_UINT32(TW_INT16(c.xferCount)) & 0xffff))
        failCase("CAP_XFERCOUNT refused");
    TW_USERINTERFACE ui{};
    ui.ShowUI = 1;
    if (g_failure.empty() && ds(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS)
        failCase("MSG_ENABLEDS failed");
    if (g_failure.empty()) {
        std::printf("enabled %s\n", c.name);
        std::fflush(stdout);
        if (!waitReady(120)) {
            failCase("no MSG_XFERREADY came");
        } else if (g_closeRequested) {
            failCase("MSG_CLOSEDSREQ instead of MSG_XFERREADY");
        } else if (c.style == Style::OtherThread) {
            std::thread worker([] { takePictures(true); });
            worker.join();
        } else if (c.style != Style::InCallback) {
            takePictures(true);
        }
        // Disabled at Count 0, as the standard tells the application to.
        ds(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    }
    if (g_xferReady > 1)
        failCase(std::to_string(g_xferReady.load()) + " MSG_XFERREADY for one Load");
    if (g_arrived != c.pictures) {
        std::string got;
        for (int n : g_arrived) got += " " + std::to_string(n);
        failCase("pictures arrived:" + (got.empty() ? std::string(" none") : got));
    }
    g_dsm(&g_app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &g_source);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "list") == 0) {
        for (const Case& c : CASES) std::printf("%s\n", c.name);
        return 0;
    }
    if (argc < 5) {
        std::fprintf(stderr, "usage: linux_app MANAGER REFERENCE_DIR WORK_DIR CASE...\n");
        return 2;
    }
    void* lib = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        std::fprintf(stderr, "linux_app: %s\n", dlerror());
        return 2;
    }
    g_dsm = reinterpret_cast<DSMENTRYPROC>(dlsym(lib, "DSM_Entry"));
    for (int n = 1; n <= 6; ++n) {
        std::vector<unsigned char> rgb;
        int w = 0, h = 0;
        readPpm(std::string(argv[2]) + "/picture-" + std::to_string(n) + ".ppm", &rgb, &w, &h);
        g_references.push_back(rgb);
        g_refWidth.push_back(w);
        g_refHeight.push_back(h);
    }
    sem_init(&g_ready, 0, 0);
    g_app.Version.MajorNum = 1;
    g_app.Version.Language = TWLG_USA;
    g_app.Version.Country = TWCY_USA;
    std::strcpy(g_app.Version.Info, "linux_app");
    g_app.ProtocolMajor = 2;
    g_app.ProtocolMinor = 2;
    g_app.SupportedGroups = DF_APP2 | DG_CONTROL | DG_IMAGE;
    std::strcpy(g_app.Manufacturer, "Test");
    std::strcpy(g_app.ProductFamily, "Test");
    std::strcpy(g_app.ProductName, "linux_app");
    TW_MEMREF parent = nullptr;
    if (!g_dsm ||
        g_dsm(&g_app, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent) != TWRC_SUCCESS) {
        std::fprintf(stderr, "linux_app: MSG_OPENDSM failed\n");
        return 2;
    }
    // Our source, by name, from the manager's list.
    bool found = false;
    for (TW_UINT16 msg = MSG_GETFIRST; !found; msg = MSG_GETNEXT) {
        TW_IDENTITY id{};
        if (g_dsm(&g_app, nullptr, DG_CONTROL, DAT_IDENTITY, msg, &id) != TWRC_SUCCESS) break;
        if (std::strstr(id.ProductName, "KMT-18/19")) {
            g_source = id;
            found = true;
        }
    }
    if (!found) {
        std::fprintf(stderr, "linux_app: the manager lists no KMT-18/19 source\n");
        return 2;
    }
    const TW_IDENTITY listed = g_source;
    int failures = 0;
    for (int i = 4; i < argc; ++i) {
        const Case* c = nullptr;
        for (const Case& k : CASES)
            if (std::strcmp(k.name, argv[i]) == 0) c = &k;
        if (!c) {
            std::fprintf(stderr, "linux_app: no case %s\n", argv[i]);
            return 2;
        }
        g_source = listed;
        const auto start = std::chrono::steady_clock::now();
        runCase(*c, argv[3]);
        const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count();
        if (g_failure.empty()) {
            std::printf("ok   %s (%lld ms)\n", c->name, ms);
        } else {
            std::printf("FAIL %s: %s\n", c->name, g_failure.c_str());
            ++failures;
        }
        std::fflush(stdout);
    }
    g_dsm(&g_app, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent);
    return failures ? 1 : 0;
}
