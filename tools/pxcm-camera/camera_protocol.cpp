// camera_protocol.cpp — the camera's protocol state machine.
#include "tools/pxcm-camera/camera_protocol.h"

#include <csignal>

#include <algorithm>
#include <string>
#include <utility>

#include "tools/pxcm-camera/log.h"
#include "tools/pxcm-camera/sample_pictures.h"

namespace pxcmcam {

namespace {

constexpr int kIdleRate = 9600;
constexpr int kStepVersion = 40;  // below it, data goes block by block on "O"
constexpr std::uint8_t kSeparator = ':';
constexpr std::uint8_t kStep = 'O';
constexpr std::uint8_t kStop = 0xFF;
constexpr std::uint8_t kWrongHeader = '?';
constexpr std::uint8_t kCorruption = 0xA5;
constexpr const char* kLineFormat = "8O2";

const Millis kPoll(200);
// The PC writes the bytes of one request back to back; a longer gap means it
// gave the request up.
const Millis kRequestGap(500);
// The two bytes of a block number come back to back too; a 0x00 alone is the
// PC starting over with a handshake.
const Millis kBlockGap(300);
// After the information the PC switches its rate and purges its queues; the
// camera waits for that purge so that the acknowledgement is not lost in it,
// and at most this long for a PC that purges nothing.
const Millis kSwitchSettle(100);
const Millis kRateWait(1500);
const Millis kRateGrace(50);
// A pty reports a purge as a flag that can come a read late: the notice seen
// may be the one before the request, with the PC's real purge still to come
// (seen under wine, whose purge follows its rate switch within a
// millisecond). The camera lets the line settle this long after the notice.
const Millis kPurgeSettle(10);
// Without any block request for this long the PC has gone away.
const Millis kDataIdle(10000);
const Millis kCaptureTime(1000);
const Millis kSelfTimer(10000);
const Millis kDeleteTime(300);

const Bytes kHandshakeReply = {'G', ':'};
const Bytes kAcknowledgement = {'A', ':'};

}  // namespace

CameraProtocol::CameraProtocol(Line& line, const PictureStore& store,
                               const CameraSettings& settings, FaultPlan faults)
    : line_(line),
      store_(store),
      settings_(settings),
      faults_(std::move(faults)),
      clock_(settings.clock),
      modeQ_(settings.modeQ),
      modeT_(settings.modeT),
      freeFrames_(settings.freeFrames) {}

void CameraProtocol::run() {
    line_.setRate(kIdleRate);
    while (!line_.stopping()) {
        if (auto byte = line_.receive(kPoll)) onByte(*byte);
    }
}

void CameraProtocol::onByte(std::uint8_t byte) {
    if (byte == 0x00) {
        handshake();
        return;
    }
    if (!awake_) {
        logf("ignored 0x%02X outside a request", byte);
        return;
    }
    awake_ = false;
    request(byte);
}

bool CameraProtocol::silentNow() const {
    return faults_.silent || (faults_.silentAfter && requestsDone_ >= *faults_.silentAfter);
}

void CameraProtocol::handshake() {
    if (silentNow()) {
        awake_ = false;
        logf("handshake left unanswered (silent)");
        return;
    }
    if (!pcInFormat("handshake left unanswered")) {
        awake_ = false;
        return;
    }
    awake_ = true;
    send(kHandshakeReply);
}

std::optional<std::uint8_t> CameraProtocol::next() {
    return line_.receive(kRequestGap);
}

bool CameraProtocol::expectSeparator(std::uint8_t letter) {
    auto byte = next();
    if (byte && *byte == kSeparator) return true;
    if (byte)
        logf("request '%c' dropped: 0x%02X where ':' belongs", letter, *byte);
    else
        logf("request '%c' dropped: incomplete", letter);
    return false;
}

bool CameraProtocol::accept(std::uint8_t letter) {
    bool answer = !silentNow();
    ++requestsDone_;
    if (!answer) logf("request '%c' left unanswered (silent)", letter);
    return answer;
}

void CameraProtocol::request(std::uint8_t letter) {
    if (!expectSeparator(letter)) return;
    switch (letter) {
        case 'P':
        case 'S':
        case 'y':
            if (!accept(letter)) return;
            if (letter == 'P') {
                replyStatus(letter);
            } else if (letter == 'S') {
                capture();
            } else {
                auto version = versionReply(settings_.firmware);
                reply(letter, Bytes(version.begin(), version.end()));
            }
            return;
        case 'Q':
        case 'T':
        case 'L':
        case 'I': {
            auto argument = next();
            if (!argument || !expectSeparator(letter) || !accept(letter)) return;
            if (letter == 'Q') {
                modeQ_ = *argument != 0;
                replyStatus(letter);
            } else if (letter == 'T') {
                modeT_ = *argument != 0;
                replyStatus(letter);
            } else if (letter == 'L') {
                deletePicture(*argument);
            } else {
                replyInfo(*argument);
            }
            return;
        }
        case 'M': {
            std::uint8_t bytes[5];
            for (auto& b : bytes) {
                auto byte = next();
                if (!byte) {
                    logf("request 'M' dropped: incomplete");
                    return;
                }
                b = *byte;
            }
            if (!accept(letter)) return;
            setClock(bytes);
            return;
        }
        case 'F':
        case 'H': {
            auto number = next();
            if (!number || !expectSeparator(letter)) return;
            auto speed = next();
            if (!speed || !expectSeparator(letter) || !accept(letter)) return;
            download(letter, *number, *speed);
            return;
        }
        default:
            logf("unknown request '%c' (0x%02X) ignored",
                 letter >= 0x20 && letter < 0x7F ? letter : '?', letter);
            return;
    }
}

void CameraProtocol::send(const Bytes& bytes) {
    if (!bytes.empty()) line_.send(bytes.data(), bytes.size());
}

bool CameraProtocol::reply(std::uint8_t letter, Bytes bytes) {
    char key = static_cast<char>(letter);
    if (faults_.badHeaders.count(key) && !bytes.empty()) bytes[0] = kWrongHeader;
    bool cut = faults_.shortReplies.count(key) != 0;
    if (cut) bytes.resize(bytes.size() / 2);
    send(bytes);
    return !cut;
}

void CameraProtocol::replyStatus(std::uint8_t letter) {
    StatusFields s;
    s.pictureCount = static_cast<int>(store_.list().size());
    s.freeFrames = freeFrames_;
    s.modeQ = modeQ_;
    s.modeT = modeT_;
    s.clock = clock_.now();
    s.battery = settings_.battery;
    auto bytes = statusReply(s);
    logf("'%c' -> status: %d pictures, %d free", letter, s.pictureCount, s.freeFrames);
    reply(letter, Bytes(bytes.begin(), bytes.end()));
}

InfoFields CameraProtocol::describe(int number, const LoadedPicture& p) const {
    InfoFields f;
    f.number = number;
    if (auto size = jpegSize(p.picture)) {
        f.width = static_cast<std::uint16_t>(size->width);
        f.height = static_cast<std::uint16_t>(size->height);
    }
    f.thumbnailSize = static_cast<std::uint32_t>(p.thumbnail.size());
    f.pictureSize = static_cast<std::uint32_t>(p.picture.size());
    f.date = localTimeOf(p.modified);
    f.marker = 0;
    return f;
}

void CameraProtocol::replyInfo(int number) {
    auto pictures = store_.list();
    InfoFields f;
    f.number = number;  // an empty slot: the number and zeros
    if (number >= 1 && number <= static_cast<int>(pictures.size())) {
        if (auto loaded = store_.load(pictures[number - 1])) f = describe(number, *loaded);
    } else {
        logf("'I' for picture %d of %zu: empty information", number, pictures.size());
    }
    auto bytes = infoReply(f);
    reply('I', Bytes(bytes.begin(), bytes.end()));
}

void CameraProtocol::capture() {
    if (settings_.timing) line_.pause(modeT_ ? kCaptureTime + kSelfTimer : kCaptureTime);
    auto pictures = store_.list();
    if (freeFrames_ <= 0 || pictures.size() >= 255) {
        logf("'S': memory full, no picture taken");
    } else {
        int number = static_cast<int>(pictures.size()) + 1;
        bool eco = modeQ_;
        auto made = makePicture(eco ? 320 : 640, eco ? 240 : 480, number, kSampleCount + shots_);
        ++shots_;
        if (made && store_.add(made->picture, made->thumbnail, fileTimeOf(clock_.now()))) {
            --freeFrames_;
            logf("'S': picture %d taken (%s)", number, eco ? "320x240" : "640x480");
        } else {
            warnf("could not store a new picture in %s", store_.dir().c_str());
        }
    }
    replyStatus('S');
}

void CameraProtocol::deletePicture(int number) {
    if (settings_.timing) line_.pause(kDeleteTime);
    auto pictures = store_.list();
    if (number >= 1 && number <= static_cast<int>(pictures.size())) {
        if (store_.remove(pictures[number - 1])) {
            freeFrames_ = std::min(freeFrames_ + 1, 255);
            logf("'L': picture %d (%s) deleted", number, pictures[number - 1].name.c_str());
        } else {
            warnf("could not delete %s", pictures[number - 1].picturePath.c_str());
        }
    } else {
        logf("'L': no picture %d of %zu, nothing deleted", number, pictures.size());
    }
    replyStatus('L');
}

void CameraProtocol::setClock(const std::uint8_t bytes[5]) {
    CameraTime t{0x700 | bytes[0], bytes[1], bytes[2], bytes[3], bytes[4]};
    clock_.set(t);
    logf("'M': clock set to %04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
    replyStatus('M');
}

bool CameraProtocol::pcAtRate(int rate) const {
    return !settings_.checkRate || line_.pcRate() == rate;
}

bool CameraProtocol::pcInFormat(const char* what) const {
    if (!settings_.checkFormat) return true;
    const std::string format = line_.pcFormat();
    if (format == kLineFormat) return true;
    // A real camera would read nothing but garbage.
    warnf("the PC's line is %s, not %s: %s", format.c_str(), kLineFormat, what);
    return false;
}

bool CameraProtocol::waitForPcRate(int rate, bool purged) {
    if (!settings_.checkRate) return true;
    for (Millis waited(0); waited < kRateWait; waited += Millis(10)) {
        if (line_.pcRate() == rate) {
            if (!purged) line_.pause(kRateGrace);  // its purge follows the switch
            return true;
        }
        if (line_.stopping()) return false;
        line_.pause(Millis(10));
    }
    warnf("the PC did not switch its line to %d baud (it is at %d): no answer", rate,
          line_.pcRate());
    return false;
}

void CameraProtocol::download(std::uint8_t letter, int number, int speedCode) {
    auto pictures = store_.list();
    if (number < 1 || number > static_cast<int>(pictures.size())) {
        logf("'%c' for picture %d of %zu: no answer", letter, number, pictures.size());
        return;
    }
    auto loaded = store_.load(pictures[number - 1]);
    if (!loaded) {
        warnf("cannot read %s: no answer", pictures[number - 1].picturePath.c_str());
        return;
    }
    const Bytes& data = letter == 'F' ? loaded->picture : loaded->thumbnail;
    send(kAcknowledgement);
    auto info = infoReply(describe(number, *loaded));
    if (!reply(letter, Bytes(info.begin(), info.end()))) return;

    const int rate = rateOfSpeedCode(speedCode);
    const bool purged = line_.awaitPurge(kSwitchSettle);
    if (purged) line_.pause(kPurgeSettle);
    if (!waitForPcRate(rate, purged)) return;
    transferRate_ = rate;
    line_.setRate(rate);
    send(kAcknowledgement);
    logf("'%c' picture %d: %zu bytes at %d baud, %s", letter, number, data.size(), rate,
         settings_.firmware < kStepVersion ? "stepped" : "addressed");

    TransferEnd end = settings_.firmware < kStepVersion ? stepped(data) : addressed(data);
    line_.setRate(kIdleRate);
    if (end == TransferEnd::Abandoned) logf("transfer abandoned by the PC");
    if (end == TransferEnd::Handshake) {
        logf("transfer ended by a handshake");
        handshake();
    }
}

CameraProtocol::TransferEnd CameraProtocol::stepped(const Bytes& data) {
    const long blocks = static_cast<long>((data.size() + kBlockSize - 1) / kBlockSize);
    long i = 0;
    while (i < blocks) {
        auto byte = line_.receive(kDataIdle);
        if (!byte) return TransferEnd::Abandoned;
        if (*byte == 0x00) return TransferEnd::Handshake;
        if (*byte != kStep) {
            logf("ignored 0x%02X in a stepped transfer", *byte);
            continue;
        }
        if (serveBlock(data, i)) ++i;
    }
    return TransferEnd::Finished;
}

CameraProtocol::TransferEnd CameraProtocol::addressed(const Bytes& data) {
    // The real camera takes no handshake here and waits its own time for
    // each byte.
    const bool strict = settings_.transferWaitMs > 0;
    const Millis idle = strict ? Millis(settings_.transferWaitMs) : kDataIdle;
    for (;;) {
        auto high = line_.receive(idle);
        if (!high) return TransferEnd::Abandoned;
        if (*high == kStop) {
            // The PC may pause between the two stop bytes (thumbnails do).
            auto low = line_.receive(idle);
            if (!low || *low == kStop) return TransferEnd::Finished;
            if (*low == 0x00 && !strict) return TransferEnd::Handshake;
            logf("ignored 0xFF 0x%02X in an addressed transfer", *low);
            continue;
        }
        auto low = line_.receive(kBlockGap);
        if (!low) {
            if (*high == 0x00 && !strict) return TransferEnd::Handshake;
            logf("ignored a lone 0x%02X in an addressed transfer", *high);
            continue;
        }
        long block = *high * 256L + *low;
        if (static_cast<std::size_t>(block) * kBlockSize >= data.size()) {
            logf("block %ld is past the end (%zu bytes): no answer", block, data.size());
            continue;
        }
        (void)serveBlock(data, block);
    }
}

bool CameraProtocol::serveBlock(const Bytes& data, long block) {
    const int tries = ++blockTries_[block];
    if (faults_.exitAfterBlocks && blocksServed_ >= *faults_.exitAfterBlocks) {
        // Switched off mid-transfer: the program ends and its pty with it.
        logf("block %ld: switched off (after %ld blocks)", block, blocksServed_);
        std::raise(SIGTERM);
        return false;
    }
    if (faults_.stopAfterBlocks && blocksServed_ >= *faults_.stopAfterBlocks) {
        logf("block %ld: no answer (stopped after %ld blocks)", block, blocksServed_);
        return false;
    }
    auto failing = faults_.failBlock.find(block);
    if (failing != faults_.failBlock.end() && tries <= failing->second) {
        logf("block %ld: no answer (try %d of %d failing)", block, tries, failing->second);
        return false;
    }
    if (!pcInFormat("block not sent")) return false;
    if (!pcAtRate(transferRate_)) {
        warnf("the PC's line is at %d baud, not %d: block %ld not sent", line_.pcRate(),
              transferRate_, block);
        return false;
    }
    const std::size_t offset = static_cast<std::size_t>(block) * kBlockSize;
    std::size_t length = std::min(kBlockSize, data.size() - offset);
    auto cut = faults_.cutBlock.find(block);
    if (cut != faults_.cutBlock.end() && tries <= cut->second) {
        // Bytes lost on a noisy line: the PC sees a short block.
        length /= 2;
        logf("block %ld: cut to %zu bytes (try %d of %d cut)", block, length, tries, cut->second);
    }
    Bytes bytes(data.begin() + static_cast<long>(offset),
                data.begin() + static_cast<long>(offset + length));
    const bool always = faults_.corruptAlways.count(block) != 0;
    if (always || (faults_.corruptBlocks.count(block) && corrupted_.insert(block).second)) {
        // A bad line damages a block differently each time.
        const auto mask =
            static_cast<std::uint8_t>(always ? kCorruption ^ (tries & 0x3F) : kCorruption);
        for (auto& b : bytes) b ^= mask;
        logf("block %ld sent corrupted", block);
    }
    send(bytes);
    ++blocksServed_;
    return true;
}

}  // namespace pxcmcam
