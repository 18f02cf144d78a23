// picture_download.cpp — the picture ("F") and thumbnail ("H") downloads: the
// request at 9600 baud, the switch to the fast rate, the 32-byte blocks by the
// stepped or the addressed method, and the way back to 9600 baud.
#include "camera/camera_link.h"

namespace {

constexpr uint8_t STEP_LETTER = 'O';
constexpr int TENTH_MS = 100;

}  // namespace

LinkResult CameraLink::downloadPicture(int index, ProgressSink* progress) {
    return download(Target::Picture, index, progress, true);
}

LinkResult CameraLink::downloadThumbnail(int index, ProgressSink* progress, bool tellBlockFailure) {
    return download(Target::Thumbnail, index, progress, tellBlockFailure);
}

LinkResult CameraLink::download(Target target, int index, ProgressSink* progress,
                                bool tellBlockFailure) {
    const bool thumbnail = target == Target::Thumbnail;
    const uint8_t speed = options_.speedCode;

    if (!handshake()) return LINK_NO_ANSWER;
    setTimeouts(DOWNLOAD_TIMEOUT_S);
    sendRequest(thumbnail ? 'H' : 'F', static_cast<uint8_t>(index + 1));
    writeByte(speed);
    writeSeparator();

    if (readReply(2) < 2) return LINK_BAD_REPLY;
    if (readReply(INFO_REPLY_SIZE) < INFO_REPLY_SIZE) return LINK_BAD_REPLY;
    setLineSpeed(speed);
    // The second acknowledgement goes beside the reply buffer so that the
    // information reply stays whole for the parser.
    uint8_t ack[2];
    if (readInto(ack, sizeof ack) < sizeof ack) {
        setLineSpeed(SPEED_9600);
        return LINK_BAD_REPLY;
    }
    if (parsePictureInfo() != LINK_OK) {
        // Without "C:" the sizes would be an earlier picture's: fetching
        // them could pass off wrong data as this picture.
        if (firmwareVersion_ >= ADDRESSED_FIRMWARE) {
            writeByte(STOP_BYTE);
            writeByte(STOP_BYTE);
        }
        setLineSpeed(SPEED_9600);
        return LINK_BAD_REPLY;
    }

    const uint32_t size = thumbnail ? pictureInfo_.thumbnailSize : pictureInfo_.pictureSize;
    downloadSize_ = static_cast<int32_t>(size);
    if (!thumbnail && size > LARGEST_PICTURE) {
        setLineSpeed(SPEED_9600);
        report(LINK_TOO_BIG);
        return LINK_TOO_BIG;
    }
    if (thumbnail && size > LARGEST_THUMBNAIL) {
        writeByte(STOP_BYTE);
        writeByte(STOP_BYTE);
        setLineSpeed(SPEED_9600);
        return LINK_TOO_BIG;
    }

    const uint32_t blocks = size / BLOCK_SIZE;
    const uint32_t rest = size - blocks * BLOCK_SIZE;
    if (progress) progress->setMaximum(static_cast<int>(blocks * 100));

    downloadBuffer_.reset();
    downloadBuffer_.reset(allocate_(size));
    downloadBufferSize_ = downloadBuffer_ ? size : 0;
    if (!downloadBuffer_) {
        setLineSpeed(SPEED_9600);
        report(LINK_NO_MEMORY);
        return LINK_NO_MEMORY;
    }

    const bool fetched = firmwareVersion_ < ADDRESSED_FIRMWARE
                             ? fetchStepped(blocks, rest, progress)
                             : fetchAddressed(target, blocks, rest, progress);
    if (!fetched) return blockFailed(tellBlockFailure);

    if (progress) progress->setPosition(0);
    setLineSpeed(SPEED_9600);
    return LINK_OK;
}

bool CameraLink::fetchStepped(uint32_t blocks, uint32_t rest, ProgressSink* progress) {
    command_ = STEP_LETTER;
    uint8_t* buffer = downloadBuffer_.get();
    for (uint32_t i = 0; i < blocks; ++i) {
        writeByte(command_);
        if (readInto(buffer + i * BLOCK_SIZE, BLOCK_SIZE) < BLOCK_SIZE) return false;
        if (progress) progress->setPosition(static_cast<int>(i * 100));
    }
    if (rest != 0) {
        writeByte(command_);
        if (readInto(buffer + blocks * BLOCK_SIZE, rest) < rest) return false;
    }
    return true;
}

bool CameraLink::fetchAddressed(Target target, uint32_t blocks, uint32_t rest,
                                ProgressSink* progress) {
    const bool thumbnail = target == Target::Thumbnail;
    const int lastTry = (thumbnail ? THUMBNAIL_BLOCK_TRIES : PICTURE_BLOCK_TRIES) - 1;
    uint8_t* buffer = downloadBuffer_.get();
    int tries = 0;

    auto stop = [&] {
        writeByte(STOP_BYTE);
        writeByte(STOP_BYTE);
        return false;
    };
    // Asks for block `number` until `count` bytes arrive or its tries run out;
    // then the stop bytes end the transfer on the camera's side. A try that
    // waited its whole time-out for no byte at all is followed by one short
    // probe: a camera that answers it only lost a request on the line and
    // keeps its tries; one that stays silent is not there any more, and
    // waiting out the rest of its tries would only keep the user waiting.
    auto fetch = [&](uint32_t number, uint32_t count) {
        bool probing = false;
        for (;;) {
            purge();
            writeByte(static_cast<uint8_t>(number / 256));
            writeByte(static_cast<uint8_t>(number % 256));
            const uint32_t got = readInto(buffer + number * BLOCK_SIZE, count);
            if (probing) setTimeouts(DOWNLOAD_TIMEOUT_S);
            if (got == count) {
                tries = 0;
                return true;
            }
            // A cancel ends the transfer without the tries left.
            if (cancel_.raised()) return stop();
            if (tries == lastTry || (probing && got == 0)) return stop();
            probing = got == 0 && !probing;
            if (probing) setTimeouts(PROBE_TIMEOUT_S);
            ++tries;
        }
    };

    for (uint32_t i = 0; i < blocks; ++i) {
        if (!fetch(i, BLOCK_SIZE)) return false;
        if (progress) progress->setPosition(static_cast<int>(i * 100));
    }
    if (rest != 0 && !fetch(blocks, rest)) return false;

    writeByte(STOP_BYTE);
    if (thumbnail) {
        const int interval = options_.intervalTenths;
        pause(interval > 0 ? static_cast<unsigned>(interval) * TENTH_MS : 0);
    }
    writeByte(STOP_BYTE);
    return true;
}

LinkResult CameraLink::blockFailed(bool tell) {
    setLineSpeed(SPEED_9600);
    downloadBuffer_.reset();
    downloadBufferSize_ = 0;
    // A cancelled download is the user's doing, not a fault to tell of.
    if (tell && !cancel_.raised()) report(LINK_BLOCK_FAILED);
    return LINK_BLOCK_FAILED;
}

void CameraLink::dropDownload() {
    downloadBuffer_.reset();
    downloadBufferSize_ = 0;
}

void CameraLink::markThumbnailFailed(int32_t failedSize) {
    pictureInfo_.year = 0;
    downloadSize_ = failedSize;
}
