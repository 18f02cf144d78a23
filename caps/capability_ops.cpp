// capability_ops.cpp — answering (SetValues), storing (SetNewCap) and
// restoring (ResetValues) a capability's values in the settings files.
#include "caps/capability_ops.h"
#include "caps/item_words.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "caps/caps_state.h"
#include "caps/caps_trace.h"
#include "caps/containers.h"
#include "caps/fix32.h"
#include "caps/settings_files.h"
#include "caps/value_text.h"
#include "platform/memory.h"
#include "platform/prompt.h"
#include "platform/trace.h"

namespace {

constexpr char NOT_ALLOWED_TEXT[] = "IsCapAllowed";
constexpr char ONEVALUE_NAME[] = "TWON_ONEVALUE";
constexpr char ENUMERATION_NAME[] = "TWON_ENUMERATION";
constexpr char RANGE_NAME[] = "TWON_RANGE";
constexpr char CANNOT_RESET[] = "TWCC_BADPROTOCOL";

std::string controlText(const char* section, const char* key, const char* def,
                        std::size_t maxChars) {
    return caps::readText(caps::sourceControlFile(), section, key, def, maxChars);
}

// Writes one capability's keys together; false when the file did not take
// them (it is then as it was).
bool writeControl(const char* section,
                  std::initializer_list<std::pair<const char*, const std::string*>> keys) {
    std::vector<plat::ProfileEntry> entries;
    for (const auto& [key, value] : keys) entries.push_back({key, value->c_str()});
    return caps::writeTexts(caps::sourceControlFile(), section, entries.data(), entries.size());
}

TW_UINT16 itemTypeOf(const char* section) {
    return static_cast<TW_UINT16>(caps::dictionaryNumber(
        ITEM_TYPE_SECTION, controlText(section, TYPE_KEY, "", KEY_TEXT_MAX)));
}

TW_UINT16 conTypeOf(const std::string& name) {
    return static_cast<TW_UINT16>(caps::dictionaryNumber(CON_TYPE_SECTION, name));
}

// The items of a list text packed at the item type's width, as the list
// builders take them.
std::vector<TW_UINT8> packItems(const std::vector<std::string_view>& items, const char* section,
                                TW_UINT16 itemType) {
    const std::size_t width = caps::itemWidth(itemType);
    std::vector<TW_UINT8> packed(items.size() * width);
    if (width == 0) return packed;
    for (std::size_t i = 0; i < items.size(); ++i) {
        TW_UINT8* slot = packed.data() + i * width;
        if (itemType == TWTY_FRAME) {
            const TW_FRAME frame = caps::parseFrame(items[i]);
            const TW_FIX32 edges[] = {frame.Left, frame.Top, frame.Right, frame.Bottom};
            for (int e = 0; e < 4; ++e) {
                TW_UINT32 word = fix32ToWord(edges[e]);
                for (int b = 0; b < 4; ++b)
                    slot[e * 4 + b] = static_cast<TW_UINT8>(word >> (8 * b));
            }
            continue;
        }
        TW_UINT32 word = caps::valueNumber(items[i], section, itemType);
        for (std::size_t b = 0; b < width; ++b) slot[b] = static_cast<TW_UINT8>(word >> (8 * b));
    }
    return packed;
}

// For MSG_SET the answer goes into the application's block: it must hold it.
bool answerFits(pTW_CAPABILITY cap, TW_UINT16 msg, std::size_t bytes) {
    return msg != MSG_SET || plat::memSize(cap->hContainer) >= bytes;
}

}  // namespace

