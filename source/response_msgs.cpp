// response_msgs.cpp — the gray and RGB response curves (stored, never read
// back), the fixed CIE colour description and the JPEG record.
#include <cstdio>

#include "caps/fix32.h"
#include "caps/settings_files.h"
#include "platform/profile.h"
#include "platform/trace.h"
#include "source/image_ops.h"
#include "source/source_state.h"

namespace {

constexpr char TRACE_GRAY[] = "(PROT) : TW_UINT16 GrayResponseMsg";
constexpr char TRACE_RGB[] = "(PROT) : TW_UINT16 RGBResponseMsg";
constexpr char TRACE_CIE[] = "(PROT) : TW_UINT16 CIEColorMsg";
constexpr char TRACE_JPEG[] = "(PROT) : TW_UINT16 JPEGCompressionMsg";

constexpr char GRAY_SECTION[] = "GrayResponse";
constexpr char RGB_SECTION[] = "RGBResponse";
constexpr int RESPONSE_ENTRIES = 16;

// Writes Response[0] to Response[15] of the record into `section`.
TW_UINT16 storeResponse(const char* section, const TW_ELEMENT8* response) {
    if (!response) {
        g_source.conditionCode = TWCC_BADVALUE;
        return TWRC_FAILURE;
    }
    const char* file = sourceControlPathInUse();
    for (long i = 0; i < RESPONSE_ENTRIES; ++i) {
        char key[32];
        char value[48];
        std::snprintf(key, sizeof key, "Response[%ld]", i);
        std::snprintf(value, sizeof value, "{%ld,%ld,%ld}", static_cast<long>(response[i].Channel1),
                      static_cast<long>(response[i].Channel2),
                      static_cast<long>(response[i].Channel3));
        if (*file) plat::profileWriteString(section, key, value, file);
    }
    return TWRC_SUCCESS;
}

constexpr float MIX[3][3] = {{0.0f, 0.1f, 0.2f}, {1.0f, 1.1f, 1.2f}, {2.0f, 2.1f, 2.2f}};

void setMix(TW_FIX32 (&mix)[3][3]) {
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) mix[row][col] = FloatToFIX32(MIX[row][col]);
}

void setPoint(TW_CIEPOINT& p, float x, float y, float z) {
    p.X = FloatToFIX32(x);
    p.Y = FloatToFIX32(y);
    p.Z = FloatToFIX32(z);
}

}  // namespace

TW_UINT16 GrayResponseMsg(TripletArgs* args) {
    TraceLog(TRACE_GRAY);
    auto* record = static_cast<pTW_GRAYRESPONSE>(args->data);
    return storeResponse(GRAY_SECTION, record ? record->Response : nullptr);
}

TW_UINT16 RGBResponseMsg(TripletArgs* args) {
    TraceLog(TRACE_RGB);
    auto* record = static_cast<pTW_RGBRESPONSE>(args->data);
    return storeResponse(RGB_SECTION, record ? record->Response : nullptr);
}

TW_UINT16 CIEColorMsg(TripletArgs* args) {
    TraceLog(TRACE_CIE);
    auto* cie = static_cast<pTW_CIECOLOR>(args->data);
    if (!cie) {
        g_source.conditionCode = TWCC_BADVALUE;
        return TWRC_FAILURE;
    }
    cie->ColorSpace = TWPT_RGB;
    cie->LowEndian = 0;
    cie->DeviceDependent = 1;
    cie->VersionNumber = 0;
    cie->StageABC.Decode[0].StartIn = FloatToFIX32(0.1f);
    setMix(cie->StageABC.Mix);
    cie->StageLMN.Decode[0].StartIn = FloatToFIX32(1.1f);
    setMix(cie->StageLMN.Mix);
    setPoint(cie->WhitePoint, 4.4f, 5.5f, 6.6f);
    setPoint(cie->BlackPoint, 1.1f, 5.5f, 6.6f);
    setPoint(cie->WhitePaper, 1.1f, 5.5f, 6.6f);
    setPoint(cie->BlackInk, 1.1f, 5.5f, 6.6f);
    cie->Samples[0] = FloatToFIX32(99.99f);
    return TWRC_SUCCESS;
}

TW_UINT16 JPEGCompressionMsg(TripletArgs* args) {
    TraceLog(TRACE_JPEG);
    return TWRC_SUCCESS;
}
