// app.cpp — the command registry, code names and the small Source Manager.
#include "tools/pxcm/app.h"

#include <cstdio>
#include <cstring>

#include "platform/export.h"

namespace pxcm {
namespace {

std::vector<Command>& registry() {
    static std::vector<Command> list;
    return list;
}

// The session that the source's notifications reach (one at a time).
Session* g_activeSession = nullptr;

constexpr TW_UINT32 APPLICATION_ID = 1;

}  // namespace

RegisterCommand::RegisterCommand(const Command& c) {
    registry().push_back(c);
}

const std::vector<Command>& commands() {
    return registry();
}

int fail(const std::string& message) {
    std::fprintf(stderr, "pxcm: %s\n", message.c_str());
    return 1;
}

bool wantsHelp(const std::vector<std::string>& args) {
    for (const auto& a : args)
        if (a == "-h" || a == "--help") return true;
    return false;
}

std::string conditionCodeName(TW_UINT16 cc) {
    static const char* const names[] = {
        "TWCC_SUCCESS",
        "TWCC_BUMMER",
        "TWCC_LOWMEMORY",
        "TWCC_NODS",
        "TWCC_MAXCONNECTIONS",
        "TWCC_OPERATIONERROR",
        "TWCC_BADCAP",
        "7",
        "8",
        "TWCC_BADPROTOCOL",
        "TWCC_BADVALUE",
        "TWCC_SEQERROR",
        "TWCC_BADDEST",
        "TWCC_CAPUNSUPPORTED",
        "TWCC_CAPBADOPERATION",
        "TWCC_CAPSEQERROR",
    };
    if (cc < sizeof(names) / sizeof(names[0])) return names[cc];
    return std::to_string(cc);
}

std::string returnCodeName(TW_UINT16 rc) {
    static const char* const names[] = {
        "TWRC_SUCCESS", "TWRC_FAILURE",    "TWRC_CHECKSTATUS", "TWRC_CANCEL",
        "TWRC_DSEVENT", "TWRC_NOTDSEVENT", "TWRC_XFERDONE",    "TWRC_ENDOFLIST",
    };
    if (rc < sizeof(names) / sizeof(names[0])) return names[rc];
    return std::to_string(rc);
}

Session::Session() {
    app_.Id = APPLICATION_ID;
    app_.Version.MajorNum = 1;
    app_.Version.MinorNum = 0;
    app_.Version.Language = TWLG_USA;
    app_.Version.Country = TWCY_USA;
    std::strcpy(app_.Version.Info, "pxcm");
    app_.ProtocolMajor = 1;
    app_.ProtocolMinor = 6;
    app_.SupportedGroups = DG_CONTROL | DG_IMAGE;
    std::strcpy(app_.Manufacturer, "pxcm");
    std::strcpy(app_.ProductFamily, "pxcm");
    std::strcpy(app_.ProductName, "pxcm");
    g_activeSession = this;
}

Session::~Session() {
    if (open_) close();
    if (g_activeSession == this) g_activeSession = nullptr;
}

bool Session::load(const std::string& dsPath, std::string* error) {
    lib_ = plat::Library(dsPath);
    if (!lib_.loaded()) {
        if (error) *error = "cannot load " + dsPath + ": " + plat::Library::lastError();
        return false;
    }
    entry_ = reinterpret_cast<DSENTRYPROC>(lib_.symbol("DS_Entry"));
    if (!entry_) {
        if (error) *error = dsPath + " exports no DS_Entry";
        return false;
    }
    return true;
}

TW_UINT16 Session::call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (!entry_) return TWRC_FAILURE;
    return entry_(&app_, dg, dat, msg, data);
}

TW_UINT16 Session::getIdentity(TW_IDENTITY* out) {
    return call(DG_CONTROL, DAT_IDENTITY, MSG_GET, out);
}

TW_UINT16 Session::open() {
    // As a Source Manager does: the source's identity, completed with a new Id.
    TW_UINT16 rc = getIdentity(&source_);
    if (rc != TWRC_SUCCESS) return rc;
    source_.Id = APPLICATION_ID + 1;
    rc = call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source_);
    open_ = rc == TWRC_SUCCESS;
    return rc;
}

TW_UINT16 Session::close() {
    TW_UINT16 rc = call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source_);
    if (rc == TWRC_SUCCESS) open_ = false;
    return rc;
}

TW_UINT16 Session::conditionCode() {
    TW_STATUS status{};
    if (call(DG_CONTROL, DAT_STATUS, MSG_GET, &status) != TWRC_SUCCESS) return TWCC_BUMMER;
    return status.ConditionCode;
}

bool Session::nextNotification(TW_UINT16* msg) {
    if (notifications_.empty()) return false;
    *msg = notifications_.front();
    notifications_.pop_front();
    return true;
}

TW_UINT16 Session::fromSource(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat,
                              TW_UINT16 msg, TW_MEMREF) {
    if (dg != DG_CONTROL || dat != DAT_NULL) return TWRC_FAILURE;
    if (!origin || origin->Id != source_.Id) return TWRC_FAILURE;
    if (dest && dest->Id != app_.Id) return TWRC_FAILURE;
    if (msg != MSG_XFERREADY && msg != MSG_CLOSEDSREQ && msg != MSG_CLOSEDSOK) return TWRC_FAILURE;
    notifications_.push_back(msg);
    return TWRC_SUCCESS;
}

}  // namespace pxcm

// The source's notifications arrive here, as at a Source Manager's entry.
extern "C" PXCM_EXPORT TW_UINT16 TW_CALLINGSTYLE DSM_Entry(pTW_IDENTITY pOrigin, pTW_IDENTITY pDest,
                                                           TW_UINT32 DG, TW_UINT16 DAT,
                                                           TW_UINT16 MSG, TW_MEMREF pData) {
    if (!pxcm::g_activeSession) return TWRC_FAILURE;
    return pxcm::g_activeSession->fromSource(pOrigin, pDest, DG, DAT, MSG, pData);
}
