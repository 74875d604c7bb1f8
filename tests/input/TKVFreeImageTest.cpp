#include "input/TKVFreeImage.h"

#include "ImageFixtures.h"
#include "imaging/BmpFile.h"
#include "input/AvailableMemory.h"
#include "support/RecordingReporter.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace varnolux {
namespace {

using test::AsciiBitmapFile;
using test::AsciiPixmapFile;
using test::DirectoryFirstTiffFile;
using test::FloatImage;
using test::Grey16Image;
using test::Grey16Sample;
using test::KoalaFile;
using test::PaletteColour;
using test::PalettisedImage;
using test::PatternColour;
using test::PatternImage;
using test::PcxFile;
using test::ReadFile;
using test::Rgb16Image;
using test::SunRasterFile;
using test::TFreeImage;
using test::TwoToneImage;
using test::TwoToneIsWhite;
using test::WriteFile;

std::string UnrecognisedMessage(const std::string& fileName)
{
    return "\"" + fileName + "\" : Unrecognized file format. File may be damaged.";
}

std::string MismatchMessage(const std::string& fileName)
{
    return "\"" + fileName + "\" File header does not match file extension!";
}

class ImageReader : public ::testing::Test {
protected:
    std::unique_ptr<TBitmap24> Load(const std::string& fileName)
    {
        reporter_.messages.clear();
        return TKVFreeImage().LoadToBitmap(fileName);
    }

    std::string Save(FIBITMAP* image, FREE_IMAGE_FORMAT format, const std::string& name,
                     int flags = 0)
    {
        const std::string file = folder_.File(name);
        EXPECT_TRUE(image && FreeImage_Save(format, image, file.c_str(), flags)) << name;
        return file;
    }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        const std::string file = folder_.File(name);
        WriteFile(file, bytes);
        return file;
    }

    const std::vector<std::string>& Messages() const { return reporter_.messages; }

    test::TempFolder folder_;
    test::RecordingReporter reporter_;
};

constexpr int PatternWidth = 7; // 21 bytes a row: FreeImage pads to 24
constexpr int PatternHeight = 5;

void ExpectPattern(const TBitmap24* bitmap, const std::string& what)
{
    ASSERT_NE(bitmap, nullptr) << what;
    ASSERT_EQ(bitmap->Width(), PatternWidth) << what;
    ASSERT_EQ(bitmap->Height(), PatternHeight) << what;
    for (int y = 0; y < PatternHeight; ++y)
        for (int x = 0; x < PatternWidth; ++x)
            ASSERT_EQ(bitmap->Pixel(x, y), PatternColour(x, y)) << what << " at " << x << ", " << y;
}

TEST_F(ImageReader, ReadsLosslessFormatsPixelForPixelWithTheTopRowFirst)
{
    const TFreeImage pattern = PatternImage(PatternWidth, PatternHeight);
    const struct {
        FREE_IMAGE_FORMAT format;
        int flags;
        const char* name;
    } saved[] = {
        {FIF_BMP, 0, "p.bmp"},
        {FIF_PNG, 0, "p.png"},
        {FIF_TIFF, 0, "p.tif"},
        {FIF_TIFF, TIFF_LZW, "lzw.tif"},
        {FIF_TARGA, 0, "p.tga"},
        {FIF_TARGA, TARGA_SAVE_RLE, "rle.tga"},
        // FreeImage names every portable anymap by its first identifier, PBM.
        {FIF_PPM, PNM_SAVE_ASCII, "p.ppm"},
        {FIF_PPMRAW, 0, "raw.ppm"},
    };
    for (const auto& format : saved) {
        const auto bitmap = Load(Save(pattern.get(), format.format, format.name, format.flags));
        ExpectPattern(bitmap.get(), format.name);
        EXPECT_TRUE(Messages().empty()) << format.name;
    }
}

