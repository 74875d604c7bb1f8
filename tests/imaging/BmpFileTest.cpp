#include "imaging/BmpFile.h"

#include "FileTestSupport.h"
#include "ImagingTestSupport.h"
#include "imaging/TQError.h"
#include "support/TempFolder.h"

#include <cstring>
#include <gtest/gtest.h>

namespace varnolux {
namespace {

using test::ReadFile;
using test::WriteFile;

void PutLittleEndian(std::string& bytes, std::size_t offset, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[offset + std::size_t(i)] = char((value >> (8 * i)) & 0xff);
}

/// A hand-made BMP file: an info header (or the 12-byte core header), an optional
/// palette or bit masks, then the given rows, each padded to 4 bytes, in file order.
struct TBmpBuilder {
    int Width = 1;
    int Height = 1; // negative for top-down
    int BitsPerPixel = 24;
    std::uint32_t Compression = 0;
    std::uint32_t HeaderSize = 40;
    std::vector<std::uint32_t> Palette; // 0x00RRGGBB
    std::vector<std::uint32_t> Masks;   // red, green, blue after the header
    std::vector<std::string> Rows;      // unpadded bytes, in file order
    std::uint32_t ColoursUsed = 0;

    std::string Bytes() const
    {
        const bool core = HeaderSize == 12;
        const std::size_t entrySize = core ? 3 : 4;
        std::string header(14 + HeaderSize, '\0');
        header[0] = 'B';
        header[1] = 'M';
        if (core) {
            PutLittleEndian(header, 14, 12, 4);
            PutLittleEndian(header, 18, std::uint32_t(Width), 2);
            PutLittleEndian(header, 20, std::uint32_t(Height), 2);
            PutLittleEndian(header, 22, 1, 2);
            PutLittleEndian(header, 24, std::uint32_t(BitsPerPixel), 2);
        } else {
            PutLittleEndian(header, 14, HeaderSize, 4);
            PutLittleEndian(header, 18, std::uint32_t(Width), 4);
            PutLittleEndian(header, 22, std::uint32_t(Height), 4);
            PutLittleEndian(header, 26, 1, 2);
            PutLittleEndian(header, 28, std::uint32_t(BitsPerPixel), 2);
            PutLittleEndian(header, 30, Compression, 4);
            PutLittleEndian(header, 46, ColoursUsed, 4);
        }
        std::string extra;
        for (std::uint32_t mask : Masks) {
            std::string field(4, '\0');
            PutLittleEndian(field, 0, mask, 4);
            extra += field;
        }
        for (std::uint32_t colour : Palette) {
            std::string entry(entrySize, '\0');
            PutLittleEndian(entry, 0, colour, 3);
            extra += entry;
        }
        std::string pixels;
        for (const std::string& row : Rows) {
            pixels += row;
            pixels.append((4 - row.size() % 4) % 4, '\0');
        }
        std::string file = header + extra + pixels;
        PutLittleEndian(file, 2, std::uint32_t(file.size()), 4);
        PutLittleEndian(file, 10, std::uint32_t(header.size() + extra.size()), 4);
        return file;
    }
};

std::string Bgr(std::initializer_list<TColour> colours, int bytesPerPixel = 3)
{
    std::string bytes;
    for (TColour c : colours) {
        bytes += char(BlueOf(c));
        bytes += char(GreenOf(c));
        bytes += char(RedOf(c));
        if (bytesPerPixel == 4)
            bytes += char(0x7f);
    }
    return bytes;
}

std::vector<std::vector<TColour>> PixelsOf(const TBitmap24& bitmap)
{
    std::vector<std::vector<TColour>> rows;
    for (int y = 0; y < bitmap.Height(); ++y) {
        rows.emplace_back();
        for (int x = 0; x < bitmap.Width(); ++x)
            rows.back().push_back(bitmap.Pixel(x, y));
    }
    return rows;
}

constexpr TColour Red = 0x0000ff;
constexpr TColour Green = 0x00ff00;
constexpr TColour Blue = 0xff0000;
constexpr TColour White = 0xffffff;
constexpr TColour Black = 0;

struct TReadCase {
    const char* Name;
    TBmpBuilder File;
    std::vector<std::vector<TColour>> Pixels; // top row first
};

void PrintTo(const TReadCase& c, std::ostream* os)
{
    *os << c.Name;
}

class ReadBmpTest : public ::testing::TestWithParam<TReadCase> {};

TEST_P(ReadBmpTest, DecodesToTopDownBlueGreenRed)
{
    const test::TempFolder folder;
    const std::string name = folder.File("image.bmp");
    WriteFile(name, GetParam().File.Bytes());
    EXPECT_EQ(PixelsOf(ReadBmpFile(name)), GetParam().Pixels);
}

TBmpBuilder Make(int width, int height, int bits, std::vector<std::string> rows)
{
    TBmpBuilder b;
    b.Width = width;
    b.Height = height;
    b.BitsPerPixel = bits;
    b.Rows = std::move(rows);
    return b;
}

TBmpBuilder WithPalette(TBmpBuilder b, std::vector<std::uint32_t> palette)
{
    b.Palette = std::move(palette);
    return b;
}

TBmpBuilder WithMasks(TBmpBuilder b, std::vector<std::uint32_t> masks)
{
    b.Compression = 3;
    b.Masks = std::move(masks);
    return b;
}

TBmpBuilder WithHeader(TBmpBuilder b, std::uint32_t size)
{
    b.HeaderSize = size;
    return b;
}

TBmpBuilder WithColoursUsed(TBmpBuilder b, std::uint32_t used)
{
    b.ColoursUsed = used;
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ReadBmpTest,
    ::testing::Values(
        TReadCase{"bottom_up_24",
                  Make(2, 2, 24, {Bgr({Red, Green}), Bgr({Blue, White})}),
                  {{Blue, White}, {Red, Green}}},
        TReadCase{"top_down_24",
                  Make(2, -2, 24, {Bgr({Red, Green}), Bgr({Blue, White})}),
                  {{Red, Green}, {Blue, White}}},
        TReadCase{"width_three_is_padded",
                  Make(3, 1, 24, {Bgr({Red, Green, Blue})}),
                  {{Red, Green, Blue}}},
        TReadCase{"plain_32", Make(2, 1, 32, {Bgr({Red, Blue}, 4)}), {{Red, Blue}}},
        TReadCase{"bit_fields_32",
                  WithMasks(Make(1, 1, 32, {std::string("\x44\x33\x22\x11", 4)}),
                            {0x000000ff, 0x0000ff00, 0x00ff0000}),
                  {{MakeColour(0x44, 0x33, 0x22)}}},
        TReadCase{"five_five_five_16",
                  Make(2, 1, 16, {std::string("\x00\x7c\x1f\x00", 4)}),
                  {{Red, Blue}}},
        TReadCase{"five_six_five_16",
                  WithMasks(Make(3, 1, 16, {std::string("\x00\xf8\xe0\x07\x10\x00", 6)}),
                            {0xf800, 0x07e0, 0x001f}),
                  {{Red, Green, MakeColour(0, 0, 131)}}},
        TReadCase{"palette_8",
                  WithPalette(Make(3, 1, 8, {std::string("\x01\x00\x02", 3)}),
                              {0x00ff00, 0xff0000, 0x0000ff}),
                  {{Red, Green, Blue}}},
        TReadCase{"palette_4",
                  WithPalette(Make(3, 1, 4, {std::string("\x10\x20", 2)}),
                              {0x000000, 0xffffff, 0x00ff00}),
                  {{White, Black, Green}}},
        TReadCase{"palette_1",
                  WithPalette(Make(10, 1, 1, {std::string("\xa0\x40", 2)}), {0x000000, 0xffffff}),
                  {{White, Black, White, Black, Black, Black, Black, Black, Black, White}}},
        TReadCase{"index_beyond_the_palette_is_black",
                  WithColoursUsed(
                      WithPalette(Make(2, 1, 8, {std::string("\x00\x05", 2)}), {0xffffff}), 1),
                  {{White, Black}}},
        TReadCase{"core_header_24",
                  WithHeader(Make(1, 2, 24, {Bgr({Red}), Bgr({Blue})}), 12),
                  {{Blue}, {Red}}},
        TReadCase{"core_header_palette",
                  WithHeader(WithPalette(Make(2, 1, 8, {std::string("\x01\x00", 2)}),
                                         std::vector<std::uint32_t>(256, 0x00ff00)),
                             12),
                  {{Green, Green}}},
        TReadCase{
            "version_five_header", WithHeader(Make(1, 1, 24, {Bgr({Green})}), 124), {{Green}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(WriteBmpFile, RoundTripsEveryRowPadding)
{
    const test::TempFolder folder;
    std::mt19937 random(31);
    for (int width = 1; width <= 5; ++width)
        for (int height = 1; height <= 3; ++height) {
            const TBitmap24 bitmap = test::RandomBitmap(width, height, random);
            const std::string name = folder.File("round.bmp");
            WriteBmpFile(bitmap, name);
            EXPECT_EQ(ReadFile(name).size(), 54 + std::size_t((width * 3 + 3) / 4 * 4 * height));
            EXPECT_EQ(ReadBmpFile(name), bitmap) << width << "x" << height;
        }
}

TEST(ReadBmpFileBands, GivesEveryRowOnceInBandsOfAtMostTheirHeight)
{
    const test::TempFolder folder;
    std::mt19937 random(7);
    for (const bool topDown : {false, true})
        for (int height = 1; height <= 7; ++height)
            for (const int bandHeight : {1, 2, 3, 7, 9}) {
                const TBitmap24 bitmap = test::RandomBitmap(5, height, random);
                const std::string name = folder.File("bands.bmp");
                if (topDown) {
                    std::vector<std::string> rows;
                    for (int y = 0; y < height; ++y)
                        rows.emplace_back(bitmap.Row(y).begin(), bitmap.Row(y).end());
                    WriteFile(name, Make(5, -height, 24, rows).Bytes());
                } else {
                    WriteBmpFile(bitmap, name);
                }
                TBitmap24 assembled;
                std::vector<int> timesRead(std::size_t(height), 0);
                ReadBmpFileBands(
                    name, bandHeight, [&](int w, int h) { assembled = TBitmap24(w, h); },
                    [&](int top, const TBitmap24& rows) {
                        EXPECT_LE(rows.Height(), bandHeight);
                        for (int i = 0; i < rows.Height(); ++i) {
                            ++timesRead[std::size_t(top + i)];
                            std::copy(rows.Row(i).begin(), rows.Row(i).end(),
                                      assembled.Row(top + i).begin());
                        }
                    });
                const std::string what = (topDown ? "top-down " : "bottom-up ") +
                                         std::to_string(height) + " rows in bands of " +
                                         std::to_string(bandHeight);
                EXPECT_EQ(timesRead, std::vector<int>(std::size_t(height), 1)) << what;
                EXPECT_EQ(assembled, bitmap) << what;
            }
}

TEST(ReadBmpFileBands, RefusesWhatReadBmpFileRefuses)
{
    const test::TempFolder folder;
    const std::string name = folder.File("short.bmp");
    TBitmap24 bitmap(3, 4);
    WriteBmpFile(bitmap, name);
    const std::string bytes = ReadFile(name);
    WriteFile(name, bytes.substr(0, bytes.size() - 1));
    EXPECT_THROW(ReadBmpFileBands(
                     name, 2, [](int, int) {}, [](int, const TBitmap24&) {}),
                 TImageFileError);
}

TEST(WriteBmpFile, WritesABottomUpTwentyFourBitFile)
{
    const test::TempFolder folder;
    TBitmap24 bitmap(1, 2);
    bitmap.SetPixel(0, 0, Red);
    bitmap.SetPixel(0, 1, Blue);
    WriteBmpFile(bitmap, folder.File("a.bmp"));
    const std::string bytes = ReadFile(folder.File("a.bmp"));
    ASSERT_EQ(bytes.size(), 62u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(bytes[28], 24);
    EXPECT_EQ(bytes.substr(54, 4), std::string("\xff\x00\x00\x00", 4)); // bottom row: blue
    EXPECT_EQ(bytes.substr(58, 4), std::string("\x00\x00\xff\x00", 4));
}

TEST(WriteBmpFile, AFailedWriteLeavesNoFileAndKeepsTheOldOne)
{
    const test::TempFolder folder;
    const std::string name = folder.File("kept.bmp");
    WriteFile(name, "old contents");
    std::mt19937 random(32);
    const TBitmap24 bitmap = test::RandomBitmap(200, 200, random);
    {
        const test::TFileSizeLimit limit(4096);
        EXPECT_THROW(WriteBmpFile(bitmap, name), TImageFileError);
        EXPECT_THROW(WriteBmpFile(bitmap, folder.File("new.bmp")), TImageFileError);
    }
    EXPECT_EQ(ReadFile(name), "old contents");
    EXPECT_EQ(test::FilesIn(folder.Path()), std::vector<std::string>{"kept.bmp"});
}

TEST(WriteBmpFile, RefusesAMissingFolderAndAnEmptyBitmap)
{
    const test::TempFolder folder;
    EXPECT_THROW(WriteBmpFile(TBitmap24(1, 1), folder.File("no/such.bmp")), TImageFileError);
    EXPECT_THROW(WriteBmpFile(TBitmap24(), folder.File("empty.bmp")), TImageFileError);
    EXPECT_TRUE(test::FilesIn(folder.Path()).empty());
}

struct TBadFileCase {
    const char* Name;
    std::string Bytes;
};

void PrintTo(const TBadFileCase& c, std::ostream* os)
{
    *os << c.Name;
}

std::string Patched(std::string bytes, std::size_t offset, std::uint32_t value, int size)
{
    PutLittleEndian(bytes, offset, value, size);
    return bytes;
}

const std::string ValidFile =
    Make(4, 3, 24, std::vector<std::string>(3, std::string(12, 'x'))).Bytes();

class BadBmpTest : public ::testing::TestWithParam<TBadFileCase> {};

TEST_P(BadBmpTest, IsRefusedWithAnImageFileError)
{
    const test::TempFolder folder;
    const std::string name = folder.File("bad.bmp");
    WriteFile(name, GetParam().Bytes);
    EXPECT_THROW(ReadBmpFile(name), TImageFileError);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadBmpTest,
    ::testing::Values(TBadFileCase{"empty", ""}, TBadFileCase{"not_bm", "PK" + ValidFile.substr(2)},
                      TBadFileCase{"header_only", ValidFile.substr(0, 54)},
                      TBadFileCase{"one_byte_short", ValidFile.substr(0, ValidFile.size() - 1)},
                      TBadFileCase{"run_length_encoded", Patched(ValidFile, 30, 1, 4)},
                      TBadFileCase{"two_bits_per_pixel", Patched(ValidFile, 28, 2, 2)},
                      TBadFileCase{"zero_width", Patched(ValidFile, 18, 0, 4)},
                      TBadFileCase{"negative_width", Patched(ValidFile, 18, 0xfffffffe, 4)},
                      TBadFileCase{"zero_height", Patched(ValidFile, 22, 0, 4)},
                      TBadFileCase{"most_negative_height", Patched(ValidFile, 22, 0x80000000, 4)},
                      TBadFileCase{"huge_width", Patched(ValidFile, 18, 0x7fffffff, 4)},
                      TBadFileCase{"huge_height", Patched(ValidFile, 22, 0x7fffffff, 4)},
                      TBadFileCase{"pixels_beyond_the_end", Patched(ValidFile, 10, 0xfffffff0, 4)},
                      TBadFileCase{"pixels_inside_the_header", Patched(ValidFile, 10, 20, 4)},
                      TBadFileCase{"unknown_header_size", Patched(ValidFile, 14, 41, 4)},
                      TBadFileCase{"header_larger_than_the_file", Patched(ValidFile, 14, 124, 4)},
                      TBadFileCase{"bit_fields_with_24_bits", Patched(ValidFile, 30, 3, 4)}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ReadBmpFile, EveryTruncationIsRefused)
{
    const test::TempFolder folder;
    const std::string name = folder.File("cut.bmp");
    for (std::size_t length = 0; length < ValidFile.size(); ++length) {
        WriteFile(name, ValidFile.substr(0, length));
        EXPECT_THROW(ReadBmpFile(name), TImageFileError) << length;
    }
}

TEST(ReadBmpFile, GarbledFilesEitherDecodeOrAreRefused)
{
    const test::TempFolder folder;
    const std::string name = folder.File("garbled.bmp");
    const std::string original =
        WithPalette(Make(5, 3, 8, std::vector<std::string>(3, "\x01\x02\x03\x04\x05")),
                    std::vector<std::uint32_t>(6, 0x123456))
            .Bytes();
    std::mt19937 random(33);
    int decoded = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = original;
        for (int flips = 1 + int(random() % 4); flips > 0; --flips)
            bytes[random() % bytes.size()] = char(random());
        WriteFile(name, bytes);
        try {
            const TBitmap24 bitmap = ReadBmpFile(name);
            EXPECT_GT(bitmap.Width(), 0);
            ++decoded;
        } catch (const TImageFileError&) {
        }
    }
    EXPECT_GT(decoded, 0);
}

TEST(ReadBmpFile, MissingFilesAndFoldersAreRefused)
{
    const test::TempFolder folder;
    EXPECT_THROW(ReadBmpFile(folder.File("missing.bmp")), TImageFileError);
    EXPECT_THROW(ReadBmpFile(folder.Path().string()), TImageFileError);
}

TEST(ReadBmpFile, TheErrorNamesTheFile)
{
    const test::TempFolder folder;
    const std::string name = folder.File("named.bmp");
    WriteFile(name, "BM");
    try {
        ReadBmpFile(name);
        FAIL();
    } catch (const TImageFileError& error) {
        EXPECT_NE(std::string(error.what()).find(name), std::string::npos);
    }
}

} // namespace
} // namespace varnolux
