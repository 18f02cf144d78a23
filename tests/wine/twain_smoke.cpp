// twain_smoke.cpp — a small Win32 TWAIN application: opens the Source
// Manager, finds the pxcm source among the sources, opens it, reads its
// identity and status, and closes it. Exit code 0 when every step answered
// as it should.
#include <cstdio>
#include <cstring>

#include "platform/twain.h"

namespace {

const char PRODUCT[] = "Vantrel KMT-18/19 ver 1.6";
int failures = 0;

void expect(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++failures;
}

}  // namespace

int main() {
    HMODULE dsm = LoadLibraryA("twain_32.dll");
    expect(dsm != nullptr, "load twain_32.dll");
    if (!dsm) return 1;
    auto entry =
        reinterpret_cast<DSMENTRYPROC>(reinterpret_cast<void*>(GetProcAddress(dsm, "DSM_Entry")));
    expect(entry != nullptr, "find DSM_Entry");
    if (!entry) return 1;

    TW_IDENTITY app{};
    app.Version.MajorNum = 1;
    app.Version.Language = TWLG_USA;
    app.Version.Country = TWCY_USA;
    std::strcpy(app.Version.Info, "smoke");
    app.ProtocolMajor = 1;
    app.ProtocolMinor = 6;
    app.SupportedGroups = DG_CONTROL | DG_IMAGE;
    std::strcpy(app.Manufacturer, "pxcm");
    std::strcpy(app.ProductFamily, "tests");
    std::strcpy(app.ProductName, "twain smoke");

    HWND parent = GetDesktopWindow();
    expect(entry(&app, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent) == TWRC_SUCCESS,
           "MSG_OPENDSM");

    TW_IDENTITY source{};
    bool found = false;
    TW_IDENTITY id{};
    for (TW_UINT16 rc = entry(&app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &id);
         rc == TWRC_SUCCESS;
         rc = entry(&app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &id)) {
        std::printf("     source: %s / %s\n", id.Manufacturer, id.ProductName);
        if (std::strcmp(id.ProductName, PRODUCT) == 0 && !found) {
            source = id;
            found = true;
        }
    }
    expect(found, "the pxcm source is listed");
    if (!found) return 1;

    expect(entry(&app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source) == TWRC_SUCCESS,
           "MSG_OPENDS");

    TW_IDENTITY mine{};
    expect(entry(&app, &source, DG_CONTROL, DAT_IDENTITY, MSG_GET, &mine) == TWRC_SUCCESS,
           "DAT_IDENTITY / MSG_GET");
    expect(std::strcmp(mine.Manufacturer, "Orvimex TWAIN") == 0, "manufacturer");
    expect(std::strcmp(mine.ProductFamily, "TWAIN") == 0, "product family");
    expect(std::strcmp(mine.ProductName, PRODUCT) == 0, "product name");
    expect(std::strcmp(mine.Version.Info, "April, 1998") == 0, "version info");
    expect(mine.ProtocolMajor == 1 && mine.ProtocolMinor == 6, "protocol 1.6");
    expect(mine.SupportedGroups == (DG_CONTROL | DG_IMAGE), "groups");

    TW_STATUS status{};
    expect(entry(&app, &source, DG_CONTROL, DAT_STATUS, MSG_GET, &status) == TWRC_SUCCESS &&
               status.ConditionCode == TWCC_SUCCESS,
           "DAT_STATUS answers TWCC_SUCCESS");

    // A triplet the source has no row for, then its condition code.
    expect(entry(&app, &source, DG_CONTROL, DAT_XFERGROUP + 0x70, MSG_GET, nullptr) == TWRC_FAILURE,
           "an unknown triplet fails");
    status = TW_STATUS{};
    expect(entry(&app, &source, DG_CONTROL, DAT_STATUS, MSG_GET, &status) == TWRC_SUCCESS &&
               status.ConditionCode == TWCC_BADPROTOCOL,
           "DAT_STATUS reports TWCC_BADPROTOCOL");

    expect(entry(&app, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source) == TWRC_SUCCESS,
           "MSG_CLOSEDS");
    expect(entry(&app, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent) == TWRC_SUCCESS,
           "MSG_CLOSEDSM");
    FreeLibrary(dsm);
    std::printf("%s\n", failures ? "twain smoke: FAILED" : "twain smoke: passed");
    return failures ? 1 : 0;
}
