// cmd_acquire.cpp — `pxcm acquire`: the whole road of a TWAIN application:
// open the source, choose the transfer mechanism, enable it with its camera
// window, run the message loop, take every announced picture and write it
// to a file, and close again when the window asks to be closed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/app_loop.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/interrupt.h"
#include "platform/memory.h"
#include "platform/run_settings.h"
#include "tools/common/arg_reader.h"
#include "tools/pxcm/app.h"
#include "tools/pxcm/picture_output.h"
#include "tools/pxcm/settings_install.h"
#include "tools/pxcm/transfer_client.h"
#include "tools/pxcm/window_script.h"

namespace {

constexpr const char* USAGE =
    "usage: pxcm acquire [--out DIR] [--format png|bmp] [--mech native|memory]\n"
    "                    [--port DEVICE] [--select all|N,M,...] [--script FILE]\n"
    "                    [--ui headless|sdl] [--window-png PATH]\n"
    "                    [--force-overwrite | --skip-existing]\n"
    "\n"
    "Runs the source as a TWAIN application does: opens it, sets ICAP_XFERMECH,\n"
    "enables it with its camera window (the camera is looked for on COM1 to COM8)\n"
    "and passes every message of its loop through MSG_PROCESSEVENT until the\n"
    "window asks to be closed; then MSG_DISABLEDS and MSG_CLOSEDS. Each picture\n"
    "the window announces (MSG_XFERREADY) is described (DAT_IMAGEINFO),\n"
    "transferred, ended (MSG_ENDXFER) and written to DIR/picture-N.png (or .bmp),\n"
    "N being the picture's number in the camera, from 1. One line per picture:\n"
    "number, size, mechanism and milliseconds from the announcement to the file.\n"
    "A file is written under a temporary name in DIR and renamed once complete;\n"
    "an existing file is never replaced unless --force-overwrite says so.\n"
    "\n"
    "options:\n"
    "  --out DIR          folder of the picture files (made if missing); default .\n"
    "  --format png|bmp   file format; default png\n"
    "  --mech native|memory\n"
    "                     native: one DIB handle; memory: strips of whole rows\n"
    "                     in buffers of the Preferred size of DAT_SETUPMEMXFER\n"
    "                     (MaxBufSize when a row does not fit it); default native\n"
    "  --port DEVICE      the camera is on DEVICE: the run uses a temporary copy of\n"
    "                     the settings in which COM1 is DEVICE and COM2 to COM8 lead\n"
    "                     nowhere (POSIX); what the window saves is not kept\n"
    "  --select all|N,M,...\n"
    "                     unattended: select every picture (Select All) or the\n"
    "                     pictures N, M, ... (Home, then the row-down arrow as\n"
    "                     needed and a click on each), press Load, and press Exit\n"
    "                     once every announced picture has arrived\n"
    "  --script FILE      window messages played before --select, one per line:\n"
    "                     click X Y [shift] [ctrl], dblclick X Y, move X Y,\n"
    "                     key NAME (pageup pagedown home end up down left right\n"
    "                     escape), paint, close; '#' starts a comment. After each\n"
    "                     message the loop turns until nothing is left to do. A\n"
    "                     headless window still open at the end gets WM_CLOSE.\n"
    "  --ui headless|sdl  sets $PXCM_UI: no window on screen, or an SDL window\n"
    "  --window-png PATH  sets $PXCM_WINDOW_PNG: the headless window's client area\n"
    "                     is written there after each message\n"
    "  --force-overwrite  replace existing picture files\n"
    "  --skip-existing    keep existing picture files and go on (the picture is\n"
    "                     transferred, as the window moves on only then, and\n"
    "                     dropped); without either, an existing file is kept and\n"
    "                     the picture counts as failed\n"
    "\n"
    "Numbers of the files: with --select N,M,... the window transfers the selected\n"
    "pictures lowest first, so the k-th picture that arrives is the k-th number\n"
    "selected; with --select all it is picture k. Pictures that the user or a\n"
    "script hands over are numbered by their arrival from 1, as pxcm cannot see\n"
    "which ones were chosen. Two arrivals of one run never share a file: the\n"
    "second is not written and counts as failed.\n"
    "\n"
    "With pxcm --dsm LIBRARY --dsm-callback on Linux, pxcm acquires as a Linux\n"
    "TWAIN 2.x application does: it passes no event at all (the window runs on\n"
    "a thread of the source's own), waits for the callback's MSG_XFERREADY, takes\n"
    "pictures while MSG_ENDXFER's Count is not 0 and then disables and closes the\n"
    "source; MSG_CLOSEDSREQ ends the run as well. --script and --select become\n"
    "the window script that the window plays by itself ($PXCM_WINDOW_SCRIPT: the\n"
    "script's lines, then select and load); one already in $PXCM_WINDOW_SCRIPT is\n"
    "played as it is when neither is given. The run ends with the first Load.\n"
    "\n"
    "Without --select or --script the window is the user's: pxcm waits until it\n"
    "is closed; a headless window then has nobody to close it, and pxcm refuses.\n"
    "Exits non-zero with a one-line message when no picture arrived or one failed.\n"
    "\n"
    "Ctrl-C (SIGINT) or SIGTERM stops the run cleanly: a download under way ends\n"
    "at once, the source is disabled and closed, temporary files removed, and\n"
    "pxcm says how many pictures it wrote and exits with 130 (143 for SIGTERM).\n"
    "A second Ctrl-C ends pxcm at once.\n";

enum class Existing { Refuse, Overwrite, Skip };

struct Options {
    std::string out = ".";
    pxcm::PictureFormat format = pxcm::PictureFormat::Png;
    pxcm::Mechanism mechanism = pxcm::Mechanism::Native;
    std::string port;
    bool select = false;
    pxcm::Selection selection;
    std::string script;
    std::string ui;
    std::string windowPng;
    Existing existing = Existing::Refuse;
};

bool parseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
    tools::ArgReader reader(args, {{"--force-overwrite"},
                                   {"--skip-existing"},
                                   {"--out", true},
                                   {"--format", true},
                                   {"--mech", true},
                                   {"--port", true},
                                   {"--select", true},
                                   {"--script", true},
                                   {"--window-png", true},
                                   {"--ui", true}});
    for (auto next = reader.next(); next != tools::ArgReader::Next::End; next = reader.next()) {
        const std::string& name = reader.name();
        const std::string& value = reader.value();
        if (next == tools::ArgReader::Next::MissingValue) {
            error = name + " needs a value";
            return false;
        }
        if (next != tools::ArgReader::Next::Option) {
            error = "unknown option " + reader.arg() + " (see pxcm acquire --help)";
            return false;
        }
        if (name == "--force-overwrite" || name == "--skip-existing") {
            const Existing e = name == "--skip-existing" ? Existing::Skip : Existing::Overwrite;
            if (o.existing != Existing::Refuse && o.existing != e) {
                error = "--force-overwrite and --skip-existing exclude each other";
                return false;
            }
            o.existing = e;
        } else if (name == "--out") {
            o.out = value;
        } else if (name == "--format") {
            if (value != "png" && value != "bmp") {
                error = "--format takes png or bmp, not " + value;
                return false;
            }
            o.format = value == "png" ? pxcm::PictureFormat::Png : pxcm::PictureFormat::Bmp;
        } else if (name == "--mech") {
            if (value != "native" && value != "memory") {
                error = "--mech takes native or memory, not " + value;
                return false;
            }
            o.mechanism = value == "native" ? pxcm::Mechanism::Native : pxcm::Mechanism::Memory;
        } else if (name == "--port") {
            o.port = value;
        } else if (name == "--select") {
            if (!pxcm::parseSelection(value, &o.selection, &error)) return false;
            o.select = true;
        } else if (name == "--script") {
            o.script = value;
        } else if (name == "--ui") {
            if (value != "headless" && value != "sdl") {
                error = "--ui takes headless or sdl, not " + value;
                return false;
            }
            o.ui = value;
        } else {
            o.windowPng = value;
        }
    }
    if (o.out.empty()) {
        error = "--out needs a folder";
        return false;
    }
    return true;
}

