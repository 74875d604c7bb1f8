// Drives the varnolux-batch program on images made here and checks its output.

#include "imaging/BmpFile.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"

#include <FreeImage.h>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/wait.h>
#include <vector>

namespace varnolux {
namespace {

using test::Picture;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

struct TRunOutput {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    return parts;
}

std::vector<std::string> Lines(const std::string& text)
{
    return Split(text, '\n');
}

/// The fields of a line, by item name, taken from the header line.
std::map<std::string, std::string> Fields(const std::string& header, const std::string& line)
{
    const auto names = Split(header, '\t');
    const auto values = Split(line, '\t');
    EXPECT_EQ(names.size(), values.size()) << line;
    std::map<std::string, std::string> fields;
    for (size_t i = 0; i < names.size() && i < values.size(); ++i)
        fields[names[i]] = values[i];
    return fields;
}

const std::vector<std::string>& Objects = test::ObjectRows;

/// Saves a picture through FreeImage in the given format.
void SaveWithFreeImage(const TBitmap24& picture, FREE_IMAGE_FORMAT format,
                       const std::string& fileName)
{
    FIBITMAP* bitmap = FreeImage_Allocate(picture.Width(), picture.Height(), 24);
    for (int y = 0; y < picture.Height(); ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, picture.Height() - 1 - y);
        const auto source = picture.Row(y);
        std::copy(source.begin(), source.end(), row);
    }
    ASSERT_TRUE(FreeImage_Save(format, bitmap, fileName.c_str(), 0));
    FreeImage_Unload(bitmap);
}

class BatchTest : public testing::Test {
protected:
    TRunOutput Run(const std::vector<std::string>& arguments, const std::string& locale = "C.UTF-8")
    {
        std::string command = "LC_ALL=" + locale + " " + Quoted(VARNOLUX_BATCH);
        for (const auto& argument : arguments)
            command += " " + Quoted(argument);
        const std::string out = folder.File("stdout.txt");
        const std::string err = folder.File("stderr.txt");
        command += " >" + Quoted(out) + " 2>" + Quoted(err);
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
    }

    std::string Options(const std::string& extra = {})
    {
        const std::string fileName = folder.File("options.ini");
        WriteFile(fileName, "[FormMain]\r\nLabeledEditHMin=0\r\nLabeledEditHMax=10\r\n"
                            "LabeledEditSMin=100\r\nLabeledEditSMax=255\r\n"
                            "LabeledEditVMin=0\r\nLabeledEditVMax=255\r\n"
                            "[FormOptions]\r\nEditMinRegion=2\r\n" +
                                extra + "[FormMeasure]\r\nComboBoxUnits=3\r\n");
        return fileName;
    }

    std::string Bmp(const std::string& name, const std::vector<std::string>& rows = Objects)
    {
        const std::string fileName = folder.File(name);
        WriteBmpFile(Picture(rows), fileName);
        return fileName;
    }

    TempFolder folder;
};

TEST_F(BatchTest, PrintsTheHeaderAndOneLinePerImage)
{
    const std::string bmp = Bmp("objects.bmp");
    const std::string png = folder.File("objects.png");
    SaveWithFreeImage(Picture(Objects), FIF_PNG, png);
    const std::string tiff = folder.File("objects.tif");
    SaveWithFreeImage(Picture(Objects), FIF_TIFF, tiff);

    const TRunOutput run = Run({"--options", Options(), bmp, png, tiff});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 4u) << run.out;
    EXPECT_EQ(Split(lines[0], '\t').size(), 23u);
    EXPECT_EQ(lines[0].substr(0, 18), "Path\tName\tDateTime");

    std::string firstOptionsFingerprint;
    for (size_t i = 1; i < lines.size(); ++i) {
        auto fields = Fields(lines[0], lines[i]);
        EXPECT_EQ(fields["Path"], folder.Path().string() + "/");
        EXPECT_EQ(fields["AreaPercent"], "7.03");
        EXPECT_EQ(fields["AnalysisAreaPixel"], "160");
        EXPECT_EQ(fields["AreaPixel"], "11.25");
        EXPECT_EQ(fields["MeanSizePixel"], "5.625");
        EXPECT_EQ(fields["Count"], "2");
        EXPECT_EQ(fields["MinRegion"], "2");
        EXPECT_EQ(fields["Unit"], "cm");
        EXPECT_EQ(fields["HMax"], "10");
        EXPECT_EQ(fields["SMin"], "100");
        EXPECT_EQ(fields["SHAImageFile"].size(), 64u);
        if (i == 1)
            firstOptionsFingerprint = fields["SHAOptions"];
        EXPECT_EQ(fields["SHAOptions"], firstOptionsFingerprint);
    }
    EXPECT_EQ(Fields(lines[0], lines[1])["Name"], "objects.bmp");
    EXPECT_EQ(Fields(lines[0], lines[2])["Name"], "objects.png");
    EXPECT_EQ(Fields(lines[0], lines[1])["SHAResult"], Fields(lines[0], lines[3])["SHAResult"]);
}

