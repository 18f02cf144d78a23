// options.h — the simulated camera's command line and its help text.
#pragma once

#include <optional>
#include <string>

#include "tools/pxcm-camera/camera_clock.h"
#include "tools/pxcm-camera/faults.h"

namespace pxcmcam {

struct Options {
    std::string link;                 // --link PATH
    std::string dir;                  // --dir DIR; empty: the built-in samples
    int firmware = 40;                // --firmware, version × 10
    bool timing = false;              // --timing
    bool checkRate = false;           // --check-rate
    bool checkFormat = false;         // --check-format
    int transferWaitMs = 0;           // --transfer-wait MS; 0: the lenient camera
    int latencyTimerMs = 0;           // --latency-timer MS; 0: no adapter
    bool lowLatencyHonoured = false;  // --low-latency-honoured
    int battery = 1;                  // --battery N
    bool modeQ = false;               // --mode-q 0|1
    bool modeT = false;               // --mode-t 0|1
    int freeFrames = 20;              // --free N
    std::optional<CameraTime> clock;  // --clock; none: the local time at start
    FaultPlan faults;                 // --fault SPEC...
    bool verbose = false;             // --verbose
    bool help = false;                // --help
};

// False with `error` set for an unknown option or a bad value.
[[nodiscard]] bool parseOptions(int argc, char** argv, Options& out, std::string& error);

[[nodiscard]] const char* helpText();

}  // namespace pxcmcam
