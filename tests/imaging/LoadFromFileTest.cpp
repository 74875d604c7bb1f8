#include "ImagingTestSupport.h"
#include "imaging/BmpFile.h"
#include "imaging/JpegFile.h"
#include "imaging/TImageView.h"
#include "imaging/TQError.h"
#include "imaging/TQImage.h"
#include "imaging/TQROIRGB.h"
#include "support/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <new>
#include <sys/resource.h>

namespace varnolux {
namespace {

TBitmap24 TwoColours()
{
    TBitmap24 bitmap(2, 1);
    bitmap.SetPixel(0, 0, MakeColour(250, 10, 20));
    bitmap.SetPixel(1, 0, MakeColour(30, 240, 60));
    return bitmap;
}

std::string ErrorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const TQError& error) {
        return error.what();
    }
    return "no error";
}

TEST(LoadFromFile, ReadsABitmapFile)
{
    const test::TempFolder folder;
    const std::string name = folder.File("picture.bmp");
    WriteBmpFile(TwoColours(), name);
    TQROIRGB roi;
    ASSERT_TRUE(roi.LoadFromFile(name, 1, false));
    ASSERT_EQ(roi.Width(), 2);
    EXPECT_EQ(roi.Red()[0][0], 250);
    EXPECT_EQ(roi.Green()[1][0], 240);
    EXPECT_EQ(roi.Values()[1][0], 30); // channel 1 is red
    EXPECT_EQ(roi.Grey()[0][0], (250 + 10 + 20) / 3);
}

TEST(LoadFromFile, TheExtensionIsComparedCaseBlind)
{
    const test::TempFolder folder;
    const std::string name = folder.File("picture.JpEg");
    TBitmap24 uniform(8, 4);
    uniform.Fill(MakeColour(250, 10, 20));
    WriteJpegFile(uniform, name, 100);
    TQROIU grey;
    ASSERT_TRUE(grey.LoadFromFile(name, 1, false));
    EXPECT_EQ(grey.Width(), 8);
    EXPECT_NEAR(grey.Values()[3][2], 250, 4); // channel 1 is red

    WriteBmpFile(TwoColours(), folder.File("upper.BMP"));
    EXPECT_TRUE(grey.LoadFromFile(folder.File("upper.BMP"), 0, false));
}

TEST(LoadFromFile, AnotherExtensionShowsAMessageAndGivesFalse)
{
    const test::TempFolder folder;
    const test::TRecordingReporter reporter;
    TQROIRGB roi(3, 3);
    for (const std::string name : {"picture.png", "picture", "folder.bmp/picture"}) {
        EXPECT_FALSE(roi.LoadFromFile(folder.File(name), 0, false)) << name;
    }
    EXPECT_EQ(reporter.Messages,
              std::vector<std::string>(3, "Image with this extension can not be read"));
    EXPECT_EQ(roi.Width(), 3);
}

TEST(LoadFromFile, AMissingFileThrowsNotFound)
{
    const test::TempFolder folder;
    const std::string name = folder.File("missing.bmp");
    TQROIRGB roi;
    EXPECT_EQ(ErrorText([&] { roi.LoadFromFile(name, 0, false); }),
              "TQROIU::LoadFromFile - File '" + name + "' not found");
}

TEST(LoadFromFile, ADamagedFileThrowsAnInternalError)
{
    const test::TempFolder folder;
    for (const std::string file : {"damaged.bmp", "damaged.jpg"}) {
        const std::string name = folder.File(file);
        test::WriteFile(name, "BM garbage");
        TQROIRGB roi;
        EXPECT_EQ(ErrorText([&] { roi.LoadFromFile(name, 0, false); }),
                  "Internal error: TQROIU::LoadFromFile (AnsiString pFileName) - pFileName: '" +
                      name + "'");
    }
}

