#include "imaging/TBitmap24.h"
#include "imaging/TPixelMemory.h"
#include "imaging/TPlane.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <utility>

namespace varnolux {
namespace {

constexpr std::size_t Large = TPixelMemory::LargeSize;

std::uintptr_t Address(const void* data)
{
    return reinterpret_cast<std::uintptr_t>(data);
}

bool IsAllZero(const TPixelMemory& memory)
{
    const auto* bytes = static_cast<const std::uint8_t*>(memory.Data());
    return std::all_of(bytes, bytes + memory.Size(), [](std::uint8_t b) { return b == 0; });
}

TEST(PixelMemory, ZeroBytesAreNoBlock)
{
    const TPixelMemory memory(0);
    EXPECT_EQ(memory.Data(), nullptr);
    EXPECT_EQ(memory.Size(), 0u);
    EXPECT_FALSE(memory.IsMapped());
}

TEST(PixelMemory, OnlyLargeBlocksAreMappedOnHugePageBoundaries)
{
    struct TCase {
        std::size_t Size;
        bool Mapped;
    };
    for (const auto& [size, mapped] :
         {TCase{1, false}, TCase{3, false}, TCase{Large - 1, false}, TCase{Large, true},
          TCase{Large + 1, true}, TCase{3 * Large + 7, true}}) {
        SCOPED_TRACE(size);
        TPixelMemory memory(size);
        ASSERT_NE(memory.Data(), nullptr);
        EXPECT_EQ(memory.Size(), size);
        EXPECT_EQ(memory.IsMapped(), mapped);
        EXPECT_EQ(Address(memory.Data()) % alignof(std::max_align_t), 0u);
        if (mapped) {
            EXPECT_EQ(Address(memory.Data()) % Large, 0u);
        }
        // Every byte, the last one too, is there to write and read back.
        auto* bytes = static_cast<std::uint8_t*>(memory.Data());
        std::memset(bytes, 0xA5, size);
        EXPECT_EQ(bytes[0], 0xA5);
        EXPECT_EQ(bytes[size - 1], 0xA5);
    }
}

TEST(PixelMemory, ZeroContentsAreZeroForSmallAndLargeBlocks)
{
    for (const std::size_t size : {std::size_t(5), Large + 3}) {
        SCOPED_TRACE(size);
        // A freed block of the same size first, so a reused one would show its old bytes.
        {
            TPixelMemory dirty(size);
            std::memset(dirty.Data(), 0xFF, size);
        }
        EXPECT_TRUE(IsAllZero(TPixelMemory(size, TPixelMemory::TContents::Zero)));
    }
}

TEST(PixelMemory, MovingHandsOverTheBlockAndEmptiesTheSource)
{
    for (const std::size_t size : {std::size_t(64), 2 * Large}) {
        SCOPED_TRACE(size);
        TPixelMemory source(size);
        const void* block = source.Data();
        TPixelMemory moved(std::move(source));
        EXPECT_EQ(moved.Data(), block);
        EXPECT_EQ(moved.Size(), size);
        EXPECT_EQ(source.Data(), nullptr);
        EXPECT_EQ(source.Size(), 0u);
        EXPECT_FALSE(source.IsMapped());

        TPixelMemory assigned(Large);
        assigned = std::move(moved);
        EXPECT_EQ(assigned.Data(), block);
        EXPECT_EQ(assigned.IsMapped(), size >= Large);
        EXPECT_EQ(moved.Data(), nullptr);
    }
}

TEST(PixelMemory, ImpossibleSizesThrowInsteadOfWrapping)
{
    EXPECT_THROW(TPixelMemory(~std::size_t(0)), std::bad_alloc);
    EXPECT_THROW(TPixelMemory(~std::size_t(0) - Large), std::bad_alloc);
}

TEST(PixelMemory, LargePlanesKeepEveryElementApart)
{
    // 1024 × 1023 four-byte elements: past one huge page, and not a multiple of it.
    TPlane<std::int32_t> plane(1024, 1023);
    for (int x = 0; x < plane.Width(); ++x)
        for (int y = 0; y < plane.Height(); ++y)
            plane[x][y] = x * 1023 + y;
    const auto elements = plane.Elements();
    for (std::size_t i = 0; i < elements.size(); ++i)
        ASSERT_EQ(elements[i], std::int32_t(i));
    EXPECT_EQ(Address(plane[0]) % Large, 0u);

    TPlane<std::int32_t> copy(plane);
    EXPECT_TRUE(std::equal(elements.begin(), elements.end(), copy.Elements().begin()));
    TPlane<std::int32_t> moved(std::move(plane));
    EXPECT_FALSE(plane.IsAllocated());
    EXPECT_EQ(moved[1023][1022], 1023 * 1023 + 1022);
}

TEST(PixelMemory, ReallocatingAPlaneToNothingFreesIt)
{
    TPlane<std::uint8_t> plane(3000, 1000);
    plane.Allocate(0, 5);
    EXPECT_FALSE(plane.IsAllocated());
    EXPECT_EQ(plane.Width(), 0);
    EXPECT_EQ(plane.Height(), 0);
    EXPECT_TRUE(plane.Elements().empty());
}

TEST(PixelMemory, LargeBitmapsStartBlackAndCopyByValue)
{
    // 1001 pixels give rows of 3003 bytes padded to 3004: the padding stays zero.
    TBitmap24 bitmap(1001, 800);
    ASSERT_GE(bitmap.Stride() * 800, Large);
    EXPECT_EQ(bitmap.Stride(), 3004u);
    EXPECT_TRUE(std::all_of(bitmap.Bits(), bitmap.Bits() + bitmap.Stride() * 800,
                            [](std::uint8_t b) { return b == 0; }));
    bitmap.SetPixel(1000, 799, MakeColour(1, 2, 3));

    TBitmap24 copy(bitmap);
    EXPECT_EQ(copy, bitmap);
    EXPECT_NE(copy.Bits(), bitmap.Bits());
    copy.SetPixel(0, 0, MakeColour(9, 9, 9));
    EXPECT_NE(copy, bitmap);
    copy = bitmap;
    EXPECT_EQ(copy.Pixel(1000, 799), MakeColour(1, 2, 3));

    bitmap.SetSize(1002, 801);
    EXPECT_EQ(bitmap.Pixel(1000, 799), MakeColour(1, 2, 3));
    EXPECT_EQ(bitmap.Pixel(1001, 800), MakeColour(0, 0, 0));
}

} // namespace
} // namespace varnolux
