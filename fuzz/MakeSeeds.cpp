// varnolux-fuzz-seeds FOLDER: writes the seeds that are not text into
// FOLDER/<target>/: small bitmaps of every layout our reader takes, and result inputs.

#include "imaging/BmpFile.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace varnolux;

void Put16(std::string& bytes, unsigned value)
{
    bytes += char(value & 0xff);
    bytes += char((value >> 8) & 0xff);
}

void Put32(std::string& bytes, std::uint32_t value)
{
    Put16(bytes, value & 0xffff);
    Put16(bytes, value >> 16);
}

struct TBmpLayout {
    std::uint32_t headerSize = 40;
    int width = 3;
    int height = 2; // negative: top-down
    int bits = 8;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> masks; // after a 40-byte header, or inside a longer one
    int paletteEntries = 0;
};

/// A bitmap file of the layout with patterned pixels.
std::string Bitmap(const TBmpLayout& layout)
{
    std::string header;
    if (layout.headerSize == 12) {
        Put32(header, 12);
        Put16(header, unsigned(layout.width));
        Put16(header, unsigned(layout.height));
        Put16(header, 1);
        Put16(header, unsigned(layout.bits));
    } else {
        Put32(header, layout.headerSize);
        Put32(header, std::uint32_t(layout.width));
        Put32(header, std::uint32_t(layout.height));
        Put16(header, 1);
        Put16(header, unsigned(layout.bits));
        Put32(header, layout.compression);
        header.append(20, '\0');
        for (const std::uint32_t mask : layout.masks)
            Put32(header, mask);
        header.resize(std::max<std::size_t>(header.size(), layout.headerSize), '\0');
    }
    const std::size_t entrySize = layout.headerSize == 12 ? 3 : 4;
    std::string palette;
    for (int i = 0; i < layout.paletteEntries; ++i) {
        palette += char(i * 40);
        palette += char(255 - i * 30);
        palette += char(i * 90);
        if (entrySize == 4)
            palette += '\0';
    }
    const int rows = layout.height < 0 ? -layout.height : layout.height;
    const std::size_t stride = (std::size_t(layout.width) * std::size_t(layout.bits) + 31) / 32 * 4;
    std::string pixels;
    for (int y = 0; y < rows; ++y)
        for (std::size_t i = 0; i < stride; ++i)
            pixels += char(37 * y + 11 * int(i) + 5);
    const std::uint32_t offset = std::uint32_t(14 + header.size() + palette.size());
    std::string file = "BM";
    Put32(file, std::uint32_t(offset + pixels.size()));
    Put32(file, 0);
    Put32(file, offset);
    return file + header + palette + pixels;
}

void Write(const std::filesystem::path& fileName, const std::string& bytes)
{
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file << bytes;
    if (!file)
        throw std::runtime_error("cannot write " + fileName.string());
}

void WriteBitmapSeeds(const std::filesystem::path& folder)
{
    const struct {
        const char* name;
        TBmpLayout layout;
    } seeds[] = {
        {"1-bit.bmp", {40, 9, 2, 1, 0, {}, 2}},
        {"4-bit.bmp", {40, 5, 3, 4, 0, {}, 16}},
        {"8-bit.bmp", {40, 3, 2, 8, 0, {}, 5}},
        {"8-bit-top-down.bmp", {40, 3, -2, 8, 0, {}, 5}},
        {"16-bit.bmp", {40, 3, 2, 16, 0, {}, 0}},
        {"16-bit-565.bmp", {40, 3, 2, 16, 3, {0xf800, 0x07e0, 0x001f}, 0}},
        {"24-bit.bmp", {40, 3, 2, 24, 0, {}, 0}},
        {"32-bit.bmp", {40, 2, 2, 32, 0, {}, 0}},
        {"32-bit-v4.bmp", {108, 2, 2, 32, 3, {0x00ff0000, 0x0000ff00, 0x000000ff}, 0}},
        {"os2-core.bmp", {12, 4, 2, 8, 0, {}, 3}},
    };
    for (const auto& seed : seeds)
        Write(folder / seed.name, Bitmap(seed.layout));
}

void WriteResultSeeds(const std::filesystem::path& folder)
{
    const struct {
        const char* name;
        double value;
        int decimals;
        std::string texts;
    } seeds[] = {
        {"area.bin", 11.25, 2, std::string("Path\0/data/\0Name\0objects.png", 27)},
        {"tiny.bin", 1.5e-7, 3, "DateTime"},
        {"large.bin", 12345678.9, 0, std::string("a\tb\0c\r\nd", 8)},
        {"negative.bin", -0.125, 2, ""},
    };
    for (const auto& seed : seeds) {
        std::string bytes(sizeof(double), '\0');
        std::memcpy(bytes.data(), &seed.value, sizeof(double));
        bytes += char(seed.decimals);
        Write(folder / seed.name, bytes + seed.texts);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: varnolux-fuzz-seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder / "bmp_file");
    std::filesystem::create_directories(folder / "result_line");
    WriteBitmapSeeds(folder / "bmp_file");
    WriteResultSeeds(folder / "result_line");
    return 0;
}