TW_UINT16 SetValues(pTW_CAPABILITY cap, TW_UINT16 msg, const char* section) {
    TraceLog(TRACE_SET_VALUES);
    if (!cap) return TWCC_BADVALUE;

    const char* containerKey;
    const char* valueKey;
    std::string containerText;
    switch (msg) {
        case MSG_GET:
            containerKey = GET_KEY;
            containerText = controlText(section, containerKey, "", KEY_TEXT_MAX);
            valueKey = containerText == ONEVALUE_NAME ? CURRENT_KEY : ALLOWED_KEY;
            break;
        case MSG_GETCURRENT:
            containerKey = GET_CURRENT_KEY;
            valueKey = CURRENT_KEY;
            break;
        case MSG_GETDEFAULT:
            containerKey = GET_DEFAULT_KEY;
            valueKey = DEFAULT_KEY;
            break;
        case MSG_SET:
            containerKey = SET_KEY;
            valueKey = g_caps.lastSetKey;
            break;
        case MSG_RESET:
            containerKey = RESET_KEY;
            containerText = controlText(section, containerKey, "", KEY_TEXT_MAX);
            valueKey = containerText == ONEVALUE_NAME ? CURRENT_KEY : ALLOWED_KEY;
            break;
        default:
            return TWCC_BADPROTOCOL;
    }
    if (msg != MSG_GET && msg != MSG_RESET)
        containerText = controlText(section, containerKey, "", KEY_TEXT_MAX);

    const std::string value = controlText(section, valueKey, NO_SECTION, VALUE_TEXT_MAX);
    if (value == NO_SECTION) return TWCC_BADCAP;

    const TW_UINT16 itemType = itemTypeOf(section);
    TW_UINT16 conType = conTypeOf(containerText);
    // Several container names: the shape of the value text decides.
    if (containerText.find(',') != std::string::npos) {
        switch (caps::shapeOf(value)) {
            case caps::Shape::Range:
                conType = TWON_RANGE;
                break;
            case caps::Shape::Array:
                conType = TWON_ARRAY;
                break;
            case caps::Shape::Enumeration:
                conType = TWON_ENUMERATION;
                break;
            case caps::Shape::OneValue:
                conType = TWON_ONEVALUE;
                break;
        }
    }

    switch (conType) {
        case TWON_ONEVALUE:
            if (!answerFits(cap, msg, caps::ONEVALUE_BYTES)) return TWCC_BADVALUE;
            if (BuildUpOneValue(cap, itemType, caps::valueNumber(value, section, itemType), msg) !=
                TWCC_SUCCESS)
                return TWCC_LOWMEMORY;
            break;
        case TWON_ENUMERATION:
        case TWON_ARRAY: {
            const bool isArray = conType == TWON_ARRAY;
            const auto items = caps::splitList(isArray ? caps::arrayBody(value) : value);
            TW_UINT32 currentIndex = 0, defaultIndex = 0;
            if (!isArray) {
                // The indexes name items of this answer, or there is no answer:
                // the stored value may lie past the items a list can hold, or
                // the list may hold none.
                currentIndex = static_cast<TW_UINT32>(GetIndex(MSG_GETCURRENT, section));
                defaultIndex = static_cast<TW_UINT32>(GetIndex(MSG_GETDEFAULT, section));
                if (currentIndex >= items.size() || defaultIndex >= items.size())
                    return TWCC_BADVALUE;
            }
            if (!answerFits(cap, msg, caps::containerBytes(conType, itemType, items.size())))
                return TWCC_BADVALUE;
            const std::vector<TW_UINT8> packed = packItems(items, section, itemType);
            if (isArray) {
                TW_ARRAY header{};
                header.ItemType = itemType;
                header.NumItems = static_cast<TW_UINT32>(items.size());
                BuildUpArrayType(cap, &header, packed.data(), msg);
            } else {
                TW_ENUMERATION header{};
                header.ItemType = itemType;
                header.NumItems = static_cast<TW_UINT32>(items.size());
                header.CurrentIndex = currentIndex;
                header.DefaultIndex = defaultIndex;
                BuildUpEnumerationType(cap, &header, packed.data(), msg);
            }
            break;
        }
        case TWON_RANGE: {
            if (!answerFits(cap, msg, caps::RANGE_BYTES)) return TWCC_BADVALUE;
            TW_RANGE range{};
            range.ItemType = itemType;
            range.MinValue = RangeMinimum(value.c_str(), itemType);
            range.MaxValue = RangeMaximum(value.c_str(), itemType);
            range.StepSize = RangeStep(value.c_str(), itemType);
            range.DefaultValue = 0;
            range.CurrentValue = 0;
            BuildUpRangeType(cap, &range, msg);
            break;
        }
        default:
            // No container for a type that the dictionary does not know: the
            // capability cannot be answered as it is described.
            return TWCC_BADCAP;
    }
    // The list and range builders leave no handle when the block could not
    // be had.
    if (!cap->hContainer) return TWCC_LOWMEMORY;
    return TWCC_SUCCESS;
}

