// varnolux-batch --report: one PDF report per analysed image.

#include "BatchRun.h"
#include "support/PdfText.h"
#include "support/SplitText.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace varnolux {
namespace {

using test::PdfPageCount;
using test::PdfText;
using test::RunBatch;
using test::SplitText;

const std::string Samples = VARNOLUX_SAMPLES;
const std::string SampleImage = Samples + "/coloured-objects.png";
const std::string SampleOptions = Samples + "/sample-options.ini";

bool Holds(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class BatchReportTest : public testing::Test {
protected:
    /// A copy of the sample image under another name in the folder.
    std::string Sample(const std::string& name)
    {
        const std::string fileName = folder.File(name);
        std::filesystem::create_directories(std::filesystem::path(fileName).parent_path());
        std::filesystem::copy_file(SampleImage, fileName);
        return fileName;
    }

    test::TempFolder folder;
    const std::string reports = folder.File("reports");
};

TEST_F(BatchReportTest, TheReportHoldsTheResultLineItsImageAndFingerprints)
{
    const TConsoleResult run =
        RunBatch({"--options", SampleOptions, "--report", reports, SampleImage});
    ASSERT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    const std::string pdf = reports + "/coloured-objects.pdf";
    ASSERT_EQ(PdfPageCount(pdf), 1);
    const std::string text = PdfText(pdf);

    const auto lines = SplitText(run.Output, '\n');
    ASSERT_GE(lines.size(), 2u);
    const auto names = SplitText(lines[0], '\t');
    const auto values = SplitText(lines[1], '\t');
    ASSERT_EQ(names.size(), 23u);
    ASSERT_EQ(values.size(), 23u);
    // Each item stands in its row, name then value, as printed.
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_TRUE(Holds(text, names[i] + " " + values[i])) << names[i] << "\n" << text;
    EXPECT_TRUE(Holds(text, "coloured-objects.png"));
    EXPECT_TRUE(Holds(text, "10 pixels per mm")) << text;
    EXPECT_EQ(run.ErrorOutput, "");
}

TEST_F(BatchReportTest, AFolderThatCannotBeWrittenFailsTheRunButNoResultLine)
{
    // A file where the folder should be: it can be made by no user, root included.
    test::WriteFile(reports, "not a folder");
    const std::string resultFile = folder.File("results.txt");
    const TConsoleResult run = RunBatch({"--options", SampleOptions, "--result", resultFile,
                                         "--report", reports, SampleImage, Sample("b.png")});
    EXPECT_EQ(run.ExitCode, 1);
    const auto lines = SplitText(run.Output, '\n');
    ASSERT_EQ(lines.size(), 3u) << run.Output;
    EXPECT_TRUE(Holds(lines[2], "\tb.png\t"));
    EXPECT_EQ(SplitText(test::ReadFile(resultFile), '\n').size(), 3u);
    const auto errors = SplitText(run.ErrorOutput, '\n');
    ASSERT_EQ(errors.size(), 2u) << run.ErrorOutput;
    EXPECT_TRUE(
        Holds(errors[0], "the report could not be written to " + reports + "/coloured-objects.pdf"))
        << errors[0];
    EXPECT_TRUE(Holds(errors[1], "b.png: the report could not be written")) << errors[1];
}

TEST_F(BatchReportTest, AMissingTemplateIsReportedAndTheBuiltInOneUsed)
{
    const std::string missing = folder.File("lab-template.html");
    const TConsoleResult run = RunBatch({"--report", reports, "--template", missing, SampleImage});
    EXPECT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    EXPECT_TRUE(Holds(run.ErrorOutput, "The print template " + missing + " cannot be used"))
        << run.ErrorOutput;
    EXPECT_TRUE(Holds(run.ErrorOutput, "The built-in template is used instead."));
    EXPECT_TRUE(Holds(PdfText(reports + "/coloured-objects.pdf"), "SHAResult"));
}

TEST_F(BatchReportTest, ATemplateShowsOnlyItsPlaceholders)
{
    const std::string templateFile = folder.File("short.html");
    test::WriteFile(templateFile, "<p>Lab 7: {{Name}} has {{Count}} objects {{Unknown}}</p>");
    const TConsoleResult run = RunBatch(
        {"--options", SampleOptions, "--report", reports, "--template", templateFile, SampleImage});
    ASSERT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    const std::string text = PdfText(reports + "/coloured-objects.pdf");
    EXPECT_TRUE(Holds(text, "Lab 7: coloured-objects.png has 5 objects {{Unknown}}")) << text;
    EXPECT_FALSE(Holds(text, "SHA")) << text;
}

TEST_F(BatchReportTest, NamesAreWrittenAsTheyAreAndNoReportReplacesAnother)
{
    const std::string first = Sample("a<&>b.png");
    const std::string second = Sample("other/a<&>b.png");
    const std::string third = Sample("a<&>b.jpg.png");
    const TConsoleResult run = RunBatch({"--report", reports, first, second, third});
    ASSERT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    EXPECT_TRUE(Holds(PdfText(reports + "/a<&>b.pdf"), first));
    EXPECT_TRUE(Holds(PdfText(reports + "/a<&>b-2.pdf"), second));
    EXPECT_TRUE(Holds(PdfText(reports + "/a<&>b.jpg.pdf"), third));
}

TEST_F(BatchReportTest, NeedsNoDisplay)
{
    const TConsoleResult run = RunBatch({"--report", reports, SampleImage},
                                        {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="});
    EXPECT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    EXPECT_EQ(PdfPageCount(reports + "/coloured-objects.pdf"), 1);
}

} // namespace
} // namespace varnolux
