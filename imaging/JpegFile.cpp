#include "imaging/JpegFile.h"

#include "imaging/TQError.h"
#include "imaging/TReplacingFile.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <memory>
// jpeglib.h must come first.
#include <jerror.h>

namespace varnolux {

namespace {

/// Larger images are refused: a few bytes of a damaged header must not make us
/// allocate gigabytes.
constexpr std::uint64_t MaximumPixels = std::uint64_t(1) << 28;

struct TFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

/// libjpeg reports a fatal error by calling error_exit, which must not return; ours
/// jumps back to the small function that started the libjpeg call, so no exception
/// ever crosses libjpeg's frames and libjpeg never ends the process.
struct TJpegErrorManager {
    jpeg_error_mgr Manager; // first, so libjpeg's pointer converts back
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void JumpBack(j_common_ptr info)
{
    auto* errors = reinterpret_cast<TJpegErrorManager*>(info->err);
    info->err->format_message(info, errors->Message);
    std::longjmp(errors->Jump, 1);
}

/// Warnings that mean pixel data is missing or damaged: libjpeg would fill in grey
/// and carry on, which would silently falsify a measurement.
bool IsDamage(int messageCode)
{
    switch (messageCode) {
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_JPEG_EOF:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
        return true;
    default:
        return false;
    }
}

void OnMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return; // trace messages
    if (IsDamage(info->err->msg_code))
        JumpBack(info);
    ++info->err->num_warnings;
}

void InstallErrorManager(TJpegErrorManager& errors)
{
    jpeg_std_error(&errors.Manager);
    errors.Manager.error_exit = JumpBack;
    errors.Manager.emit_message = OnMessage;
}

class TJpegDecoder {
public:
    TJpegDecoder()
    {
        std::memset(&info_, 0, sizeof info_);
        InstallErrorManager(errors_);
        info_.err = &errors_.Manager;
    }
    ~TJpegDecoder() { jpeg_destroy_decompress(&info_); }
    TJpegDecoder(const TJpegDecoder&) = delete;
    TJpegDecoder& operator=(const TJpegDecoder&) = delete;

    /// Reads the headers and starts decoding to blue, green, red.
    bool Start(std::FILE* file)
    {
        if (setjmp(errors_.Jump))
            return false;
        jpeg_create_decompress(&info_);
        jpeg_stdio_src(&info_, file);
        jpeg_read_header(&info_, TRUE);
        info_.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&info_);
        return true;
    }

    /// Decodes every row into a bitmap of Width() × Height().
    bool ReadRows(TBitmap24& bitmap)
    {
        if (setjmp(errors_.Jump))
            return false;
        while (info_.output_scanline < info_.output_height) {
            JSAMPROW row = bitmap.Row(int(info_.output_scanline)).data();
            jpeg_read_scanlines(&info_, &row, 1);
        }
        jpeg_finish_decompress(&info_);
        return true;
    }

    int Width() const { return int(info_.output_width); }
    int Height() const { return int(info_.output_height); }
    int Components() const { return info_.output_components; }
    const char* Message() const { return errors_.Message; }

private:
    jpeg_decompress_struct info_;
    TJpegErrorManager errors_;
};

class TJpegEncoder {
public:
    TJpegEncoder()
    {
        std::memset(&info_, 0, sizeof info_);
        InstallErrorManager(errors_);
        info_.err = &errors_.Manager;
    }
    ~TJpegEncoder() { jpeg_destroy_compress(&info_); }
    TJpegEncoder(const TJpegEncoder&) = delete;
    TJpegEncoder& operator=(const TJpegEncoder&) = delete;

    bool Encode(const TBitmap24& bitmap, int quality, std::FILE* file)
    {
        if (setjmp(errors_.Jump))
            return false;
        jpeg_create_compress(&info_);
        jpeg_stdio_dest(&info_, file);
        info_.image_width = JDIMENSION(bitmap.Width());
        info_.image_height = JDIMENSION(bitmap.Height());
        info_.input_components = 3;
        info_.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&info_);
        jpeg_set_quality(&info_, quality, TRUE);
        jpeg_start_compress(&info_, TRUE);
        while (info_.next_scanline < info_.image_height) {
            // libjpeg does not write through the row pointer.
            JSAMPROW row = const_cast<JSAMPLE*>(bitmap.Row(int(info_.next_scanline)).data());
            jpeg_write_scanlines(&info_, &row, 1);
        }
        jpeg_finish_compress(&info_);
        return true;
    }

    const char* Message() const { return errors_.Message; }

private:
    jpeg_compress_struct info_;
    TJpegErrorManager errors_;
};

[[noreturn]] void FailReading(const std::string& fileName, const std::string& reason)
{
    throw TImageFileError("Cannot read JPEG file '" + fileName + "': " + reason);
}

} // namespace

TBitmap24 ReadJpegFile(const std::string& fileName)
{
    const TFilePtr file(std::fopen(fileName.c_str(), "rb"));
    if (!file)
        FailReading(fileName, "the file cannot be opened");
    TJpegDecoder decoder;
    if (!decoder.Start(file.get()))
        FailReading(fileName, decoder.Message());
    if (decoder.Components() != 3 || decoder.Width() <= 0 || decoder.Height() <= 0)
        FailReading(fileName, "unexpected decoder output");
    if (std::uint64_t(decoder.Width()) * std::uint64_t(decoder.Height()) > MaximumPixels)
        FailReading(fileName, "the image is too large");
    TBitmap24 bitmap(decoder.Width(), decoder.Height());
    if (!decoder.ReadRows(bitmap))
        FailReading(fileName, decoder.Message());
    return bitmap;
}

void WriteJpegFile(const TBitmap24& bitmap, const std::string& fileName, int quality)
{
    if (bitmap.IsEmpty())
        throw TImageFileError("Cannot write file '" + fileName + "': the bitmap is empty");
    TReplacingFile file(fileName);
    TJpegEncoder encoder;
    if (!encoder.Encode(bitmap, quality, file.Stream()))
        throw TImageFileError("Cannot write file '" + fileName + "': " + encoder.Message());
    file.Commit();
}

} // namespace varnolux
