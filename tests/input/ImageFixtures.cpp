#include "ImageFixtures.h"

#include <cstdint>

namespace varnolux::test {

namespace {

void PutLittle16(std::string& bytes, unsigned value)
{
    bytes += char(value & 0xff);
    bytes += char((value >> 8) & 0xff);
}

void PutLittle32(std::string& bytes, std::uint32_t value)
{
    PutLittle16(bytes, value & 0xffff);
    PutLittle16(bytes, value >> 16);
}

void PutBig32(std::string& bytes, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += char((value >> shift) & 0xff);
}

template <typename Sample>
Sample* SampleRow(FIBITMAP* image, int y, int height)
{
    return reinterpret_cast<Sample*>(FreeImage_GetScanLine(image, height - 1 - y));
}

} // namespace

TColour PatternColour(int x, int y)
{
    return MakeColour(std::uint8_t(x * 23 + 5), std::uint8_t(y * 41 + 3 * x + 11),
                      std::uint8_t(200 - 7 * x * y - y));
}

TFreeImage PatternImage(int width, int height)
{
    TFreeImage image(FreeImage_Allocate(width, height, 24));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const TColour colour = PatternColour(x, y);
            RGBQUAD quad{BlueOf(colour), GreenOf(colour), RedOf(colour), 0};
            FreeImage_SetPixelColor(image.get(), x, height - 1 - y, &quad);
        }
    return image;
}

TColour PaletteColour(int index)
{
    constexpr TColour Palette[4] = {0x123456, 0xff0000, 0x00ff80, 0x8000ff};
    return Palette[index];
}

