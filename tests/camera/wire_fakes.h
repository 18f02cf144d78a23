// wire_fakes.h — the transcript entries of the fake port and clock, a
// reporter with scripted answers, camera replies, and a link over fake ports.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "camera/camera_link.h"
#include "testsupport/fake_clock.h"
#include "testsupport/fake_serial_port.h"

namespace wiretest {

using Bytes = std::vector<uint8_t>;

using testsupport::hexBytes;
// The transcript shared by the ports and the clock of one test, in order.
using Wire = testsupport::Transcript;
using ScriptedPort = testsupport::FakeSerialPort;
using testsupport::FakeClock;

// Transcript entries as the fakes write them.
inline std::string W(uint8_t b) {
    return "W" + hexBytes(&b, 1);
}
inline std::string W(const Bytes& b) {
    return "W" + hexBytes(b.data(), b.size());
}
inline std::string R(uint32_t asked, uint32_t got) {
    return "R" + std::to_string(asked) + ":" + std::to_string(got);
}
inline std::string setLine(uint32_t baud) {
    return "set " + std::to_string(baud) + " 8O2";
}
inline std::string sleepMs(unsigned ms) {
    return "sleep " + std::to_string(ms);
}
// The link always sets the queue sizes right before the time-outs: one entry.
inline std::string timeouts(unsigned s) {
    return "queues 4096/4096, timeouts " + std::to_string(s * 1000) + "/" +
           std::to_string(s * 1000);
}

class ScriptedReporter : public CameraErrorReporter {
public:
    std::deque<ReportAnswer> answers;  // consumed in order; Ok when none is left
    std::vector<LinkResult> asked;
    ReportAnswer reportError(LinkResult code) override {
        asked.push_back(code);
        if (answers.empty()) return ReportAnswer::Ok;
        const ReportAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
};

class RecordingProgress : public ProgressSink {
public:
    std::vector<int> maxima;
    std::vector<int> positions;
    void setMaximum(int m) override { maxima.push_back(m); }
    void setPosition(int p) override { positions.push_back(p); }
};

// Camera replies.
inline Bytes statusReply(uint8_t count, uint8_t freeFrames, uint8_t modes = 0, uint8_t year = 0xCE,
                         uint8_t battery = 1) {
    return Bytes{'S', ':', count, freeFrames, modes, year, 5, 17, 9, 41, battery, 0};
}

inline Bytes infoReply(uint8_t number, uint32_t thumbSize, uint32_t pictureSize,
                       uint8_t marker = 0) {
    Bytes r{'C', ':', number, 0x12, 0x34};
    for (int s = 24; s >= 0; s -= 8) r.push_back(static_cast<uint8_t>(thumbSize >> s));
    r.push_back(0x56);
    r.push_back(0x78);
    for (int s = 24; s >= 0; s -= 8) r.push_back(static_cast<uint8_t>(pictureSize >> s));
    for (uint8_t b : {0xCF, 3, 5, 14, 7}) r.push_back(b);
    r.push_back(marker);
    r.push_back(0);
    return r;
}

// The PC's side of a handshake answered at the first try.
inline std::vector<std::string> handshakeLog(int tries = 1, bool answered = true) {
    std::vector<std::string> out{timeouts(1)};
    for (int i = 0; i < tries; ++i) {
        out.push_back("purge");
        out.push_back(W(0x00));
        out.push_back(R(2, answered && i == tries - 1 ? 2 : 0));
    }
    return out;
}

inline void append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// Compares transcripts and reports the first difference with its
// surroundings (long downloads would drown a full print).
inline void expectTranscript(const std::vector<std::string>& actual,
                             const std::vector<std::string>& expected) {
    const size_t n = std::min(actual.size(), expected.size());
    size_t i = 0;
    while (i < n && actual[i] == expected[i]) ++i;
    if (i == n && actual.size() == expected.size()) return;
    std::string msg = "transcripts differ at entry " + std::to_string(i) + " (actual " +
                      std::to_string(actual.size()) + " entries, expected " +
                      std::to_string(expected.size()) + ")\n";
    const size_t from = i >= 3 ? i - 3 : 0;
    for (size_t k = from; k < i + 4; ++k) {
        msg += "  [" + std::to_string(k) +
               "] actual: " + (k < actual.size() ? actual[k] : std::string("<end>")) +
               "   expected: " + (k < expected.size() ? expected[k] : std::string("<end>")) + "\n";
    }
    ADD_FAILURE() << msg;
}

// A link over one scripted port (as if a scan had found it), with a fake
// clock and a scripted reporter.
class LinkFixture : public ::testing::Test {
protected:
    LinkFixture() {
        link.setClock(&clock);
        link.setPortFactory(
            [this](const std::string& name, bool& busy) -> std::unique_ptr<plat::SerialPort> {
                busy = busyPorts.count(name) != 0;
                auto it = ports.find(name);
                if (it == ports.end() || !it->second) return nullptr;
                return std::move(it->second);
            });
    }

    // A fresh scripted port held by the link, with the scripted reporter
    // installed, and a fresh transcript.
    ScriptedPort& attach() {
        link.closePort();
        wire.log.clear();
        auto p = std::make_unique<ScriptedPort>(&wire, "COM1");
        p->settings = {9600, 8, plat::Parity::Odd, plat::StopBits::Two};
        port = p.get();
        link.usePort(std::move(p), &reporter);
        return *port;
    }
    // A port that the scan will find under `name`.
    ScriptedPort& offer(const std::string& name) {
        auto p = std::make_unique<ScriptedPort>(&wire, name);
        ScriptedPort& ref = *p;
        ports[name] = std::move(p);
        return ref;
    }

    Wire wire;
    FakeClock clock{&wire};
    ScriptedReporter reporter;
    std::map<std::string, std::unique_ptr<ScriptedPort>> ports;
    std::set<std::string> busyPorts;  // held by another program
    ScriptedPort* port = nullptr;
    CameraLink link;
};

}  // namespace wiretest
