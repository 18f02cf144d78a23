// transfer_client.h — the application's side of one announced picture: the
// image information, the transfer by the chosen mechanism and the end of
// the transfer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image/picture_file.h"
#include "tools/pxcm/app.h"

namespace pxcm {

enum class Mechanism { Native, Memory };

const char* mechanismName(Mechanism m);

// A picture as it arrived: rows top line first.
struct ReceivedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // native: the DIB's bits; memory: RGB rows
    PictureRows rows;                  // a view of `pixels`
};

// Rows received so far out of the picture's height (memory strips).
using RowProgress = std::function<void(std::uint32_t rows, std::uint32_t height)>;

// DAT_IMAGEINFO, the transfer and DAT_PENDINGXFERS / MSG_ENDXFER (sent
// whatever happened before: a failed picture is skipped). `pending` gets
// the pictures of the announcement still to come (0 when MSG_ENDXFER
// failed). False with a one-line reason when no whole picture arrived.
bool receivePicture(Session& session, Mechanism mechanism, ReceivedPicture* out,
                    const RowProgress& progress, std::string* error, int* pending);

}  // namespace pxcm