namespace {

// An integer item read at its width, sign-extended for the signed types.
long long integerItem(const TW_UINT8* p, TW_UINT16 itemType) {
    return caps::integerValue(itemType, caps::readWord(p, caps::listItemWidth(itemType)));
}

TW_FRAME frameItem(const TW_UINT8* p) {
    TW_FRAME f;
    f.Left = wordToFix32(caps::readWord(p, 4));
    f.Top = wordToFix32(caps::readWord(p + 4, 4));
    f.Right = wordToFix32(caps::readWord(p + 8, 4));
    f.Bottom = wordToFix32(caps::readWord(p + 12, 4));
    return f;
}

// The text of one list item of a set: reals and frames as reals, integers
// through the dictionary (enumerations) or as numbers (arrays).
std::string setItemText(const TW_UINT8* p, TW_UINT16 itemType, bool named, const char* section) {
    if (itemType == TWTY_FIX32)
        return caps::formatReal(FIX32ToFloat(wordToFix32(caps::readWord(p, 4))));
    if (itemType == TWTY_FRAME) return caps::formatFrame(frameItem(p));
    const long long v = integerItem(p, itemType);
    char text[caps::ATTRIBUTE_TEXT_BYTES] = "";
    if (named)
        ConvertAttributeToText(static_cast<int>(v), text, section);
    else
        std::snprintf(text, sizeof text, "%lld", v);
    return text;
}

// The list of an enumeration or array set as text, or false when it cannot
// be read from the block or would not fit in a value text.
bool listText(const TW_UINT8* block, std::size_t blockSize, std::size_t headerBytes,
              TW_UINT16 itemType, TW_UINT32 numItems, bool named, const char* section,
              std::string& out) {
    const std::size_t width = caps::listItemWidth(itemType);
    if (width == 0 || numItems > LIST_ITEMS_MAX) return false;
    if (headerBytes + std::size_t{numItems} * width > blockSize) return false;
    for (TW_UINT32 i = 0; i < numItems; ++i) {
        if (i) out += ',';
        out += setItemText(block + headerBytes + i * width, itemType, named, section);
        if (out.size() > VALUE_TEXT_MAX) return false;
    }
    return true;
}

std::string rangeText(const TW_RANGE& r, std::string& current, std::string& def) {
    if (r.ItemType == TWTY_FIX32) {
        auto real = [](TW_UINT32 w) { return caps::formatReal(FIX32ToFloat(wordToFix32(w))); };
        current = real(r.CurrentValue);
        def = real(r.DefaultValue);
        return real(r.MinValue) + "_to_" + real(r.MaxValue) + "," + real(r.StepSize);
    }
    auto integer = [](TW_UINT32 w) { return std::to_string(static_cast<std::int32_t>(w)); };
    current = integer(r.CurrentValue);
    def = integer(r.DefaultValue);
    return integer(r.MinValue) + "_to_" + integer(r.MaxValue) + "," + integer(r.StepSize);
}

}  // namespace

