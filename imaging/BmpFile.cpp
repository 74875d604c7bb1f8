#include "imaging/BmpFile.h"

#include "imaging/TQError.h"
#include "imaging/TReplacingFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace varnolux {

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::size_t InfoHeaderSize = 40;
constexpr std::size_t CoreHeaderSize = 12;
constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiBitfields = 3;
constexpr std::uint32_t BiAlphaBitfields = 6;

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

std::uint16_t U16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

std::uint32_t U32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void PutU16(std::uint8_t* p, std::uint32_t value)
{
    p[0] = std::uint8_t(value);
    p[1] = std::uint8_t(value >> 8);
}

void PutU32(std::uint8_t* p, std::uint32_t value)
{
    PutU16(p, value);
    PutU16(p + 2, value >> 16);
}

/// One channel of a bit-field pixel: where its bits are and how to widen them to 8.
class TChannelMask {
public:
    explicit TChannelMask(std::uint32_t mask)
        : mask_(mask)
        , shift_(mask ? std::countr_zero(mask) : 0)
        , maximum_(mask ? (std::uint64_t(1) << std::bit_width(mask >> shift_)) - 1 : 0)
    {
    }
    std::uint8_t Of(std::uint32_t pixel) const
    {
        if (!maximum_)
            return 0;
        return std::uint8_t(std::uint64_t((pixel & mask_) >> shift_) * 255 / maximum_);
    }

private:
    std::uint32_t mask_;
    int shift_;
    std::uint64_t maximum_;
};

/// What the headers say about the pixel rows.
struct TBmpLayout {
    std::int64_t Width = 0;
    std::int64_t Rows = 0;
    bool TopDown = false;
    int BitsPerPixel = 0;
    std::uint32_t Compression = BiRgb;
    std::uint64_t HeadersEnd = 0;
    std::uint64_t PixelOffset = 0;
    std::uint64_t Stride = 0;
    std::array<std::uint32_t, 3> Masks{}; // red, green, blue
    std::array<TColour, 256> Palette{};   // missing entries stay black
};

class TBmpReader {
public:
    explicit TBmpReader(const std::string& fileName)
        : fileName_(fileName)
    {
    }

    TBitmap24 Read()
    {
        Open();
        return ReadRows();
    }

    void ReadBands(int bandHeight, const std::function<void(int, int)>& size,
                   const std::function<void(int, const TBitmap24&)>& band)
    {
        Open();
        const int width = int(layout_.Width);
        const int rows = int(layout_.Rows);
        size(width, rows);
        TBitmap24 rowsRead(width, std::min(std::max(bandHeight, 1), rows));
        SeekPixels();
        std::vector<std::uint8_t> line(layout_.Stride);
        for (int first = 0; first < rows; first += rowsRead.Height()) {
            const int count = std::min(rowsRead.Height(), rows - first);
            if (count != rowsRead.Height())
                rowsRead = TBitmap24(width, count);
            for (int r = 0; r < count; ++r) {
                ReadLine(line);
                DecodeRow(line.data(), rowsRead.Row(layout_.TopDown ? r : count - 1 - r).data(),
                          width);
            }
            band(layout_.TopDown ? first : rows - first - count, rowsRead);
        }
    }

private:
    void Open()
    {
        file_.reset(std::fopen(fileName_.c_str(), "rb"));
        if (!file_)
            Fail("the file cannot be opened");
        struct stat status {};
        if (::fstat(::fileno(file_.get()), &status) != 0 || !S_ISREG(status.st_mode))
            Fail("not a regular file");
        fileLength_ = std::uint64_t(status.st_size);
        ReadHeaders();
    }

    void SeekPixels()
    {
        if (std::fseek(file_.get(), long(layout_.PixelOffset), SEEK_SET) != 0)
            Fail("the file is truncated");
    }

    void ReadLine(std::vector<std::uint8_t>& line)
    {
        if (std::fread(line.data(), 1, line.size(), file_.get()) != line.size())
            Fail("the file is truncated");
    }

