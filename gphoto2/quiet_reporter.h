// quiet_reporter.h — the camera link's reporter for the driver: no boxes;
// the link gets the answer that ends the operation (Cancel to its question
// whether to retry an unanswered handshake), and the driver tells the
// context what failed.
#pragma once

#include "camera/camera_error_reporter.h"

class QuietReporter : public CameraErrorReporter {
public:
    ReportAnswer reportError(LinkResult code) override {
        return code == LINK_NO_ANSWER ? ReportAnswer::Cancel : ReportAnswer::Ok;
    }
};
