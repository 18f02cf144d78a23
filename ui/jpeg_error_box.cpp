// jpeg_error_box.cpp — libjpeg's messages in the "JPEG Error" box.
#include "ui/jpeg_error_box.h"

#include "image/jpeg_decoder.h"
#include "platform/prompt.h"
#include "platform/window.h"

void showJpegErrorBox(const char* text) {
    plat::PromptOptions options;
    options.buttons = plat::Buttons::Ok;
    (void)plat::messageBox(plat::activeWindow(), text, JPEG_ERROR_CAPTION, options);
}