    [[noreturn]] void Fail(const std::string& reason) const
    {
        throw TImageFileError("Cannot read bitmap file '" + fileName_ + "': " + reason);
    }

    void ReadAt(std::uint64_t offset, std::uint8_t* bytes, std::size_t count)
    {
        if (offset > fileLength_ || count > fileLength_ - offset)
            Fail("the file is truncated");
        if (std::fseek(file_.get(), long(offset), SEEK_SET) != 0 ||
            std::fread(bytes, 1, count, file_.get()) != count)
            Fail("the file is truncated");
    }

    void ReadHeaders()
    {
        std::uint8_t start[FileHeaderSize + 4];
        ReadAt(0, start, sizeof start);
        if (start[0] != 'B' || start[1] != 'M')
            Fail("not a BMP file");
        layout_.PixelOffset = U32(start + 10);
        const std::uint32_t headerSize = U32(start + 14);
        layout_.HeadersEnd = FileHeaderSize + std::uint64_t(headerSize);
        if (headerSize == CoreHeaderSize)
            ReadCoreHeader();
        else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 ||
                 headerSize == 108 || headerSize == 124)
            ReadInfoHeader(headerSize);
        else
            Fail("unsupported header size " + std::to_string(headerSize));
        CheckLayout();
    }

    void ReadCoreHeader()
    {
        std::uint8_t header[CoreHeaderSize];
        ReadAt(FileHeaderSize, header, sizeof header);
        layout_.Width = U16(header + 4);
        layout_.Rows = U16(header + 6);
        layout_.BitsPerPixel = U16(header + 10);
        ReadPalette(FileHeaderSize + CoreHeaderSize, 3, 0);
    }

    void ReadInfoHeader(std::uint32_t headerSize)
    {
        std::vector<std::uint8_t> header(headerSize);
        ReadAt(FileHeaderSize, header.data(), header.size());
        const auto width = std::int32_t(U32(&header[4]));
        const auto height = std::int32_t(U32(&header[8]));
        if (height == INT32_MIN)
            Fail("invalid height");
        layout_.Width = width;
        layout_.Rows = height < 0 ? -std::int64_t(height) : height;
        layout_.TopDown = height < 0;
        layout_.BitsPerPixel = U16(&header[14]);
        layout_.Compression = U32(&header[16]);
        const std::uint32_t coloursUsed = U32(&header[32]);
        const bool bitFields =
            layout_.Compression == BiBitfields || layout_.Compression == BiAlphaBitfields;
        if (headerSize == 64 && layout_.Compression != BiRgb)
            Fail("compressed OS/2 bitmaps are not supported");
        if (layout_.Compression != BiRgb && !bitFields)
            Fail("compressed bitmaps are not supported");
        if (bitFields && layout_.BitsPerPixel != 16 && layout_.BitsPerPixel != 32)
            Fail("bit fields need 16 or 32 bits per pixel");

        if (bitFields) {
            std::uint8_t masks[12];
            if (headerSize >= 52)
                std::copy_n(&header[40], 12, masks);
            else
                ReadAt(FileHeaderSize + headerSize, masks, sizeof masks);
            layout_.Masks = {U32(masks), U32(masks + 4), U32(masks + 8)};
        } else if (layout_.BitsPerPixel == 16) {
            layout_.Masks = {0x7c00, 0x03e0, 0x001f};
        }
        ReadPalette(FileHeaderSize + headerSize, 4, coloursUsed);
    }

    /// Reads the palette entries that lie between the headers and the pixels.
    void ReadPalette(std::uint64_t start, std::size_t entrySize, std::uint32_t coloursUsed)
    {
        if (layout_.BitsPerPixel > 8)
            return;
        const std::uint32_t full = 1u << layout_.BitsPerPixel;
        std::uint64_t count = coloursUsed ? std::min(coloursUsed, full) : full;
        const std::uint64_t room =
            layout_.PixelOffset > start ? (layout_.PixelOffset - start) / entrySize : 0;
        count = std::min(count, room);
        std::vector<std::uint8_t> entries(count * entrySize);
        ReadAt(start, entries.data(), entries.size());
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* entry = &entries[i * entrySize];
            layout_.Palette[i] = MakeColour(entry[2], entry[1], entry[0]);
        }
    }

    void CheckLayout()
    {
        const int bits = layout_.BitsPerPixel;
        if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            Fail("unsupported bit count " + std::to_string(bits));
        if (layout_.Width <= 0 || layout_.Rows <= 0)
            Fail("the image has no pixels");
        if (layout_.Width > INT_MAX / 4 || layout_.Rows > INT_MAX)
            Fail("the image is too large");
        layout_.Stride = (std::uint64_t(layout_.Width) * std::uint64_t(bits) + 31) / 32 * 4;
        // The pixel rows must be in the file: this also bounds the allocation.
        if (layout_.PixelOffset < layout_.HeadersEnd || layout_.PixelOffset > fileLength_ ||
            (fileLength_ - layout_.PixelOffset) / layout_.Stride < std::uint64_t(layout_.Rows))
            Fail("the file is truncated");
    }

    TBitmap24 ReadRows()
    {
        const int width = int(layout_.Width);
        const int rows = int(layout_.Rows);
        TBitmap24 bitmap(width, rows);
        SeekPixels();
        std::vector<std::uint8_t> line(layout_.Stride);
        for (int r = 0; r < rows; ++r) {
            ReadLine(line);
            DecodeRow(line.data(), bitmap.Row(layout_.TopDown ? r : rows - 1 - r).data(), width);
        }
        return bitmap;
    }

    void DecodeRow(const std::uint8_t* in, std::uint8_t* out, int width) const
    {
        switch (layout_.BitsPerPixel) {
        case 24:
            std::copy_n(in, std::size_t(width) * 3, out);
            break;
        case 32:
            if (layout_.Compression == BiRgb)
                for (int x = 0; x < width; ++x, in += 4, out += 3)
                    std::copy_n(in, 3, out);
            else
                DecodeBitFields(in, out, width, 4);
            break;
        case 16:
            DecodeBitFields(in, out, width, 2);
            break;
        default:
            DecodeIndexed(in, out, width);
            break;
        }
    }

    void DecodeBitFields(const std::uint8_t* in, std::uint8_t* out, int width,
                         int bytesPerPixel) const
    {
        const TChannelMask red(layout_.Masks[0]);
        const TChannelMask green(layout_.Masks[1]);
        const TChannelMask blue(layout_.Masks[2]);
        for (int x = 0; x < width; ++x, in += bytesPerPixel, out += 3) {
            const std::uint32_t pixel = bytesPerPixel == 2 ? U16(in) : U32(in);
            out[0] = blue.Of(pixel);
            out[1] = green.Of(pixel);
            out[2] = red.Of(pixel);
        }
    }

    void DecodeIndexed(const std::uint8_t* in, std::uint8_t* out, int width) const
    {
        const int bits = layout_.BitsPerPixel;
        const int perByte = 8 / bits;
        const unsigned indexMask = (1u << bits) - 1;
        for (int x = 0; x < width; ++x, out += 3) {
            const int shift = 8 - bits * (x % perByte + 1);
            const TColour colour = layout_.Palette[(in[x / perByte] >> shift) & indexMask];
            out[0] = BlueOf(colour);
            out[1] = GreenOf(colour);
            out[2] = RedOf(colour);
        }
    }

    std::string fileName_;
    TFilePtr file_;
    std::uint64_t fileLength_ = 0;
    TBmpLayout layout_;
};

} // namespace

