// camera_error_reporter.h — how the camera link tells the user about a
// failure and gets an answer, and the message each failure is told with.
// The front ends pass their own reporter in (ui/camera_message_reporter.h
// shows boxes).
#pragma once

#include "camera/link_result.h"
#include "platform/prompt.h"

// What the person told of a failure wants of the link.
enum class ReportAnswer {
    Retry,   // try the operation again
    Cancel,  // give up the operation (and stop the loop around it)
    Ok,      // the message is seen; the operation has failed
};

class CameraErrorReporter {
public:
    virtual ~CameraErrorReporter() = default;
    // Tells of the failure of a result code; returns what to do next.
    virtual ReportAnswer reportError(LinkResult code) = 0;
};

// A box's answer (plat::ANSWER_RETRY, _CANCEL, _OK) as the link takes it.
ReportAnswer answerOfBox(int boxAnswer);

// The box that the module's reporter shows for a code.
struct ReporterMessage {
    const char* caption;
    const char* text;
    plat::Buttons buttons;
};
ReporterMessage reporterMessage(LinkResult code);
