// gui_soak.cpp — long use of the Windows source's window in one process:
// cycles of listing the sources, open, enable with the camera window, paint
// the thumbnails, click the first one and Load, take the picture by native
// and by memory transfer in turn, disable and close, through a real Source Manager, with the
// process's GDI and USER object counts and its kernel handles printed as
// they go, and whether the manager keeps the source loaded between cycles.
// Usage: gui_soak.exe MANAGER CYCLES
// Exit code 0 when every cycle did its work and no count grew after the
// tenth cycle.
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "platform/twain.h"
#include "tests/wine/twain_app.h"
#include "ui/layout.h"

namespace {

constexpr char CAPTION[] = " Vantrel Digital Camera KMT-18/19 TWAIN Driver ver 1.6";
// The first thumbnail cell's middle, in the window's client pixels.
constexpr int CELL_X = 70, CELL_Y = 48;
constexpr DWORD WAIT_MS = 60000;

struct Counts {
    long gdi = 0;
    long user = 0;
    long handles = 0;
};

// The GDI objects of the process by probing every handle index: wine's
// GetGuiResources answers 0, and wine takes a handle's index alone.
long probeGdiObjects() {
    long n = 0;
    for (ULONG_PTR i = 1; i < 0x10000; ++i)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0) ++n;
    return n;
}

// The kernel handles of the process (ports, events, threads, files) by
// probing: wine's GetProcessHandleCount answers 0.
std::set<ULONG_PTR> kernelHandles() {
    std::set<ULONG_PTR> out;
    DWORD flags = 0;
    for (ULONG_PTR h = 4; h < 0x10000; h += 4)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) out.insert(h);
    return out;
}

// A handle's object type and name ("Key \REGISTRY\..."), so that a count that
// grows says what grows.
std::string describeHandle(ULONG_PTR h) {
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    // Looked up at each call: a function's static would add a lock's
    // semaphore of its own to the handles counted.
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    std::string out;
    for (int what : {2, 1}) {  // ObjectTypeInformation, ObjectNameInformation
        alignas(8) unsigned char buffer[1024];
        ULONG length = 0;
        if (!query || query(reinterpret_cast<HANDLE>(h), what, buffer, sizeof buffer, &length) != 0)
            continue;
        const auto* text = reinterpret_cast<const UNICODE_STRING*>(buffer);
        if (!out.empty()) out += ' ';
        for (USHORT i = 0; i < text->Length / 2; ++i) out += static_cast<char>(text->Buffer[i]);
    }
    return out.empty() ? "?" : out;
}

BOOL CALLBACK countChild(HWND, LPARAM count) {
    ++*reinterpret_cast<long*>(count);
    return TRUE;
}

BOOL CALLBACK countWindow(HWND window, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<long*>(count);
    EnumChildWindows(window, countChild, count);
    return TRUE;
}

// The windows of the process, the USER objects a dialog leaves behind.
long countWindows() {
    long n = 0;
    EnumWindows(countWindow, reinterpret_cast<LPARAM>(&n));
    return n;
}

Counts countsNow(bool* probed) {
    Counts c;
    SetLastError(0);
    c.gdi = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS));
    c.user = static_cast<long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
    *probed = c.gdi == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED;
    if (*probed) {
        c.gdi = probeGdiObjects();
        c.user = countWindows();
    }
    DWORD handles = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handles) && handles != 0)
        c.handles = handles;
    else
        c.handles = static_cast<long>(kernelHandles().size());
    return c;
}

BOOL CALLBACK matchCameraWindow(HWND window, LPARAM found) {
    char caption[128] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (std::string(caption) != CAPTION || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND findCameraWindow() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), matchCameraWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Turns the application's loop, every message offered to the source first,
// until `done` says so or the time is up; the source's last message out.
template <typename Done>
TW_UINT16 pump(twainapp::Manager& m, Done done) {
    const DWORD start = GetTickCount();
    TW_UINT16 last = MSG_NULL;
    while (!done(last) && GetTickCount() - start < WAIT_MS) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        TW_EVENT event{&msg, MSG_NULL};
        if (m.toSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) == TWRC_NOTDSEVENT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (event.TWMessage != MSG_NULL) last = event.TWMessage;
    }
    return last;
}

