// jpeg_error_box.h — libjpeg's messages in the "JPEG Error" box, over the
// window that is active: the message sink of the data source and of pxcm.
#pragma once

void showJpegErrorBox(const char* text);
