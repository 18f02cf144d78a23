// containers.cpp — building and reading TW_ONEVALUE, TW_ENUMERATION,
// TW_ARRAY and TW_RANGE blocks.
#include "caps/containers.h"

#include <cstdint>
#include <cstring>

#include "caps/caps_trace.h"
#include "caps/item_types.h"
#include "platform/memory.h"
#include "platform/trace.h"

namespace caps {

std::size_t containerBytes(TW_UINT16 conType, TW_UINT16 itemType, std::size_t numItems) {
    switch (conType) {
        case TWON_ONEVALUE:
            return ONEVALUE_BYTES;
        case TWON_RANGE:
            return RANGE_BYTES;
        case TWON_ENUMERATION:
            return ENUMERATION_HEADER_BYTES + numItems * itemWidth(itemType);
        case TWON_ARRAY:
            return ARRAY_HEADER_BYTES + numItems * itemWidth(itemType);
        default:
            return 0;
    }
}

}  // namespace caps

namespace {

// The block that receives the answer: a new one, or for MSG_SET the
// application's own. Null when there is none; for MSG_SET also when the
// application's block cannot hold `needed` bytes (its own handle is kept).
plat::MemHandle answerBlock(pTW_CAPABILITY cap, TW_UINT16 msg, std::size_t allocate,
                            std::size_t needed) {
    if (msg == MSG_SET) {
        if (!cap->hContainer || plat::memSize(cap->hContainer) < needed) return nullptr;
        return cap->hContainer;
    }
    cap->hContainer = allocate ? plat::memAlloc(allocate, false) : nullptr;
    return cap->hContainer;
}

// item size × NumItems + extra, or 0 when that does not fit in a size_t.
std::size_t listAllocation(TW_UINT16 itemType, TW_UINT32 numItems, std::size_t extra) {
    std::size_t size = AltTWItemSize(static_cast<TW_INT16>(itemType));
    if (numItems > (SIZE_MAX - extra) / size) return 0;
    return size * numItems + extra;
}

// The answer block of an enumeration or array, its ConType set; null when
// there is none (see answerBlock). `extra` is what the allocation adds to the
// items.
plat::MemHandle listBlock(pTW_CAPABILITY cap, TW_UINT16 msg, TW_UINT16 conType, TW_UINT16 itemType,
                          TW_UINT32 numItems, std::size_t extra) {
    const std::size_t needed = caps::containerBytes(conType, itemType, numItems);
    plat::MemHandle h = answerBlock(cap, msg, listAllocation(itemType, numItems, extra), needed);
    if (h) cap->ConType = conType;
    return h;
}

void copyItems(TW_UINT8* to, const void* items, TW_UINT16 itemType, TW_UINT32 numItems) {
    std::size_t width = caps::itemWidth(itemType);
    if (width == 0 || numItems == 0 || !items) return;
    std::memcpy(to, items, width * numItems);
}

}  // namespace

TW_UINT16 BuildUpOneValue(pTW_CAPABILITY cap, TW_UINT16 itemType, TW_UINT32 item, TW_UINT16 msg) {
    TraceLog(TRACE_BUILD_ONE_VALUE);
    plat::MemHandle h = answerBlock(cap, msg, caps::ONEVALUE_BYTES, caps::ONEVALUE_BYTES);
    if (!h) return msg == MSG_SET ? TWCC_BADVALUE : TWCC_LOWMEMORY;
    cap->ConType = TWON_ONEVALUE;
    plat::MemLock lock(h);
    if (!lock) return TWCC_SUCCESS;
    auto* one = lock.as<TW_ONEVALUE>();
    one->ItemType = itemType;
    one->Item = item;
    return TWCC_SUCCESS;
}

