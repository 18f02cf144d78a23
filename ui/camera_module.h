// camera_module.h — the data source's one camera and one reporter,
// constructed at load and destroyed at unload (the camera then frees its
// download buffer and closes its port).
#pragma once

#include "camera/camera_device.h"
#include "ui/camera_message_reporter.h"

CameraDevice& cameraDevice();
CameraMessageReporter& cameraErrorReporter();
// The camera as at load (tests): port closed, state cleared.
void resetCameraDevice();