TBitmap24 ReadBmpFile(const std::string& fileName)
{
    return TBmpReader(fileName).Read();
}

void ReadBmpFileBands(const std::string& fileName, int bandHeight,
                      const std::function<void(int width, int height)>& size,
                      const std::function<void(int top, const TBitmap24& rows)>& band)
{
    TBmpReader(fileName).ReadBands(bandHeight, size, band);
}

void WriteBmpFile(const TBitmap24& bitmap, const std::string& fileName)
{
    WriteBmpFile(
        bitmap.Width(), bitmap.Height(), [&](int y) { return bitmap.Row(y).data(); }, fileName);
}

void WriteBmpFile(int width, int height, const std::function<const std::uint8_t*(int y)>& row,
                  const std::string& fileName)
{
    if (width <= 0 || height <= 0)
        throw TImageFileError("Cannot write file '" + fileName + "': the bitmap is empty");
    const std::size_t rowBytes = std::size_t(width) * 3;
    const std::size_t stride = (rowBytes + 3) / 4 * 4;
    const std::uint64_t imageSize = std::uint64_t(stride) * std::uint64_t(height);
    const std::uint64_t headersSize = FileHeaderSize + InfoHeaderSize;
    if (headersSize + imageSize > UINT32_MAX)
        throw TImageFileError("Cannot write file '" + fileName + "': too large for a bitmap");

    std::uint8_t headers[FileHeaderSize + InfoHeaderSize] = {'B', 'M'};
    PutU32(headers + 2, std::uint32_t(headersSize + imageSize));
    PutU32(headers + 10, std::uint32_t(headersSize));
    std::uint8_t* info = headers + FileHeaderSize;
    PutU32(info, InfoHeaderSize);
    PutU32(info + 4, std::uint32_t(width));
    PutU32(info + 8, std::uint32_t(height));
    PutU16(info + 12, 1);
    PutU16(info + 14, 24);
    PutU32(info + 16, BiRgb);
    PutU32(info + 20, std::uint32_t(imageSize));

    TReplacingFile file(fileName);
    file.Write(headers, sizeof headers);
    const std::uint8_t padding[3] = {};
    for (int y = height - 1; y >= 0; --y) {
        file.Write(row(y), rowBytes);
        file.Write(padding, stride - rowBytes);
    }
    file.Commit();
}

