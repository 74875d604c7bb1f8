#include "imaging/JpegFile.h"

#include "FileTestSupport.h"
#include "ImagingTestSupport.h"
#include "imaging/BmpFile.h"
#include "imaging/TQError.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace varnolux {
namespace {

using test::ReadFile;
using test::WriteFile;

/// A smooth test picture: red grows to the right, green downwards, blue constant.
TBitmap24 Gradient(int width, int height)
{
    TBitmap24 bitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y,
                            MakeColour(std::uint8_t(x * 255 / (width - 1)),
                                       std::uint8_t(y * 255 / (height - 1)), 96));
    return bitmap;
}

int LargestDifference(const TBitmap24& a, const TBitmap24& b)
{
    int largest = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (std::size_t i = 0; i < a.Row(y).size(); ++i)
            largest = std::max(largest, std::abs(int(a.Row(y)[i]) - int(b.Row(y)[i])));
    return largest;
}

class JpegFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteJpegFile(Gradient(64, 48), Name("fixture.jpg"), 95);
        Fixture = ReadFile(Name("fixture.jpg"));
    }
    std::string Name(const std::string& file) const { return folder_.File(file); }

    std::string Fixture;

private:
    test::TempFolder folder_;
};

TEST_F(JpegFileTest, RoundTripKeepsTheSizeAndApproximateColours)
{
    const TBitmap24 decoded = ReadJpegFile(Name("fixture.jpg"));
    ASSERT_EQ(decoded.Width(), 64);
    ASSERT_EQ(decoded.Height(), 48);
    EXPECT_LE(LargestDifference(decoded, Gradient(64, 48)), 16);
    // Rows are not upside down, channels not swapped.
    EXPECT_GT(RedOf(decoded.Pixel(63, 0)), 230);
    EXPECT_LT(GreenOf(decoded.Pixel(63, 0)), 25);
    EXPECT_GT(GreenOf(decoded.Pixel(0, 47)), 230);
    EXPECT_NEAR(BlueOf(decoded.Pixel(30, 20)), 96, 8);
}

TEST_F(JpegFileTest, OddSizesAndASinglePixelRoundTrip)
{
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{3, 17}, std::pair{17, 3}}) {
        TBitmap24 bitmap(width, height);
        bitmap.Fill(MakeColour(200, 40, 90));
        WriteJpegFile(bitmap, Name("small.jpg"));
        const TBitmap24 decoded = ReadJpegFile(Name("small.jpg"));
        ASSERT_EQ(decoded.Width(), width);
        ASSERT_EQ(decoded.Height(), height);
        EXPECT_LE(LargestDifference(decoded, bitmap), 6);
    }
}

TEST_F(JpegFileTest, EveryTruncationIsRefused)
{
    for (std::size_t length = 0; length < Fixture.size(); length += 7) {
        WriteFile(Name("cut.jpg"), Fixture.substr(0, length));
        EXPECT_THROW(ReadJpegFile(Name("cut.jpg")), TImageFileError) << length;
    }
}

TEST_F(JpegFileTest, GarbledFilesEitherDecodeOrAreRefused)
{
    std::mt19937 random(41);
    for (int round = 0; round < 300; ++round) {
        std::string bytes = Fixture;
        for (int flips = 1 + int(random() % 8); flips > 0; --flips)
            bytes[random() % bytes.size()] = char(random());
        WriteFile(Name("garbled.jpg"), bytes);
        try {
            const TBitmap24 decoded = ReadJpegFile(Name("garbled.jpg"));
            EXPECT_FALSE(decoded.IsEmpty());
        } catch (const TImageFileError&) {
        }
    }
}

TEST_F(JpegFileTest, OtherFilesAreRefused)
{
    WriteFile(Name("text.jpg"), "not a picture at all");
    EXPECT_THROW(ReadJpegFile(Name("text.jpg")), TImageFileError);
    WriteBmpFile(Gradient(4, 4), Name("bitmap.jpg"));
    EXPECT_THROW(ReadJpegFile(Name("bitmap.jpg")), TImageFileError);
    EXPECT_THROW(ReadJpegFile(Name("missing.jpg")), TImageFileError);
}

TEST_F(JpegFileTest, AFailedWriteLeavesNoFile)
{
    std::mt19937 random(42);
    const TBitmap24 noise = test::RandomBitmap(300, 300, random);
    {
        const test::TFileSizeLimit limit(4096);
        EXPECT_THROW(WriteJpegFile(noise, Name("fixture.jpg"), 100), TImageFileError);
        EXPECT_THROW(WriteJpegFile(noise, Name("new.jpg"), 100), TImageFileError);
    }
    EXPECT_EQ(ReadFile(Name("fixture.jpg")), Fixture);
    EXPECT_THROW(WriteJpegFile(TBitmap24(), Name("empty.jpg")), TImageFileError);
    EXPECT_THROW(WriteJpegFile(noise, Name("no/folder.jpg")), TImageFileError);
    std::vector<std::string> expected = {"fixture.jpg"};
    EXPECT_EQ(test::FilesIn(std::filesystem::path(Name("fixture.jpg")).parent_path()), expected);
}

} // namespace
} // namespace varnolux
