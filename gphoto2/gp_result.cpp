// gp_result.cpp — link results as GP_ERROR codes and messages.
#include "gphoto2/gp_result.h"

#include <gphoto2/gphoto2-port-result.h>
#include <gphoto2/gphoto2-result.h>

int gpResultFor(LinkResult result) {
    switch (result) {
        case LINK_OK:
            return GP_OK;
        case LINK_NO_MEMORY:
            return GP_ERROR_NO_MEMORY;
        case LINK_NO_ANSWER:
            return GP_ERROR_TIMEOUT;
        case LINK_BAD_REPLY:
        case LINK_BAD_INFO:
        case LINK_TOO_BIG:
        case LINK_DAMAGED:
            return GP_ERROR_CORRUPTED_DATA;
        case LINK_BUSY:
            return GP_ERROR_IO_LOCK;
        case LINK_NO_PORT:
            return GP_ERROR_IO_INIT;
        case LINK_CANCELLED:
            return GP_ERROR_CANCEL;
        default:
            return GP_ERROR_IO;
    }
}

const char* gpMessageFor(LinkResult result) {
    switch (result) {
        case LINK_OK:
            return "done";
        case LINK_NO_ANSWER:
            return "the camera does not answer (is it switched on and connected?)";
        case LINK_BAD_REPLY:
        case LINK_BAD_INFO:
            return "the camera's answer was incomplete or garbled";
        case LINK_BLOCK_FAILED:
            return "the camera stopped sending the picture's data";
        case LINK_NO_MEMORY:
            return "out of memory";
        case LINK_TOO_BIG:
            return "the camera names a size larger than any of its pictures";
        case LINK_DAMAGED:
            return "the picture came damaged";
        case LINK_BUSY:
            return "another program holds the port";
        case LINK_NO_PORT:
            return "the port cannot be opened";
        case LINK_CANCELLED:
            return "cancelled";
        default:
            return "the camera link failed";
    }
}