TEST_F(ImageReader, TheBitmapFileDecodedIntoHoldsTheBitmapLoaded)
{
    // Plain 24 bits (taken as decoded), a palette and one bit (converted), a JPEG.
    const TFreeImage pattern = PatternImage(PatternWidth, PatternHeight);
    const std::string files[] = {
        Save(pattern.get(), FIF_PNG, "p.png"),
        Save(PalettisedImage(9, 4).get(), FIF_PNG, "palette.png"),
        Save(TwoToneImage(9, 4).get(), FIF_TIFF, "bits.tif"),
        Save(pattern.get(), FIF_JPEG, "p.jpg"),
    };
    for (const std::string& file : files) {
        const auto loaded = Load(file);
        ASSERT_NE(loaded, nullptr) << file;
        const std::string bmpFile = folder_.File("decoded.bmp");
        TKVFreeImage reader;
        ASSERT_TRUE(reader.DecodeToBmpFile(TImageFileBytes::Read(file), bmpFile)) << file;
        EXPECT_EQ(ReadBmpFile(bmpFile), *loaded) << file;
        EXPECT_TRUE(Messages().empty()) << file;
    }
    const std::string damaged = Write("damaged.png", "\x89PNG\r\n\x1a\n not really");
    TKVFreeImage reader;
    EXPECT_FALSE(reader.DecodeToBmpFile(TImageFileBytes::Read(damaged), folder_.File("d.bmp")));
    EXPECT_EQ(Messages().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder_.File("d.bmp")));
}

TEST_F(ImageReader, ReadsHandMadeFilesOfFormatsFreeImageCannotWrite)
{
    // These define their rows from the top, independent of FreeImage's own layout.
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        {"p.ras", SunRasterFile(PatternWidth, PatternHeight)},
        {"p.pcx", PcxFile(PatternWidth, PatternHeight)},
        {"text.ppm", AsciiPixmapFile(PatternWidth, PatternHeight)},
    };
    for (const auto& file : files) {
        const auto bitmap = Load(Write(file.name, file.bytes));
        ExpectPattern(bitmap.get(), file.name);
        EXPECT_TRUE(Messages().empty()) << file.name;
    }
}

TEST_F(ImageReader, ReadsIcons)
{
    // Icons come in a few sizes only.
    const int size = 16;
    const auto bitmap = Load(Save(PatternImage(size, size).get(), FIF_ICO, "p.ico"));
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(bitmap->Width(), size);
    ASSERT_EQ(bitmap->Height(), size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            ASSERT_EQ(bitmap->Pixel(x, y), PatternColour(x, y)) << x << ", " << y;
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ImageReader, ReadsKoalaPictures)
{
    const auto bitmap = Load(Write("picture.koa", KoalaFile()));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 320);
    EXPECT_EQ(bitmap->Height(), 200);
    EXPECT_EQ(bitmap->Pixel(0, 0), bitmap->Pixel(319, 199));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ImageReader, ReadsOneByOneImages)
{
    const auto bitmap = Load(Save(PatternImage(1, 1).get(), FIF_PNG, "one.png"));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 1);
    EXPECT_EQ(bitmap->Height(), 1);
    EXPECT_EQ(bitmap->Pixel(0, 0), PatternColour(0, 0));
}

