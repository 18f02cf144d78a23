// Building and reading the four TWAIN containers.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "caps/containers.h"
#include "packed_fields.h"
#include "platform/memory.h"

namespace {

class Containers : public ::testing::Test {
protected:
    void TearDown() override {
        for (void* h : owned) plat::memFree(h);
    }
    TW_CAPABILITY answered(TW_CAPABILITY cap) {
        if (handleOf(cap)) owned.push_back(handleOf(cap));
        return cap;
    }
    plat::MemHandle block(std::size_t size, unsigned char fill) {
        plat::MemHandle h = plat::memAlloc(size, false);
        std::memset(h, fill, size);
        owned.push_back(h);
        return h;
    }
    static const TW_UINT8* bytes(const TW_CAPABILITY& cap) {
        return static_cast<const TW_UINT8*>(cap.hContainer);
    }
    std::vector<void*> owned;
};

TEST_F(Containers, OneValueIsANewBlockWithItsItem) {
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
    EXPECT_EQ(BuildUpOneValue(&cap, TWTY_UINT16, 2, MSG_GET), TWCC_SUCCESS);
    answered(cap);
    ASSERT_NE(handleOf(cap), nullptr);
    EXPECT_EQ(cap.ConType, TWON_ONEVALUE);
    EXPECT_GE(plat::memSize(handleOf(cap)), 6u);
    const auto* one = static_cast<const TW_ONEVALUE*>(cap.hContainer);
    EXPECT_EQ(one->ItemType, TWTY_UINT16);
    EXPECT_EQ(valueOf(one->Item), 2u);
}

TEST_F(Containers, EnumerationOfThreeShortsHasItsItemsFromByteFourteen) {
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 0, nullptr};
    TW_ENUMERATION header{};
    header.ItemType = TWTY_UINT16;
    header.NumItems = 3;
    header.CurrentIndex = 2;
    header.DefaultIndex = 1;
    const TW_UINT16 items[] = {0x0100, 0x0302, 0x0504};
    BuildUpEnumerationType(&cap, &header, items, MSG_GET);
    answered(cap);
    ASSERT_NE(handleOf(cap), nullptr);
    EXPECT_EQ(cap.ConType, TWON_ENUMERATION);
    EXPECT_GE(plat::memSize(handleOf(cap)), 3u * 2 + 15);
    const TW_UINT8* b = bytes(cap);
    const TW_UINT8 expected[] = {4, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 2, 3, 4, 5};
    EXPECT_EQ(std::memcmp(b, expected, sizeof expected), 0);
}

TEST_F(Containers, EmptyListsHaveOnlyTheirHeaders) {
    TW_CAPABILITY e{1, 0, nullptr}, a{1, 0, nullptr};
    TW_ENUMERATION eh{};
    eh.ItemType = TWTY_INT32;
    BuildUpEnumerationType(&e, &eh, nullptr, MSG_GET);
    TW_ARRAY ah{};
    ah.ItemType = TWTY_INT32;
    BuildUpArrayType(&a, &ah, nullptr, MSG_GET);
    answered(e);
    answered(a);
    ASSERT_NE(handleOf(e), nullptr);
    ASSERT_NE(handleOf(a), nullptr);
    EXPECT_EQ(valueOf(static_cast<const TW_ENUMERATION*>(handleOf(e))->NumItems), 0u);
    EXPECT_EQ(valueOf(static_cast<const TW_ARRAY*>(handleOf(a))->NumItems), 0u);
    EXPECT_EQ(a.ConType, TWON_ARRAY);
}

TEST_F(Containers, Fix32ListItemsAreWholeWords) {
    TW_CAPABILITY cap{ICAP_XRESOLUTION, 0, nullptr};
    TW_ARRAY header{};
    header.ItemType = TWTY_FIX32;
    header.NumItems = 2;
    const TW_UINT32 items[] = {0x00000048u, 0x8000FFFEu};  // 72.0, -1.5
    BuildUpArrayType(&cap, &header, items, MSG_GET);
    answered(cap);
    const TW_UINT8* b = bytes(cap);
    TW_FIX32 second;
    std::memcpy(&second, b + 6 + 4, 4);
    EXPECT_EQ(second.Whole, -2);
    EXPECT_EQ(second.Frac, 32768);
    TW_UINT32 first;
    std::memcpy(&first, b + 6, 4);
    EXPECT_EQ(first, 72u);
}