void BuildUpEnumerationType(pTW_CAPABILITY cap, const TW_ENUMERATION* header, const void* items,
                            TW_UINT16 msg) {
    TraceLog(TRACE_BUILD_ENUMERATION);
    plat::MemHandle h =
        listBlock(cap, msg, TWON_ENUMERATION, header->ItemType, header->NumItems, 15);
    if (!h) return;
    plat::MemLock lock(h);
    if (!lock) return;
    auto* e = lock.as<TW_ENUMERATION>();
    e->ItemType = header->ItemType;
    e->NumItems = header->NumItems;
    e->CurrentIndex = header->CurrentIndex;
    e->DefaultIndex = header->DefaultIndex;
    copyItems(lock.as<TW_UINT8>() + caps::ENUMERATION_HEADER_BYTES, items, header->ItemType,
              header->NumItems);
}

void BuildUpArrayType(pTW_CAPABILITY cap, const TW_ARRAY* header, const void* items,
                      TW_UINT16 msg) {
    TraceLog(TRACE_BUILD_ARRAY);
    plat::MemHandle h = listBlock(cap, msg, TWON_ARRAY, header->ItemType, header->NumItems, 7);
    if (!h) return;
    plat::MemLock lock(h);
    if (!lock) return;
    auto* a = lock.as<TW_ARRAY>();
    a->ItemType = header->ItemType;
    a->NumItems = header->NumItems;
    copyItems(lock.as<TW_UINT8>() + caps::ARRAY_HEADER_BYTES, items, header->ItemType,
              header->NumItems);
}

void BuildUpRangeType(pTW_CAPABILITY cap, const TW_RANGE* range, TW_UINT16 msg) {
    TraceLog(TRACE_BUILD_RANGE);
    plat::MemHandle h = answerBlock(cap, msg, caps::RANGE_BYTES, caps::RANGE_BYTES);
    if (!h) return;
    cap->ConType = TWON_RANGE;
    plat::MemLock lock(h);
    if (!lock) return;
    auto* r = lock.as<TW_RANGE>();
    r->ItemType = range->ItemType;
    r->MinValue = range->MinValue;
    r->MaxValue = range->MaxValue;
    r->StepSize = range->StepSize;
    r->DefaultValue = range->DefaultValue;
    r->CurrentValue = range->CurrentValue;
}

TW_UINT16 AltTWItemSize(TW_INT16 itemType) {
    TraceLog(TRACE_ALT_ITEM_SIZE);
    // A negative type is no row's.
    const caps::ItemTypeWidths* row = caps::itemTypeWidths(static_cast<TW_UINT16>(itemType));
    return row ? row->allocation : 2;
}

void ExtractOneValue(pTW_CAPABILITY cap, void* dest) {
    TraceLog(TRACE_EXTRACT_ONE_VALUE);
    if (!cap || !dest || !cap->hContainer) return;
    if (plat::memSize(cap->hContainer) < caps::ONEVALUE_BYTES) return;
    plat::MemLock lock(cap->hContainer);
    if (!lock) return;
    const auto* one = lock.as<TW_ONEVALUE>();
    std::size_t width = caps::extractWidth(one->ItemType);
    if (width) std::memcpy(dest, lock.as<TW_UINT8>() + offsetof(TW_ONEVALUE, Item), width);
}

void ExtractEnumerationValue(pTW_CAPABILITY cap, void* dest, TW_UINT32 itemNumber) {
    TraceLog(TRACE_EXTRACT_ENUMERATION);
    if (!cap || !dest || !cap->hContainer) return;
    std::size_t size = plat::memSize(cap->hContainer);
    if (size < caps::ENUMERATION_HEADER_BYTES) return;
    plat::MemLock lock(cap->hContainer);
    if (!lock) return;
    const auto* e = lock.as<TW_ENUMERATION>();
    std::size_t width = caps::extractWidth(e->ItemType);
    if (!width || itemNumber >= e->NumItems) return;
    std::size_t offset = caps::ENUMERATION_HEADER_BYTES + std::size_t{itemNumber} * width;
    if (offset + width > size) return;
    std::memcpy(dest, lock.as<TW_UINT8>() + offset, width);
}