TFreeImage PalettisedImage(int width, int height)
{
    TFreeImage image(FreeImage_Allocate(width, height, 8));
    RGBQUAD* palette = FreeImage_GetPalette(image.get());
    for (int i = 0; i < 4; ++i)
        palette[i] = {BlueOf(PaletteColour(i)), GreenOf(PaletteColour(i)), RedOf(PaletteColour(i)),
                      0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SampleRow<BYTE>(image.get(), y, height)[x] = BYTE((x + 2 * y) % 4);
    return image;
}

bool TwoToneIsWhite(int x, int y)
{
    return (x * y + x) % 3 == 0;
}

TFreeImage TwoToneImage(int width, int height)
{
    TFreeImage image(FreeImage_Allocate(width, height, 1));
    RGBQUAD* palette = FreeImage_GetPalette(image.get());
    palette[0] = {0, 0, 0, 0};
    palette[1] = {255, 255, 255, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE index = TwoToneIsWhite(x, y) ? 1 : 0;
            FreeImage_SetPixelIndex(image.get(), x, height - 1 - y, &index);
        }
    return image;
}

int Grey16Sample(int x, int y)
{
    return 257 * (x + 16 * y) + x;
}

TFreeImage Grey16Image(int width, int height)
{
    TFreeImage image(FreeImage_AllocateT(FIT_UINT16, width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            SampleRow<std::uint16_t>(image.get(), y, height)[x] = std::uint16_t(Grey16Sample(x, y));
    return image;
}

TFreeImage Rgb16Image(int width, int height)
{
    TFreeImage image(FreeImage_AllocateT(FIT_RGB16, width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            FIRGB16& pixel = SampleRow<FIRGB16>(image.get(), y, height)[x];
            pixel.red = WORD(256 * x + 17);
            pixel.green = WORD(256 * y + 200);
            pixel.blue = WORD(65535 - 300 * x);
        }
    return image;
}

TFreeImage FloatImage(FREE_IMAGE_TYPE type, int width, int height)
{
    TFreeImage image(FreeImage_AllocateT(type, width, height));
    const int samples = type == FIT_RGBF ? 3 : type == FIT_RGBAF ? 4 : 1;
    for (int y = 0; y < height; ++y) {
        float* row = SampleRow<float>(image.get(), y, height);
        for (int i = 0; i < width * samples; ++i)
            row[i] = float(i + y) / float(width * samples + height);
    }
    return image;
}

std::string SunRasterFile(int width, int height)
{
    const int rowBytes = (width * 3 + 1) / 2 * 2;
    std::string bytes;
    PutBig32(bytes, 0x59a66a95);
    PutBig32(bytes, std::uint32_t(width));
    PutBig32(bytes, std::uint32_t(height));
    PutBig32(bytes, 24);
    PutBig32(bytes, std::uint32_t(rowBytes * height));
    PutBig32(bytes, 1); // standard: blue, green, red
    PutBig32(bytes, 0);
    PutBig32(bytes, 0);
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x) {
            const TColour colour = PatternColour(x, y);
            row += char(BlueOf(colour));
            row += char(GreenOf(colour));
            row += char(RedOf(colour));
        }
        row.resize(std::size_t(rowBytes), '\0');
        bytes += row;
    }
    return bytes;
}

std::string PcxFile(int width, int height)
{
    const int bytesPerLine = (width + 1) / 2 * 2;
    std::string bytes;
    bytes += char(0x0a); // ZSoft
    bytes += char(5);    // version 3.0
    bytes += char(1);    // run-length encoded
    bytes += char(8);    // bits per sample
    PutLittle16(bytes, 0);
    PutLittle16(bytes, 0);
    PutLittle16(bytes, unsigned(width - 1));
    PutLittle16(bytes, unsigned(height - 1));
    PutLittle16(bytes, 72);
    PutLittle16(bytes, 72);
    bytes.append(48, '\0');
    bytes += char(0);
    bytes += char(3); // planes red, green, blue
    PutLittle16(bytes, unsigned(bytesPerLine));
    PutLittle16(bytes, 1);
    bytes.resize(128, '\0');
    for (int y = 0; y < height; ++y)
        for (int plane = 0; plane < 3; ++plane)
            for (int x = 0; x < bytesPerLine; ++x) {
                const TColour colour = x < width ? PatternColour(x, y) : 0;
                const std::uint8_t sample = plane == 0   ? RedOf(colour)
                                            : plane == 1 ? GreenOf(colour)
                                                         : BlueOf(colour);
                bytes += char(0xc1); // a run of one
                bytes += char(sample);
            }
    return bytes;
}

std::string KoalaFile()
{
    std::string bytes;
    PutLittle16(bytes, 0x6000);
    bytes.append(8000 + 1000 + 1000, '\0');
    bytes += char(1); // background: white
    return bytes;
}

std::string AsciiPixmapFile(int width, int height)
{
    std::string text = "P3\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const TColour colour = PatternColour(x, y);
            text += std::to_string(RedOf(colour)) + " " + std::to_string(GreenOf(colour)) + " " +
                    std::to_string(BlueOf(colour)) + "  ";
        }
        text += "\n";
    }
    return text;
}

std::string AsciiBitmapFile(int width, int height)
{
    std::string text = "P1\n" + std::to_string(width) + " " + std::to_string(height) + "\n";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            text += TwoToneIsWhite(x, y) ? "0 " : "1 ";
        text += "\n";
    }
    return text;
}

std::string DirectoryFirstTiffFile()
{
    constexpr int Size = 8;
    struct TEntry {
        unsigned tag, type;
        std::uint32_t value;
    };
    constexpr unsigned Short = 3, Long = 4;
    constexpr std::uint32_t EntryCount = 9;
    constexpr std::uint32_t PixelOffset = 8 + 2 + EntryCount * 12 + 4;
    const TEntry entries[EntryCount] = {
        {256, Short, Size}, {257, Short, Size}, {258, Short, 8},
        {259, Short, 1},    {262, Short, 1},    {273, Long, PixelOffset},
        {277, Short, 1},    {278, Short, Size}, {279, Long, Size * Size},
    };
    std::string bytes = "II*";
    bytes += '\0';
    PutLittle32(bytes, 8);
    PutLittle16(bytes, EntryCount);
    for (const TEntry& entry : entries) {
        PutLittle16(bytes, entry.tag);
        PutLittle16(bytes, entry.type);
        PutLittle32(bytes, 1);
        PutLittle32(bytes, entry.value);
    }
    PutLittle32(bytes, 0);
    for (int i = 0; i < Size * Size; ++i)
        bytes += char(i * 4);
    return bytes;
}

} // namespace varnolux::test