// A bar on stderr for the rows of a memory transfer; only at a terminal.
class RowBar {
public:
    RowBar() : enabled_(plat::stderrIsTerminal()) {}
    void show(int number, std::uint32_t rows, std::uint32_t height) {
        if (!enabled_ || height == 0) return;
        const int filled = static_cast<int>(std::uint64_t(rows) * 40 / height);
        std::fprintf(stderr, "\rpicture %d [%s%s] %3u%%", number, std::string(filled, '#').c_str(),
                     std::string(40 - filled, ' ').c_str(),
                     static_cast<unsigned>(std::uint64_t(rows) * 100 / height));
        shown_ = true;
    }
    void clear() {
        if (!shown_) return;
        std::fprintf(stderr, "\r%60s\r", "");
        shown_ = false;
    }

private:
    bool enabled_;
    bool shown_ = false;
};

std::string pictures(int n) {
    return std::to_string(n) + (n == 1 ? " picture" : " pictures");
}

class AcquireRun {
public:
    AcquireRun(const Options& o, pxcm::Session& session) : o_(o), session_(session) {
        if (o.select && !o.selection.all)
            expected_.assign(o.selection.numbers.begin(), o.selection.numbers.end());
    }

    // Plays the script and the selection, then runs the loop until the
    // window asks to be closed or the run is interrupted.
    void run(const std::vector<pxcm::WindowMessage>& script) {
        // The loop turns first, as an application's does once the source is
        // enabled: the window's first paint loads its thumbnails (and may
        // leave the page scrolled) before anything is clicked.
        while (!stopped() && pump()) {
        }
        for (const pxcm::WindowMessage& m : script) {
            if (stopped()) break;
            deliver(m);
        }
        if (o_.select && !stopped()) {
            selecting_ = true;
            for (const pxcm::WindowMessage& m : pxcm::selectionMessages(o_.selection)) deliver(m);
            // Every announcement has come once the loop is idle: the next is
            // only sent after the previous transfer ended.
            for (const pxcm::WindowMessage& m : pxcm::exitMessages()) {
                if (stopped()) break;
                deliver(m);
            }
        }
        if (!stopped() && (!o_.script.empty() || o_.select) && !plat::interactiveDisplay())
            deliver({WM_CLOSE, 0, 0});
        while (!stopped()) {
            if (!pump()) plat::waitForMessages(10);
        }
        giveBack();
    }

