// main.cpp — pxcm-camera: a simulated KMT-18/19 camera on a pseudo-terminal.
// Sets up the picture folder and the pty, announces the slave path, answers
// until SIGTERM or SIGINT, then removes what it made.
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>

#include "tools/pxcm-camera/camera_protocol.h"
#include "tools/pxcm-camera/log.h"
#include "tools/pxcm-camera/options.h"
#include "tools/pxcm-camera/picture_store.h"
#include "tools/pxcm-camera/pty_line.h"
#include "tools/pxcm-camera/sample_pictures.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int) {
    stopRequested = 1;
}

void installSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGHUP, SIG_IGN);
}

// Points `link` at `target`, replacing an existing link in one step.
bool makeLink(const std::string& target, const std::string& link, std::string& error) {
    std::string temporary = link + ".new-" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(target.c_str(), temporary.c_str()) != 0 ||
        ::rename(temporary.c_str(), link.c_str()) != 0) {
        ::unlink(temporary.c_str());
        error = "cannot make the link " + link;
        return false;
    }
    return true;
}

// Removes `link` only while it still points at our pty: a newer simulator
// may have taken it over.
void removeLink(const std::string& target, const std::string& link) {
    char buffer[4096];
    ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (n < 0) return;
    buffer[n] = '\0';
    if (target == buffer) ::unlink(link.c_str());
}

int fail(const std::string& message) {
    pxcmcam::warnf("%s", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pxcmcam;
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "pxcm-camera: %s\nTry 'pxcm-camera --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(helpText(), stdout);
        return 0;
    }
    setVerbose(options.verbose);
    installSignals();

    CameraSettings settings;
    settings.firmware = options.firmware;
    settings.timing = options.timing;
    settings.checkRate = options.checkRate;
    settings.checkFormat = options.checkFormat;
    settings.transferWaitMs = options.transferWaitMs;
    settings.battery = options.battery;
    settings.modeQ = options.modeQ;
    settings.modeT = options.modeT;
    settings.freeFrames = options.freeFrames;
    settings.clock = options.clock ? *options.clock : localTimeOf(std::time(nullptr));

    TempFolder samples;
    std::string dir = options.dir;
    if (dir.empty()) {
        if (!samples.create(error)) return fail(error);
        dir = samples.path();
        if (!writeSampleSet(PictureStore(dir), settings.clock, error)) return fail(error);
    } else {
        struct stat st {};
        if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return fail("no folder " + dir);
    }
    PictureStore store(dir);

    AdapterHold adapter;
    if (options.latencyTimerMs > 0)
        adapter.latency = std::chrono::milliseconds(
            options.lowLatencyHonoured ? kLowLatencyTimerMs : options.latencyTimerMs);
    PtyLine line(&stopRequested, options.timing, adapter);
    if (!line.open(error)) return fail(error);
    if (!options.link.empty() && !makeLink(line.slavePath(), options.link, error))
        return fail(error);
    // The link exists before the path is announced, so a reader of the first
    // line may use either at once.
    std::printf("%s\n", line.slavePath().c_str());
    std::fflush(stdout);
    logf("%zu pictures in %s, firmware %d.%d", store.list().size(), dir.c_str(),
         settings.firmware / 10, settings.firmware % 10);

    CameraProtocol protocol(line, store, settings, options.faults);
    protocol.run();

    if (!options.link.empty()) removeLink(line.slavePath(), options.link);
    logf("stopped");
    return 0;
}