TEST_F(BatchTest, WithoutOptionsTheWholeRangeIsSelected)
{
    const TRunOutput run = Run({Bmp("objects.bmp")});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    auto fields = Fields(lines[0], lines[1]);
    EXPECT_EQ(fields["Count"], "1");
    EXPECT_EQ(fields["AreaPixel"], "160");
    EXPECT_EQ(fields["AreaPercent"], "100.00");
    EXPECT_EQ(fields["MinRegion"], "10");
    EXPECT_EQ(fields["HMin"], "0");
    EXPECT_EQ(fields["HMax"], "255");
}

TEST_F(BatchTest, ReportsBadImagesAndGoesOn)
{
    const std::string good = Bmp("good.bmp");
    const std::string empty = folder.File("empty.png");
    WriteFile(empty, "");
    const std::string garbage = folder.File("garbage.jpg");
    WriteFile(garbage, std::string(3000, '\x5a'));
    const std::string truncated = folder.File("truncated.png");
    SaveWithFreeImage(Picture(std::vector<std::string>(60, std::string(80, 'r'))), FIF_PNG,
                      truncated);
    const std::string bytes = ReadFile(truncated);
    WriteFile(truncated, bytes.substr(0, bytes.size() / 2));
    const std::string directory = folder.File("a-folder.png");
    std::filesystem::create_directory(directory);
    const std::string missing = folder.File("missing.bmp");

    const TRunOutput run =
        Run({"--options", Options(), empty, garbage, good, truncated, directory, missing});
    EXPECT_EQ(run.status, 1);
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u) << run.out;
    EXPECT_EQ(Fields(lines[0], lines[1])["Name"], "good.bmp");

    const auto messages = Lines(run.err);
    ASSERT_EQ(messages.size(), 5u) << run.err;
    const std::vector<std::string> bad = {empty, garbage, truncated, directory, missing};
    for (size_t i = 0; i < bad.size(); ++i)
        EXPECT_EQ(messages[i].rfind(bad[i] + ": ", 0), 0u) << messages[i];
    EXPECT_EQ(messages[4], missing + ": File " + missing + " not found.");
}

TEST_F(BatchTest, AnalysesA16BitGreyscalePng)
{
    const std::string fileName = folder.File("grey16.png");
    FIBITMAP* bitmap = FreeImage_AllocateT(FIT_UINT16, 30, 20);
    for (unsigned y = 0; y < 20; ++y) {
        auto* row = reinterpret_cast<unsigned short*>(FreeImage_GetScanLine(bitmap, y));
        for (unsigned x = 0; x < 30; ++x)
            row[x] = static_cast<unsigned short>(x * 2000);
    }
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, bitmap, fileName.c_str(), 0));
    FreeImage_Unload(bitmap);

    const TRunOutput run = Run({fileName});
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(Lines(run.out).size(), 2u);
    EXPECT_EQ(Fields(Lines(run.out)[0], Lines(run.out)[1])["AnalysisAreaPixel"], "600");
}

TEST_F(BatchTest, AppendsToAResultFile)
{
    const std::string image = Bmp("objects.bmp");
    const std::string resultFile = folder.File("results.txt");
    ASSERT_EQ(Run({"--options", Options(), "--result", resultFile, image}).status, 0);
    const TRunOutput second = Run({"--options", Options(), "--result", resultFile, image});
    ASSERT_EQ(second.status, 0);

    const std::string contents = ReadFile(resultFile);
    const auto lines = Split(contents, '\n');
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& line : lines)
        EXPECT_EQ(line.back(), '\r');
    EXPECT_EQ(lines[0], Lines(second.out)[0] + "\r");
    EXPECT_EQ(lines[2], Lines(second.out)[1] + "\r");
}

TEST_F(BatchTest, AResultFileThatCannotBeWrittenFailsTheRun)
{
    const TRunOutput run =
        Run({"--result", folder.File("no-such-folder/results.txt"), Bmp("objects.bmp")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.out).size(), 2u) << "the line is still printed";
    EXPECT_NE(run.err.find("could not be appended"), std::string::npos) << run.err;
}

