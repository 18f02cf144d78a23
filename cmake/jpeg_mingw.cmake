# jpeg_mingw.cmake — the static libjpeg-turbo of the MinGW-w64 builds as the
# target pxcm_jpeg. Built once per architecture from Debian's source package
# by scripts/build-libjpeg-mingw.sh into a cache folder; later configures of
# any build folder reuse it at no cost.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set(_pxcm_jpeg_arch x86_64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
  set(_pxcm_jpeg_arch i686)
else()
  message(FATAL_ERROR "pxcm: no libjpeg build for processor ${CMAKE_SYSTEM_PROCESSOR}")
endif()

set(PXCM_JPEG_MINGW_DIR "${CMAKE_SOURCE_DIR}/.cache/libjpeg-turbo/${_pxcm_jpeg_arch}"
  CACHE PATH "Install folder of the static MinGW libjpeg-turbo (built when missing)")

if(NOT EXISTS "${PXCM_JPEG_MINGW_DIR}/lib/libjpeg.a" OR NOT EXISTS "${PXCM_JPEG_MINGW_DIR}/include/jpeglib.h")
  message(STATUS "pxcm: building libjpeg-turbo for ${_pxcm_jpeg_arch} into ${PXCM_JPEG_MINGW_DIR}")
  execute_process(
    COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/build-libjpeg-mingw.sh" ${_pxcm_jpeg_arch} "${PXCM_JPEG_MINGW_DIR}"
    RESULT_VARIABLE _pxcm_jpeg_rc
    OUTPUT_VARIABLE _pxcm_jpeg_out
    ERROR_VARIABLE _pxcm_jpeg_out)
  if(NOT _pxcm_jpeg_rc EQUAL 0)
    message(FATAL_ERROR "pxcm: building libjpeg-turbo failed (${_pxcm_jpeg_rc}):\n${_pxcm_jpeg_out}")
  endif()
endif()

target_include_directories(pxcm_jpeg SYSTEM INTERFACE "${PXCM_JPEG_MINGW_DIR}/include")
target_link_libraries(pxcm_jpeg INTERFACE "${PXCM_JPEG_MINGW_DIR}/lib/libjpeg.a")