/// The address space this process uses now, in bytes.
rlim_t AddressSpaceInUse()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmSize:"))
            return rlim_t(std::stoull(line.substr(7))) * 1024;
    return 0;
}

/// Loads with 8 MB of address space to spare; exits 3 on std::bad_alloc, 4 on
/// another error, 5 when the load succeeds.
[[noreturn]] void LoadWithLittleMemory(const std::string& fileName)
{
    const rlim_t limit = AddressSpaceInUse() + (8 << 20);
    const rlimit addressSpace{limit, limit};
    ::setrlimit(RLIMIT_AS, &addressSpace);
    TQROIRGB roi;
    try {
        roi.LoadFromFile(fileName, 0, false);
    } catch (const std::bad_alloc&) {
        std::exit(3);
    } catch (const std::exception&) {
        std::exit(4);
    }
    std::exit(5);
}

TEST(LoadFromFile, RunningOutOfMemoryIsNoInternalError)
{
    const test::TempFolder folder;
    TBitmap24 large(4000, 3000);
    large.Fill(MakeColour(10, 200, 30));
    for (const std::string file : {"large.bmp", "large.jpg"}) {
        const std::string name = folder.File(file);
        file.ends_with(".bmp") ? WriteBmpFile(large, name) : WriteJpegFile(large, name);
        // The 36 MB bitmap does not fit.
        EXPECT_EXIT(LoadWithLittleMemory(name), ::testing::ExitedWithCode(3), "") << file;
    }
}

TEST(LoadFromFile, AlsoDisplayLoadsTheSurfacePicture)
{
    const test::TempFolder folder;
    const std::string name = folder.File("shown.bmp");
    WriteBmpFile(TwoColours(), name);
    TImageBox box;
    TQImage surface(&box);
    TQROIRGB roi;
    roi.SetImage(&surface);
    ASSERT_TRUE(roi.LoadFromFile(name, 0, true));
    EXPECT_EQ(box.Picture(), TwoColours());
    EXPECT_EQ(surface.FileName, name);

    TImageBox other;
    TQImage otherSurface(&other);
    roi.SetImage(&otherSurface);
    ASSERT_TRUE(roi.LoadFromFile(name, 0, false));
    EXPECT_EQ(other.Picture().Width(), 2); // grown for the ROI, not loaded
}

TEST(LoadPicture, LoadsBitmapsAndJpegsIntoTheControl)
{
    const test::TempFolder folder;
    WriteBmpFile(TwoColours(), folder.File("a.bmp"));
    WriteJpegFile(TwoColours(), folder.File("b.jpg"));
    TImageBox box(10, 10);
    TQImage surface(&box);
    EXPECT_TRUE(surface.LoadPicture(folder.File("a.bmp")));
    EXPECT_EQ(box.Picture(), TwoColours());
    EXPECT_DOUBLE_EQ(surface.ScaleX, 0.2);
    EXPECT_TRUE(surface.LoadPicture(folder.File("b.jpg")));
    EXPECT_EQ(box.Picture().Width(), 2);
}

TEST(LoadPicture, AMissingFileShowsFileNotFound)
{
    const test::TempFolder folder;
    const test::TRecordingReporter reporter;
    TImageBox box;
    TQImage surface(&box);
    const std::string name = folder.File("gone.jpg");
    EXPECT_FALSE(surface.LoadPicture(name));
    EXPECT_EQ(surface.FileName, name);
    EXPECT_FALSE(surface.LoadPicture(folder.File("gone.gif")));
    EXPECT_EQ(reporter.Messages, std::vector<std::string>{"File " + name + " not found."});
}

TEST(LoadPicture, ADamagedFileThrows)
{
    const test::TempFolder folder;
    test::WriteFile(folder.File("bad.bmp"), "BMxx");
    TImageBox box;
    TQImage surface(&box);
    EXPECT_THROW(surface.LoadPicture(folder.File("bad.bmp")), TImageFileError);
}

} // namespace
} // namespace varnolux
