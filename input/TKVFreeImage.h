#pragma once

#include "imaging/TBitmap24.h"

#include <memory>
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

    /// The image as a 24-bit bitmap with row 0 the top row, or nothing after at most
    /// one message to the current reporter (a multi-frame DICOM file adds a note).
    /// Throws only std::bad_alloc, when memory runs out.
    std::unique_ptr<TBitmap24> LoadToBitmap(const std::string& fileName);

    /// Converts a DICOM file into a temporary PGM (grey) or BMP (colour) file and
    /// gives its name, or the empty text after a message. The caller deletes the file.
    std::string ConvertDicom(const std::string& fileName);

    /// Samples per pixel as dcmdump reports them; 0 after a message when there are
    /// none or the file cannot be read. A multi-frame file is reported, and goes on.
    int ReadDicomSamplesPerPixel(const std::string& fileName);

    /// Runs the converter for that many samples per pixel into a new temporary file
    /// and gives its name; the empty text for samples below 1, or after a message
    /// when the converter is missing or writes no file.
    std::string RunDicomConverter(const std::string& fileName, int samples);

    /// The folder for temporary files, with a trailing "/" (empty for the first reader).
    std::string TempDir;
};

/// The version FreeImage must report: the one the program was built against.
std::string ExpectedFreeImageVersion();

/// The warning shown when the linked FreeImage reports another version.
std::string WrongFreeImageVersionText(const std::string& expected);

/// Asks Abort or Ignore when the reported version is not exactly the expected one;
/// Abort ends the program with exit code 1.
void CheckFreeImageVersion(const std::string& reportedVersion);

/// The TEMP folder if set, else the system temporary folder, with a trailing "/".
std::string TempFolder();

/// The first free name TempFolder() + prefix + n + extension, n = 0, 1, 2, …,
/// created empty so that no other thread or process takes it too; the caller
/// writes the file and deletes it.
std::string MakeTempFileName(const std::string& prefix, std::string extension);

} // namespace varnolux
