# The layers, each a static library that links only what lies below it:
# platform (files, settings, serial port, threads, the Source Manager seam),
# wsys (the window system: windows, surfaces, fonts, message boxes), image,
# camera, caps, ui, source. The front ends link the libraries they use and
# nothing more: the data source all of them, the SANE backend and the gphoto2
# driver camera, image and platform only.
#
# pxcm_layer(NAME SOURCES... [BELOW libs...] [LINK libs...])
# BELOW are the layer libraries under NAME, LINK the system libraries it
# needs. Unless turned off (sanitizer and fuzz runtimes leave their own
# symbols to the program), each layer is also linked whole into an empty
# shared object against BELOW alone with --no-undefined: a call that runs up
# the layers fails the build there.
option(PXCM_LAYER_CHECK "Fail the build on a link edge that runs up the layers" ON)
if(PXCM_SANITIZE OR PXCM_TSAN OR PXCM_FUZZ)
  set(PXCM_LAYER_CHECK OFF)
endif()

set(PXCM_CORE_OBJECTS "")
function(pxcm_layer name)
  cmake_parse_arguments(L "" "" "SOURCES;BELOW;LINK" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${L_BELOW} ${L_LINK})
  if(WIN32)
    target_compile_definitions(${name} PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX)
  endif()
  set(PXCM_CORE_OBJECTS ${PXCM_CORE_OBJECTS} $<TARGET_OBJECTS:${name}> PARENT_SCOPE)
  if(PXCM_LAYER_CHECK)
    add_library(${name}_check SHARED $<TARGET_OBJECTS:${name}>)
    target_link_libraries(${name}_check PRIVATE ${name})
    target_link_options(${name}_check PRIVATE -Wl,--no-undefined)
    if(WIN32)
      target_link_options(${name}_check PRIVATE -static-libgcc -static-libstdc++)
    endif()
    set_target_properties(${name}_check PROPERTIES
      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layer-check
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layer-check)
  endif()
endfunction()
