// twain_acquire.cpp — a Win32 TWAIN application that acquires through a real
// Source Manager: opens the pxcm source, negotiates the transfer mechanism,
// enables it with its window, runs the message loop through MSG_PROCESSEVENT,
// and writes every announced picture as a BMP file; it disables and closes
// the source when the window asks to be closed.
// Usage: twain_acquire.exe MANAGER native|memory OUTDIR [--disable-at-zero]
//                          [--no-parent]
//   MANAGER: the Source Manager DLL to load ("twain_32.dll", or a path
//   to TWAINDSM.dll).
//   --no-parent: as a console application, with no window of its own: a
//   null parent at MSG_OPENDSM and MSG_ENABLEDS, so that nothing but the
//   source can wake its GetMessage loop after a notification.
// Prints one line per step on stdout; exit code 0 when every step answered
// as it should and at least one picture arrived.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/twain.h"
#include "tests/wine/twain_app.h"

namespace {

int failures = 0;

void say(const char* format, const std::string& what) {
    std::printf(format, what.c_str());
    std::fflush(stdout);
}

bool expect(bool ok, const std::string& what) {
    say(ok ? "ok   %s\n" : "FAIL %s\n", what);
    if (!ok) ++failures;
    return ok;
}

using twainapp::Manager;

// A bottom-up 24-bit BMP from rows given top-down as blue, green, red.
bool writeBmp(const std::string& path, int width, int height,
              const std::vector<unsigned char>& bgrTopDown) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info, sizeof info, 1, f);
    std::vector<unsigned char> row(static_cast<size_t>(stride), 0);
    for (int y = height - 1; y >= 0; --y) {
        std::memcpy(row.data(), bgrTopDown.data() + static_cast<size_t>(y) * width * 3,
                    static_cast<size_t>(width) * 3);
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

// The native transfer: a packed DIB handle, rows bottom-up, padded to 4.
bool nativeTransfer(Manager& m, const std::string& path, int* width, int* height) {
    TW_HANDLE handle = nullptr;
    const TW_UINT16 rc = m.toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
    if (!expect(rc == TWRC_XFERDONE && handle, "DAT_IMAGENATIVEXFER answers TWRC_XFERDONE"))
        return false;
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(handle));
    if (!expect(header && header->biBitCount == 24 && header->biHeight > 0, "a 24-bit DIB")) {
        GlobalFree(handle);
        return false;
    }
    *width = header->biWidth;
    *height = header->biHeight;
    const int stride = (*width * 3 + 3) & ~3;
    const auto* bits =
        reinterpret_cast<const unsigned char*>(header) + header->biSize + header->biClrUsed * 4;
    std::vector<unsigned char> top(static_cast<size_t>(*width) * *height * 3);
    for (int y = 0; y < *height; ++y)
        std::memcpy(top.data() + static_cast<size_t>(y) * *width * 3,
                    bits + static_cast<size_t>(*height - 1 - y) * stride,
                    static_cast<size_t>(*width) * 3);
    GlobalUnlock(handle);
    GlobalFree(handle);
    return writeBmp(path, *width, *height, top);
}

// The memory transfer: strips of whole rows, top-down, red, green, blue.
bool memoryTransfer(Manager& m, const std::string& path, const TW_IMAGEINFO& info) {
    TW_SETUPMEMXFER setup{};
    if (!expect(m.toSource(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) == TWRC_SUCCESS,
                "DAT_SETUPMEMXFER"))
        return false;
    const int width = info.ImageWidth, height = info.ImageLength;
    std::vector<unsigned char> buffer(setup.Preferred);
    std::vector<unsigned char> bgr(static_cast<size_t>(width) * height * 3);
    size_t received = 0;
    for (int calls = 0; calls < 2000; ++calls) {
        TW_IMAGEMEMXFER strip{};
        strip.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
        strip.Memory.Length = setup.Preferred;
        strip.Memory.TheMem = buffer.data();
        const TW_UINT16 rc = m.toSource(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
        if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) {
            expect(false, "DAT_IMAGEMEMXFER strip " + std::to_string(calls));
            return false;
        }
        const size_t n = strip.BytesWritten;
        if (received + n > bgr.size()) {
            expect(false, "strips fit the picture");
            return false;
        }
        for (size_t i = 0; i + 2 < n; i += 3) {
            bgr[received + i] = buffer[i + 2];
            bgr[received + i + 1] = buffer[i + 1];
            bgr[received + i + 2] = buffer[i];
        }
        received += n;
        if (rc == TWRC_XFERDONE) break;
    }
    if (!expect(received == bgr.size(), "every row arrived")) return false;
    return writeBmp(path, width, height, bgr);
}

