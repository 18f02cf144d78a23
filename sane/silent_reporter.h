// silent_reporter.h — the camera link's reporter for the backend: no boxes;
// each failure goes to the debug output and the link gets the answer that
// ends the operation, so the caller sees the link's result code.
#pragma once

#include "camera/camera_error_reporter.h"

class SilentReporter : public CameraErrorReporter {
public:
    // Cancel for a question (Retry/Cancel), OK for a message.
    ReportAnswer reportError(LinkResult code) override;
};
