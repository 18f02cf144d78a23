// source_state.cpp — the module-wide protocol state and the source identity.
#include "source/source_state.h"

#include <cstring>

#include "caps/settings_files.h"
#include "platform/module.h"
#include "resources/identity.h"
#include "source/transfer_state.h"

SourceState g_source;

namespace {
constexpr int IDENTITY_STRING_BUFFER = 34;  // a TW_STR32 with its terminator
}

void fillSourceIdentity(TW_IDENTITY& id, HINSTANCE module) {
    id.Id = 0;
    id.Version.MajorNum = 1;
    id.Version.MinorNum = 0;
    id.Version.Language = TWLG_USA;
    id.Version.Country = TWCY_USA;
    id.ProtocolMajor = 1;
    id.ProtocolMinor = 6;
    id.SupportedGroups = DG_CONTROL | DG_IMAGE;
    plat::loadString(module, IDS_VERSION_INFO, id.Version.Info, IDENTITY_STRING_BUFFER);
    plat::loadString(module, IDS_MANUFACTURER, id.Manufacturer, IDENTITY_STRING_BUFFER);
    plat::loadString(module, IDS_PRODUCT_FAMILY, id.ProductFamily, IDENTITY_STRING_BUFFER);
    plat::loadString(module, IDS_PRODUCT_NAME, id.ProductName, IDENTITY_STRING_BUFFER);
}

void resetSourceState() {
    HINSTANCE module = g_source.moduleInstance;
    g_source = SourceState{};
    g_source.moduleInstance = module;
    fillSourceIdentity(g_source.sourceIdentity, module);
    resetTransferState();
    resetSettingsFilesState();
}