    // As a Linux TWAIN 2.x application: no event is ever passed (the window
    // runs and plays its script by itself); the callback's notification is
    // waited for, the Load's pictures taken while the count is not 0, and
    // the run ends there, or when the window asks to be closed.
    void runByCallback() {
        selecting_ = o_.select;
        while (!stopped()) {
            TW_UINT16 msg;
            if (!session_.waitNotification(&msg, 100)) continue;
            if (msg == MSG_CLOSEDSREQ) closeRequested_ = true;
            if (msg != MSG_XFERREADY) continue;
            announced_ = 1;
            waitForManager();
            while (!plat::interruptSignal() && takePicture()) {
            }
            if (!plat::interruptSignal()) announced_ = 0;  // Count 0: the batch is over
            break;
        }
        giveBack();
    }

    // The exit status, and one line on stderr unless all went well.
    int report() const {
        if (const int signal = plat::interruptSignal()) {
            pxcm::fail("interrupted: " + pictures(written_) + " written");
            return 128 + signal;
        }
        if (failed_ > 0)
            return pxcm::fail(pictures(written_) + " written, " + std::to_string(failed_) +
                              " failed (see above)");
        if (written_ + skipped_ == 0) return pxcm::fail("no picture arrived");
        if (!expected_.empty())
            return pxcm::fail("picture " + std::to_string(expected_.front()) +
                              " did not arrive (does the camera hold it?)");
        return 0;
    }

private:
    // A 2.2 manager refuses calls into the source (TWCC_SEQERROR) until the
    // callback that woke us has returned to it: ask for the count until it
    // answers, a second at most.
    void waitForManager() {
        for (int i = 0; i < 1000; ++i) {
            TW_PENDINGXFERS pending{};
            if (session_.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending) == TWRC_SUCCESS)
                return;
            plat::systemClock().sleepMs(1);
        }
    }

    // An announcement that an interruption left untaken is given back.
    void giveBack() {
        if (announced_ > 0) {
            TW_PENDINGXFERS pending{};
            session_.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
        }
        announced_ = 0;
    }

    bool stopped() const { return closeRequested_ || plat::interruptSignal() != 0; }

    bool offer(void* pEvent) {
        TW_EVENT event{pEvent, MSG_NULL};
        const TW_UINT16 rc = session_.call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
        handleNotifications();
        return rc == TWRC_DSEVENT;
    }

    bool pump() {
        return plat::pumpOneMessage([this](void* e) { return offer(e); });
    }

    // One message to the window, then the loop until it is idle.
    void deliver(const pxcm::WindowMessage& m) {
        plat::deliverWindowMessage([this](void* e) { return offer(e); }, m.message, m.wParam,
                                   m.lParam);
        while (!stopped() && pump()) {
        }
    }

    void handleNotifications() {
        TW_UINT16 msg;
        while (session_.nextNotification(&msg)) {
            if (msg == MSG_XFERREADY) ++announced_;
            if (msg == MSG_CLOSEDSREQ) closeRequested_ = true;
        }
        // One announcement for a Load: its pictures until the count is 0.
        while (announced_ > 0 && !plat::interruptSignal())
            if (!takePicture()) --announced_;
    }

    int nextNumber() {
        if (!selecting_) return ++arrivals_;
        if (o_.selection.all) return ++selectedArrivals_;
        if (expected_.empty()) return ++arrivals_;  // one the window added
        const int n = expected_.front();
        expected_.pop_front();
        return n;
    }

    void failed(int number, const std::string& why) {
        ++failed_;
        std::fprintf(stderr, "pxcm: picture %d: %s\n", number, why.c_str());
    }

    // One picture; true while more of the announcement are to come.
    bool takePicture() {
        const auto start = std::chrono::steady_clock::now();
        const int number = nextNumber();
        pxcm::ReceivedPicture picture;
        std::string error;
        int left = 0;
        RowBar bar;
        const bool ok = pxcm::receivePicture(
            session_, o_.mechanism, &picture,
            [&](std::uint32_t rows, std::uint32_t height) { bar.show(number, rows, height); },
            &error, &left);
        bar.clear();
        if (!ok) {
            failed(number, error);
            return left != 0;
        }
        const std::string path = (std::filesystem::path(o_.out) /
                                  ("picture-" + std::to_string(number) +
                                   (o_.format == pxcm::PictureFormat::Png ? ".png" : ".bmp")))
                                     .string();
        char line[128];
        std::snprintf(line, sizeof line, "picture %d: %d x %d, %s", number, picture.width,
                      picture.height, pxcm::mechanismName(o_.mechanism));
        // Numbers by arrival and numbers in the camera can meet.
        if (!paths_.insert(path).second) {
            failed(number,
                   "an earlier picture of this run went to " + path + "; this one is not written");
            return left != 0;
        }
        const pxcm::FileOutcome outcome = pxcm::writePictureFile(
            path, picture.rows, o_.format, o_.existing == Existing::Overwrite, &error);
        if (outcome == pxcm::FileOutcome::Failed) {
            failed(number, error);
            return left != 0;
        }
        if (outcome == pxcm::FileOutcome::Exists) {
            if (o_.existing != Existing::Skip) {
                failed(number, path +
                                   " exists and is kept (--force-overwrite replaces it, "
                                   "--skip-existing goes on)");
                return left != 0;
            }
            ++skipped_;
            std::printf("%s: %s exists, skipped\n", line, path.c_str());
            std::fflush(stdout);
            return left != 0;
        }
        ++written_;
        const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count();
        std::printf("%s, %lld ms -> %s%s\n", line, ms, path.c_str(),
                    outcome == pxcm::FileOutcome::Replaced ? " (replaced)" : "");
        std::fflush(stdout);
        return left != 0;
    }

    const Options& o_;
    pxcm::Session& session_;
    std::deque<int> expected_;
    std::set<std::string> paths_;
    bool selecting_ = false;
    bool closeRequested_ = false;
    int announced_ = 0;  // announcements not yet taken
    int arrivals_ = 0;
    int selectedArrivals_ = 0;
    int written_ = 0;
    int skipped_ = 0;
    int failed_ = 0;
};

