// triplet_trace.cpp — names of the TWAIN codes for the triplet trace line.
#include "source/triplet_trace.h"

#include <cstdio>

namespace {

struct CodeName {
    TW_UINT32 code;
    const char* name;
};

#define CODE(c) \
    { c, #c }
constexpr CodeName GROUPS[] = {CODE(DG_CONTROL), CODE(DG_IMAGE), CODE(DG_AUDIO)};
constexpr CodeName DATS[] = {CODE(DAT_NULL),
                             CODE(DAT_CAPABILITY),
                             CODE(DAT_EVENT),
                             CODE(DAT_IDENTITY),
                             CODE(DAT_PARENT),
                             CODE(DAT_PENDINGXFERS),
                             CODE(DAT_SETUPMEMXFER),
                             CODE(DAT_SETUPFILEXFER),
                             CODE(DAT_STATUS),
                             CODE(DAT_USERINTERFACE),
                             CODE(DAT_XFERGROUP),
                             CODE(DAT_CALLBACK),
                             CODE(DAT_IMAGEINFO),
                             CODE(DAT_IMAGELAYOUT),
                             CODE(DAT_IMAGEMEMXFER),
                             CODE(DAT_IMAGENATIVEXFER),
                             CODE(DAT_IMAGEFILEXFER),
                             CODE(DAT_CIECOLOR),
                             CODE(DAT_GRAYRESPONSE),
                             CODE(DAT_RGBRESPONSE),
                             CODE(DAT_JPEGCOMPRESSION),
                             CODE(DAT_PALETTE8)};
constexpr CodeName MSGS[] = {CODE(MSG_NULL),         CODE(MSG_GET),
                             CODE(MSG_GETCURRENT),   CODE(MSG_GETDEFAULT),
                             CODE(MSG_GETFIRST),     CODE(MSG_GETNEXT),
                             CODE(MSG_SET),          CODE(MSG_RESET),
                             CODE(MSG_QUERYSUPPORT), CODE(MSG_XFERREADY),
                             CODE(MSG_CLOSEDSREQ),   CODE(MSG_CLOSEDSOK),
                             CODE(MSG_OPENDSM),      CODE(MSG_CLOSEDSM),
                             CODE(MSG_OPENDS),       CODE(MSG_CLOSEDS),
                             CODE(MSG_USERSELECT),   CODE(MSG_DISABLEDS),
                             CODE(MSG_ENABLEDS),     CODE(MSG_PROCESSEVENT),
                             CODE(MSG_ENDXFER),      CODE(MSG_REGISTER_CALLBACK)};
constexpr CodeName RETURNS[] = {CODE(TWRC_SUCCESS),  CODE(TWRC_FAILURE),  CODE(TWRC_CHECKSTATUS),
                                CODE(TWRC_CANCEL),   CODE(TWRC_DSEVENT),  CODE(TWRC_NOTDSEVENT),
                                CODE(TWRC_XFERDONE), CODE(TWRC_ENDOFLIST)};
constexpr CodeName CONDITIONS[] = {CODE(TWCC_SUCCESS),         CODE(TWCC_BUMMER),
                                   CODE(TWCC_LOWMEMORY),       CODE(TWCC_NODS),
                                   CODE(TWCC_MAXCONNECTIONS),  CODE(TWCC_OPERATIONERROR),
                                   CODE(TWCC_BADCAP),          CODE(TWCC_BADPROTOCOL),
                                   CODE(TWCC_BADVALUE),        CODE(TWCC_SEQERROR),
                                   CODE(TWCC_BADDEST),         CODE(TWCC_CAPUNSUPPORTED),
                                   CODE(TWCC_CAPBADOPERATION), CODE(TWCC_CAPSEQERROR)};
#undef CODE

// The name, or the kind and the number in the caller's buffer.
template <std::size_t N>
const char* nameOf(const CodeName (&names)[N], TW_UINT32 code, const char* kind, char (&buf)[24]) {
    for (const CodeName& n : names)
        if (n.code == code) return n.name;
    std::snprintf(buf, sizeof buf, "%s 0x%04lx", kind, static_cast<unsigned long>(code));
    return buf;
}

}  // namespace

void tripletTraceLine(char (&out)[TRIPLET_LINE_MAX], TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                      TW_UINT16 rc, TW_UINT16 cc) {
    char b[5][24];
    std::snprintf(out, TRIPLET_LINE_MAX, "(TRIP) : %s / %s / %s -> %s, %s",
                  nameOf(GROUPS, dg, "DG", b[0]), nameOf(DATS, dat, "DAT", b[1]),
                  nameOf(MSGS, msg, "MSG", b[2]), nameOf(RETURNS, rc, "TWRC", b[3]),
                  nameOf(CONDITIONS, cc, "TWCC", b[4]));
}
