/* saneopts.h — the system's SANE header, where tstbackend.c looks for its own. */
#include <sane/saneopts.h>
