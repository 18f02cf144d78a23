// camera_module.h — the module's one camera link and one reporter, constructed
// at load and destroyed at unload (the link then frees its download buffer and
// closes its port).
#pragma once

#include "camera/camera_error_reporter.h"
#include "camera/camera_link.h"

CameraLink& cameraLink();
CameraMessageReporter& cameraErrorReporter();
