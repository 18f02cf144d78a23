// camera_status.h — the camera status indicators (battery gauge, the faces
// of the two mode toggles) and the speed selector.
#pragma once

#include "platform/os_types.h"

// Battery picture and toggle faces from the link's status; sets the latches
// and validates the window (it draws inside a begin/end-paint pair).
void drawCameraStatus(HWND window);
void drawSpeedSelector(HWND window);
// 1 when the point chose a speed; the dots are redrawn in every case.
int hitSpeedSelector(HWND window, int x, int y);

// The g_window.batteries slot (206, 207, 208, 209 in order) for a level.
int batterySlot(int level);
