// app.cpp — the command registry, code names and the small Source Manager.
#include "tools/pxcm/app.h"

#include <cstdio>
#include <cstring>

#include "platform/export.h"
#include "resources/identity.h"

namespace pxcm {
namespace {

std::vector<Command>& registry() {
    static std::vector<Command> list;
    return list;
}

// The session that the source's notifications reach (one at a time).
Session* g_activeSession = nullptr;

constexpr TW_UINT32 APPLICATION_ID = 1;

ManagerOptions g_manager;

// The callback registered with a manager: notifications are only queued
// here, the application acts on them once its call into the source is
// over (a 2.2 manager refuses calls into the source from inside).
TW_UINT16 TW_CALLINGSTYLE managerCallback(pTW_IDENTITY, pTW_IDENTITY, TW_UINT32 dg, TW_UINT16 dat,
                                          TW_UINT16 msg, TW_MEMREF) {
    if (!g_activeSession || dg != DG_CONTROL || dat != DAT_NULL) return TWRC_FAILURE;
    return g_activeSession->fromManager(msg);
}

bool isNotification(TW_UINT16 msg) {
    return msg == MSG_XFERREADY || msg == MSG_CLOSEDSREQ || msg == MSG_CLOSEDSOK;
}

}  // namespace

void useSourceManager(const ManagerOptions& options) {
    g_manager = options;
}

const ManagerOptions& sourceManager() {
    return g_manager;
}

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

std::string answerText(TW_UINT16 rc, TW_UINT16 cc) {
    return returnCodeName(rc) + " (" + conditionCodeName(cc) + ")";
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
    if (!g_manager.library.empty()) {
        // The manager gives the application its Id at MSG_OPENDSM.
        app_.Id = 0;
        app_.ProtocolMajor = g_manager.protocolMajor;
        app_.ProtocolMinor = g_manager.protocolMinor;
        if (g_manager.protocolMajor >= 2) app_.SupportedGroups |= DF_APP2;
    }
    std::strcpy(app_.Manufacturer, "pxcm");
    std::strcpy(app_.ProductFamily, "pxcm");
    std::strcpy(app_.ProductName, "pxcm");
    g_activeSession = this;
}

Session::~Session() {
    if (open_) close();
    if (managerOpen_) {
        TW_MEMREF parent = nullptr;
        managerEntry_(&app_, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent);
    }
    if (g_activeSession == this) g_activeSession = nullptr;
}

bool Session::loadManager(std::string* error) {
    lib_ = plat::Library(g_manager.library);
    if (!lib_.loaded()) {
        if (error) *error = "cannot load " + g_manager.library + ": " + plat::Library::lastError();
        return false;
    }
    managerEntry_ = reinterpret_cast<DSMENTRYPROC>(lib_.symbol("DSM_Entry"));
    if (!managerEntry_) {
        if (error) *error = g_manager.library + " exports no DSM_Entry";
        return false;
    }
    // No window of the application's own: the parent is a handle to nothing.
    TW_MEMREF parent = nullptr;
    TW_UINT16 rc = managerEntry_(&app_, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent);
    if (rc != TWRC_SUCCESS) {
        if (error) *error = "MSG_OPENDSM answered " + returnCodeName(rc);
        return false;
    }
    managerOpen_ = true;
    TW_IDENTITY id{};
    for (TW_UINT16 msg = MSG_GETFIRST;; msg = MSG_GETNEXT) {
        id = TW_IDENTITY{};
        rc = managerEntry_(&app_, nullptr, DG_CONTROL, DAT_IDENTITY, msg, &id);
        if (rc != TWRC_SUCCESS) break;
        listed_.push_back(id);
    }
    for (const TW_IDENTITY& listed : listed_) {
        if (std::strcmp(listed.ProductName, IDENTITY_PRODUCT_NAME) != 0) continue;
        source_ = listed;
        return true;
    }
    if (error)
        *error = "the Source Manager " + g_manager.library +
                 " lists no " IDENTITY_PRODUCT_NAME " (" + std::to_string(listed_.size()) +
                 " sources listed)";
    return false;
}

bool Session::load(const std::string& dsPath, std::string* error) {
    if (!g_manager.library.empty()) return loadManager(error);
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
    if (managerEntry_) {
        const TW_UINT16 rc = managerEntry_(&app_, &source_, dg, dat, msg, data);
        // Without a callback the manager hands a notification over here.
        if (dat == DAT_EVENT && msg == MSG_PROCESSEVENT && rc == TWRC_DSEVENT && data) {
            auto* event = static_cast<pTW_EVENT>(data);
            if (isNotification(event->TWMessage)) queueNotification(event->TWMessage);
        }
        return rc;
    }
    if (!entry_) return TWRC_FAILURE;
    return entry_(&app_, dg, dat, msg, data);
}

TW_UINT16 Session::getIdentity(TW_IDENTITY* out) {
    // Before the source is open, what the manager listed is its identity.
    if (managerEntry_ && !open_) {
        *out = source_;
        return TWRC_SUCCESS;
    }
    return call(DG_CONTROL, DAT_IDENTITY, MSG_GET, out);
}

TW_UINT16 Session::open() {
    if (managerEntry_) {
        TW_UINT16 rc =
            managerEntry_(&app_, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source_);
        open_ = rc == TWRC_SUCCESS;
        if (!open_ || !g_manager.callback) return rc;
        TW_CALLBACK callback{};
        callback.CallBackProc = reinterpret_cast<TW_MEMREF>(&managerCallback);
        return call(DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &callback);
    }
    // As a Source Manager does: the source's identity, completed with a new Id.
    TW_UINT16 rc = getIdentity(&source_);
    if (rc != TWRC_SUCCESS) return rc;
    source_.Id = APPLICATION_ID + 1;
    rc = call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source_);
    open_ = rc == TWRC_SUCCESS;
    return rc;
}

