#include "input/TKVFreeImage.h"

#include "base/Files.h"
#include "base/Messages.h"
#include "base/TFileDescriptor.h"
#include "imaging/BmpFile.h"
#include "input/AvailableMemory.h"
#include "input/DicomImport.h"
#include "input/TImageFileBytes.h"
#include "input/TScopedFile.h"
#include "input/TTrackedImageBytes.h"

#include <FreeImage.h>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <string_view>
#include <system_error>
#include <tiffio.h>
#include <utility>
#include <vector>

namespace varnolux {

namespace {

constexpr FREE_IMAGE_FORMAT AcceptedFormats[] = {
    FIF_BMP, FIF_ICO, FIF_JPEG, FIF_KOALA, FIF_PBM,   FIF_PCD,  FIF_PCX,
    FIF_PGM, FIF_PNG, FIF_PPM,  FIF_RAS,   FIF_TARGA, FIF_TIFF,
};

struct TFreeImageDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using TFreeImageBitmap = std::unique_ptr<FIBITMAP, TFreeImageDeleter>;

/// What the decoders complained about during one load.
struct TDecoderComplaints {
    int count = 0;
    bool aboutMemory = false;
};

// FreeImage has one process-wide message callback; each thread collects the
// complaints of its own load, so loads on several threads keep them apart.
thread_local TDecoderComplaints threadComplaints;

void NoteComplaint(const char* text)
{
    ++threadComplaints.count;
    std::string lowerCase = text ? text : "";
    std::transform(lowerCase.begin(), lowerCase.end(), lowerCase.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (lowerCase.find("memory") != std::string::npos)
        threadComplaints.aboutMemory = true;
}

void CountFreeImageMessage(FREE_IMAGE_FORMAT, const char* message)
{
    NoteComplaint(message);
}

/// libtiff reports its errors past FreeImage. FreeImage asks it for tags it does not
/// know, which libtiff calls an internal error: harmless, and not the file's fault.
void CountTiffError(const char* module, const char* format, va_list)
{
    if (module && std::string_view(module) == "TIFFFieldWithTag")
        return;
    NoteComplaint(format);
}

void InstallMessageHandlers()
{
    FreeImage_SetOutputMessage(CountFreeImageMessage);
    TIFFSetErrorHandler(CountTiffError);
    // Warnings (unknown private tags and the like) do not make an image unreadable.
    TIFFSetWarningHandler(nullptr);
}

/// Decoder complaints since the last call on this thread.
TDecoderComplaints TakeComplaints()
{
    [[maybe_unused]] static const bool installed = (InstallMessageHandlers(), true);
    return std::exchange(threadComplaints, {});
}

/// The image as a standard 24-bit FreeImage bitmap. 16-bit samples keep their high
/// byte; kinds without a fixed 8-bit meaning (signed, 32-bit, floating point) are
/// scaled as FreeImage does for display.
TFreeImageBitmap ConvertTo24Bits(FIBITMAP* image)
{
    switch (FreeImage_GetImageType(image)) {
    case FIT_BITMAP:
    case FIT_RGB16:
    case FIT_RGBA16:
        return TFreeImageBitmap(FreeImage_ConvertTo24Bits(image));
    case FIT_UINT16: {
        const TFreeImageBitmap grey(FreeImage_ConvertTo8Bits(image));
        return TFreeImageBitmap(grey ? FreeImage_ConvertTo24Bits(grey.get()) : nullptr);
    }
    case FIT_RGBF:
    case FIT_RGBAF:
        return TFreeImageBitmap(FreeImage_ToneMapping(image, FITMO_DRAGO03));
    default: {
        const TFreeImageBitmap standard(FreeImage_ConvertToStandardType(image, TRUE));
        return TFreeImageBitmap(standard ? FreeImage_ConvertTo24Bits(standard.get()) : nullptr);
    }
    }
}

bool IsPlain24Bits(FIBITMAP* image)
{
    return FreeImage_GetImageType(image) == FIT_BITMAP && FreeImage_GetBPP(image) == 24;
}

/// Copies a 24-bit FreeImage bitmap, whose first scan line is the bottom row.
std::unique_ptr<TBitmap24> CopyToBitmap(FIBITMAP* image)
{
    const int width = int(FreeImage_GetWidth(image));
    const int height = int(FreeImage_GetHeight(image));
    auto bitmap = std::make_unique<TBitmap24>(width, height);
    for (int y = 0; y < height; ++y) {
        const BYTE* source = FreeImage_GetScanLine(image, height - 1 - y);
        const auto row = bitmap->Row(y);
        for (std::size_t x = 0; x < std::size_t(width); ++x) {
            row[3 * x] = source[3 * x + FI_RGBA_BLUE];
            row[3 * x + 1] = source[3 * x + FI_RGBA_GREEN];
            row[3 * x + 2] = source[3 * x + FI_RGBA_RED];
        }
    }
    return bitmap;
}

/// What opening and analysing an image may hold per pixel: FreeImage's bitmap, the
/// planes, the pictures of the desktop program and the region labels, with room to
/// spare.
constexpr std::uint64_t AnalysisBytesPerPixel = 40;

/// The decoders of these read exactly what the file should hold, so any short read
/// means the file ends early; the others read in blocks, and their one short read
/// at the end of a whole file is normal.
constexpr FREE_IMAGE_FORMAT ExactReaders[] = {FIF_BMP, FIF_ICO, FIF_KOALA, FIF_PBM,
                                              FIF_PGM, FIF_PPM, FIF_RAS};

bool IsTruncated(FREE_IMAGE_FORMAT format, int shortReads)
{
    const bool exact = std::find(std::begin(ExactReaders), std::end(ExactReaders), format) !=
                       std::end(ExactReaders);
    return shortReads > (exact ? 0 : 1);
}

/// Formats whose pixel data is stored as it is or run-length coded: the file holds
/// at least a 256th of the declared pixels' bytes.
constexpr FREE_IMAGE_FORMAT BoundedCompression[] = {FIF_BMP, FIF_KOALA, FIF_PBM, FIF_PCX,
                                                    FIF_PGM, FIF_PPM,   FIF_RAS, FIF_TARGA};
constexpr std::uint64_t MaxRunLengthRatio = 256;

std::uint32_t Little32(const unsigned char* bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

/// FreeImage's icon decoder trusts the bit count of the first image and overruns its
/// buffer when it is not one a bitmap can have.
bool HasSaneIconHeader(std::span<const std::uint8_t> file)
{
    constexpr std::size_t DirectorySize = 22;
    constexpr std::size_t HeaderSize = 16;
    if (file.size() < DirectorySize)
        return false;
    const std::uint64_t offset = Little32(file.data() + 18);
    if (offset > file.size() || file.size() - offset < HeaderSize)
        return false;
    const std::uint8_t* header = file.data() + offset;
    if (std::equal(header, header + 4, "\x89PNG"))
        return true;
    const unsigned bits = unsigned(header[14]) | unsigned(header[15]) << 8;
    return Little32(header) == 40 &&
           (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
}

/// Promises the memory that opening and analysing an image of that many pixels takes;
/// std::bad_alloc when it would not fit even with no other image in progress.
TMemoryReservation ReserveFor(std::uint64_t pixels)
{
    auto reservation = TMemoryReservation::Reserve(pixels * AnalysisBytesPerPixel);
    if (!reservation)
        throw std::bad_alloc();
    return std::move(*reservation);
}

enum class TDeclaredSize { Unknown, Unreadable, Plausible, Impossible };

/// What the header says about the size, before any pixel is decoded. A declared
/// image whose 24-bit bitmap would not fit the 4 GB of a bitmap file, or whose
/// pixels could not be in a file this short, comes from a damaged header. For a
/// plausible one the memory is reserved: an image the machine's memory cannot analyse
/// is refused (std::bad_alloc) before it is decoded into memory the kernel would have
/// to take back by killing the program, and one that does not fit beside the images
/// other threads have in progress waits for them.
TDeclaredSize DeclaredSize(FREE_IMAGE_FORMAT format, TTrackedImageBytes& file,
                           TMemoryReservation& reservation)
{
    if (!FreeImage_FIFSupportsNoPixels(format))
        return TDeclaredSize::Unknown;
    const TFreeImageBitmap header(file.Load(format, FIF_LOAD_NOPIXELS));
    TakeComplaints();
    if (!header)
        return TDeclaredSize::Unreadable;
    const std::uint64_t pixels =
        std::uint64_t(FreeImage_GetWidth(header.get())) * FreeImage_GetHeight(header.get());
    if (pixels * 3 > std::numeric_limits<std::uint32_t>::max())
        return TDeclaredSize::Impossible;
    const bool boundedCompression =
        std::find(std::begin(BoundedCompression), std::end(BoundedCompression), format) !=
        std::end(BoundedCompression);
    const std::uint64_t pixelBytes = pixels * FreeImage_GetBPP(header.get()) / 8;
    if (boundedCompression && file.Size() * MaxRunLengthRatio < pixelBytes)
        return TDeclaredSize::Impossible;
    reservation = ReserveFor(pixels);
    return TDeclaredSize::Plausible;
}

/// The loaded and converted image, or nothing when the file is damaged: FreeImage
/// failed or complained, or the decoder wanted more than the file holds. The memory
/// of the open and the analysis is reserved in reservation.
/// Throws std::bad_alloc when memory ran out or would.
TFreeImageBitmap LoadConverted(FREE_IMAGE_FORMAT format, std::span<const std::uint8_t> bytes,
                               TMemoryReservation& reservation)
{
    if (format == FIF_ICO && !HasSaneIconHeader(bytes))
        return nullptr;
    TakeComplaints();
    TTrackedImageBytes file(bytes);
    const TDeclaredSize declared = DeclaredSize(format, file, reservation);
    if (declared == TDeclaredSize::Impossible)
        return nullptr;
    errno = 0;
    TFreeImageBitmap loaded(file.Load(format, 0));
    const TDecoderComplaints complaints = TakeComplaints();
    const bool loadedWhole =
        loaded && complaints.count == 0 && !IsTruncated(format, file.ShortReads());
    // A format whose header says nothing reserves once its size is known.
    if (loadedWhole && declared != TDeclaredSize::Plausible)
        reservation = ReserveFor(std::uint64_t(FreeImage_GetWidth(loaded.get())) *
                                 FreeImage_GetHeight(loaded.get()));
    // A plain 24-bit bitmap is what the conversion would copy; the decoder's own one
    // goes as soon as the converted one is there.
    TFreeImageBitmap converted;
    if (loadedWhole)
        converted = IsPlain24Bits(loaded.get()) ? std::move(loaded) : ConvertTo24Bits(loaded.get());
    const bool memoryFailed = errno == ENOMEM;
    const TDecoderComplaints conversionComplaints = TakeComplaints();
    loaded.reset();
    if (converted && conversionComplaints.count == 0)
        return converted;
    // FreeImage says so, or gives nothing with errno from a failed allocation. With a
    // header it cannot even read, that is the file's fault.
    if (declared != TDeclaredSize::Unreadable &&
        (complaints.aboutMemory || conversionComplaints.aboutMemory ||
         (loadedWhole && !converted && memoryFailed)))
        throw std::bad_alloc();
    return nullptr;
}

/// A DICOM file says so after its 128-byte preamble, whatever it is named.
bool HasDicomSignature(const std::string& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    char header[132] = {};
    return file.read(header, sizeof header) && std::string_view(header + 128, 4) == "DICM";
}

bool HasImageExtension(const std::string& fileName)
{
    constexpr std::string_view Extensions[] = {
        ".bmp", ".dib", ".ico", ".jpg", ".jpeg", ".jpe", ".jif", ".koa",   ".pbm", ".pcd",
        ".pcx", ".pgm", ".png", ".ppm", ".pnm",  ".ras", ".tga", ".targa", ".tif", ".tiff"};
    std::string extension = ExtensionPart(fileName);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return std::find(std::begin(Extensions), std::end(Extensions), extension) !=
           std::end(Extensions);
}

/// The format FreeImage sees in the bytes.
FREE_IMAGE_FORMAT FileFormat(std::span<const std::uint8_t> bytes)
{
    struct TMemoryCloser {
        void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
    };
    // FreeImage only reads a memory stream it did not allocate.
    const std::unique_ptr<FIMEMORY, TMemoryCloser> memory(
        FreeImage_OpenMemory(const_cast<BYTE*>(bytes.data()), DWORD(bytes.size())));
    return memory ? FreeImage_GetFileTypeFromMemory(memory.get(), 0) : FIF_UNKNOWN;
}

/// Writes a 24-bit FreeImage bitmap as a BMP file, its rows as they are where FreeImage
/// keeps them in blue, green, red order.
void WriteAsBmpFile(FIBITMAP* image, const std::string& fileName)
{
    const int width = int(FreeImage_GetWidth(image));
    const int height = int(FreeImage_GetHeight(image));
    std::vector<std::uint8_t> reordered(std::size_t(width) * 3);
    WriteBmpFile(
        width, height,
        [&](int y) -> const std::uint8_t* {
            const BYTE* line = FreeImage_GetScanLine(image, height - 1 - y);
            if constexpr (FI_RGBA_BLUE == 0 && FI_RGBA_GREEN == 1 && FI_RGBA_RED == 2)
                return line;
            for (std::size_t x = 0; x < std::size_t(width); ++x) {
                reordered[3 * x] = line[3 * x + FI_RGBA_BLUE];
                reordered[3 * x + 1] = line[3 * x + FI_RGBA_GREEN];
                reordered[3 * x + 2] = line[3 * x + FI_RGBA_RED];
            }
            return reordered.data();
        },
        fileName);
}

/// Decodes a file's bytes through FreeImage into a 24-bit bitmap, or nothing after a
/// message; messages name shownName, the file the user opened.
TFreeImageBitmap LoadWithFreeImage(std::span<const std::uint8_t> bytes,
                                   const std::string& shownName, TMemoryReservation& reservation)
{
    const FREE_IMAGE_FORMAT format = FileFormat(bytes);
    if (std::find(std::begin(AcceptedFormats), std::end(AcceptedFormats), format) ==
        std::end(AcceptedFormats)) {
        CurrentReporter().ShowLanguageMessage("LUnrecognizedFileFormat", {shownName});
        return nullptr;
    }
    const std::optional<std::vector<std::uint8_t>> plainBmp =
        format == FIF_BMP ? WithPlainBmpInfoHeader(bytes) : std::nullopt;
    if (plainBmp)
        bytes = *plainBmp;
    try {
        if (TFreeImageBitmap image = LoadConverted(format, bytes, reservation))
            return image;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        // A decoder that throws through FreeImage fails like a decoder that complains.
    }
    CurrentReporter().ShowLanguageMessage("LFileHeaderMismatch", {shownName});
    return nullptr;
}

/// Writes bytes to a new private temporary file and gives its name; empty after a
/// message when that fails.
std::string WriteTemporaryCopy(const TImageFileBytes& file, const std::string& folder)
{
    const std::string copy = MakeDicomTempFileName(folder, FileNamePart(file.FileName()), "");
    TFileDescriptor output(::open(copy.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    std::string_view rest = file.Text();
    while (output.IsOpen() && !rest.empty()) {
        const ssize_t written = ::write(output.Get(), rest.data(), rest.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        rest.remove_prefix(std::size_t(written));
    }
    const int error = errno;
    if (output.IsOpen() && rest.empty() && output.Close())
        return copy;
    std::error_code ignored;
    std::filesystem::remove(copy, ignored);
    CurrentReporter().ShowLanguageMessage(
        "LTempCopyNotWritten", {file.FileName(), copy, std::generic_category().message(error)});
    return {};
}

/// Decodes a file read into memory, a DICOM file through its tools. The tools convert
/// a private copy of exactly the bytes that were read.
TFreeImageBitmap Decode(TKVFreeImage& reader, const TImageFileBytes& file,
                        TMemoryReservation& reservation)
{
    reservation = {};
    if (!IsDicomFileName(file.FileName()))
        return LoadWithFreeImage(file.Bytes(), file.FileName(), reservation);
    const std::string folder = reader.TempDir.empty() ? TempFolder() : reader.TempDir;
    const TScopedFile copy(WriteTemporaryCopy(file, folder));
    if (copy.Name().empty())
        return nullptr;
    const TScopedFile converted(reader.ConvertDicom(copy.Name(), file.FileName()));
    if (converted.Name().empty() || !FileExists(converted.Name()))
        return nullptr;
    try {
        return LoadWithFreeImage(TImageFileBytes::Read(converted.Name()).Bytes(), file.FileName(),
                                 reservation);
    } catch (const TImageFileReadError& error) {
        CurrentReporter().ShowLanguageMessage("LConvertedFileNotRead",
                                              {file.FileName(), error.what()});
        return nullptr;
    }
}

} // namespace

TKVFreeImage::TKVFreeImage()
{
    static std::atomic_flag versionChecked;
    if (!versionChecked.test_and_set())
        versionWarning_ = FreeImageVersionWarning(FreeImage_GetVersion());
    else
        TempDir = TempFolder();
}

std::unique_ptr<TBitmap24> TKVFreeImage::LoadToBitmap(const std::string& fileName)
{
    if (!FileExists(fileName))
        return nullptr;
    try {
        return LoadToBitmap(TImageFileBytes::Read(fileName));
    } catch (const TImageFileReadError& error) {
        CurrentReporter().ShowLanguageMessage("LImageFileNotRead", {fileName, error.what()});
        return nullptr;
    }
}

std::unique_ptr<TBitmap24> TKVFreeImage::LoadToBitmap(const TImageFileBytes& file)
{
    const TFreeImageBitmap image = Decode(*this, file, reservation_);
    return image ? CopyToBitmap(image.get()) : nullptr;
}

bool TKVFreeImage::DecodeToBmpFile(const TImageFileBytes& file, const std::string& bmpFileName)
{
    const TFreeImageBitmap image = Decode(*this, file, reservation_);
    if (!image)
        return false;
    WriteAsBmpFile(image.get(), bmpFileName);
    return true;
}

bool IsImageFile(const std::string& fileName)
{
    if (IsDicomFileName(fileName) || HasImageExtension(fileName))
        return true;
    // Only the header is read, and only of a plain file: a pipe would never end.
    if (!FileExists(fileName))
        return false;
    if (HasDicomSignature(fileName))
        return true;
    const FREE_IMAGE_FORMAT format = FreeImage_GetFileType(fileName.c_str(), 0);
    return std::find(std::begin(AcceptedFormats), std::end(AcceptedFormats), format) !=
           std::end(AcceptedFormats);
}

std::optional<TImageDimensions> DeclaredImageSize(const std::string& fileName)
{
    // Formats that declare their size do so near the start (a JPEG after its Exif
    // data); a header further in is not worth reading the file for.
    constexpr std::size_t HeadBytes = 256 * 1024;
    if (!FileExists(fileName))
        return std::nullopt;
    std::ifstream file(fileName, std::ios::binary);
    std::vector<std::uint8_t> head(HeadBytes);
    file.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
    head.resize(std::size_t(file.gcount()));
    const FREE_IMAGE_FORMAT format = FileFormat(head);
    const bool accepted = std::find(std::begin(AcceptedFormats), std::end(AcceptedFormats),
                                    format) != std::end(AcceptedFormats);
    if (!accepted || !FreeImage_FIFSupportsNoPixels(format) ||
        (format == FIF_ICO && !HasSaneIconHeader(head)))
        return std::nullopt;
    try {
        TakeComplaints();
        TTrackedImageBytes bytes(head);
        const TFreeImageBitmap header(bytes.Load(format, FIF_LOAD_NOPIXELS));
        if (TakeComplaints().count > 0 || !header)
            return std::nullopt;
        return TImageDimensions{int(FreeImage_GetWidth(header.get())),
                                int(FreeImage_GetHeight(header.get()))};
    } catch (...) {
        // A decoder that throws on a damaged header: the open will say what is wrong.
        return std::nullopt;
    }
}

TMemoryReservation TKVFreeImage::TakeMemoryReservation()
{
    return std::move(reservation_);
}

std::string ExpectedFreeImageVersion()
{
    return std::to_string(FREEIMAGE_MAJOR_VERSION) + "." + std::to_string(FREEIMAGE_MINOR_VERSION) +
           "." + std::to_string(FREEIMAGE_RELEASE_SERIAL);
}

std::string WrongFreeImageVersionText(const std::string& expected)
{
    return "Wrong version of freeimage.dll!\r\nVersion " + expected +
           " expected.\r\nProgram may run unstable.\r\n";
}

std::string FreeImageVersionWarning(const std::string& reportedVersion)
{
    const std::string expected = ExpectedFreeImageVersion();
    return reportedVersion == expected ? std::string() : WrongFreeImageVersionText(expected);
}

} // namespace varnolux
