#include "input/TKVFreeImage.h"

#include "input/DicomImport.h"
#include "input/TScopedFile.h"
#include "settings/Messages.h"
#include "settings/TFileDescriptor.h"

#include <FreeImage.h>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <new>
#include <string_view>
#include <system_error>
#include <tiffio.h>
#include <utility>

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

/// Whether a load that FreeImage blamed on memory wanted more than there is: the
/// 24-bit image its header declares cannot be allocated now. A damaged header that
/// trips a decoder's allocation is the file's fault, and so is a declared image
/// beyond the 4 GB a bitmap file can hold, which the program could never open.
bool DeclaredImageExceedsMemory(FREE_IMAGE_FORMAT format, const std::string& fileName)
{
    if (!FreeImage_FIFSupportsNoPixels(format))
        return false;
    const TFreeImageBitmap header(FreeImage_Load(format, fileName.c_str(), FIF_LOAD_NOPIXELS));
    TakeComplaints();
    if (!header)
        return false;
    const std::uint64_t bytes =
        std::uint64_t(FreeImage_GetWidth(header.get())) * FreeImage_GetHeight(header.get()) * 3;
    if (bytes == 0 || bytes > std::numeric_limits<std::uint32_t>::max())
        return false;
    const std::unique_ptr<void, decltype(&std::free)> block(std::malloc(std::size_t(bytes)),
                                                            &std::free);
    return block == nullptr;
}

/// The loaded and converted image, or nothing when FreeImage failed or complained.
/// Throws std::bad_alloc when it failed for want of memory.
TFreeImageBitmap LoadConverted(FREE_IMAGE_FORMAT format, const std::string& fileName)
{
    TakeComplaints();
    errno = 0;
    TFreeImageBitmap loaded(FreeImage_Load(format, fileName.c_str(), 0));
    TFreeImageBitmap converted = loaded ? ConvertTo24Bits(loaded.get()) : nullptr;
    const bool memoryFailed = errno == ENOMEM;
    const TDecoderComplaints complaints = TakeComplaints();
    if (converted && complaints.count == 0)
        return converted;
    // FreeImage says so, or returns nothing with errno from its allocation.
    if (complaints.aboutMemory || (!converted && memoryFailed)) {
        loaded.reset();
        converted.reset();
        if (DeclaredImageExceedsMemory(format, fileName))
            throw std::bad_alloc();
    }
    return nullptr;
}

bool IsExistingFile(const std::string& fileName)
{
    std::error_code error;
    return std::filesystem::is_regular_file(fileName, error);
}

std::string QuotedName(const std::string& fileName)
{
    return "\"" + fileName + "\"";
}

/// Reads a file through FreeImage; messages name shownName, the file the user opened.
std::unique_ptr<TBitmap24> LoadWithFreeImage(const std::string& fileName,
                                             const std::string& shownName)
{
    const FREE_IMAGE_FORMAT format = FreeImage_GetFileType(fileName.c_str(), 0);
    if (std::find(std::begin(AcceptedFormats), std::end(AcceptedFormats), format) ==
        std::end(AcceptedFormats)) {
        CurrentReporter().ShowMessage(QuotedName(shownName) +
                                      " : Unrecognized file format. File may be damaged.");
        return nullptr;
    }
    try {
        if (const TFreeImageBitmap image = LoadConverted(format, fileName))
            return CopyToBitmap(image.get());
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        // A decoder that throws through FreeImage fails like a decoder that complains.
    }
    CurrentReporter().ShowMessage(QuotedName(shownName) +
                                  " File header does not match file extension!");
    return nullptr;
}

} // namespace

TKVFreeImage::TKVFreeImage()
{
    static std::atomic_flag versionChecked;
    if (!versionChecked.test_and_set())
        CheckFreeImageVersion(FreeImage_GetVersion());
    else
        TempDir = TempFolder();
}

std::unique_ptr<TBitmap24> TKVFreeImage::LoadToBitmap(const std::string& fileName)
{
    if (!IsExistingFile(fileName))
        return nullptr;
    if (!IsDicomFileName(fileName))
        return LoadWithFreeImage(fileName, fileName);
    const TScopedFile converted(ConvertDicom(fileName));
    if (converted.Name().empty() || !IsExistingFile(converted.Name()))
        return nullptr;
    return LoadWithFreeImage(converted.Name(), fileName);
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

void CheckFreeImageVersion(const std::string& reportedVersion)
{
    const std::string expected = ExpectedFreeImageVersion();
    if (reportedVersion != expected &&
        CurrentReporter().AskAbort(WrongFreeImageVersionText(expected)))
        std::exit(1);
}

std::string TempFolder()
{
    const char* temp = std::getenv("TEMP");
    std::string folder;
    if (temp && *temp) {
        folder = temp;
    } else {
        std::error_code error;
        folder = std::filesystem::temp_directory_path(error).string();
        if (error || folder.empty())
            folder = "/tmp";
    }
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

std::string MakeTempFileName(const std::string& prefix, std::string extension)
{
    if (!extension.starts_with('.'))
        extension.insert(0, 1, '.');
    const std::string folder = TempFolder();
    for (unsigned long long n = 0;; ++n) {
        std::string candidate = folder + prefix + std::to_string(n) + extension;
        // Creating the file claims the name against other threads and processes; an
        // existing name, or a dangling link, is taken. Any other failure is left to the
        // caller's write to report.
        const TFileDescriptor file(
            ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (file.IsOpen() || errno != EEXIST)
            return candidate;
    }
}

} // namespace varnolux
