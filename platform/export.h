// export.h — marks what a module exports: DS_Entry of the source, DSM_Entry
// of an application acting as Source Manager, the SANE and libgphoto2
// entries. It gives visibility only; C linkage is the declaration's own
// (extern "C"), and each module's export list decides what leaves it.
#pragma once

#ifdef _WIN32
// The .def file names the exports on Windows.
#define PXCM_EXPORT
#else
#define PXCM_EXPORT __attribute__((visibility("default")))
#endif
