// camera_protocol.h — the camera's side of the protocol: handshake, requests,
// replies and the two download methods, over a Line and a picture folder.
#pragma once

#include <cstdint>
#include <map>
#include <set>

#include "tools/pxcm-camera/camera_clock.h"
#include "tools/pxcm-camera/faults.h"
#include "tools/pxcm-camera/line.h"
#include "tools/pxcm-camera/picture_store.h"
#include "tools/pxcm-camera/replies.h"

namespace pxcmcam {

struct CameraSettings {
    int firmware = 40;  // version × 10
    bool timing = false;
    bool checkRate = false;
    bool checkFormat = false;
    int transferWaitMs = 0;  // 0: a handshake ends a transfer
    int battery = 1;
    bool modeQ = false;
    bool modeT = false;
    int freeFrames = 20;
    CameraTime clock;
};

class CameraProtocol {
public:
    CameraProtocol(Line& line, const PictureStore& store, const CameraSettings& settings,
                   FaultPlan faults);

    // Answers the PC until the line says it is stopping.
    void run();

private:
    enum class TransferEnd { Finished, Abandoned, Handshake };

    void onByte(std::uint8_t byte);
    void handshake();
    void request(std::uint8_t letter);
    // Counts a complete request; false when the camera has gone silent.
    [[nodiscard]] bool accept(std::uint8_t letter);
    [[nodiscard]] bool silentNow() const;
    [[nodiscard]] std::optional<std::uint8_t> next();
    [[nodiscard]] bool expectSeparator(std::uint8_t letter);

    void replyStatus(std::uint8_t letter);
    void replyInfo(int number);
    void capture();
    void deletePicture(int number);
    void setClock(const std::uint8_t bytes[5]);
    void download(std::uint8_t letter, int number, int speedCode);
    [[nodiscard]] TransferEnd stepped(const Bytes& data);
    [[nodiscard]] TransferEnd addressed(const Bytes& data);
    [[nodiscard]] bool serveBlock(const Bytes& data, long block);
    // With the rate check: waits for the PC's end to show `rate`; `purged`
    // tells that the PC has already purged its queues after switching.
    [[nodiscard]] bool waitForPcRate(int rate, bool purged);
    [[nodiscard]] bool pcAtRate(int rate) const;
    // With the format check: true when the PC's end is 8O2, else says so.
    [[nodiscard]] bool pcInFormat(const char* what) const;

    // Sends a reply with the fault plan applied to it; false when it was cut short.
    bool reply(std::uint8_t letter, Bytes bytes);
    void send(const Bytes& bytes);
    [[nodiscard]] InfoFields describe(int number, const LoadedPicture& p) const;

    Line& line_;
    const PictureStore& store_;
    CameraSettings settings_;
    FaultPlan faults_;
    CameraClock clock_;
    bool modeQ_;
    bool modeT_;
    int freeFrames_;
    bool awake_ = false;     // a handshake came and the request letter may follow
    int requestsDone_ = 0;   // complete requests, for silent-after
    int shots_ = 0;          // pictures taken, for their look
    long blocksServed_ = 0;  // data blocks answered, for stop-after-blocks
    int transferRate_ = 9600;
    std::map<long, int> blockTries_;  // block -> times asked for, for fail-block
    std::set<long> corrupted_;        // blocks already sent corrupted once
};

}  // namespace pxcmcam