TEST_F(ImageReader, ReadsJpegWithinItsLoss)
{
    const int width = 32, height = 16;
    TFreeImage blocks(FreeImage_Allocate(width, height, 24));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Top half red, bottom left green, bottom right blue.
            RGBQUAD quad = y < height / 2  ? RGBQUAD{0, 0, 255, 0}
                           : x < width / 2 ? RGBQUAD{0, 255, 0, 0}
                                           : RGBQUAD{255, 0, 0, 0};
            FreeImage_SetPixelColor(blocks.get(), x, height - 1 - y, &quad);
        }
    const auto bitmap = Load(Save(blocks.get(), FIF_JPEG, "blocks.jpg", JPEG_QUALITYSUPERB));
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(bitmap->Width(), width);
    ASSERT_EQ(bitmap->Height(), height);
    auto near = [](TColour colour, TColour expected) {
        for (int shift = 0; shift < 24; shift += 8)
            if (std::abs(int((colour >> shift) & 0xff) - int((expected >> shift) & 0xff)) > 40)
                return false;
        return true;
    };
    EXPECT_TRUE(near(bitmap->Pixel(4, 2), MakeColour(255, 0, 0)));
    EXPECT_TRUE(near(bitmap->Pixel(4, 13), MakeColour(0, 255, 0)));
    EXPECT_TRUE(near(bitmap->Pixel(27, 13), MakeColour(0, 0, 255)));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ImageReader, DecidesTheFormatByContentsNotByName)
{
    const TFreeImage pattern = PatternImage(PatternWidth, PatternHeight);
    ExpectPattern(Load(Save(pattern.get(), FIF_PNG, "png.jpg")).get(), "PNG named .jpg");
    const auto jpeg = Load(Save(pattern.get(), FIF_JPEG, "jpeg.bmp"));
    ASSERT_NE(jpeg, nullptr);
    EXPECT_EQ(jpeg->Width(), PatternWidth);
    ExpectPattern(Load(Save(pattern.get(), FIF_BMP, "no extension")).get(), "no extension");
    ExpectPattern(Load(Save(pattern.get(), FIF_TIFF, "image.dicom")).get(), ".dicom");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ImageReader, ConvertsPalettesAndFewerBitsToTwentyFourBits)
{
    const int width = 9, height = 4;
    const TFreeImage palettised = PalettisedImage(width, height);
    const TFreeImage twoTone = TwoToneImage(width, height);
    const std::string files[] = {
        Save(palettised.get(), FIF_PNG, "palette.png"),
        Save(palettised.get(), FIF_BMP, "palette.bmp"),
    };
    for (const auto& file : files) {
        const auto bitmap = Load(file);
        ASSERT_NE(bitmap, nullptr) << file;
        ASSERT_EQ(bitmap->Width(), width);
        ASSERT_EQ(bitmap->Height(), height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(bitmap->Pixel(x, y), PaletteColour((x + 2 * y) % 4)) << file;
    }
    const std::string twoToneFiles[] = {
        Save(twoTone.get(), FIF_TIFF, "bits.tif"),
        Write("bits.pbm", AsciiBitmapFile(width, height)),
        Save(twoTone.get(), FIF_PNG, "bits.png"),
    };
    for (const auto& file : twoToneFiles) {
        const auto bitmap = Load(file);
        ASSERT_NE(bitmap, nullptr) << file;
        ASSERT_EQ(bitmap->Width(), width);
        ASSERT_EQ(bitmap->Height(), height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(bitmap->Pixel(x, y), TwoToneIsWhite(x, y) ? 0xffffffu : 0u)
                    << file << " at " << x << ", " << y;
    }
    EXPECT_TRUE(Messages().empty());
}

/// The same BMP file with a larger info header (108 or 124 bytes): the colour masks of
/// BI_BITFIELDS move into the header, the rest of it is zero, palette and pixels follow.
std::string WithLargerInfoHeader(const std::string& plain, std::uint32_t infoSize)
{
    const auto read32 = [&](std::size_t at) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = value << 8 | std::uint8_t(plain[at + i]);
        return value;
    };
    const auto write32 = [](std::string& bytes, std::size_t at, std::uint64_t value) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char(value >> (8 * i));
    };
    const std::size_t masks = read32(30) == 3 ? 12 : 0;
    std::string larger = plain.substr(0, 54 + masks);
    larger.resize(14 + infoSize, '\0');
    larger += plain.substr(54 + masks);
    write32(larger, 2, larger.size());
    write32(larger, 10, read32(10) + (14 + infoSize) - (54 + masks));
    write32(larger, 14, infoSize);
    return larger;
}

