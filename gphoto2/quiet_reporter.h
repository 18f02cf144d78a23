// quiet_reporter.h — the camera link's reporter for the driver: no boxes;
// the link gets the answer that ends the operation (Cancel to its question
// whether to retry an unanswered handshake), and the driver tells the
// context what failed.
#pragma once

#include "camera/camera_error_reporter.h"
#include "platform/prompt.h"

class QuietReporter : public CameraErrorReporter {
public:
    int reportError(LinkResult code) override {
        return code == LINK_NO_ANSWER ? plat::ANSWER_CANCEL : plat::ANSWER_OK;
    }
};
