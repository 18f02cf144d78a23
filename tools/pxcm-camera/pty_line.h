// pty_line.h — the camera's end of the serial line: the master of a new
// pseudo-terminal, with the byte timing of a real line when asked for.
#pragma once

#include <csignal>
#include <deque>
#include <string>

#include "tools/pxcm-camera/line.h"
#include "tools/pxcm-camera/line_schedule.h"

namespace pxcmcam {

class PtyLine final : public Line {
public:
    // `stop` is the flag the signal handlers set; `timing` paces every byte
    // at 12 bit times of the current rate; `adapter` holds the camera's
    // replies back as a USB serial adapter would (no latency: none).
    PtyLine(const volatile std::sig_atomic_t* stop, bool timing, AdapterHold adapter = {});
    ~PtyLine() override;
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;

    [[nodiscard]] bool open(std::string& error);
    const std::string& slavePath() const { return slavePath_; }

    [[nodiscard]] std::optional<std::uint8_t> receive(Millis wait) override;
    void send(const std::uint8_t* data, std::size_t size) override;
    void setRate(int baud) override;
    [[nodiscard]] int pcRate() const override;
    [[nodiscard]] std::string pcFormat() const override;
    void pause(Millis duration) override;
    [[nodiscard]] bool awaitPurge(Millis wait) override;
    [[nodiscard]] bool stopping() const override;

private:
    struct Arrival {
        std::uint8_t byte;
        TimePoint start;  // when it could have started arriving
    };
    enum class Until { Deadline, Input, Purge };

    // Waits until `deadline`, or with Input / Purge until that comes first,
    // taking in whatever the PC writes meanwhile; false when stopping. With
    // a `spin`, it sleeps only to that much short of the deadline and spins
    // on the clock for the rest, to end on the dot.
    [[nodiscard]] bool waitUntil(TimePoint deadline, Until until, Duration spin = Duration::zero());
    [[nodiscard]] bool reached(Until until) const;
    // Reads all the master holds: data bytes with the time they could have
    // started arriving, purge notices; false when the master reports an
    // error instead.
    [[nodiscard]] bool takeInput();
    void writeAll(const std::uint8_t* data, std::size_t size);
    // A reply as the adapter hands it to the PC: in packets, each when full
    // or when its latency timer runs out.
    void sendThroughAdapter(const std::uint8_t* data, std::size_t size);
    // How long the OS takes to hand a byte written on the slave to a reader
    // blocked on the master; measured while no one else has the pty.
    [[nodiscard]] Duration measureHandOver();

    const volatile std::sig_atomic_t* stop_;
    bool timing_;
    AdapterHold adapter_;
    int master_ = -1;
    // Held open so that the PC closing its end never hangs up the master.
    int slave_ = -1;
    std::string slavePath_;
    int rate_ = 9600;
    Duration handOver_{};
    std::deque<Arrival> pending_;
    long purges_ = 0;        // input purges the PC made, as the master reported them
    long purgesAtSend_ = 0;  // purges_ when the last bytes went out
    TimePoint rxClock_{};    // when the last received byte ended on the wire
    TimePoint txClock_{};    // when the last sent byte ends on the wire
    // Where the camera is on the line's clock: the end of what it last
    // received, sent or waited for. Replies are timed from here, so that a
    // late wake-up is caught up instead of carried on.
    TimePoint now_{};
};

}  // namespace pxcmcam
