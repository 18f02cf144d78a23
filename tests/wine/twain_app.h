// twain_app.h — what the Win32 test applications share: a Source Manager
// loaded from its DLL, the application's identity, and the pxcm source
// found among the manager's sources.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "platform/twain.h"

namespace twainapp {

constexpr char PRODUCT[] = "Vantrel KMT-18/19 ver 1.6";

struct Manager {
    HMODULE dsm = nullptr;  // the Source Manager module
    DSMENTRYPROC entry = nullptr;
    TW_IDENTITY app{};
    TW_IDENTITY source{};

    TW_UINT16 toManager(TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return entry(&app, nullptr, DG_CONTROL, dat, msg, data);
    }
    TW_UINT16 toSource(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
        return entry(&app, &source, dg, dat, msg, data);
    }
    TW_UINT16 condition() {
        TW_STATUS status{};
        toSource(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        return status.ConditionCode;
    }
};

// Lists the manager's sources (a manager may load and free each to ask its
// identity) and picks the pxcm source; false when it is not among them.
inline bool findSource(Manager& m) {
    bool found = false;
    TW_IDENTITY id{};
    for (TW_UINT16 rc = m.toManager(DAT_IDENTITY, MSG_GETFIRST, &id); rc == TWRC_SUCCESS;
         rc = m.toManager(DAT_IDENTITY, MSG_GETNEXT, &id)) {
        if (!found && std::strcmp(id.ProductName, PRODUCT) == 0) {
            m.source = id;
            found = true;
        }
    }
    return found;
}

// Loads the manager at `dllPath` ("twain_32.dll" or a TWAINDSM.dll path),
// opens it for `parent` and picks the pxcm source; null on success, else
// what failed.
inline const char* openManager(Manager& m, const char* dllPath, HWND* parent, const char* name) {
    m.dsm = LoadLibraryA(dllPath);
    if (!m.dsm) return "load the Source Manager";
    m.entry =
        reinterpret_cast<DSMENTRYPROC>(reinterpret_cast<void*>(GetProcAddress(m.dsm, "DSM_Entry")));
    if (!m.entry) return "find DSM_Entry";
    m.app.Version.MajorNum = 1;
    m.app.Version.Language = TWLG_USA;
    m.app.Version.Country = TWCY_USA;
    std::strcpy(m.app.Version.Info, name);
    m.app.ProtocolMajor = 1;
    m.app.ProtocolMinor = 9;
    m.app.SupportedGroups = DG_CONTROL | DG_IMAGE;
    std::strcpy(m.app.Manufacturer, "pxcm");
    std::strcpy(m.app.ProductFamily, "tests");
    std::snprintf(m.app.ProductName, sizeof m.app.ProductName, "%s", name);
    if (m.toManager(DAT_PARENT, MSG_OPENDSM, parent) != TWRC_SUCCESS) return "MSG_OPENDSM";
    return findSource(m) ? nullptr : "find the pxcm source among the manager's sources";
}

// ICAP_XFERMECH set to `mechanism` (TWSX_NATIVE, TWSX_MEMORY) as a one-value.
inline bool setMechanism(Manager& m, TW_UINT16 mechanism) {
    TW_CAPABILITY cap{};
    cap.Cap = ICAP_XFERMECH;
    cap.ConType = TWON_ONEVALUE;
    cap.hContainer = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
    auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(cap.hContainer));
    one->ItemType = TWTY_UINT16;
    one->Item = mechanism;
    GlobalUnlock(cap.hContainer);
    const bool set = m.toSource(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap) == TWRC_SUCCESS;
    GlobalFree(cap.hContainer);
    return set;
}

}  // namespace twainapp
