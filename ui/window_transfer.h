// window_transfer.h — the next picture for the transfers: chosen from the
// camera window's selection, downloaded with progress in the window, decoded
// and handed to the source to store as the current image.
#pragma once

#include "platform/memory.h"

// Takes a decoded picture (null after a decoding failure) as the current
// image.
using StoreImage = void (*)(plat::MemHandle image);

// 1 when a picture was downloaded and stored as the current image, else 0.
// The picture is stored before the selection changes and the window redraws.
int acquireNextPicture(StoreImage store);
