// config_widgets.h — the driver's configuration tree: the camera's picture
// size and self-timer, its clock (shown, set to a time or from this
// computer's), and the download speed.
#pragma once

#include <gphoto2/gphoto2-camera.h>

int getConfig(Camera* camera, CameraWidget** window, GPContext* context);
int setConfig(Camera* camera, CameraWidget* window, GPContext* context);
