// window_release.h — how MSG_CLOSEDS disposes of the camera window.
#pragma once

void releaseCameraWindow();
