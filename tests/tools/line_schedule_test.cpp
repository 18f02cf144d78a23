// line_schedule_test.cpp — the simulated line's arithmetic: exact wire times,
// the grouping of a reply into writes and the typical hand-over delay.
#include "tools/pxcm-camera/line_schedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace pxcmcam;
using std::chrono::microseconds;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;
using std::chrono::seconds;

const TimePoint kStart = TimePoint(seconds(1000));

TEST(LineSchedule, WireTimesAreExactWhateverTheCount) {
    EXPECT_EQ(wireTime(0, 115200), Duration::zero());
    EXPECT_EQ(wireTime(1, 9600), microseconds(1250));
    EXPECT_EQ(wireTime(9600, 115200), seconds(1));
    EXPECT_EQ(wireTime(14000, 56000), seconds(3));
    // A byte at 115200 is 104166.67 ns: a rounded byte time multiplied up
    // would be 6.7 us short after 20000 bytes, 0.5 ms after 800000.
    EXPECT_EQ(wireTime(20000, 115200), nanoseconds(2083333333));
    EXPECT_EQ(wireTime(800000, 115200), nanoseconds(83333333333));
    EXPECT_EQ(wireTime(1, 0), seconds(12));  // no rate: slow, not a crash
}

TEST(LineSchedule, BytesAreDueFromTheStartAtTheirRate) {
    const Transmission tx(kStart, 56000, 32);
    EXPECT_EQ(tx.due(0), kStart);
    EXPECT_EQ(tx.due(1), kStart + nanoseconds(214285));
    EXPECT_EQ(tx.due(14), kStart + nanoseconds(3000000));
    EXPECT_EQ(tx.end(), tx.due(32));
}

// The writes of a whole reply when the camera keeps up: their sizes and times.
std::vector<std::size_t> chunksOf(const Transmission& tx, std::size_t size, Duration span,
                                  std::vector<TimePoint>* times = nullptr) {
    std::vector<std::size_t> sizes;
    for (std::size_t done = 0; done < size;) {
        // Each write is made when its last byte is due, no sooner.
        const TimePoint now = done == 0 ? kStart : tx.due(done);
        const std::size_t count = tx.nextChunk(done, now, span);
        sizes.push_back(count);
        if (times) times->push_back(tx.due(done + count));
        done += count;
    }
    return sizes;
}

TEST(LineSchedule, ABlockGoesInSpansCountedBackFromItsEnd) {
    const Transmission tx(kStart, 115200, 32);
    std::vector<TimePoint> times;
    // 3.33 ms of bytes in spans of 1 ms: the short one first, so that the
    // last write carries a whole span and ends the block exactly.
    EXPECT_EQ(chunksOf(tx, 32, milliseconds(1), &times), (std::vector<std::size_t>{3, 9, 10, 10}));
    EXPECT_EQ(times.back(), tx.end());
    // A write goes when its last byte is due: within a byte time of its span's end.
    for (std::size_t i = 1; i < times.size(); ++i)
        EXPECT_LE(times[i] - times[i - 1], milliseconds(1) + wireTime(1, 115200));
    // Half a millisecond: seven writes, byte 8 due exactly on a span's end.
    times.clear();
    EXPECT_EQ(chunksOf(tx, 32, microseconds(500), &times),
              (std::vector<std::size_t>{3, 5, 4, 5, 5, 5, 5}));
    EXPECT_EQ(times.back(), tx.end());
}

TEST(LineSchedule, SlowBytesOrNoSpanGoOneByOne) {
    // At 9600 baud a byte takes longer than a span.
    const Transmission slow(kStart, 9600, 24);
    EXPECT_EQ(chunksOf(slow, 24, milliseconds(1)), std::vector<std::size_t>(24, 1));
    const Transmission fast(kStart, 115200, 5);
    EXPECT_EQ(chunksOf(fast, 5, Duration::zero()), std::vector<std::size_t>(5, 1));
}

TEST(LineSchedule, ALateCameraCatchesUpButStaysInsideTheReply) {
    const Transmission tx(kStart, 115200, 32);
    // 2.5 ms in, 24 bytes are due: one write takes them all at once.
    EXPECT_EQ(tx.nextChunk(0, kStart + microseconds(2500), milliseconds(1)), 24u);
    // Far too late: what is left, and not one byte more.
    EXPECT_EQ(tx.nextChunk(30, kStart + seconds(5), milliseconds(1)), 2u);
    EXPECT_EQ(tx.nextChunk(31, kStart + seconds(5), milliseconds(1)), 1u);
}

TEST(LineSchedule, AnAdapterHoldsShortPacketsForItsTimer) {
    const Transmission tx(kStart, 115200, 130);
    const AdapterHold none{};
    const AdapterHold adapter{62, milliseconds(16)};
    const struct {
        std::size_t done, count;
        const AdapterHold& hold;
        TimePoint arrives;
    } cases[] = {
        // No adapter: when the last byte has crossed.
        {0, 32, none, tx.due(32)},
        // A block: 16 ms after its first byte came, not when its last did.
        {0, 32, adapter, tx.due(1) + milliseconds(16)},
        {0, 2, adapter, tx.due(1) + milliseconds(16)},
        // A full buffer goes at once; the short rest waits again.
        {0, 62, adapter, tx.due(62)},
        {124, 6, adapter, tx.due(125) + milliseconds(16)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(packetArrival(tx, c.done, c.count, c.hold), c.arrives)
            << c.done << "+" << c.count;
    // A timer shorter than the packet's wire time holds nothing back.
    const Transmission slow(kStart, 9600, 32);  // 40 ms of bytes
    EXPECT_EQ(packetArrival(slow, 0, 32, adapter), slow.due(32));
}

TEST(LineSchedule, TypicalHandOverIsTheMedianWithinItsCap) {
    EXPECT_EQ(typicalLatency({}, microseconds(100)), Duration::zero());
    EXPECT_EQ(typicalLatency({microseconds(40), microseconds(900), microseconds(25),
                              microseconds(31), microseconds(28)},
                             microseconds(100)),
              microseconds(31));
    // A busy moment during the measurement does not make the camera generous.
    EXPECT_EQ(
        typicalLatency({microseconds(400), microseconds(350), microseconds(20)}, microseconds(100)),
        microseconds(100));
    // A clock that went the wrong way gives no negative delay.
    EXPECT_EQ(typicalLatency({-microseconds(5)}, microseconds(100)), Duration::zero());
}

}  // namespace
