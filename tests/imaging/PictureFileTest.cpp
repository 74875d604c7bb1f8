#include "imaging/PictureFile.h"

#include "imaging/BmpFile.h"
#include "imaging/JpegFile.h"
#include "imaging/TQError.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace varnolux {
namespace {

TEST(PictureFile, TellsTheTypeByTheExtensionInAnyCase)
{
    const struct {
        const char* name;
        TPictureFileType type;
    } cases[] = {
        {"cells.bmp", TPictureFileType::Bmp},  {"/a/CELLS.BMP", TPictureFileType::Bmp},
        {"cells.jpg", TPictureFileType::Jpeg}, {"cells.Jpeg", TPictureFileType::Jpeg},
        {"cells.png", TPictureFileType::None}, {"cells.jpe", TPictureFileType::None},
        {"bmp", TPictureFileType::None},       {"/a.bmp/cells", TPictureFileType::None},
        {"", TPictureFileType::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureFileType(c.name), c.type) << c.name;
}

TEST(PictureFile, ReadsWhatItsExtensionSaysAndRefusesTheRest)
{
    const test::TempFolder folder;
    TBitmap24 picture(3, 2);
    picture.SetPixel(2, 1, MakeColour(200, 100, 50));
    WriteBmpFile(picture, folder.File("picture.bmp"));
    EXPECT_EQ(ReadPictureFile(folder.File("picture.bmp")), picture);

    WriteJpegFile(picture, folder.File("picture.JPG"));
    const TBitmap24 jpeg = ReadPictureFile(folder.File("picture.JPG"));
    EXPECT_EQ(jpeg.Width(), 3);
    EXPECT_EQ(jpeg.Height(), 2);

    // A BMP file named as a PNG file is not ours to read.
    WriteBmpFile(picture, folder.File("picture.png"));
    EXPECT_THROW(ReadPictureFile(folder.File("picture.png")), TImageFileError);
    EXPECT_THROW(ReadPictureFile(folder.File("missing.bmp")), TImageFileError);
}

} // namespace
} // namespace varnolux
