// camera_replies_fuzz.cpp — every camera request and both download methods
// against replies read from the input: random, short, missing and late. A
// request that fails leaves the fields its reply would fill as they were; a
// download that succeeds holds exactly the bytes of complete block reads, at
// their places, and nothing else; no read goes past a buffer.
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>

#include "camera/camera_link.h"
#include "fuzz/reply_script.h"
#include "image/jpeg_decoder.h"
#include "platform/memory.h"
#include "testsupport/fake_clock.h"

namespace {

using fuzzwire::Bytes;

// Answers the link's questions from the input, and Cancel after a few, so
// that a silent camera ends every handshake.
class Reporter : public CameraErrorReporter {
public:
    explicit Reporter(fuzzwire::Input& in) : in_(in) {}
    ReportAnswer reportError(LinkResult) override {
        if (++asked_ > 3) return ReportAnswer::Cancel;
        static const ReportAnswer answers[] = {ReportAnswer::Retry, ReportAnswer::Cancel,
                                               ReportAnswer::Ok};
        return answers[in_.byte() % 3];
    }

private:
    fuzzwire::Input& in_;
    int asked_ = 0;
};

void check(bool ok) {
    if (!ok) std::abort();
}

auto statusFields(const CameraStatus& s) {
    return std::make_tuple(s.clockYear, s.clockMonth, s.clockDay, s.clockHour, s.clockMinute,
                           s.pictureCount, s.freeFrames, s.modeQ, s.modeT, s.batteryLevel);
}

// The last read of the script, which a good reply of `size` bytes with the
// header `letter` ':' must have been.
bool lastReadWas(const testsupport::ReplyScript& script, std::uint32_t size, std::uint8_t letter) {
    if (script.reads.empty()) return false;
    const testsupport::Read& r = script.reads.back();
    return r.asked == size && r.got.size() == size && r.got[0] == letter && r.got[1] == ':';
}

// A successful download: the buffer is the download's size, and every byte
// of it came from the last read into its block, which was complete.
void checkDownload(const CameraLink& link, const testsupport::ReplyScript& script,
                   std::size_t firstRead, bool thumbnail) {
    const std::uint32_t size =
        thumbnail ? link.pictureInfo().thumbnailSize : link.pictureInfo().pictureSize;
    check(link.downloadSize() >= 0 && static_cast<std::uint32_t>(link.downloadSize()) == size);
    check(size <= (thumbnail ? LARGEST_THUMBNAIL : LARGEST_PICTURE));
    check(link.downloadBufferSize() == size);
    const std::uint8_t* buffer = link.downloadData();
    check(size == 0 || buffer != nullptr);
    Bytes replay(size, 0);
    std::vector<bool> complete((size + BLOCK_SIZE - 1) / BLOCK_SIZE, false);
    for (std::size_t i = firstRead; i < script.reads.size(); ++i) {
        const testsupport::Read& r = script.reads[i];
        if (r.into < buffer || r.into >= buffer + size) continue;
        const std::size_t at = static_cast<std::size_t>(r.into - buffer);
        check(at % BLOCK_SIZE == 0 && at + r.asked <= size);
        std::copy(r.got.begin(), r.got.end(), replay.begin() + static_cast<std::ptrdiff_t>(at));
        complete[at / BLOCK_SIZE] = r.got.size() == r.asked;
    }
    for (bool c : complete) check(c);
    check(size == 0 || std::memcmp(replay.data(), buffer, size) == 0);
}

void decode(const CameraLink& link, int mode) {
    plat::MemBlock picture(link.decodePicture(mode));
    if (picture) check(plat::memSize(picture.get()) >= DIB_HEADER_SIZE);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The decoder's boxes answer at once and are written nowhere.
    setenv("PXCM_PROMPTS", "/dev/null", 1);
    unsetenv("PXCM_ANSWERS");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzwire::Input in(data, size);
    static const std::uint8_t speeds[] = {SPEED_115200, SPEED_56000, SPEED_19200, SPEED_9600, 20};
    LineOptions line;
    line.speedCode = speeds[in.byte() % 5];
    line.intervalTenths = in.byte() % 4;
    const bool tellBlockFailure = in.byte() % 2 != 0;

    // The requests first, then the replies they meet.
    const int count = 1 + in.byte() % 12;
    Bytes ops = in.bytes(static_cast<std::size_t>(count) * 2);
    const std::uint8_t portMask = in.byte();

    testsupport::ReplyScript script;
    while (!in.done() && script.replies.size() < 30000) script.replies.push_back(nextReply(in));

    testsupport::FakeClock clock;
    fuzzwire::Input answers(data, size);  // the reporter's answers: any bytes will do
    Reporter reporter(answers);
    CameraLink link;
    link.setLineOptions(line);
    link.setClock(&clock);
    link.setPortFactory([&](const std::string& name, bool&) -> std::unique_ptr<plat::SerialPort> {
        const int n = name.size() == 4 ? name[3] - '0' : 0;
        if (n < 1 || n > 8 || !(portMask >> (n - 1) & 1)) return nullptr;
        return std::make_unique<testsupport::FakeSerialPort>(script);
    });
    link.usePort(std::make_unique<testsupport::FakeSerialPort>(script), &reporter);
    link.assumeFirmware(ops[0] & 1 ? 4.0 : 3.9);

    for (int i = 0; i < count; ++i) {
        const std::uint8_t op = ops[2 * i], arg = ops[2 * i + 1];
        if (op % 13 == 4) {  // the capture's time-out
            CameraStatus timer = link.status();
            timer.modeT = arg & 1;
            link.setStatus(timer);
        }
        const auto status = statusFields(link.status());
        const PictureInfo info = link.pictureInfo();
        const double firmware = link.firmwareVersion();
        const std::size_t firstRead = script.reads.size();
        LinkResult r = LINK_OK;
        bool statusReply = true;
        switch (op % 13) {
            case 0:
                r = link.findCamera(&reporter);
                break;
            case 1:
                r = link.requestStatus();
                break;
            case 2:
                r = link.setModeQ(arg & 1);
                if (r == LINK_OK) check(link.status().modeQ == (arg & 1));
                break;
            case 3:
                r = link.setModeT(arg & 1);
                break;
            case 4:
                r = link.takePicture();
                break;
            case 5:
                r = link.setCameraClock(
                    clockBytes(1990 + arg, 1 + arg % 12, 1 + arg % 28, arg % 24, arg % 60));
                break;
            case 6:
                r = link.deletePicture(arg);
                break;
            case 7:
                r = link.readPictureInfo(arg);
                statusReply = false;
                if (r == LINK_OK)
                    check(lastReadWas(script, INFO_REPLY_SIZE, 'C'));
                else
                    check(link.pictureInfo() == info);
                break;
            case 8:
                r = link.readFirmwareVersion();
                statusReply = false;
                if (r == LINK_OK)
                    check(link.firmwareVersion() >= 0.1 && link.firmwareVersion() <= 6.2 + 1e-9);
                else
                    check(link.firmwareVersion() == firmware);
                break;
            case 9:
            case 10: {
                const bool thumbnail = op % 13 == 10;
                link.assumeFirmware(arg & 0x80 ? 4.0 : 3.9);
                r = thumbnail ? link.downloadThumbnail(arg % 8, nullptr, tellBlockFailure)
                              : link.downloadPicture(arg % 8, nullptr);
                statusReply = false;
                if (r == LINK_OK) checkDownload(link, script, firstRead, thumbnail);
                if (r == LINK_BLOCK_FAILED) check(!link.downloadData());
                break;
            }
            case 11:
                decode(link, arg & 1 ? DECODE_FULL_PICTURE : DECODE_DISPLAY);
                statusReply = false;
                break;
            default:
                link.closePort();
                link.usePort(std::make_unique<testsupport::FakeSerialPort>(script),
                             link.reporter());
                statusReply = false;
                break;
        }
        // A status request that failed leaves the status as it was; one that
        // succeeded read a whole "S:" reply.
        if (statusReply) {
            if (r == LINK_OK)
                check(lastReadWas(script, STATUS_REPLY_SIZE, 'S'));
            else
                check(statusFields(link.status()) == status);
        }
        // Whatever happened, the decoder reads only what the buffer holds.
        if (op & 0x40) decode(link, DECODE_DISPLAY);
    }
    return 0;
}