TW_INT16 SetNewCap(pTW_CAPABILITY cap, const char* section) {
    TraceLog(TRACE_SET_NEW_CAP);
    if (!cap) return TWCC_BADVALUE;

    const std::string setText = controlText(section, SET_KEY, "", KEY_TEXT_MAX);
    bool accepted = false;
    for (std::string_view name : caps::splitList(setText, SIZE_MAX))
        if (conTypeOf(std::string(name)) == cap->ConType) accepted = true;
    if (!accepted) return TWCC_BADVALUE;

    if (!cap->hContainer) return TWCC_BADVALUE;
    const std::size_t blockSize = plat::memSize(cap->hContainer);
    plat::MemLock lock(cap->hContainer);
    if (!lock) return TWCC_BADVALUE;
    const auto* block = lock.as<TW_UINT8>();
    // Every container starts with its item type: values of another type
    // than the capability's cannot be stored as what it does.
    if (blockSize < sizeof(TW_UINT16)) return TWCC_BADVALUE;
    const TW_UINT16 itemType = caps::readWord(block, sizeof(TW_UINT16)) & 0xFFFFu;
    if (itemType != itemTypeOf(section)) return TWCC_BADVALUE;

    switch (cap->ConType) {
        case TWON_ONEVALUE: {
            if (blockSize < caps::ONEVALUE_BYTES) return TWCC_BADVALUE;
            const auto* one = lock.as<TW_ONEVALUE>();
            std::string text;
            bool allowed;
            if (itemType == TWTY_FIX32) {
                allowed = caps::isRealAllowed(wordToFix32(one->Item), section, text);
            } else {
                char allowedText[caps::ATTRIBUTE_TEXT_BYTES] = "";
                auto v = static_cast<TW_INT16>(one->Item & 0xffffu);
                allowed = IsCapAllowed(v, section, allowedText);
                text = allowedText;
            }
            if (!allowed) {
                if (caps::negotiationBoxesShown())
                    plat::messageBox(nullptr, NOT_ALLOWED_TEXT, nullptr, {});
                return TWCC_BADVALUE;
            }
            if (!writeControl(section, {{CURRENT_KEY, &text}})) return TWCC_OPERATIONERROR;
            setLastSetKey(CURRENT_KEY);
            return TWCC_SUCCESS;
        }
        case TWON_ENUMERATION:
        case TWON_ARRAY: {
            const bool isArray = cap->ConType == TWON_ARRAY;
            const std::size_t headerBytes =
                isArray ? caps::ARRAY_HEADER_BYTES : caps::ENUMERATION_HEADER_BYTES;
            if (blockSize < headerBytes) return TWCC_BADVALUE;
            const TW_UINT32 numItems =
                isArray ? lock.as<TW_ARRAY>()->NumItems : lock.as<TW_ENUMERATION>()->NumItems;
            // The answer is rebuilt in this same block at the capability's own
            // item width: refuse now rather than store what cannot be answered.
            // No items would leave the capability allowing nothing.
            if (numItems == 0) return TWCC_BADVALUE;
            if (numItems > LIST_ITEMS_MAX ||
                caps::containerBytes(cap->ConType, itemType, numItems) > blockSize)
                return TWCC_BADVALUE;
            std::string items;
            if (!listText(block, blockSize, headerBytes, itemType, numItems, !isArray, section,
                          items))
                return TWCC_BADVALUE;
            const std::string text = isArray ? "[" + items + "]" : items;
            if (text.size() > VALUE_TEXT_MAX) return TWCC_BADVALUE;
            // Items without a name in the dictionary are stored empty; when
            // none is left, nothing would be allowed.
            if (caps::splitList(items).empty()) return TWCC_BADVALUE;
            if (!writeControl(section, {{ALLOWED_KEY, &text}})) return TWCC_OPERATIONERROR;
            setLastSetKey(ALLOWED_KEY);
            return TWCC_SUCCESS;
        }
        case TWON_RANGE: {
            if (blockSize < caps::RANGE_BYTES) return TWCC_BADVALUE;
            TW_RANGE r;
            std::memcpy(&r, block, sizeof r);
            std::string current, def;
            const std::string allowed = rangeText(r, current, def);
            if (!writeControl(
                    section,
                    {{CURRENT_KEY, &current}, {DEFAULT_KEY, &def}, {ALLOWED_KEY, &allowed}}))
                return TWCC_OPERATIONERROR;
            setLastSetKey(ALLOWED_KEY);
            return TWCC_SUCCESS;
        }
        default:
            // A container name that the dictionary maps to no TWAIN container.
            return TWCC_BADVALUE;
    }
}

TW_UINT16 ResetValues(const char* section) {
    TraceLog(TRACE_RESET_VALUES);
    // A capability that the source-control file does not describe has
    // nothing to reset, and writing would add a section for it.
    char lines[256];  // a truncated list still counts its first characters
    if (caps::readSection(caps::sourceControlFile(), section, lines, sizeof lines) == 0)
        return TWCC_BADCAP;
    const std::string reset = controlText(section, RESET_KEY, "", KEY_TEXT_MAX);
    if (reset == CANNOT_RESET) return TWCC_BADPROTOCOL;
    // Without power-on and default values there is nothing to go back to:
    // copying empty texts would leave the capability allowing nothing.
    const std::string powerOn = controlText(section, POWER_ON_KEY, "", VALUE_TEXT_MAX);
    const std::string def = controlText(section, DEFAULT_KEY, "", VALUE_TEXT_MAX);
    if (powerOn.empty() || def.empty()) return TWCC_BADPROTOCOL;
    if (!writeControl(section, {{ALLOWED_KEY, &powerOn}, {CURRENT_KEY, &def}}))
        return TWCC_OPERATIONERROR;
    setLastSetKey(reset == RANGE_NAME || reset == ENUMERATION_NAME ? ALLOWED_KEY : CURRENT_KEY);
    return TWCC_SUCCESS;
}
