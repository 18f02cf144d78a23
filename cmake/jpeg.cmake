# libjpeg (the 6.2 interface of libjpeg-turbo) as the target pxcm_jpeg.
add_library(pxcm_jpeg INTERFACE)
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/jpeg_mingw.cmake OPTIONAL RESULT_VARIABLE PXCM_JPEG_MINGW)
else()
  find_package(JPEG REQUIRED)
  target_link_libraries(pxcm_jpeg INTERFACE JPEG::JPEG)
endif()