TEST_F(BatchTest, KeepsTheColumnsOfANameWithATab)
{
    const std::string image = Bmp("tab\there.bmp");
    const TRunOutput run = Run({image});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Split(lines[1], '\t').size(), 23u);
    EXPECT_EQ(Fields(lines[0], lines[1])["Name"], "tab here.bmp");
}

bool LocaleInstalled(const char* name)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const bool installed = std::setlocale(LC_ALL, name) != nullptr;
    std::setlocale(LC_ALL, previous.c_str());
    return installed;
}

TEST_F(BatchTest, UsesTheLocalesDecimalSeparator)
{
    if (!LocaleInstalled("de_DE.UTF-8"))
        GTEST_SKIP() << "the German locale is not installed";
    const TRunOutput run = Run({"--options", Options(), Bmp("objects.bmp")}, "de_DE.UTF-8");
    ASSERT_EQ(run.status, 0) << run.err;
    auto fields = Fields(Lines(run.out)[0], Lines(run.out)[1]);
    EXPECT_EQ(fields["AreaPixel"], "11,25");
    EXPECT_EQ(fields["AreaPercent"], "7,03");
}

TEST_F(BatchTest, WarnsAboutInvalidOptionsAndGoesOn)
{
    const std::string options = folder.File("odd.ini");
    WriteFile(
        options,
        "[FormMain]\nLabeledEditHMin=abc\nthis line is garbage\n"
        "LabeledEditHMax=255\nLabeledEditSMin=0\nLabeledEditSMax=255\n"
        "LabeledEditVMin=0\nLabeledEditVMax=255\n"
        "[FormOptions]\nEditMinRegion=2\nlUseExclRect=1\niExclRectLeft=15\niExclRectRight=15\n");
    const TRunOutput run = Run({"--options", options, Bmp("objects.bmp")});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto messages = Lines(run.err);
    ASSERT_EQ(messages.size(), 3u) << run.err;
    EXPECT_EQ(messages[0].rfind(options + ": not a valid options file", 0), 0u) << messages[0];
    EXPECT_EQ(messages[1], options + ": Invalid value Farbton Min - value will be replaced by "
                                     "position of trackbar");
    EXPECT_NE(messages[2].find("Exclusion borders do not fit"), std::string::npos);
    EXPECT_EQ(Fields(Lines(run.out)[0], Lines(run.out)[1])["AnalysisAreaPixel"], "160");
}

TEST_F(BatchTest, ReadsWhatItCanOfABinaryOptionsFile)
{
    const std::string options = folder.File("binary.ini");
    WriteFile(options, std::string("[FormOptions]\nEditMinRegion=2\n\0\x01\xff\xfe garbage\n", 43));
    const TRunOutput run = Run({"--options", options, Bmp("objects.bmp")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("not a valid options file"), std::string::npos) << run.err;
    ASSERT_EQ(Lines(run.out).size(), 2u);
    EXPECT_EQ(Fields(Lines(run.out)[0], Lines(run.out)[1])["MinRegion"], "2");
}

TEST_F(BatchTest, RefusesWrongUsage)
{
    struct {
        std::vector<std::string> arguments;
        const char* message;
    } const cases[] = {
        {{}, "no image given"},
        {{"--frobnicate", "x.bmp"}, "unknown option --frobnicate"},
        {{"--options"}, "--options needs a file name"},
        {{"--options", "/nonexistent/options.ini", "x.bmp"}, "not found"},
    };
    for (const auto& c : cases) {
        const TRunOutput run = Run(c.arguments);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("usage: varnolux-batch"), std::string::npos);
    }
    EXPECT_EQ(Run({"--help"}).status, 0);
}

TEST_F(BatchTest, AnalysesTheBundledSample)
{
    const TRunOutput run = Run({"--options", std::string(VARNOLUX_SAMPLES) + "/sample-options.ini",
                                std::string(VARNOLUX_SAMPLES) + "/coloured-objects.png"});
    EXPECT_EQ(run.status, 0) << run.err;
    auto fields = Fields(Lines(run.out)[0], Lines(run.out)[1]);
    EXPECT_EQ(fields["Count"], "5"); // two discs, the ellipse, the ring and its centre
    EXPECT_EQ(fields["Unit"], "mm");
}

} // namespace
} // namespace varnolux