std::optional<std::vector<std::uint8_t>> WithPlainBmpInfoHeader(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < FileHeaderSize + InfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    const std::uint8_t* start = bytes.data();
    const std::uint32_t infoSize = U32(start + FileHeaderSize);
    if (infoSize != 108 && infoSize != 124)
        return std::nullopt;
    const std::uint32_t pixelOffset = U32(start + 10);
    const std::uint16_t bitCount = U16(start + 28);
    const std::uint32_t compression = U32(start + 30);
    const std::uint32_t coloursUsed = U32(start + 46);
    const std::size_t maskSize = compression == BiBitfields        ? 12
                                 : compression == BiAlphaBitfields ? 16
                                                                   : 0;
    const std::uint64_t paletteEntries = coloursUsed != 0 ? coloursUsed
                                         : bitCount <= 8  ? std::uint64_t(1) << bitCount
                                                          : 0;
    const std::uint64_t paletteBegin = FileHeaderSize + infoSize;
    const std::uint64_t paletteEnd = paletteBegin + paletteEntries * 4;
    if (paletteEnd > pixelOffset || pixelOffset > bytes.size())
        return std::nullopt;

    // The masks lie at the same place in the larger headers as after the plain one.
    const auto plainEnd = bytes.begin() + FileHeaderSize + InfoHeaderSize;
    std::vector<std::uint8_t> plain(bytes.begin(), plainEnd + std::ptrdiff_t(maskSize));
    plain.insert(plain.end(), bytes.begin() + std::ptrdiff_t(paletteBegin),
                 bytes.begin() + std::ptrdiff_t(paletteEnd));
    const std::size_t plainPixelOffset = plain.size();
    plain.insert(plain.end(), bytes.begin() + pixelOffset, bytes.end());
    PutU32(plain.data() + 2, std::uint32_t(plain.size()));
    PutU32(plain.data() + 10, std::uint32_t(plainPixelOffset));
    PutU32(plain.data() + FileHeaderSize, InfoHeaderSize);
    return plain;
}

} // namespace varnolux
