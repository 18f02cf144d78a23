// caps_trace.h — the trace lines of the capability store and its containers.
#pragma once

constexpr char TRACE_RESET_VALUES[] = "(CAPS) : TW_UINT16 ResetValues";
constexpr char TRACE_SET_VALUES[] = "(CAPS) : TW_UINT16 SetValues";
constexpr char TRACE_SET_NEW_CAP[] = "(CAPS) : TW_INT16 SetNewCap";
constexpr char TRACE_QUERY_SUPPORT[] = "(CAPS) : TW_UINT16 QuerySupport";
constexpr char TRACE_IS_CAP_ALLOWED[] = "(CAPS) : BOOL IsCapAllowed";
constexpr char TRACE_CONVERT_ATTRIBUTE[] = "(CAPS) : void ConvertAttributeToText";
constexpr char TRACE_RANGE_MINIMUM[] = "(CAPS) : TW_UINT32 RangeMinimum";
constexpr char TRACE_RANGE_MAXIMUM[] = "(CAPS) : TW_UINT32 RangeMaximum";
constexpr char TRACE_RANGE_STEP[] = "(CAPS) : TW_UINT32 RangeStep";
constexpr char TRACE_FLOAT_TO_FIX32[] = "(CAPS) : TW_FIX32 FloatToFIX32";
constexpr char TRACE_FIX32_TO_FLOAT[] = "(CAPS) : float FIX32ToFloat";

constexpr char TRACE_BUILD_ONE_VALUE[] = "(COM ) : TW_UINT16 BuildUpOneValue";
constexpr char TRACE_BUILD_ENUMERATION[] = "(COM ) : VOID BuildUpEnumerationType";
constexpr char TRACE_BUILD_ARRAY[] = "(COM ) : VOID BuildUpArrayType";
constexpr char TRACE_BUILD_RANGE[] = "(COM ) : VOID BuildUpRangeType";
constexpr char TRACE_EXTRACT_ONE_VALUE[] = "(COM ) : VOID ExtractOneValue";
constexpr char TRACE_EXTRACT_ENUMERATION[] = "(COM ) : VOID ExtractEnumerationValue";
constexpr char TRACE_ALT_ITEM_SIZE[] = "(COM ) : TW_UINT16 AltTWItemSize";
