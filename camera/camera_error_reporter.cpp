// camera_error_reporter.cpp — the messages of the camera's failures, and a
// box's answer as the link takes it.
#include "camera/camera_error_reporter.h"

namespace {

constexpr const char* CAPTION = "KMT-18/19";
constexpr const char* COMMUNICATION_ERROR =
    "Communication error with camera.\nTurn the camera power off and on again,\nexit the TWAIN "
    "DRIVER screen,\nand ACQUIRE again.";

constexpr const char* PORT_IN_USE =
    "The COM port is in use by another program.\nPlease quit that program and try again.";

}  // namespace

ReporterMessage reporterMessage(LinkResult code) {
    switch (code) {
        case LINK_NO_ANSWER:
            return {
                CAPTION,
                "Camera does not respond.\nPlease check whether the camera\npower is on, and try "
                "again.",
                plat::Buttons::RetryCancel};
        case LINK_BAD_REPLY:
        case LINK_BLOCK_FAILED:
            return {CAPTION, COMMUNICATION_ERROR, plat::Buttons::Ok};
        case LINK_BUSY:
            return {CAPTION, PORT_IN_USE, plat::Buttons::RetryCancel};
        case LINK_NO_MEMORY:
            return {CAPTION,
                    "Memory allocation error\nPlease quit another program and try it again.",
                    plat::Buttons::Ok};
        case LINK_TOO_BIG:
            return {"Twain cannot make such big memoryKMT-18/19",
                    "Camera required big memory allocation.\n", plat::Buttons::Ok};
        default:
            return {CAPTION, "Unrespected error happened.", plat::Buttons::Ok};
    }
}

ReportAnswer answerOfBox(int boxAnswer) {
    switch (boxAnswer) {
        case plat::ANSWER_RETRY:
            return ReportAnswer::Retry;
        case plat::ANSWER_CANCEL:
            return ReportAnswer::Cancel;
        default:
            return ReportAnswer::Ok;
    }
}