TEST_F(Containers, RangeCarriesAllFiveValues) {
    TW_CAPABILITY cap{1, 0, nullptr};
    TW_RANGE r{TWTY_INT16, 1, 100, 2, 7, 9};
    BuildUpRangeType(&cap, &r, MSG_GET);
    answered(cap);
    ASSERT_NE(handleOf(cap), nullptr);
    EXPECT_EQ(cap.ConType, TWON_RANGE);
    EXPECT_EQ(std::memcmp(handleOf(cap), &r, sizeof r), 0);
}

TEST_F(Containers, SetRewritesTheApplicationsOwnBlock) {
    plat::MemHandle mine = block(sizeof(TW_ONEVALUE), 0);
    TW_CAPABILITY cap{ICAP_PIXELTYPE, TWON_ONEVALUE, mine};
    EXPECT_EQ(BuildUpOneValue(&cap, TWTY_UINT16, 1, MSG_SET), TWCC_SUCCESS);
    EXPECT_EQ(handleOf(cap), mine);
    EXPECT_EQ(valueOf(static_cast<TW_ONEVALUE*>(mine)->Item), 1u);
}

TEST_F(Containers, SetNeverWritesPastTheApplicationsBlock) {
    // Room for the header and one item, asked to hold three.
    plat::MemHandle mine = block(16, 0xAB);
    const std::size_t usable = plat::memSize(mine);
    std::vector<TW_UINT8> before(static_cast<TW_UINT8*>(mine),
                                 static_cast<TW_UINT8*>(mine) + usable);
    TW_CAPABILITY cap{ICAP_PIXELTYPE, 0x77, mine};
    TW_ENUMERATION header{};
    header.ItemType = TWTY_UINT32;
    header.NumItems = static_cast<TW_UINT32>((usable - 14) / 4 + 1);
    std::vector<TW_UINT32> items(header.NumItems, 0x11111111u);
    BuildUpEnumerationType(&cap, &header, items.data(), MSG_SET);
    EXPECT_EQ(handleOf(cap), mine);
    EXPECT_EQ(cap.ConType, 0x77);
    EXPECT_EQ(std::memcmp(mine, before.data(), usable), 0);

    TW_CAPABILITY none{ICAP_PIXELTYPE, TWON_ONEVALUE, nullptr};
    EXPECT_EQ(BuildUpOneValue(&none, TWTY_UINT16, 1, MSG_SET), TWCC_BADVALUE);
    EXPECT_EQ(handleOf(none), nullptr);
}

TEST_F(Containers, UnknownItemTypeWritesTheHeaderOnly) {
    plat::MemHandle mine = block(40, 0xCD);
    TW_CAPABILITY cap{1, TWON_ARRAY, mine};
    TW_ARRAY header{};
    header.ItemType = 99;
    header.NumItems = 3;
    const TW_UINT16 items[] = {1, 2, 3};
    BuildUpArrayType(&cap, &header, items, MSG_SET);
    const TW_UINT8* b = static_cast<const TW_UINT8*>(mine);
    EXPECT_EQ(valueOf(static_cast<const TW_ARRAY*>(mine)->NumItems), 3u);
    for (int i = 6; i < 12; ++i) EXPECT_EQ(b[i], 0xCD) << i;
}

TEST_F(Containers, AlternativeItemSizes) {
    EXPECT_EQ(AltTWItemSize(TWTY_INT8), 1);
    EXPECT_EQ(AltTWItemSize(TWTY_UINT8), 1);
    EXPECT_EQ(AltTWItemSize(TWTY_INT16), 2);
    EXPECT_EQ(AltTWItemSize(TWTY_UINT16), 2);
    EXPECT_EQ(AltTWItemSize(TWTY_INT32), 4);
    EXPECT_EQ(AltTWItemSize(TWTY_UINT32), 4);
    EXPECT_EQ(AltTWItemSize(TWTY_FIX32), 4);
    EXPECT_EQ(AltTWItemSize(TWTY_FRAME), 16);
    EXPECT_EQ(AltTWItemSize(TWTY_BOOL), 2);
    EXPECT_EQ(AltTWItemSize(TWTY_STR255), 2);
    EXPECT_EQ(AltTWItemSize(-5), 2);
    EXPECT_EQ(AltTWItemSize(200), 2);
}

