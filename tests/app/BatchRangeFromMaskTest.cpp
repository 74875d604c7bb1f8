// varnolux-batch --range-from-mask: the colour range of outlined pixels, end to end.

#include "BatchRun.h"
#include "imaging/BmpFile.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace varnolux {
namespace {

using test::RunBatch;

class BatchRangeFromMaskTest : public testing::Test {
protected:
    std::string Image()
    {
        const std::string fileName = folder.File("objects.bmp");
        WriteBmpFile(test::Picture(test::ObjectRows), fileName);
        return fileName;
    }

    /// A mask of the objects' size, white over [left, right) × [top, bottom).
    std::string Mask(int left, int top, int right, int bottom, int width = 20, int height = 8)
    {
        TBitmap24 mask(width, height);
        mask.Fill(0);
        mask.FillRect(left, top, right, bottom, MakeColour(255, 255, 255));
        const std::string fileName = folder.File("mask" + std::to_string(++masks) + ".bmp");
        WriteBmpFile(mask, fileName);
        return fileName;
    }

    test::TempFolder folder;
    int masks = 0;
};

constexpr const char* RedRange = "LabeledEditHMin=0\nLabeledEditHMax=1\n"
                                 "LabeledEditSMin=254\nLabeledEditSMax=255\n"
                                 "LabeledEditVMin=254\nLabeledEditVMax=255\n";

TEST_F(BatchRangeFromMaskTest, PrintsTheRangeOfTheOutlinedPixelsAsOptionLines)
{
    const TConsoleResult run = RunBatch({"--range-from-mask", Mask(2, 2, 5, 5), Image()});
    EXPECT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    EXPECT_EQ(run.Output, RedRange);
    EXPECT_EQ(run.ErrorOutput, "");
}

TEST_F(BatchRangeFromMaskTest, TheLinesMakeAnOptionsFileThatFindsTheOutlinedColour)
{
    const std::string image = Image();
    const TConsoleResult range = RunBatch({"--range-from-mask", Mask(2, 2, 5, 5), image});
    ASSERT_EQ(range.ExitCode, 0) << range.ErrorOutput;
    const std::string options = folder.File("red.ini");
    test::WriteFile(options, "[FormMain]\n" + range.Output + "[FormOptions]\nEditMinRegion=0\n");
    const TConsoleResult run = RunBatch({"--options", options, image});
    EXPECT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    EXPECT_EQ(test::Field(run.Output, 1, "Count"), "3"); // the block, the pixel, the pair
}

TEST_F(BatchRangeFromMaskTest, TheSpreadWidensTheRange)
{
    // Red and grey pixels: their saturations 255 and 0 lie far apart.
    const std::string mask = Mask(0, 2, 5, 3);
    const std::string image = Image();
    const TConsoleResult narrow = RunBatch({"--range-from-mask", mask, image, "--spread", "0"});
    const TConsoleResult wide = RunBatch({"--spread", "2.5", "--range-from-mask", mask, image});
    EXPECT_EQ(narrow.ExitCode, 0) << narrow.ErrorOutput;
    EXPECT_EQ(wide.ExitCode, 0) << wide.ErrorOutput;
    EXPECT_NE(narrow.Output.find("LabeledEditSMin=153\n"), std::string::npos) << narrow.Output;
    EXPECT_NE(wide.Output.find("LabeledEditSMin=0\n"), std::string::npos) << wide.Output;
}

TEST_F(BatchRangeFromMaskTest, ARangeThatCannotBeSetPrintsNothingAndFails)
{
    const std::string image = Image();
    struct {
        std::string mask;
        const char* why;
    } const cases[] = {
        {Mask(0, 0, 20, 8, 21, 8), "is 21 × 8 pixels, the image"},
        {Mask(0, 0, 0, 0), "fewer than two pixels are selected"},
        {Mask(3, 3, 4, 4), "fewer than two pixels are selected"},
        {folder.File("missing.bmp"), "cannot be read"},
    };
    for (const auto& c : cases) {
        const TConsoleResult run = RunBatch({"--range-from-mask", c.mask, image});
        EXPECT_EQ(run.ExitCode, 1) << c.why;
        EXPECT_EQ(run.Output, "") << c.why;
        EXPECT_NE(run.ErrorOutput.find("Color region can not be set"), std::string::npos)
            << run.ErrorOutput;
        EXPECT_NE(run.ErrorOutput.find(c.why), std::string::npos) << run.ErrorOutput;
    }
    test::WriteFile(folder.File("broken.png"), "not a picture");
    const TConsoleResult broken =
        RunBatch({"--range-from-mask", Mask(0, 0, 20, 8), folder.File("broken.png")});
    EXPECT_EQ(broken.ExitCode, 1);
    EXPECT_EQ(broken.Output, "");
    EXPECT_NE(broken.ErrorOutput.find("broken.png cannot be read"), std::string::npos)
        << broken.ErrorOutput;
}

TEST_F(BatchRangeFromMaskTest, RefusesWrongUsage)
{
    const std::string mask = Mask(2, 2, 5, 5);
    const std::string image = Image();
    const std::vector<std::string> cases[] = {
        {"--range-from-mask", mask},
        {"--range-from-mask", mask, image, "--options", "x.ini"},
        {"--range-from-mask", mask, image, "more.bmp"},
        {"--range-from-mask", mask, image, "--spread", "-1"},
        {"--range-from-mask", mask, image, "--spread", "two"},
        {"--spread", "2", image},
    };
    for (const auto& arguments : cases) {
        const TConsoleResult run = RunBatch(arguments);
        EXPECT_EQ(run.ExitCode, 2) << arguments.back();
        EXPECT_EQ(run.Output, "");
        EXPECT_NE(run.ErrorOutput.find("usage: varnolux-batch"), std::string::npos);
    }
    EXPECT_NE(RunBatch({"--help"}).Output.find("--range-from-mask MASK IMAGE"), std::string::npos);
}

} // namespace
} // namespace varnolux