TEST_F(ImageReader, ReadsBmpFilesWithTheLargerInfoHeaders)
{
    const TFreeImage pattern = PatternImage(PatternWidth, PatternHeight);
    const TFreeImage palettised = PalettisedImage(9, 4);
    const TFreeImage bitfields(FreeImage_ConvertTo16Bits565(pattern.get()));
    const std::string plainFiles[] = {
        Save(pattern.get(), FIF_BMP, "rgb.bmp"),
        Save(palettised.get(), FIF_BMP, "palette.bmp"),
        Save(bitfields.get(), FIF_BMP, "565.bmp"),
    };
    for (const std::string& plainFile : plainFiles) {
        const auto expected = Load(plainFile);
        ASSERT_NE(expected, nullptr) << plainFile;
        for (const std::uint32_t infoSize : {108u, 124u}) {
            const std::string name = std::to_string(infoSize) + "-" +
                                     std::filesystem::path(plainFile).filename().string();
            const auto bitmap =
                Load(Write(name, WithLargerInfoHeader(ReadFile(plainFile), infoSize)));
            ASSERT_NE(bitmap, nullptr) << name;
            EXPECT_EQ(*bitmap, *expected) << name;
            EXPECT_TRUE(Messages().empty()) << name;
        }
    }
    // A palette that would reach into the pixels is the file's fault, as before.
    std::string overlapping = WithLargerInfoHeader(ReadFile(plainFiles[1]), 124);
    overlapping[46] = char(0xff);
    overlapping[47] = char(0xff);
    const std::string damaged = Write("overlapping.bmp", overlapping);
    EXPECT_EQ(Load(damaged), nullptr);
    EXPECT_EQ(Messages(), (std::vector<std::string>{MismatchMessage(damaged)}));
}