void click(HWND window, int x, int y) {
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Memory strips of the preferred size until the picture is done.
const char* memoryTransfer(twainapp::Manager& m) {
    TW_SETUPMEMXFER setup{};
    if (m.toSource(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) != TWRC_SUCCESS)
        return "DAT_SETUPMEMXFER";
    std::string buffer(setup.Preferred, '\0');
    for (int strip = 0; strip < 4000; ++strip) {
        TW_IMAGEMEMXFER x{};
        x.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
        x.Memory.Length = setup.Preferred;
        x.Memory.TheMem = &buffer[0];
        const TW_UINT16 rc = m.toSource(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &x);
        if (rc == TWRC_XFERDONE) return nullptr;
        if (rc != TWRC_SUCCESS) return "DAT_IMAGEMEMXFER";
    }
    return "DAT_IMAGEMEMXFER never done";
}

// One cycle; null when every step did its work, else the step that did not.
// Odd cycles take the picture by native transfer, even ones by memory.
// `open` receives the counts while the window shows its thumbnails.
const char* cycle(twainapp::Manager& m, HWND parent, bool memory, Counts* open) {
    if (!twainapp::findSource(m)) return "list the sources";
    if (m.toManager(DAT_IDENTITY, MSG_OPENDS, &m.source) != TWRC_SUCCESS) return "MSG_OPENDS";
    if (!twainapp::setMechanism(m, memory ? TWSX_MEMORY : TWSX_NATIVE)) return "ICAP_XFERMECH";
    TW_USERINTERFACE ui{};
    ui.ShowUI = TRUE;
    ui.hParent = parent;
    if (m.toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS)
        return "MSG_ENABLEDS";
    const HWND window = findCameraWindow();
    if (!window) return "the camera window";
    // The first paint fetches the thumbnails; clicks wait until it is done.
    pump(m, [window](TW_UINT16) {
        MSG peek;
        return !GetUpdateRect(window, nullptr, FALSE) &&
               !PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE);
    });
    bool probed = false;
    *open = countsNow(&probed);
    click(window, CELL_X, CELL_Y);
    const plat::Rect& load = BUTTON_TABLE[BUTTON_LOAD].rect;
    click(window, (load.left + load.right) / 2, (load.top + load.bottom) / 2);
    if (pump(m, [](TW_UINT16 last) { return last == MSG_XFERREADY; }) != MSG_XFERREADY)
        return "MSG_XFERREADY";
    TW_IMAGEINFO info{};
    if (m.toSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS) return "DAT_IMAGEINFO";
    if (memory) {
        if (const char* failed = memoryTransfer(m)) return failed;
    } else {
        TW_HANDLE dib = nullptr;
        if (m.toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib) != TWRC_XFERDONE || !dib)
            return "DAT_IMAGENATIVEXFER";
        GlobalFree(dib);
    }
    TW_PENDINGXFERS pending{};
    if (m.toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) != TWRC_SUCCESS)
        return "MSG_ENDXFER";
    if (m.toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui) != TWRC_SUCCESS)
        return "MSG_DISABLEDS";
    if (m.toManager(DAT_IDENTITY, MSG_CLOSEDS, &m.source) != TWRC_SUCCESS) return "MSG_CLOSEDS";
    // What the window left in the queue goes before the objects are counted.
    pump(m, [](TW_UINT16) {
        MSG peek;
        return !PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE);
    });
    return nullptr;
}

void print(const char* what, long n, const Counts& c) {
    std::printf("%s %ld gdi %ld user %ld handles %ld\n", what, n, c.gdi, c.user, c.handles);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: gui_soak MANAGER CYCLES\n");
        return 2;
    }
    const long cycles = std::atol(argv[2]);
    HWND parent = CreateWindowA("STATIC", "gui soak", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    twainapp::Manager m;
    if (const char* failed = twainapp::openManager(m, argv[1], &parent, "gui soak")) {
        std::printf("FAIL %s\n", failed);
        return 1;
    }
    bool probed = false;
    print("start", 0, countsNow(&probed));
    const long settle = cycles >= 20 ? 10 : 1;
    Counts settled, last;
    std::set<ULONG_PTR> held = kernelHandles();
    for (long n = 1; n <= cycles; ++n) {
        Counts open;
        if (const char* failed = cycle(m, parent, n % 2 == 0, &open)) {
            std::printf("FAIL cycle %ld: %s (condition code %u)\n", n, failed, m.condition());
            return 1;
        }
        last = countsNow(&probed);
        // Past the first cycles, every handle that stays is named.
        const std::set<ULONG_PTR> now = kernelHandles();
        if (n > 1)
            for (ULONG_PTR h : now)
                if (!held.count(h))
                    std::printf("cycle %ld: new handle %#lx %s\n", n, static_cast<unsigned long>(h),
                                describeHandle(h).c_str());
        held = now;
        if (n == settle) settled = last;
        if (n == 1) {
            print("window open, cycle", n, open);
            const bool loaded = GetModuleHandleA("sane.ds") || GetModuleHandleA("pxcmtwain.ds");
            std::printf("source loaded after close: %s\n", loaded ? "yes" : "no (unloaded)");
        }
        if (n <= 5 || n == settle || n % 10 == 0) print("cycle", n, last);
    }
    m.toManager(DAT_PARENT, MSG_CLOSEDSM, &parent);
    std::printf("counted by %s\n",
                probed ? "probing (GetGuiResources answers nothing)" : "GetGuiResources");
    std::printf("growth after cycle %ld: gdi %+ld user %+ld handles %+ld\n", settle,
                last.gdi - settled.gdi, last.user - settled.user, last.handles - settled.handles);
    const bool flat =
        last.gdi <= settled.gdi && last.user <= settled.user && last.handles <= settled.handles;
    std::printf("%s\n", flat ? "gui soak: flat" : "gui soak: GREW");
    return flat ? 0 : 1;
}
