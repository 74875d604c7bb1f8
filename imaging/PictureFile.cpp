#include "imaging/PictureFile.h"

#include "base/Paths.h"
#include "imaging/BmpFile.h"
#include "imaging/JpegFile.h"
#include "imaging/TQError.h"

namespace varnolux {

TPictureFileType PictureFileType(const std::string& fileName)
{
    const std::string extension = UpperCaseExtension(fileName);
    if (extension == ".JPG" || extension == ".JPEG")
        return TPictureFileType::Jpeg;
    return extension == ".BMP" ? TPictureFileType::Bmp : TPictureFileType::None;
}

TBitmap24 ReadPictureFile(const std::string& fileName)
{
    switch (PictureFileType(fileName)) {
    case TPictureFileType::Bmp:
        return ReadBmpFile(fileName);
    case TPictureFileType::Jpeg:
        return ReadJpegFile(fileName);
    case TPictureFileType::None:
        break;
    }
    throw TImageFileError("'" + fileName + "' is neither a BMP nor a JPEG file");
}

} // namespace varnolux
