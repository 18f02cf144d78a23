// gp_result.h — the one mapping from camera-link results to libgphoto2's
// result codes and to the words the driver tells the context.
#pragma once

#include "camera/link_result.h"

int gpResultFor(LinkResult result);
const char* gpMessageFor(LinkResult result);
