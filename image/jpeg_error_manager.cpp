// jpeg_error_manager.cpp — libjpeg messages to the caller's sink, and exits
// that never end the process.
#include "image/jpeg_error_manager.h"

// After jpeglib.h: the message codes.
#include <jerror.h>

#include "image/jpeg_decoder.h"

namespace {

JpegMessageSink g_messageSink = nullptr;

void showMessage(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    if (g_messageSink) {
        g_messageSink(text);
        return;
    }
    // No sink: where libjpeg itself writes its messages.
    std::fprintf(stderr, "%s\n", text);
}

[[noreturn]] void leaveDecoding(j_common_ptr cinfo) {
    auto* mgr = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::longjmp(mgr->exit, 1);
}

[[noreturn]] void fatalExit(j_common_ptr cinfo) {
    (*cinfo->err->output_message)(cinfo);
    leaveDecoding(cinfo);
}

void emitMessage(j_common_ptr cinfo, int level) {
    auto* mgr = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    if (level < 0 && !mgr->rowsComplete && isDamagedDataWarning(mgr->pub.msg_code)) {
        (*mgr->pub.output_message)(cinfo);
        mgr->pub.num_warnings++;
        leaveDecoding(cinfo);
    }
    mgr->standardEmit(cinfo, level);
}

}  // namespace

void setJpegMessageSink(JpegMessageSink sink) {
    g_messageSink = sink;
}

// Only warnings after which libjpeg fills in or drops pixels: a truncated
// file, entropy-coded data it cannot read, a lost restart interval, a
// progression that refines coefficients never sent. Bytes skipped between
// markers (padding some encoders write) and sequential scans with odd
// spectral parameters lose nothing: libjpeg decodes every coefficient.
bool isDamagedDataWarning(int code) {
    switch (code) {
        case JWRN_JPEG_EOF:
        case JWRN_HIT_MARKER:
        case JWRN_MUST_RESYNC:
        case JWRN_HUFF_BAD_CODE:
        case JWRN_ARITH_BAD_CODE:
        case JWRN_BOGUS_PROGRESSION:
            return true;
        default:
            return false;
    }
}

jpeg_error_mgr* initJpegErrorManager(JpegErrorManager* mgr) {
    jpeg_error_mgr* pub = jpeg_std_error(&mgr->pub);
    mgr->standardEmit = pub->emit_message;
    mgr->rowsComplete = false;
    pub->output_message = showMessage;
    pub->error_exit = fatalExit;
    pub->emit_message = emitMessage;
    return pub;
}