TEST_F(ImageReader, ReadsGreymaps)
{
    const int width = 6, height = 3;
    TFreeImage grey(FreeImage_Allocate(width, height, 8));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            FreeImage_GetScanLine(grey.get(), height - 1 - y)[x] = BYTE(40 * x + y);
    for (const auto& file : {Save(grey.get(), FIF_PGM, "grey.pgm", PNM_SAVE_ASCII),
                             Save(grey.get(), FIF_PGMRAW, "raw.pgm")}) {
        const auto bitmap = Load(file);
        ASSERT_NE(bitmap, nullptr) << file;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const auto level = std::uint8_t(40 * x + y);
                ASSERT_EQ(bitmap->Pixel(x, y), MakeColour(level, level, level))
                    << file << " at " << x << ", " << y;
            }
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ImageReader, SixteenBitSamplesKeepTheirHighByte)
{
    const int width = 5, height = 3;
    const TFreeImage grey = Grey16Image(width, height);
    for (const auto& file :
         {Save(grey.get(), FIF_PNG, "grey16.png"), Save(grey.get(), FIF_TIFF, "grey16.tif"),
          Save(grey.get(), FIF_PGM, "grey16.pgm")}) {
        const auto bitmap = Load(file);
        ASSERT_NE(bitmap, nullptr) << file;
        ASSERT_EQ(bitmap->Width(), width);
        ASSERT_EQ(bitmap->Height(), height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const auto level = std::uint8_t(Grey16Sample(x, y) >> 8);
                ASSERT_EQ(bitmap->Pixel(x, y), MakeColour(level, level, level))
                    << file << " at " << x << ", " << y;
            }
    }
    const TFreeImage rgb = Rgb16Image(width, height);
    for (const auto& file :
         {Save(rgb.get(), FIF_PNG, "rgb48.png"), Save(rgb.get(), FIF_TIFF, "rgb48.tif")}) {
        const auto bitmap = Load(file);
        ASSERT_NE(bitmap, nullptr) << file;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(bitmap->Pixel(x, y), MakeColour(std::uint8_t(x), std::uint8_t(y),
                                                          std::uint8_t((65535 - 300 * x) >> 8)))
                    << file << " at " << x << ", " << y;
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ImageReader, FloatingPointTiffsGiveBitmapsOfTheirSize)
{
    for (const FREE_IMAGE_TYPE type : {FIT_FLOAT, FIT_RGBF, FIT_RGBAF, FIT_INT16, FIT_UINT32}) {
        TFreeImage image = type == FIT_INT16 || type == FIT_UINT32
                               ? TFreeImage(FreeImage_AllocateT(type, 4, 3))
                               : FloatImage(type, 4, 3);
        const auto bitmap =
            Load(Save(image.get(), FIF_TIFF, "type" + std::to_string(int(type)) + ".tif"));
        ASSERT_NE(bitmap, nullptr) << type;
        EXPECT_EQ(bitmap->Width(), 4);
        EXPECT_EQ(bitmap->Height(), 3);
        EXPECT_TRUE(Messages().empty()) << type;
    }
}

TEST_F(ImageReader, RefusesOtherFormatsWithTheUnrecognisedMessage)
{
    const TFreeImage pattern = PatternImage(PatternWidth, PatternHeight);
    const TFreeImage palettised = PalettisedImage(PatternWidth, PatternHeight);
    const std::string files[] = {
        Save(palettised.get(), FIF_GIF, "p.gif"),
        Save(pattern.get(), FIF_JNG, "p.jng"),
        Save(pattern.get(), FIF_XPM, "p.xpm"),
        Save(pattern.get(), FIF_WEBP, "p.webp", WEBP_LOSSLESS),
        Write("empty.png", ""),
        Write("text.bmp", "just some text, no picture\n"),
    };
    for (const auto& file : files) {
        EXPECT_EQ(Load(file), nullptr) << file;
        EXPECT_EQ(Messages(), std::vector<std::string>{UnrecognisedMessage(file)});
    }
}

TEST_F(ImageReader, MissingFilesAndFoldersGiveNothingQuietly)
{
    EXPECT_EQ(Load(folder_.File("missing.png")), nullptr);
    EXPECT_EQ(Load(folder_.Path().string()), nullptr);
    std::filesystem::create_directory(folder_.File("folder.png"));
    EXPECT_EQ(Load(folder_.File("folder.png")), nullptr);
    EXPECT_EQ(Load(""), nullptr);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ImageReader, FailedOrComplainedLoadsGiveTheMismatchMessage)
{
    const TFreeImage pattern = PatternImage(64, 48);
    const std::string bmp = ReadFile(Save(pattern.get(), FIF_BMP, "whole.bmp"));
    const std::string png = ReadFile(Save(pattern.get(), FIF_PNG, "whole.png"));
    const std::string jpeg = ReadFile(Save(pattern.get(), FIF_JPEG, "whole.jpg"));
    const std::string tiff = DirectoryFirstTiffFile();
    const struct {
        const char* name;
        std::string bytes;
    } damaged[] = {
        // FreeImage loads nothing and says nothing.
        {"cut.bmp", bmp.substr(0, 8)},
        // FreeImage loads nothing and complains.
        {"cut.png", png.substr(0, png.size() / 2)},
        // FreeImage hands back a partly decoded bitmap but complains.
        {"cut.jpg", jpeg.substr(0, jpeg.size() / 2)},
        {"cut.tif", tiff.substr(0, tiff.size() - 20)},
    };
    for (const auto& file : damaged) {
        const std::string name = Write(file.name, file.bytes);
        EXPECT_EQ(Load(name), nullptr) << file.name;
        EXPECT_EQ(Messages(), std::vector<std::string>{MismatchMessage(name)});
    }
    ASSERT_NE(Load(Write("whole.tif", tiff)), nullptr);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ImageReader, DamagedFilesNeverCrashAndGiveAtMostOneMessage)
{
    const TFreeImage pattern = PatternImage(40, 30);
    const TFreeImage palettised = PalettisedImage(40, 30);
    const std::vector<std::string> sources = {
        ReadFile(Save(pattern.get(), FIF_BMP, "s.bmp")),
        ReadFile(Save(pattern.get(), FIF_PNG, "s.png")),
        ReadFile(Save(palettised.get(), FIF_PNG, "palette.png")),
        ReadFile(Save(pattern.get(), FIF_JPEG, "s.jpg")),
        ReadFile(Save(pattern.get(), FIF_TIFF, "s.tif")),
        ReadFile(Save(pattern.get(), FIF_TARGA, "s.tga", TARGA_SAVE_RLE)),
        ReadFile(Save(PatternImage(32, 32).get(), FIF_ICO, "s.ico")),
        ReadFile(Save(pattern.get(), FIF_PPM, "s.ppm", PNM_SAVE_ASCII)),
        SunRasterFile(40, 30),
        PcxFile(40, 30),
        DirectoryFirstTiffFile(),
    };
    for (std::size_t source = 0; source < sources.size(); ++source) {
        const std::string& whole = sources[source];
        std::vector<std::string> variants;
        for (const std::size_t cut : {std::size_t(1), std::size_t(8), std::size_t(20),
                                      whole.size() / 3, whole.size() / 2, whole.size() - 1})
            variants.push_back(whole.substr(0, cut));
        for (std::size_t at = 0; at < whole.size();
             at += std::max<std::size_t>(1, whole.size() / 24)) {
            std::string flipped = whole;
            flipped[at] = char(~flipped[at]);
            variants.push_back(flipped);
        }
        for (std::size_t i = 0; i < variants.size(); ++i) {
            const std::string name = Write("damaged.img", variants[i]);
            const std::string what =
                "source " + std::to_string(source) + " variant " + std::to_string(i);
            std::unique_ptr<TBitmap24> bitmap;
            try {
                bitmap = Load(name);
            } catch (const std::bad_alloc&) {
                // A header declaring more pixels than this machine can analyse: the
                // caller reports memory.
                EXPECT_TRUE(Messages().empty()) << what;
                continue;
            }
            if (bitmap) {
                EXPECT_TRUE(Messages().empty()) << what;
                EXPECT_FALSE(bitmap->IsEmpty()) << what;
            } else {
                ASSERT_EQ(Messages().size(), 1u) << what;
                EXPECT_TRUE(Messages()[0] == UnrecognisedMessage(name) ||
                            Messages()[0] == MismatchMessage(name))
                    << what << ": " << Messages()[0];
            }
        }
    }
}

TEST_F(ImageReader, FilesThatEndEarlyAreDamagedNotPadded)
{
    // FreeImage fills the rows these lack without a word.
    const TFreeImage pattern = PatternImage(40, 30);
    const TFreeImage grey(FreeImage_ConvertToGreyscale(pattern.get()));
    const struct {
        const char* name;
        std::string whole;
    } sources[] = {
        {"s.bmp", ReadFile(Save(pattern.get(), FIF_BMP, "s.bmp"))},
        {"s.ppm", ReadFile(Save(pattern.get(), FIF_PPMRAW, "s.ppm"))},
        {"s.pgm", ReadFile(Save(grey.get(), FIF_PGMRAW, "s.pgm"))},
        {"s.tga", ReadFile(Save(pattern.get(), FIF_TARGA, "s.tga", TARGA_SAVE_RLE))},
        {"s.ico", ReadFile(Save(PatternImage(32, 32).get(), FIF_ICO, "s.ico"))},
        {"s.ras", SunRasterFile(40, 30)},
        {"s.pcx", PcxFile(40, 30)},
        {"s.koa", KoalaFile()},
    };
    for (const auto& source : sources) {
        ASSERT_NE(Load(Write(source.name, source.whole)), nullptr) << source.name;
        for (const std::size_t cut :
             {std::size_t(60), source.whole.size() / 3, source.whole.size() * 2 / 3}) {
            const std::string name = Write(source.name, source.whole.substr(0, cut));
            EXPECT_EQ(Load(name), nullptr) << source.name << " cut at " << cut;
            EXPECT_EQ(Messages(), std::vector<std::string>{MismatchMessage(name)});
        }
    }
    // Files read exactly miss even their last byte.
    for (const auto& source : {sources[0], sources[1], sources[5]}) {
        const std::string name =
            Write(source.name, source.whole.substr(0, source.whole.size() - 1));
        EXPECT_EQ(Load(name), nullptr) << source.name;
    }
}

/// A copy of the bytes with a 16-bit big-endian value written at an offset.
std::string WithBigEndian16(std::string bytes, std::size_t at, unsigned value)
{
    bytes.at(at) = char(value >> 8);
    bytes.at(at + 1) = char(value & 0xff);
    return bytes;
}

/// A JPEG file of 8 × 8 pixels whose header declares another size.
std::string JpegDeclaring(const std::string& whole, unsigned width, unsigned height)
{
    const std::size_t frame = whole.find("\xff\xc0");
    return WithBigEndian16(WithBigEndian16(whole, frame + 5, height), frame + 7, width);
}

TEST_F(ImageReader, HeadersDeclaringImpossibleSizesAreDamaged)
{
    // A bitmap declaring 16 million rows in 3.6 kB, a JPEG declaring 12 GB of pixels:
    // neither is decoded into memory.
    std::string bmp = ReadFile(Save(PatternImage(40, 30).get(), FIF_BMP, "s.bmp"));
    bmp[24] = char(0xff);
    const std::string jpeg = ReadFile(Save(PatternImage(8, 8).get(), FIF_JPEG, "s.jpg"));
    for (const auto& [name, bytes] :
         {std::pair{"rows.bmp", bmp}, std::pair{"huge.jpg", JpegDeclaring(jpeg, 65535, 65535)}}) {
        const std::string file = Write(name, bytes);
        EXPECT_EQ(Load(file), nullptr) << name;
        EXPECT_EQ(Messages(), std::vector<std::string>{MismatchMessage(file)});
    }
}

TEST_F(ImageReader, AnImageTooLargeForMemoryIsRefusedBeforeItIsDecoded)
{
    // 900 megapixels: a bitmap file could hold them, few machines can analyse them.
    const auto available = AvailableMemory();
    if (!available || *available > (std::uint64_t(36) << 30))
        GTEST_SKIP() << "this machine could analyse 900 megapixels";
    const std::string jpeg = ReadFile(Save(PatternImage(8, 8).get(), FIF_JPEG, "s.jpg"));
    const std::string file = Write("large.jpg", JpegDeclaring(jpeg, 30000, 30000));
    EXPECT_THROW(Load(file), std::bad_alloc);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ImageReader, AnOddBitDepthIsDamagedNotConverted)
{
    // FreeImage crashed converting an icon whose header claims 231 bits per pixel.
    std::string icon = ReadFile(Save(PatternImage(32, 32).get(), FIF_ICO, "s.ico"));
    ASSERT_EQ(icon[36], 24);
    icon[36] = char(231);
    const std::string file = Write("odd.ico", icon);
    EXPECT_EQ(Load(file), nullptr);
    EXPECT_EQ(Messages(), std::vector<std::string>{MismatchMessage(file)});
}

TEST_F(ImageReader, ComplaintsOnOneThreadDoNotFailLoadsOnAnother)
{
    const TFreeImage pattern = PatternImage(PatternWidth, PatternHeight);
    const std::string good = Save(pattern.get(), FIF_PNG, "good.png");
    const std::string jpeg = ReadFile(Save(PatternImage(64, 48).get(), FIF_JPEG, "j.jpg"));
    const std::string bad = Write("bad.jpg", jpeg.substr(0, jpeg.size() / 2));
    constexpr int Rounds = 40;
    auto loadRepeatedly = [](const std::string& file, int& loaded, std::size_t& messages) {
        const test::RecordingReporter reporter;
        for (int i = 0; i < Rounds; ++i)
            loaded += TKVFreeImage().LoadToBitmap(file) != nullptr;
        messages = reporter.messages.size();
    };
    int goodLoaded = 0, badLoaded = 0;
    std::size_t goodMessages = 0, badMessages = 0;
    std::thread goodThread(loadRepeatedly, std::cref(good), std::ref(goodLoaded),
                           std::ref(goodMessages));
    std::thread badThread(loadRepeatedly, std::cref(bad), std::ref(badLoaded),
                          std::ref(badMessages));
    goodThread.join();
    badThread.join();
    EXPECT_EQ(goodLoaded, Rounds);
    EXPECT_EQ(goodMessages, 0u);
    EXPECT_EQ(badLoaded, 0);
    EXPECT_EQ(badMessages, std::size_t(Rounds));
}

// A file handed to the desktop program is an image or a calling program's INI file.
TEST(ImageFileParameter, ImagesAreToldFromInterfaceFilesByContentsAndName)
{
    const test::TempFolder folder;
    const TFreeImage image = PatternImage(3, 2);
    const std::string png = folder.File("photo-without-extension");
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, image.get(), png.c_str(), 0));
    std::string dicom(128, '\0');
    dicom += "DICM";
    WriteFile(folder.File("IM0001"), dicom + std::string(64, '\x02'));
    const std::string interfaceText = "[General]\nSender=Robot\nCount=1\n[Image0]\nImage=a.png\n";
    WriteFile(folder.File("robot.ini"), interfaceText);
    WriteFile(folder.File("interface"), interfaceText);
    WriteFile(folder.File("empty"), "");
    std::filesystem::create_directory(folder.Path() / "folder");

    const struct {
        std::string name;
        bool image;
    } cases[] = {
        {png, true},                        // by its contents
        {folder.File("IM0001"), true},      // a DICOM file by its signature
        {folder.File("missing.JPG"), true}, // by its name: the reader reports it
        {folder.File("damaged.tif"), true}, // likewise, existing or not
        {folder.File("scan.dcm"), true},    // a DICOM file by its name
        {folder.File("robot.ini"), false},  // an interface file
        {folder.File("interface"), false},  // one with any name
        {folder.File("empty"), false},      // nothing in it
        {folder.File("missing"), false},    // nothing to tell by
        {folder.File("folder"), false},     // no file
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsImageFile(c.name), c.image) << c.name;
}