TW_UINT16 Session::close() {
    TW_UINT16 rc = managerEntry_ ? managerEntry_(&app_, nullptr, DG_CONTROL, DAT_IDENTITY,
                                                 MSG_CLOSEDS, &source_)
                                 : call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source_);
    if (rc == TWRC_SUCCESS) open_ = false;
    return rc;
}

TW_UINT16 Session::conditionCode() {
    TW_STATUS status{};
    if (call(DG_CONTROL, DAT_STATUS, MSG_GET, &status) != TWRC_SUCCESS) return TWCC_BUMMER;
    return status.ConditionCode;
}

bool Session::nextNotification(TW_UINT16* msg) {
    while (notificationsBusy_.test_and_set(std::memory_order_acquire)) {
    }
    const bool any = !notifications_.empty();
    if (any) {
        *msg = notifications_.front();
        notifications_.pop_front();
    }
    notificationsBusy_.clear(std::memory_order_release);
    return any;
}

bool Session::waitNotification(TW_UINT16* msg, int ms) {
    // A count may be left over from one that nextNotification took.
    while (queued_.wait(ms))
        if (nextNotification(msg)) return true;
    return nextNotification(msg);
}

TW_UINT16 Session::fromSource(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat,
                              TW_UINT16 msg, TW_MEMREF) {
    if (managerEntry_) {
        // The source must send its notifications to the manager that loaded it.
        std::fprintf(stderr,
                     "pxcm: a notification of the source came to pxcm's own DSM_Entry, not to "
                     "the Source Manager; dropped\n");
        return TWRC_FAILURE;
    }
    if (dg != DG_CONTROL || dat != DAT_NULL) return TWRC_FAILURE;
    if (!origin || origin->Id != source_.Id) return TWRC_FAILURE;
    if (dest && dest->Id != app_.Id) return TWRC_FAILURE;
    return queueNotification(msg) ? TWRC_SUCCESS : TWRC_FAILURE;
}

TW_UINT16 Session::fromManager(TW_UINT16 msg) {
    return queueNotification(msg) ? TWRC_SUCCESS : TWRC_FAILURE;
}

bool Session::queueNotification(TW_UINT16 msg) {
    if (!isNotification(msg)) return false;
    while (notificationsBusy_.test_and_set(std::memory_order_acquire)) {
    }
    notifications_.push_back(msg);
    notificationsBusy_.clear(std::memory_order_release);
    queued_.post();
    return true;
}

}  // namespace pxcm

// The source's notifications arrive here, as at a Source Manager's entry.
extern "C" PXCM_EXPORT TW_UINT16 TW_CALLINGSTYLE DSM_Entry(pTW_IDENTITY pOrigin, pTW_IDENTITY pDest,
                                                           TW_UINT32 DG, TW_UINT16 DAT,
                                                           TW_UINT16 MSG, TW_MEMREF pData) {
    if (!pxcm::g_activeSession) return TWRC_FAILURE;
    return pxcm::g_activeSession->fromSource(pOrigin, pDest, DG, DAT, MSG, pData);
}
