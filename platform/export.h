// export.h — marks the functions that a module exports: DS_Entry of the
// source, DSM_Entry of an application acting as Source Manager.
#pragma once

#ifdef _WIN32
// The .def file names the exports on Windows.
#define PXCM_EXPORT
#else
#define PXCM_EXPORT __attribute__((visibility("default")))
#endif
