// acquisition_step.h — the next picture for the transfers: chosen from the
// camera window's selection, downloaded with progress in the window, decoded
// and stored as the current image.
#pragma once

// 1 when a picture was downloaded and stored as the current image, else 0.
int acquireNextPicture();