// The window script of a run by callback, removed with the run: the
// --script file's lines, then the selection and Load.
class WindowScriptFile {
public:
    bool write(const Options& o, std::string* error) {
        std::string text;
        if (!o.script.empty()) {
            std::ifstream in(o.script, std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), {});
            if (!text.empty() && text.back() != '\n') text += '\n';
        }
        if (o.select) {
            text += "select ";
            if (o.selection.all) {
                text += "all";
            } else {
                for (std::size_t i = 0; i < o.selection.numbers.size(); ++i)
                    text += (i ? "," : "") + std::to_string(o.selection.numbers[i]);
            }
            text += "\nload\n";
        }
        std::random_device random;
        char name[40];
        std::snprintf(name, sizeof name, "pxcm-window-%08x.script",
                      static_cast<unsigned>(random()));
        std::error_code ec;
        path_ = (std::filesystem::temp_directory_path(ec) / name).string();
        std::ofstream out(path_, std::ios::binary);
        out << text;
        if (!out.flush()) {
            *error = "cannot write the window script " + path_;
            return false;
        }
        return plat::setWindowScript(path_);
    }
    ~WindowScriptFile() {
        if (!path_.empty()) std::remove(path_.c_str());
    }

private:
    std::string path_;
};

// ICAP_XFERMECH by MSG_SET with a TW_ONEVALUE.
bool setMechanism(pxcm::Session& session, pxcm::Mechanism m, std::string* error) {
    TW_CAPABILITY cap{};
    cap.Cap = ICAP_XFERMECH;
    cap.ConType = TWON_ONEVALUE;
    plat::MemBlock container(plat::memAlloc(sizeof(TW_ONEVALUE), true));
    if (!container) {
        *error = "out of memory";
        return false;
    }
    {
        plat::MemLock lock(container.get());
        auto* one = lock.as<TW_ONEVALUE>();
        one->ItemType = TWTY_UINT16;
        one->Item = m == pxcm::Mechanism::Native ? TWSX_NATIVE : TWSX_MEMORY;
    }
    cap.hContainer = container.get();
    const TW_UINT16 rc = session.call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap);
    if (rc != TWRC_SUCCESS) {
        *error = std::string("ICAP_XFERMECH ") + pxcm::mechanismName(m) +
                 " was refused: " + pxcm::answerText(rc, session.conditionCode());
        return false;
    }
    return true;
}

