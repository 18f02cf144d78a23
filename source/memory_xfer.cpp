// memory_xfer.cpp — DAT_IMAGEMEMXFER: the current image in strips of whole
// rows, top row first, red, green, blue, one strip per call.
#include <cstring>

#include "platform/prompt.h"
#include "platform/trace.h"
#include "source/current_image.h"
#include "source/error_box.h"
#include "source/image_ops.h"
#include "source/memory_limits.h"
#include "source/source_state.h"
#include "source/transfer_state.h"

namespace {

constexpr char TRACE_MEM_XFER[] = "(PROT) : TW_UINT16 ImageMemXferMsg";
constexpr char FAIL_MEM_XFER[] = "General failure in response to DAT_IMAGEINFO.  ";

void restartStrips() {
    g_transfer.bytesSent = 0;
    g_transfer.stripCalls = 0;
}

// The application's buffer, as a pointer or locked from its handle.
class StripBuffer {
public:
    explicit StripBuffer(const TW_MEMORY& memory) {
        if (memory.Flags & TWMF_HANDLE) {
            if (!memory.TheMem || plat::memSize(memory.TheMem) < memory.Length) return;
            handle_ = memory.TheMem;
            data_ = plat::memLock(handle_);
        } else {
            data_ = memory.TheMem;
        }
    }
    ~StripBuffer() {
        if (handle_ && data_) plat::memUnlock(handle_);
    }
    StripBuffer(const StripBuffer&) = delete;
    StripBuffer& operator=(const StripBuffer&) = delete;
    void* get() const { return data_; }

private:
    plat::MemHandle handle_ = nullptr;
    void* data_ = nullptr;
};

}  // namespace

TW_UINT16 ImageMemXferMsg(TripletArgs* args) {
    TraceLog(TRACE_MEM_XFER);
    auto* xfer = static_cast<pTW_IMAGEMEMXFER>(args->data);

    if (++g_transfer.stripCalls > MAX_STRIP_CALLS) {
        plat::messageBox(nullptr, STRIP_ABORT_TEXT, STRIP_ABORT_CAPTION, {});
        if (xfer) xfer->BytesWritten = 0;
        // The picture stays: the next memory transfer starts it again.
        restartStrips();
        return TWRC_XFERDONE;
    }
    if (args->msg != MSG_GET) return failWith(TWCC_BADPROTOCOL, FAIL_MEM_XFER);
    if (!xfer) return failWith(TWCC_BADVALUE, FAIL_MEM_XFER);

    const MemoryLimits limits = readStripLimits();
    const TW_UINT32 length = xfer->Memory.Length;
    if (length < limits.min || length > limits.max) return TWRC_FAILURE;

    CurrentImageLock image;
    if (!image) return TWRC_FAILURE;
    PictureGeometry g;
    if (!pictureGeometry(image.data(), image.size(), &g))
        return failWith(TWCC_BUMMER, FAIL_MEM_XFER);

    xfer->Compression = TWCP_NONE;
    xfer->BytesPerRow = g.bytesPerRow;
    if (g.bytesPerRow > length) {
        plat::messageBox(nullptr, BUFFER_TOO_SMALL_TEXT, nullptr, {});
        return TWRC_FAILURE;
    }
    const TW_UINT32 maxRows = length / g.bytesPerRow;
    const TW_UINT32 rowsSent = g_transfer.bytesSent / g.bytesPerRow;
    // Never beyond the picture: a position past its end is no strip of it.
    if (rowsSent >= g.height || g_transfer.bytesSent > g.pixelBytes)
        return failWith(TWCC_BUMMER, FAIL_MEM_XFER);

    xfer->Columns = g.width;
    xfer->Rows = maxRows;
    xfer->XOffset = 0;
    xfer->YOffset = rowsSent;
    const TW_UINT32 remaining = g.height - rowsSent;
    const bool last = maxRows >= remaining;
    const TW_UINT32 rows = last ? remaining : maxRows;
    const std::size_t bytes = std::size_t(rows) * g.bytesPerRow;
    if (g_transfer.bytesSent + std::uint64_t(bytes) > g.pixelBytes)
        return failWith(TWCC_BUMMER, FAIL_MEM_XFER);

    StripBuffer buffer(xfer->Memory);
    if (!buffer.get()) return failWith(TWCC_BADVALUE, FAIL_MEM_XFER);
    if (last) xfer->Rows = remaining;
    xfer->BytesWritten = static_cast<TW_UINT32>(bytes);
    std::memcpy(buffer.get(), image.data() + g.pixelOffset + g_transfer.bytesSent, bytes);
    g_transfer.bytesSent += static_cast<std::uint32_t>(bytes);

    image.unlock();
    if (!last) return TWRC_SUCCESS;
    plat::memFree(g_transfer.currentImage);
    g_transfer.currentImage = nullptr;
    restartStrips();
    return TWRC_XFERDONE;
}
