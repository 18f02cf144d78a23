// image_ops.h — the DG_IMAGE operations: image information and layout, the
// palette, response curves, CIE colour and JPEG records, and the native,
// memory and file transfers.
#pragma once

#include "source/triplet.h"

TW_UINT16 ImageInfoMsg(TripletArgs* args);
TW_UINT16 ImageLayoutMsg(TripletArgs* args);
TW_UINT16 ImageMemXferMsg(TripletArgs* args);
TW_UINT16 ImageNativeXferMsg(TripletArgs* args);
TW_UINT16 ImageFileXferMsg(TripletArgs* args);
TW_UINT16 Palette8Msg(TripletArgs* args);
TW_UINT16 GrayResponseMsg(TripletArgs* args);
TW_UINT16 RGBResponseMsg(TripletArgs* args);
TW_UINT16 CIEColorMsg(TripletArgs* args);
TW_UINT16 JPEGCompressionMsg(TripletArgs* args);

// More memory-transfer calls than this for one picture abort it.
constexpr int MAX_STRIP_CALLS = 1000;
constexpr char STRIP_ABORT_TEXT[] = "The source aborts a memory transfer";
constexpr char STRIP_ABORT_CAPTION[] = "Sample Source";
constexpr char BUFFER_TOO_SMALL_TEXT[] = "Buffer is too small for strip transfers";
