// transfer_client.cpp — image information, native or memory transfer, end
// of the transfer, with every answer of the source checked before use.
#include "tools/pxcm/transfer_client.h"

#include <cstring>

#include "image/dib.h"
#include "platform/memory.h"

namespace pxcm {
namespace {

bool receiveNative(Session& session, const TW_IMAGEINFO& info, ReceivedPicture* out,
                   std::string* error) {
    TW_HANDLE handle = nullptr;
    const TW_UINT16 rc = session.call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
    if (rc != TWRC_XFERDONE) {
        *error = "DAT_IMAGENATIVEXFER answered " + answerText(rc, session.conditionCode());
        return false;
    }
    plat::MemBlock dib(handle);  // the application's now
    plat::MemLock lock(dib.get());
    const std::size_t size = plat::memSize(dib.get());
    if (!lock || size < sizeof(DibHeader)) {
        *error = "the native transfer handed over no bitmap";
        return false;
    }
    DibHeader h;
    std::memcpy(&h, lock.get(), sizeof h);
    if (h.biSize != sizeof(DibHeader) || h.biBitCount != 24 || h.biCompression != 0 ||
        h.biWidth != info.ImageWidth || h.biHeight != info.ImageLength) {
        *error = "the native transfer's bitmap is not the 24-bit " +
                 std::to_string(info.ImageWidth) + " x " + std::to_string(info.ImageLength) +
                 " picture announced";
        return false;
    }
    const std::size_t stride = (static_cast<std::size_t>(h.biWidth) * 3 + 3) & ~std::size_t(3);
    const std::size_t bitsAt = sizeof(DibHeader) + std::size_t(h.biClrUsed) * 4;
    const std::size_t bytes = stride * static_cast<std::size_t>(h.biHeight);
    if (bitsAt > size || bytes > size - bitsAt) {
        *error = "the native transfer's bitmap is shorter than its rows";
        return false;
    }
    const auto* bits = lock.as<const std::uint8_t>() + bitsAt;
    out->pixels.assign(bits, bits + bytes);
    out->rows.top = out->pixels.data() + stride * static_cast<std::size_t>(h.biHeight - 1);
    out->rows.stride = -static_cast<std::ptrdiff_t>(stride);
    out->rows.bgr = true;
    return true;
}

bool receiveMemory(Session& session, const TW_IMAGEINFO& info, ReceivedPicture* out,
                   const RowProgress& progress, std::string* error) {
    TW_SETUPMEMXFER setup{};
    TW_UINT16 rc = session.call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup);
    if (rc != TWRC_SUCCESS) {
        *error = "DAT_SETUPMEMXFER answered " + answerText(rc, session.conditionCode());
        return false;
    }
    const std::uint32_t width = static_cast<std::uint32_t>(info.ImageWidth);
    const std::uint32_t height = static_cast<std::uint32_t>(info.ImageLength);
    const std::size_t rowBytes = std::size_t(width) * 3;
    // The preferred size, unless a whole row does not fit it: strips are
    // whole rows, so the largest buffer the source takes then.
    TW_UINT32 length = setup.Preferred ? setup.Preferred : setup.MinBufSize;
    if (length < rowBytes && setup.MaxBufSize >= rowBytes) length = setup.MaxBufSize;
    if (length < rowBytes) {
        *error = "a row of " + std::to_string(rowBytes) +
                 " bytes does not fit the source's largest memory buffer (" +
                 std::to_string(setup.MaxBufSize) + " bytes)";
        return false;
    }
    std::vector<std::uint8_t> buffer(length);
    out->pixels.assign(rowBytes * height, 0);
    std::uint32_t rowsReceived = 0;
    // One strip per call: never more calls than rows, and one to end.
    for (std::uint32_t calls = 0;; ++calls) {
        if (calls > height) {
            *error = "the memory transfer does not end";
            return false;
        }
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
        xfer.Memory.Length = length;
        xfer.Memory.TheMem = buffer.data();
        rc = session.call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) {
            *error = "DAT_IMAGEMEMXFER answered " + answerText(rc, session.conditionCode()) +
                     " at row " + std::to_string(rowsReceived);
            return false;
        }
        if (xfer.BytesWritten > 0) {
            const bool fits = xfer.BytesPerRow == rowBytes && xfer.Columns == width &&
                              xfer.XOffset == 0 && xfer.YOffset == rowsReceived &&
                              xfer.Rows <= height - rowsReceived &&
                              xfer.BytesWritten == std::size_t(xfer.Rows) * rowBytes &&
                              xfer.BytesWritten <= length;
            if (!fits) {
                *error = "a memory strip does not follow the rows before it (YOffset " +
                         std::to_string(xfer.YOffset) + ", " + std::to_string(xfer.Rows) +
                         " rows, " + std::to_string(xfer.BytesWritten) + " bytes)";
                return false;
            }
            std::memcpy(out->pixels.data() + std::size_t(xfer.YOffset) * rowBytes, buffer.data(),
                        xfer.BytesWritten);
            rowsReceived += xfer.Rows;
            if (progress) progress(rowsReceived, height);
        }
        if (rc == TWRC_XFERDONE) break;
    }
    if (rowsReceived != height) {
        *error = "the memory transfer ended after " + std::to_string(rowsReceived) + " of " +
                 std::to_string(height) + " rows";
        return false;
    }
    out->rows.top = out->pixels.data();
    out->rows.stride = static_cast<std::ptrdiff_t>(rowBytes);
    out->rows.bgr = false;
    return true;
}

bool transfer(Session& session, Mechanism mechanism, ReceivedPicture* out,
              const RowProgress& progress, std::string* error) {
    TW_IMAGEINFO info{};
    const TW_UINT16 rc = session.call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info);
    if (rc != TWRC_SUCCESS) {
        *error = "DAT_IMAGEINFO answered " + answerText(rc, session.conditionCode());
        return false;
    }
    if (info.ImageWidth <= 0 || info.ImageLength <= 0 || info.BitsPerPixel != 24 ||
        info.SamplesPerPixel != 3 || info.PixelType != TWPT_RGB) {
        *error = "DAT_IMAGEINFO describes no 24-bit RGB picture";
        return false;
    }
    out->width = out->rows.width = info.ImageWidth;
    out->height = out->rows.height = info.ImageLength;
    return mechanism == Mechanism::Native ? receiveNative(session, info, out, error)
                                          : receiveMemory(session, info, out, progress, error);
}

}  // namespace

const char* mechanismName(Mechanism m) {
    return m == Mechanism::Native ? "native" : "memory";
}

bool receivePicture(Session& session, Mechanism mechanism, ReceivedPicture* out,
                    const RowProgress& progress, std::string* error, int* left) {
    const bool ok = transfer(session, mechanism, out, progress, error);
    TW_PENDINGXFERS pending{};
    const TW_UINT16 rc = session.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    *left = rc == TWRC_SUCCESS ? pending.Count : 0;
    if (ok && rc != TWRC_SUCCESS) {
        *error = "MSG_ENDXFER answered " + answerText(rc, session.conditionCode());
        return false;
    }
    return ok;
}

}  // namespace pxcm
