/* config.h — what tstbackend.c asks of the configuration of the SANE sources
 * it comes from, for building it alone against the system's libsane. */
#define HAVE_LONG_LONG 1
