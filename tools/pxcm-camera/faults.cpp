// faults.cpp — parsing of --fault specs.
#include "tools/pxcm-camera/faults.h"

#include <string_view>

namespace pxcmcam {

namespace {

// A whole non-negative decimal number, nothing else.
bool parseCount(std::string_view text, long& out) {
    if (text.empty() || text.size() > 9) return false;
    long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

bool isRequestLetter(std::string_view text) {
    return text.size() == 1 &&
           std::string_view("PQTSMLIyFH").find(text[0]) != std::string_view::npos;
}

}  // namespace

bool addFault(const std::string& text, FaultPlan& plan, std::string& error) {
    std::string_view s(text);
    auto colon = s.find(':');
    std::string_view kind = s.substr(0, colon);
    std::string_view rest =
        colon == std::string_view::npos ? std::string_view() : s.substr(colon + 1);
    long n = 0, t = 0;

    if (kind == "silent" && colon == std::string_view::npos) {
        plan.silent = true;
        return true;
    }
    if (kind == "silent-after" && parseCount(rest, n)) {
        plan.silentAfter = static_cast<int>(n);
        return true;
    }
    if ((kind == "short" || kind == "bad-header") && isRequestLetter(rest)) {
        (kind == "short" ? plan.shortReplies : plan.badHeaders).insert(rest[0]);
        return true;
    }
    if (kind == "fail-block" || kind == "cut-block") {
        auto second = rest.find(':');
        if (second != std::string_view::npos && parseCount(rest.substr(0, second), n) &&
            parseCount(rest.substr(second + 1), t)) {
            (kind == "fail-block" ? plan.failBlock : plan.cutBlock)[n] = static_cast<int>(t);
            return true;
        }
    }
    if ((kind == "corrupt-block" || kind == "corrupt-block-always") && parseCount(rest, n)) {
        (kind == "corrupt-block" ? plan.corruptBlocks : plan.corruptAlways).insert(n);
        return true;
    }
    if (kind == "stop-after-blocks" && parseCount(rest, n)) {
        plan.stopAfterBlocks = n;
        return true;
    }
    if (kind == "exit-after-blocks" && parseCount(rest, n)) {
        plan.exitAfterBlocks = n;
        return true;
    }
    error = "unknown fault '" + text +
            "' (silent, silent-after:N, short:L, bad-header:L, fail-block:N:T, cut-block:N:T, "
            "corrupt-block:N, corrupt-block-always:N, stop-after-blocks:N, exit-after-blocks:N; "
            "L one of P Q T S M L I y F H)";
    return false;
}

}  // namespace pxcmcam
