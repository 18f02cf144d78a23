// faults.h — the faults a test can ask the simulated camera to show, and
// their parsing from --fault specs.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

namespace pxcmcam {

struct FaultPlan {
    bool silent = false;                  // silent
    std::optional<int> silentAfter;       // silent-after:N
    std::set<char> shortReplies;          // short:L
    std::set<char> badHeaders;            // bad-header:L
    std::map<long, int> failBlock;        // fail-block:N:T, block -> unanswered tries
    std::map<long, int> cutBlock;         // cut-block:N:T, block -> tries cut short
    std::set<long> corruptBlocks;         // corrupt-block:N (the first time)
    std::set<long> corruptAlways;         // corrupt-block-always:N (every time)
    std::optional<long> stopAfterBlocks;  // stop-after-blocks:N
    std::optional<long> exitAfterBlocks;  // exit-after-blocks:N
};

// Adds one fault to `plan`; false with `error` set when it is not understood.
[[nodiscard]] bool addFault(const std::string& text, FaultPlan& plan, std::string& error);

}  // namespace pxcmcam
