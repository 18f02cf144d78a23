// window_script.h — pxcm's script lines and selections, shared with the
// source's own window script.
#pragma once

#include "ui/window_script.h"