TEST(FreeImageVersion, ExpectsTheVersionWeAreBuiltAgainst)
{
    EXPECT_EQ(ExpectedFreeImageVersion(), FreeImage_GetVersion());
    EXPECT_EQ(ExpectedFreeImageVersion(), std::to_string(FREEIMAGE_MAJOR_VERSION) + "." +
                                              std::to_string(FREEIMAGE_MINOR_VERSION) + "." +
                                              std::to_string(FREEIMAGE_RELEASE_SERIAL));
    EXPECT_EQ(WrongFreeImageVersionText("3.9.2"),
              "Wrong version of freeimage.dll!\r\nVersion 3.9.2 expected.\r\n"
              "Program may run unstable.\r\n");
}

TEST(FreeImageVersion, AnyOtherTextGivesTheWarningAndAsksNothing)
{
    // The reader only tells, as a value; asking Abort or Ignore is the program's part.
    test::RecordingReporter reporter;
    const std::string expected = ExpectedFreeImageVersion();
    EXPECT_EQ(FreeImageVersionWarning(expected), "");
    for (const std::string& other : {std::string("3.9.2"), expected + ".1", expected + " ",
                                     expected.substr(0, expected.rfind('.')), std::string()})
        EXPECT_EQ(FreeImageVersionWarning(other), WrongFreeImageVersionText(expected)) << other;
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(FreeImageVersion, OnlyTheFirstReaderChecksAndLaterOnesKnowTheTempFolder)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A fresh process, so this reader is the first of its run.
    EXPECT_EXIT(
        {
            test::RecordingReporter reporter;
            const TKVFreeImage first;
            const TKVFreeImage second;
            const TKVFreeImage third;
            const bool ok = first.TempDir.empty() && first.VersionWarning().empty() &&
                            second.TempDir == TempFolder() && third.TempDir == TempFolder() &&
                            reporter.messages.empty();
            std::exit(ok ? 3 : 4);
        },
        ::testing::ExitedWithCode(3), "");
}

} // namespace
} // namespace varnolux