int run(const pxcm::CommandContext& context, const std::vector<std::string>& args) {
    Options o;
    std::string error;
    if (!parseOptions(args, o, error)) return pxcm::fail(error);
    std::vector<pxcm::WindowMessage> script;
    if (!o.script.empty() && !pxcm::readScript(o.script, &script, &error)) return pxcm::fail(error);
    if (!plat::setWindowSystemOptions(o.ui, o.windowPng))
        return pxcm::fail("--ui and --window-png are options of the POSIX window host");
    // A Linux TWAIN 2.x application waits for the callback and passes no
    // event: the window plays --script and --select by itself.
    const bool byCallback = pxcm::sourceManager().callback && plat::windowRunsByItself();
    const char* ownScript = std::getenv("PXCM_WINDOW_SCRIPT");
    const bool userScript = byCallback && ownScript && *ownScript && !o.select && o.script.empty();
    if (!o.select && o.script.empty() && !userScript && !plat::interactiveDisplay())
        return pxcm::fail("a headless window needs --select or --script: nobody can close it");
    WindowScriptFile windowScript;
    if (byCallback && !userScript && (o.select || !o.script.empty()) &&
        !windowScript.write(o, &error))
        return pxcm::fail(error);

    std::error_code ec;
    std::filesystem::create_directories(o.out, ec);
    if (!std::filesystem::is_directory(o.out)) return pxcm::fail("cannot make the folder " + o.out);
    // Before any picture is downloaded, not after each.
    if (!pxcm::folderTakesFiles(o.out, &error)) return pxcm::fail(error);
    plat::catchInterrupts();

    if (!pxcm::installDefaultSettings(&error)) return pxcm::fail(error);
    std::unique_ptr<plat::RunSettings> portSettings;
    if (!o.port.empty()) {
        portSettings = plat::RunSettings::withCom1(o.port, &error);
        if (!portSettings) return pxcm::fail(error);
    }

    pxcm::Session session;
    if (!session.load(context.dsPath, &error)) return pxcm::fail(error);
    TW_UINT16 rc = session.open();
    if (rc != TWRC_SUCCESS)
        return pxcm::fail("MSG_OPENDS answered " + pxcm::answerText(rc, session.conditionCode()));
    if (!setMechanism(session, o.mechanism, &error)) return pxcm::fail(error);

    TW_USERINTERFACE ui{};
    ui.ShowUI = TRUE;
    ui.ModalUI = FALSE;
    rc = session.call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    if (rc == TWRC_CANCEL)
        return pxcm::fail(o.port.empty() ? "no camera answers on COM1 to COM8"
                                         : "no camera answers on " + o.port);
    if (rc != TWRC_SUCCESS)
        return pxcm::fail("MSG_ENABLEDS answered " + pxcm::answerText(rc, session.conditionCode()));

    AcquireRun acquire(o, session);
    if (byCallback)
        acquire.runByCallback();
    else
        acquire.run(script);

    rc = session.call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    if (rc != TWRC_SUCCESS)
        return pxcm::fail("MSG_DISABLEDS answered " +
                          pxcm::answerText(rc, session.conditionCode()));
    rc = session.close();
    if (rc != TWRC_SUCCESS)
        return pxcm::fail("MSG_CLOSEDS answered " + pxcm::answerText(rc, session.conditionCode()));
    return acquire.report();
}

const pxcm::RegisterCommand reg{{
    "acquire",
    "acquire pictures through the camera window and write them to files",
    USAGE,
    run,
}};

}  // namespace