TEST_F(Containers, ReadersCopyAtTheItemWidth) {
    TW_CAPABILITY one{1, 0, nullptr};
    ASSERT_EQ(BuildUpOneValue(&one, TWTY_INT16, 0xFFFFu, MSG_GET), TWCC_SUCCESS);
    answered(one);
    TW_UINT32 dest = 0xAAAAAAAAu;
    ExtractOneValue(&one, &dest);
    EXPECT_EQ(dest, 0xAAAAFFFFu);

    static_cast<TW_ONEVALUE*>(one.hContainer)->ItemType = TWTY_FIX32;
    dest = 0x12345678u;
    ExtractOneValue(&one, &dest);
    EXPECT_EQ(dest, 0x12345678u);

    TW_CAPABILITY e{1, 0, nullptr};
    TW_ENUMERATION header{};
    header.ItemType = TWTY_UINT8;
    header.NumItems = 3;
    const TW_UINT8 items[] = {7, 8, 9};
    BuildUpEnumerationType(&e, &header, items, MSG_GET);
    answered(e);
    TW_UINT32 item = 0;
    ExtractEnumerationValue(&e, &item, 2);
    EXPECT_EQ(item, 9u);
    item = 0x55;
    ExtractEnumerationValue(&e, &item, 3);  // beyond the list
    EXPECT_EQ(item, 0x55u);

    TW_CAPABILITY empty{1, TWON_ONEVALUE, nullptr};
    ExtractOneValue(&empty, &item);
    EXPECT_EQ(item, 0x55u);
}

}  // namespace

namespace {

// The item types beside the plain integers, through every path that sizes
// items: a two-item enumeration's allocation (AltTWItemSize × 2 + 15) and
// copied bytes, the readers' copy of item 1, and the value readers' width.
// The strings' records are 34 to 256 bytes; the source has always packed
// their lists at 1 byte an item and allocated 2.
TEST_F(Containers, OddItemTypesKeepTheirWidthsOnEveryPath) {
    struct Case {
        TW_UINT16 type;
        std::size_t allocation, copied, extracted, value;
    } const cases[] = {
        {TWTY_BOOL, 2, 2, 2, 2},   {TWTY_FIX32, 4, 4, 0, 4}, {TWTY_FRAME, 16, 16, 0, 16},
        {TWTY_STR32, 2, 1, 0, 0},  {TWTY_STR64, 2, 1, 0, 0}, {TWTY_STR128, 2, 1, 0, 0},
        {TWTY_STR255, 2, 1, 0, 0}, {0x000D, 2, 0, 0, 0},     {0x000E, 2, 0, 0, 0},
        {0x000F, 2, 0, 0, 0},      {0x8000, 2, 0, 0, 0},     {TWTY_INT8, 1, 1, 1, 1},
    };
    TW_UINT8 items[32];
    for (int i = 0; i < 32; ++i) items[i] = static_cast<TW_UINT8>(0x40 + i);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        TW_CAPABILITY cap{1, 0, nullptr};
        TW_ENUMERATION header{};
        header.ItemType = c.type;
        header.NumItems = 2;
        BuildUpEnumerationType(&cap, &header, items, MSG_GET);
        answered(cap);
        ASSERT_NE(handleOf(cap), nullptr);
        EXPECT_EQ(AltTWItemSize(static_cast<TW_INT16>(c.type)), c.allocation);
        EXPECT_GE(plat::memSize(handleOf(cap)), c.allocation * 2 + 15);
        EXPECT_EQ(std::memcmp(bytes(cap) + 14, items, c.copied * 2), 0);
        TW_UINT8 dest[8];
        std::memset(dest, 0xEE, sizeof dest);
        ExtractEnumerationValue(&cap, dest, 1);
        std::size_t copied = 0;
        while (copied < sizeof dest && dest[copied] != 0xEE) ++copied;
        EXPECT_EQ(copied, c.extracted);
        if (c.extracted) {
            EXPECT_EQ(dest[0], bytes(cap)[14 + c.extracted]);
        }
        EXPECT_EQ(caps::listItemWidth(c.type), c.value);
    }
}

}  // namespace
