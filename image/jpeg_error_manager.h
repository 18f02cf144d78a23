// jpeg_error_manager.h — libjpeg's standard error manager, with its messages
// given to the sink of setJpegMessageSink and a fatal exit that returns to the decoder
// (longjmp) instead of ending the host application.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

struct JpegErrorManager {
    jpeg_error_mgr pub;  // first member: libjpeg sees only this part
    // Where a fatal error, or damaged picture data, returns to.
    std::jmp_buf exit;
    void (*standardEmit)(j_common_ptr, int);
    // Set once every row has been read: a damaged or missing end of file
    // then loses nothing and is only a warning.
    bool rowsComplete;
};

// Fills mgr with libjpeg's standard manager and these changes: messages go
// to the message sink; a fatal error shows its message and longjmps to
// mgr->exit; so does the first sign of damaged picture data (a truncated
// file, a bad entropy code) while rows are still to come, since libjpeg
// would make up the rest of such a picture. Other warnings follow libjpeg's
// rule (the first one of a picture is shown) and decoding goes on. Returns
// the pointer for jpeg_decompress_struct::err.
jpeg_error_mgr* initJpegErrorManager(JpegErrorManager* mgr);

// True for the warnings that mean the picture data itself is damaged.
bool isDamagedDataWarning(int messageCode);
