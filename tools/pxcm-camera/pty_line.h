// pty_line.h — the camera's end of the serial line: the master of a new
// pseudo-terminal, with the byte timing of a real line when asked for.
#pragma once

#include <csignal>
#include <deque>
#include <string>
#include <utility>

#include "tools/pxcm-camera/line.h"

namespace pxcmcam {

class PtyLine final : public Line {
public:
    // `stop` is the flag the signal handlers set; `timing` paces every byte
    // at 12 bit times of the current rate.
    PtyLine(const volatile std::sig_atomic_t* stop, bool timing);
    ~PtyLine() override;
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    [[nodiscard]] bool open(std::string& error);
    const std::string& slavePath() const { return slavePath_; }

    [[nodiscard]] std::optional<std::uint8_t> receive(Millis wait) override;
    void send(const std::uint8_t* data, std::size_t size) override;
    void setRate(int baud) override;
    [[nodiscard]] int pcRate() const override;
    void pause(Millis duration) override;
    [[nodiscard]] bool stopping() const override;

private:
    using Clock = std::chrono::steady_clock;

    [[nodiscard]] Clock::duration byteTime() const;
    // Sleeps until `deadline`; false when stopping first.
    [[nodiscard]] bool sleepUntil(Clock::time_point deadline) const;
    // Waits at most `wait` for bytes and queues what came.
    void fill(Clock::duration wait);
    void writeAll(const std::uint8_t* data, std::size_t size);

    const volatile std::sig_atomic_t* stop_;
    bool timing_;
    int master_ = -1;
    // Held open so that the PC closing its end never hangs up the master.
    int slave_ = -1;
    std::string slavePath_;
    int rate_ = 9600;
    std::deque<std::pair<std::uint8_t, Clock::time_point>> pending_;  // byte, arrival
    Clock::time_point rxClock_{};  // when the last received byte ended on the wire
    Clock::time_point txClock_{};  // when the last sent byte ends on the wire
};

}  // namespace pxcmcam
