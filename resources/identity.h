// identity.h — the source's identity strings, the one place they are written.
// The resource script puts them in its string table (ids 0 to 3); the POSIX
// build compiles them in.
#pragma once

#define IDS_MANUFACTURER 0
#define IDS_PRODUCT_FAMILY 1
#define IDS_PRODUCT_NAME 2
#define IDS_VERSION_INFO 3

#define IDENTITY_MANUFACTURER "Orvimex TWAIN"
#define IDENTITY_PRODUCT_FAMILY "TWAIN"
#define IDENTITY_PRODUCT_NAME "Vantrel KMT-18/19 ver 1.6"
#define IDENTITY_VERSION_INFO "April, 1998"
