/* sanei.h — the one internal function of libsane that tstbackend.c uses:
 * libsane.so.1 exports it. */
#include <sane/sane.h>

SANE_Status sanei_constrain_value(const SANE_Option_Descriptor* opt, void* value, SANE_Word* info);
