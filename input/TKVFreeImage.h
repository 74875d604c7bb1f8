#pragma once

#include "imaging/TBitmap24.h"
#include "input/AvailableMemory.h"
#include "input/TImageFileBytes.h"
#include "input/TempFolder.h"

#include <memory>
#include <optional>
#include <string>

namespace varnolux {

/// Reads image files through FreeImage into 24-bit bitmaps. Accepts BMP, ICO, JPEG,
/// Koala, PBM, PCD, PCX, PGM, PNG, PPM, RAS, Targa and TIFF, decided by the file's
/// contents, not its name; files named .dcm or .dc3 are DICOM files, converted by
/// DCMTK's tools first. Takes FreeImage's message callback for itself: a load
/// during which FreeImage complains counts as failed.
class TKVFreeImage {
public:
    /// The first reader of a program run checks the FreeImage version.
    TKVFreeImage();

    /// The warning about a wrong FreeImage version when this reader was the first of
    /// the program run and the linked library reports another version; empty
    /// otherwise. The program decides what to do with it (the desktop program asks
    /// Abort or Ignore), the reader asks nothing.
    const std::string& VersionWarning() const { return versionWarning_; }

    /// The image as a 24-bit bitmap with row 0 the top row, or nothing after at most
    /// one message to the current reporter (a multi-frame DICOM file adds a note).
    /// Reads the file once and decodes it from memory. Throws only std::bad_alloc,
    /// when memory runs out or the image would not fit into the memory there is.
    std::unique_ptr<TBitmap24> LoadToBitmap(const std::string& fileName);
    /// The same for a file already read: what is decoded are exactly these bytes (a
    /// DICOM file's tools convert a private copy of them).
    std::unique_ptr<TBitmap24> LoadToBitmap(const TImageFileBytes& file);
    /// Decodes as LoadToBitmap and writes the image as a 24-bit BMP file straight from
    /// the decoder's rows, in one sequential write, with no bitmap of ours in between.
    /// False after at most one message when the file cannot be decoded; throws
    /// std::bad_alloc as LoadToBitmap, and TImageFileError when the BMP file cannot be
    /// written.
    bool DecodeToBmpFile(const TImageFileBytes& file, const std::string& bmpFileName);

    /// The memory promised to the last image read, for as long as it is analysed;
    /// empty when nothing was decoded.
    TMemoryReservation TakeMemoryReservation();

    /// Converts a DICOM file into a temporary PGM (grey) or BMP (colour) file and
    /// gives its name, or the empty text after a message. The caller deletes the file.
    /// shownName, when given, is the file the user opened (fileName its copy): the
    /// messages and the temporary name take it.
    std::string ConvertDicom(const std::string& fileName, const std::string& shownName = {});

    /// Samples per pixel as dcmdump reports them; 0 after a message when there are
    /// none or the file cannot be read. A multi-frame file is reported, and goes on.
    int ReadDicomSamplesPerPixel(const std::string& fileName, const std::string& shownName = {});

    /// Runs the converter for that many samples per pixel into a new temporary file
    /// and gives its name; the empty text for samples below 1, or after a message
    /// when the converter is missing or writes no file.
    std::string RunDicomConverter(const std::string& fileName, int samples,
                                  const std::string& shownName = {});

    /// The folder for temporary files, with a trailing "/" (empty for the first reader).
    std::string TempDir;

private:
    TMemoryReservation reservation_;
    std::string versionWarning_;
};

/// Whether a file handed to the program is meant as an image, not as an INI file:
/// its contents are of a format the reader takes, it is named as a DICOM file, or its
/// name ends in an image extension (a damaged image is still one, for the reader to
/// report on).
bool IsImageFile(const std::string& fileName);

/// An image's size in pixels.
struct TImageDimensions {
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TImageDimensions&, const TImageDimensions&) = default;
};

/// The size an image file's header declares, read from its first bytes without
/// decoding a pixel; nothing for a file whose header says nothing there, cannot be
/// read or is of a format the reader does not take. For estimates only: the open
/// decides.
std::optional<TImageDimensions> DeclaredImageSize(const std::string& fileName);

/// The version FreeImage must report: the one the program was built against.
std::string ExpectedFreeImageVersion();

/// The warning shown when the linked FreeImage reports another version.
std::string WrongFreeImageVersionText(const std::string& expected);

/// The warning when the reported version is not exactly the expected one, else empty.
std::string FreeImageVersionWarning(const std::string& reportedVersion);

} // namespace varnolux
