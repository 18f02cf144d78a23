# The skin bitmaps of resources/skin compiled into the POSIX module: each
# file's bytes after its 14-byte file header (the packed DIB, as Windows
# hands out a bitmap resource), in build/generated/skin/skin_bitmaps.h.
file(GLOB PXCM_SKIN_FILES ${CMAKE_SOURCE_DIR}/resources/skin/*.bmp)
list(SORT PXCM_SKIN_FILES)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/resources/skin ${PXCM_SKIN_FILES})
set(PXCM_SKIN_ARRAYS "")
set(PXCM_SKIN_ENTRIES "")
foreach(file ${PXCM_SKIN_FILES})
  get_filename_component(name ${file} NAME)
  string(REGEX MATCH "^[0-9]+" id "${name}")
  if(NOT id)
    message(FATAL_ERROR "skin bitmap ${name} does not start with its resource id")
  endif()
  file(READ ${file} hex OFFSET 14 HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND PXCM_SKIN_ARRAYS "inline constexpr unsigned char SKIN_BITMAP_${id}[] = {${bytes}};\n")
  string(APPEND PXCM_SKIN_ENTRIES "    {${id}, SKIN_BITMAP_${id}, sizeof SKIN_BITMAP_${id}},\n")
endforeach()
set(PXCM_SKIN_GENERATED ${CMAKE_BINARY_DIR}/generated/skin)
file(CONFIGURE OUTPUT ${PXCM_SKIN_GENERATED}/skin_bitmaps.h
  CONTENT "// skin_bitmaps.h — generated from resources/skin; do not edit.
#pragma once

#include <cstddef>

struct SkinBitmapResource {
    int id;
    const unsigned char* dib;
    std::size_t size;
};

@PXCM_SKIN_ARRAYS@
inline constexpr SkinBitmapResource SKIN_BITMAPS[] = {
@PXCM_SKIN_ENTRIES@};
"
  @ONLY)
