// app.h — the pxcm application: its subcommands and its small Source Manager.
#pragma once

#include <atomic>
#include <deque>
#include <string>
#include <vector>

#include "platform/library.h"
#include "platform/semaphore.h"
#include "platform/twain.h"

namespace pxcm {

// What every subcommand gets besides its own arguments.
struct CommandContext {
    std::string dsPath;      // the .ds to load (--ds), default: beside the program
    std::string programDir;  // folder of the running pxcm
};

using CommandFn = int (*)(const CommandContext&, const std::vector<std::string>& args);

struct Command {
    const char* name;     // "identity"
    const char* summary;  // one line for the command list
    const char* usage;    // full --help text
    CommandFn run;        // exit code: 0 success, non-zero failure
};

// A file-scope `static RegisterCommand r{{...}};` in cmd_<name>.cpp adds a command.
struct RegisterCommand {
    explicit RegisterCommand(const Command& c);
};
const std::vector<Command>& commands();

// Prints "pxcm: <message>" on stderr as one line; returns the exit code 1.
int fail(const std::string& message);
// True when args hold -h or --help (the command then prints its usage).
bool wantsHelp(const std::vector<std::string>& args);

// Names of TWAIN codes for messages ("TWCC_SEQERROR", "TWRC_FAILURE").
std::string conditionCodeName(TW_UINT16 cc);
std::string returnCodeName(TW_UINT16 rc);
// A refused triplet's answer: "TWRC_FAILURE (TWCC_SEQERROR)".
std::string answerText(TW_UINT16 rc, TW_UINT16 cc);

// The Source Manager that the sessions of this run go through: pxcm's own
// (the .ds loaded directly) unless a manager library is named (--dsm).
struct ManagerOptions {
    std::string library;    // empty: pxcm's own small manager
    bool callback = false;  // register a callback (DAT_CALLBACK) after MSG_OPENDS
    TW_UINT16 protocolMajor = 1;
    TW_UINT16 protocolMinor = 6;
};
void useSourceManager(const ManagerOptions& options);
const ManagerOptions& sourceManager();

// A minimal Source Manager for one source: loads the .ds, gives it identity
// records the way a Source Manager does, and queues the notifications that
// the source sends back through DSM_Entry (none is dropped). With a manager
// library named, the same through that manager instead: it lists the
// sources and loads ours, every triplet goes through its DSM_Entry, and the
// notifications come by the registered callback or, without one, as the
// TWMessage of MSG_PROCESSEVENT.
class Session {
public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The .ds (pxcm's own manager), or the manager library opened and our
    // source found in its list (`dsPath` unused).
    bool load(const std::string& dsPath, std::string* error);
    bool throughManager() const { return managerEntry_ != nullptr; }
    // What the manager listed (DAT_IDENTITY / MSG_GETFIRST, MSG_GETNEXT).
    const std::vector<TW_IDENTITY>& listedSources() const { return listed_; }

    // One triplet to the source, from the application.
    TW_UINT16 call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

    // DAT_IDENTITY / MSG_GET, MSG_OPENDS (with a new source Id), MSG_CLOSEDS.
    TW_UINT16 getIdentity(TW_IDENTITY* out);
    TW_UINT16 open();
    TW_UINT16 close();
    bool isOpen() const { return open_; }

    // DAT_STATUS / MSG_GET: the condition code of the last failure.
    TW_UINT16 conditionCode();

    // The next queued notification (MSG_XFERREADY, MSG_CLOSEDSREQ), if any.
    bool nextNotification(TW_UINT16* msg);
    // The same, waiting up to `ms` milliseconds for the callback to queue one.
    bool waitNotification(TW_UINT16* msg, int ms);

    TW_IDENTITY& application() { return app_; }
    TW_IDENTITY& source() { return source_; }

    // Called by the exported DSM_Entry.
    TW_UINT16 fromSource(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 dg, TW_UINT16 dat,
                         TW_UINT16 msg, TW_MEMREF data);
    // Called by the callback registered with a manager.
    TW_UINT16 fromManager(TW_UINT16 msg);

private:
    bool loadManager(std::string* error);
    bool queueNotification(TW_UINT16 msg);

    plat::Library lib_;
    DSENTRYPROC entry_ = nullptr;
    DSMENTRYPROC managerEntry_ = nullptr;
    bool managerOpen_ = false;
    std::vector<TW_IDENTITY> listed_;
    TW_IDENTITY app_{};
    TW_IDENTITY source_{};
    bool open_ = false;
    // On Linux the source notifies from its window's thread: the queue is
    // held for a push or a pop only (the Windows thread model has no mutex).
    std::atomic_flag notificationsBusy_ = ATOMIC_FLAG_INIT;
    std::deque<TW_UINT16> notifications_;
    plat::Semaphore queued_;  // posted once for each notification queued
};

}  // namespace pxcm
