// How many images the batch analyses at once by default.

#include "app/BatchJobs.h"

#include "imaging/BmpFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <string>

namespace varnolux {
namespace {

constexpr std::uint64_t Megapixels24 = 6000 * 4000;
constexpr std::uint64_t GiB = std::uint64_t(1) << 30;

TEST(BatchJobsTest, DefaultJobsAreCappedByCoresImagesAndMemory)
{
    const std::uint64_t oneJob = Megapixels24 * JobBytesPerPixel;
    const struct {
        TJobLimits limits;
        int jobs;
    } cases[] = {
        {{8, 100, 64 * GiB, Megapixels24}, 8},     // memory for all cores
        {{8, 3, 64 * GiB, Megapixels24}, 3},       // fewer images than cores
        {{8, 100, std::nullopt, Megapixels24}, 8}, // memory unknown: the cores decide
        {{8, 100, 64 * GiB, 0}, 8},                // size unknown
        {{8, 100, oneJob * 4, Megapixels24}, 3},   // a quarter stays free
        {{8, 100, oneJob * 4 / 3 + 4, Megapixels24}, 1},
        {{8, 100, oneJob, Megapixels24}, 1}, // too little even for one: still one
        {{8, 100, 0, Megapixels24}, 1},
        {{0, 100, 64 * GiB, Megapixels24}, 1}, // cores unknown
        {{2, 8, 2 * oneJob, Megapixels24}, 1},
        {{2, 8, 3 * oneJob, Megapixels24}, 2},
    };
    for (const auto& [limits, jobs] : cases)
        EXPECT_EQ(DefaultJobCount(limits), jobs)
            << limits.Cores << " cores, " << limits.Images << " images, "
            << limits.AvailableMemory.value_or(0) << " bytes, " << limits.LargestPixels
            << " pixels";
}

TEST(BatchJobsTest, PixelsComeFromTheHeaderElseFromTheFileLength)
{
    test::TempFolder folder;
    const std::string picture = folder.File("picture.bmp");
    WriteBmpFile(TBitmap24(37, 11), picture);
    const std::string text = folder.File("notes.png");
    test::WriteFile(text, std::string(1000, 'x'));
    const std::string missing = folder.File("missing.png");

    EXPECT_EQ(EstimatedPixels(picture), 37u * 11u);
    EXPECT_EQ(EstimatedPixels(text), 1000u);
    EXPECT_EQ(EstimatedPixels(missing), 0u);
    const std::string images[] = {text, picture, missing};
    EXPECT_EQ(LargestEstimatedPixels(images), 1000u);
}

} // namespace
} // namespace varnolux