// One picture; `left` gets the count MSG_ENDXFER answers (the pictures of
// this announcement still to come).
bool transfer(Manager& m, const std::string& mech, const std::string& out, int number, int* left) {
    *left = 0;
    TW_IMAGEINFO info{};
    if (!expect(m.toSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) == TWRC_SUCCESS,
                "DAT_IMAGEINFO"))
        return false;
    const std::string path = out + "\\picture-" + std::to_string(number) + ".bmp";
    bool ok;
    int width = info.ImageWidth, height = info.ImageLength;
    if (mech == "native")
        ok = nativeTransfer(m, path, &width, &height);
    else
        ok = memoryTransfer(m, path, info);
    TW_PENDINGXFERS pending{};
    expect(m.toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) == TWRC_SUCCESS,
           "MSG_ENDXFER");
    *left = pending.Count;
    if (ok) std::printf("picture %d %dx%d %s\n", number, width, height, mech.c_str());
    std::printf("Count %d\n", *left);
    std::fflush(stdout);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: twain_acquire MANAGER native|memory OUTDIR "
                     "[--disable-at-zero] [--no-parent]\n");
        return 2;
    }
    const std::string mech = argv[2], out = argv[3];
    // Most applications end the batch when Count reaches 0, as the standard
    // tells them, instead of waiting for the user's Exit.
    bool disableAtZero = false, noParent = false;
    for (int i = 4; i < argc; ++i) {
        disableAtZero = disableAtZero || std::string(argv[i]) == "--disable-at-zero";
        noParent = noParent || std::string(argv[i]) == "--no-parent";
    }
    HWND parent = noParent ? nullptr
                           : CreateWindowA("STATIC", "twain acquire", WS_OVERLAPPED, 0, 0, 10, 10,
                                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    Manager m;
    const char* failed = twainapp::openManager(m, argv[1], &parent, "twain acquire");
    if (!expect(failed == nullptr, failed ? failed : "the pxcm source is listed")) return 1;
    if (!expect(m.toManager(DAT_IDENTITY, MSG_OPENDS, &m.source) == TWRC_SUCCESS, "MSG_OPENDS"))
        return 1;

    expect(twainapp::setMechanism(m, mech == "native" ? TWSX_NATIVE : TWSX_MEMORY),
           "ICAP_XFERMECH " + mech);

    TW_USERINTERFACE ui{};
    ui.ShowUI = TRUE;
    ui.hParent = parent;
    const TW_UINT16 enabled = m.toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    if (!expect(enabled == TWRC_SUCCESS, "MSG_ENABLEDS")) {
        std::printf("     return code %u, condition code %u\n", enabled, m.condition());
        return 1;
    }
    say("%swindow shown\n", "");

    int pictures = 0;
    bool closing = false;
    MSG msg;
    while (!closing && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TW_EVENT event{};
        event.pEvent = &msg;
        event.TWMessage = MSG_NULL;
        const TW_UINT16 rc = m.toSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
        if (rc == TWRC_NOTDSEVENT) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (event.TWMessage == MSG_XFERREADY) {
            // As the standard tells applications: transfer while the count
            // is not 0, then wait for the next announcement.
            TW_PENDINGXFERS announced{};
            m.toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &announced);
            std::printf("Count %d\n", announced.Count);
            int left = 0;
            do {
                if (transfer(m, mech, out, pictures + 1, &left)) ++pictures;
            } while (left != 0);
            if (disableAtZero) {
                say("%sdisabling at Count 0\n", "");
                closing = true;
            }
        } else if (event.TWMessage == MSG_CLOSEDSREQ) {
            say("%sclose requested\n", "");
            closing = true;
        }
    }
    expect(m.toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui) == TWRC_SUCCESS,
           "MSG_DISABLEDS");
    expect(m.toManager(DAT_IDENTITY, MSG_CLOSEDS, &m.source) == TWRC_SUCCESS, "MSG_CLOSEDS");
    expect(m.toManager(DAT_PARENT, MSG_CLOSEDSM, &parent) == TWRC_SUCCESS, "MSG_CLOSEDSM");
    if (parent) DestroyWindow(parent);
    FreeLibrary(m.dsm);
    std::printf("pictures: %d\n", pictures);
    std::printf("%s\n", failures ? "twain acquire: FAILED" : "twain acquire: done");
    return failures ? 1 : 0;
}
