// Drives the varnolux-batch program on images made here and checks its output.

#include "BatchRun.h"
#include "imaging/BmpFile.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"

#include <FreeImage.h>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <pty.h>
#include <random>
#include <regex>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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

std::vector<std::string> Lines(const std::string& text)
{
    return test::SplitText(text, '\n');
}

/// The fields of a line, by item name, taken from the header line.
std::map<std::string, std::string> Fields(const std::string& header, const std::string& line)
{
    const auto names = test::SplitText(header, '\t');
    const auto values = test::SplitText(line, '\t');
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

    /// Runs a Python script on the files: whether it ended with status 0, and what it
    /// printed (errors included).
    std::pair<bool, std::string> RunPython(const std::string& script,
                                           const std::vector<std::string>& files)
    {
        const std::string scriptFile = folder.File("check.py");
        WriteFile(scriptFile, script);
        std::string command = "/usr/bin/python3 " + Quoted(scriptFile);
        for (const std::string& file : files)
            command += " " + Quoted(file);
        FILE* pipe = popen((command + " 2>&1").c_str(), "r");
        if (!pipe)
            return {false, "cannot start python3"};
        std::string output;
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        return {pclose(pipe) == 0, output};
    }

    /// Pictures of several sizes and colours, with unreadable files among them.
    std::vector<std::string> MixedBatch(int count)
    {
        std::mt19937 random(7);
        std::vector<std::string> images;
        for (int i = 0; i < count; ++i) {
            const std::string name = "image" + std::to_string(i);
            if (i % 5 == 3) {
                images.push_back(folder.File(name + ".png"));
                WriteFile(images.back(), "not an image " + std::to_string(i));
                continue;
            }
            const int width = 1 + int(random() % 40);
            const int height = 1 + int(random() % 30);
            std::vector<std::string> rows(size_t(height), std::string(size_t(width), '.'));
            for (auto& row : rows)
                for (auto& pixel : row)
                    pixel = ".rgbw"[random() % 5];
            images.push_back(Bmp(name + ".bmp", rows));
        }
        images.push_back(folder.File("missing.bmp"));
        return images;
    }

    TempFolder folder;
};

/// The line with its DateTime field (the third) emptied: two runs differ only there.
std::string WithoutDateTime(const std::string& line)
{
    auto fields = test::SplitText(line, '\t');
    if (fields.size() > 2)
        fields[2].clear();
    std::string joined;
    for (size_t i = 0; i < fields.size(); ++i)
        joined += (i ? "\t" : "") + fields[i];
    return joined;
}

std::vector<std::string> WithoutDateTimes(const std::vector<std::string>& lines)
{
    std::vector<std::string> result;
    for (const auto& line : lines)
        result.push_back(WithoutDateTime(line));
    return result;
}

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
    EXPECT_EQ(test::SplitText(lines[0], '\t').size(), 23u);
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
    const auto lines = test::SplitText(contents, '\n');
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& line : lines)
        EXPECT_EQ(line.back(), '\r');
    EXPECT_EQ(lines[0], Lines(second.out)[0] + "\r");
    EXPECT_EQ(lines[2], Lines(second.out)[1] + "\r");
}

TEST_F(BatchTest, AppendsTheRegionsOfEveryImageToARegionsFile)
{
    const std::string first = Bmp("objects.bmp");
    const std::string second = Bmp("pair.bmp", {".....", ".r...", "..r..", "....."});
    const std::string regionsFile = folder.File("regions.txt");
    const TRunOutput run =
        Run({"--options", Options(), "--regions", regionsFile, first, second, "--jobs", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(Run({"--options", Options(), "--regions", regionsFile, second}).status, 0);

    const auto lines = Lines(ReadFile(regionsFile));
    ASSERT_EQ(lines.size(), 1u + 2u + 1u + 1u) << "a header, then the kept regions";
    for (const auto& line : lines)
        EXPECT_EQ(line.back(), '\r');
    const std::string header = lines[0].substr(0, lines[0].size() - 1);
    EXPECT_TRUE(header.starts_with("Path\tName\tRegion\tAreaPixel\tArea\tPixels\t")) << header;
    const auto results = Lines(run.out);
    const auto resultFields = Fields(results[0], results[1]);
    auto block = Fields(header, lines[1].substr(0, lines[1].size() - 1));
    EXPECT_EQ(block["Name"], "objects.bmp");
    EXPECT_EQ(block["Path"], resultFields.at("Path"));
    EXPECT_EQ(block["SHAResult"], resultFields.at("SHAResult"));
    EXPECT_EQ(block["Region"], "1");
    EXPECT_EQ(block["AreaPixel"], "9");
    EXPECT_EQ(block["Pixels"], "9");
    EXPECT_EQ(block["CentreX"], "3");
    EXPECT_EQ(block["CentreY"], "3");
    EXPECT_EQ(block["Left"] + block["Top"] + block["Right"] + block["Bottom"], "2244");
    EXPECT_EQ(block["MajorAxis"], "3.2659863237109"); // 4 · √(2/3)
    EXPECT_EQ(block["MinorAxis"], block["MajorAxis"]);
    EXPECT_EQ(block["Orientation"], "0");
    EXPECT_EQ(block["HMean"], "0");
    EXPECT_EQ(block["SMean"], "255");
    auto pair = Fields(header, lines[2].substr(0, lines[2].size() - 1));
    EXPECT_EQ(pair["Region"], "2");
    EXPECT_EQ(pair["AreaPixel"], "2.25");
    EXPECT_EQ(pair["Orientation"], "-45");
    // The regions add up to the result line's area, one row per counted region.
    EXPECT_EQ(resultFields.at("AreaPixel"), "11.25");
    EXPECT_EQ(resultFields.at("Count"), "2");
    EXPECT_EQ(Fields(header, lines[3].substr(0, lines[3].size() - 1))["Name"], "pair.bmp");
}

TEST_F(BatchTest, RegionsAsJsonLinesWithNumbersAsNumbers)
{
    const std::string image = Bmp("objects.bmp");
    const std::string regionsFile = folder.File("regions.jsonl");
    const TRunOutput run =
        Run({"--format", "json", "--options", Options(), "--regions", regionsFile, image, image},
            "de_DE.UTF-8");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string check = R"(
import json, sys
rows = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8")]
assert len(rows) == 4, len(rows)
assert [row["Region"] for row in rows] == [1, 2, 1, 2]
assert sum(row["AreaPixel"] for row in rows[:2]) == 11.25
assert rows[1]["Area"] == 2.25 and rows[1]["Pixels"] == 2 and rows[1]["CentreX"] == 14.5
assert type(rows[0]["Left"]) is int and rows[0]["Name"] == "objects.bmp"
assert list(rows[0])[:4] == ["Path", "Name", "Region", "AreaPixel"]
print("ok")
)";
    const auto [passed, output] = RunPython(check, {regionsFile});
    EXPECT_TRUE(passed) << output;
    EXPECT_EQ(output, "ok\n");
    EXPECT_EQ(ReadFile(regionsFile).find('\r'), std::string::npos);
}

TEST_F(BatchTest, ARegionsFileThatCannotBeWrittenFailsTheRun)
{
    const TRunOutput run = Run({"--options", Options(), "--regions",
                                folder.File("no-such-folder/regions.txt"), Bmp("objects.bmp")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.out).size(), 2u) << "the line is still printed";
    EXPECT_NE(run.err.find("the regions could not be appended"), std::string::npos) << run.err;
    EXPECT_EQ(Run({"--verify", folder.File("r.txt"), "--regions", folder.File("x")}).status, 2);
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
    EXPECT_EQ(test::SplitText(lines[1], '\t').size(), 23u);
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

TEST_F(BatchTest, WarnsAboutInvalidOptionValuesAndGoesOn)
{
    const std::string options = folder.File("odd.ini");
    WriteFile(options, "[FormMain]\nLabeledEditHMin=abc\nthis line is garbage\n"
                       "LabeledEditHMax=255\nLabeledEditSMin=0\nLabeledEditSMax=255\n"
                       "LabeledEditVMin=0\nLabeledEditVMax=255\n"
                       "[FormOptions]\nEditMinRegion=2\nlUseExclRect=1\niExclRectLeft=15\n"
                       "iExclRectRight=15\niInclCircleDiam=2147483648\n");
    const TRunOutput run = Run({"--options", options, Bmp("objects.bmp")});
    EXPECT_EQ(run.status, 0) << run.err;
    const auto messages = Lines(run.err);
    // The stray line is passed over, as by every INI reader.
    ASSERT_EQ(messages.size(), 3u) << run.err;
    EXPECT_EQ(messages[0], options + ": Invalid value iInclCircleDiam=2147483648 - not a whole "
                                     "number from -2147483648 to 2147483647; 0 is used.");
    EXPECT_EQ(messages[1], options + ": Invalid value Farbton Min - value will be replaced by "
                                     "position of trackbar");
    EXPECT_NE(messages[2].find("Exclusion borders do not fit"), std::string::npos);
    EXPECT_EQ(Fields(Lines(run.out)[0], Lines(run.out)[1])["AnalysisAreaPixel"], "160");
}

TEST_F(BatchTest, OptionsThatCannotBeReadAsGivenStopTheBatchBeforeAnyAnalysis)
{
    const std::string loop = folder.File("loop.ini");
    std::filesystem::create_symlink(loop, loop);
    const std::string binary = folder.File("binary.ini");
    WriteFile(binary, std::string("[FormOptions]\nEditMinRegion=2\n\0\x01\xff\xfe garbage\n", 43));
    std::filesystem::create_directory(folder.File("folder.ini"));
    const struct {
        std::string file;
        const char* why;
    } cases[] = {
        {folder.File("missing.ini"), "No such file or directory"},
        {loop, "Too many levels of symbolic links"},
        {folder.File(std::string(300, 'n') + ".ini"), "File name too long"},
        {folder.File("folder.ini"), "not a regular file"},
        {binary, "binary data at line 3"},
    };
    for (const auto& c : cases) {
        const TRunOutput run = Run({"--options", c.file, Bmp("objects.bmp")});
        EXPECT_EQ(run.status, 2) << c.file;
        EXPECT_EQ(run.out, "") << "nothing analysed";
        EXPECT_EQ(run.err, "varnolux-batch: the options file " + c.file +
                               " cannot be used: " + c.why + "\n");
    }
}

TEST_F(BatchTest, AnUnreadableOptionsFileStopsTheBatch)
{
    // Permission bits do not stop root: the run is nobody's then.
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0);
    const std::string options = Options();
    ASSERT_EQ(::chmod(options.c_str(), 0600), 0);
    const std::string image = Bmp("objects.bmp");
    ASSERT_EQ(::chmod(image.c_str(), 0644), 0);
    const TConsoleResult run = test::RunBatch({"--options", options, image}, {"TEMP=/tmp"}, {},
                                              test::TBatchUser::Unprivileged);
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Output, "");
    EXPECT_EQ(run.ErrorOutput, "varnolux-batch: the options file " + options +
                                   " cannot be used: Permission denied\n");
}

TEST_F(BatchTest, ABareOptionsNameIsTheWorkingFoldersFile)
{
    const std::string image = Bmp("objects.bmp");
    Options();
    const std::string command = "cd " + Quoted(folder.Path().string()) + " && LC_ALL=C.UTF-8 " +
                                Quoted(VARNOLUX_BATCH) + " --options options.ini " + Quoted(image) +
                                " >stdout.txt 2>stderr.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << ReadFile(folder.File("stderr.txt"));
    const auto lines = Lines(ReadFile(folder.File("stdout.txt")));
    ASSERT_EQ(lines.size(), 2u);
    auto fields = Fields(lines[0], lines[1]);
    EXPECT_EQ(fields["HMax"], "10");
    EXPECT_EQ(fields["MinRegion"], "2");
    EXPECT_EQ(fields["Count"], "2");
}

/// Runs the batch with its standard output going to a pipe nobody reads any more (a
/// reader such as head that has ended); what it wrote on standard error and its status.
TRunOutput RunWithClosedOutput(const std::vector<std::string>& arguments)
{
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    int errors[2];
    EXPECT_EQ(::pipe(errors), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(ends[1], STDOUT_FILENO);
        ::dup2(errors[1], STDERR_FILENO);
        std::vector<char*> argv = {const_cast<char*>(VARNOLUX_BATCH)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(VARNOLUX_BATCH, argv.data());
        ::_exit(127);
    }
    ::close(ends[1]);
    ::close(errors[1]);
    TRunOutput run;
    char buffer[4096];
    for (ssize_t count; (count = ::read(errors[0], buffer, sizeof buffer)) > 0;)
        run.err.append(buffer, std::size_t(count));
    ::close(errors[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST_F(BatchTest, AClosedStandardOutputStopsNeitherTheAnalysisNorTheResultFile)
{
    const std::string image = Bmp("objects.bmp");
    const std::string resultFile = folder.File("results.txt");
    std::vector<std::string> arguments = {"--jobs", "2", "--result", resultFile};
    for (int i = 0; i < 20; ++i)
        arguments.push_back(image);
    const TRunOutput run = RunWithClosedOutput(arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "varnolux-batch: cannot write standard output (Broken pipe); the other "
                       "images are still analysed\n");
    EXPECT_EQ(Lines(ReadFile(resultFile)).size(), 21u);
}

TEST_F(BatchTest, AFullStandardOutputIsReportedOnce)
{
    const std::string image = Bmp("objects.bmp");
    const std::string resultFile = folder.File("results.txt");
    const std::string command = "LC_ALL=C.UTF-8 " + Quoted(VARNOLUX_BATCH) + " --result " +
                                Quoted(resultFile) + " " + Quoted(image) + " " + Quoted(image) +
                                " >/dev/full 2>" + Quoted(folder.File("stderr.txt"));
    const int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    EXPECT_EQ(ReadFile(folder.File("stderr.txt")),
              "varnolux-batch: cannot write standard output (No space left on device); the "
              "other images are still analysed\n");
    EXPECT_EQ(Lines(ReadFile(resultFile)).size(), 3u);
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
        {{"x.bmp", "--report"}, "--report needs a folder"},
        {{"--template", "t.html", "x.bmp"}, "--template goes with --report"},
        {{"--verify", "r.txt", "--report", "reports"}, "--verify takes no images"},
        {{"--range-from-mask", "m.bmp", "x.bmp", "--report", "reports"},
         "--range-from-mask takes no other option"},
    };
    for (const auto& c : cases) {
        const TRunOutput run = Run(c.arguments);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("usage: varnolux-batch"), std::string::npos);
    }
}

TEST_F(BatchTest, AnswersHelpAndVersionWithoutAnalysing)
{
    const TRunOutput help = Run({"--help", "missing.bmp"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("usage: varnolux-batch")) << help.out;
    EXPECT_NE(help.out.find("--version"), std::string::npos);
    EXPECT_EQ(help.err, "");

    const TRunOutput version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex(R"(varnolux-batch \d+\.\d+\.\d+\.\d+\n)")))
        << version.out;
    EXPECT_EQ(version.err, "");
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

TEST_F(BatchTest, ParallelJobsGiveTheSameOutputInInputOrder)
{
    const std::vector<std::string> images = MixedBatch(23);
    std::vector<std::string> arguments = {"--options", Options()};
    arguments.insert(arguments.end(), images.begin(), images.end());

    std::vector<TRunOutput> runs;
    std::vector<std::string> resultFiles;
    for (const char* jobs : {"1", "4"}) {
        resultFiles.push_back(folder.File(std::string("results-") + jobs + ".txt"));
        std::vector<std::string> withJobs = {"--jobs", jobs, "--result", resultFiles.back()};
        withJobs.insert(withJobs.end(), arguments.begin(), arguments.end());
        runs.push_back(Run(withJobs));
    }
    EXPECT_EQ(runs[0].status, 1) << "the bad files fail the batch";
    EXPECT_EQ(runs[1].status, 1);
    const auto lines = Lines(runs[0].out);
    ASSERT_EQ(lines.size(), 1 + 23 - 4u) << runs[0].out;
    EXPECT_EQ(WithoutDateTimes(Lines(runs[1].out)), WithoutDateTimes(lines));
    EXPECT_EQ(runs[1].err, runs[0].err) << "messages follow the input order too";
    EXPECT_EQ(Lines(runs[0].err).size(), 5u) << runs[0].err;
    EXPECT_EQ(WithoutDateTimes(Lines(ReadFile(resultFiles[1]))),
              WithoutDateTimes(Lines(ReadFile(resultFiles[0]))));

    // The lines come in the order of the images given.
    size_t line = 1;
    for (const std::string& image : images)
        if (image.ends_with(".bmp") && std::filesystem::exists(image)) {
            EXPECT_EQ(Fields(lines[0], lines[line++])["Name"],
                      std::filesystem::path(image).filename().string());
        }
}

TEST_F(BatchTest, EnginesKeptFromImageToImageGiveWhatOneProcessPerImageGives)
{
    // Mostly images of one size, whose planes a job hands on, with a damaged one of that
    // size and one of another size among them.
    std::mt19937 random(11);
    const auto randomRows = [&](int width, int height) {
        std::vector<std::string> rows(size_t(height), std::string(size_t(width), '.'));
        for (auto& row : rows)
            for (auto& pixel : row)
                pixel = ".rrgbw"[random() % 6];
        return rows;
    };
    std::vector<std::string> images;
    for (int i = 0; i < 12; ++i) {
        images.push_back(folder.File("same" + std::to_string(i) + ".png"));
        SaveWithFreeImage(Picture(i == 7 ? randomRows(17, 9) : randomRows(31, 23)), FIF_PNG,
                          images.back());
    }
    const std::string damaged = images[4];
    const std::string bytes = ReadFile(damaged);
    WriteFile(damaged, bytes.substr(0, bytes.size() * 2 / 3));

    const std::string options = Options();
    const std::string oneByOne = folder.File("one-by-one.txt");
    std::string oneByOneErrors;
    for (const std::string& image : images)
        oneByOneErrors += Run({"--options", options, "--result", oneByOne, image}).err;
    EXPECT_NE(oneByOneErrors.find(damaged + ": "), std::string::npos) << oneByOneErrors;
    const auto expected = WithoutDateTimes(Lines(ReadFile(oneByOne)));
    ASSERT_EQ(expected.size(), 1 + images.size() - 1);

    for (const char* jobs : {"1", "2", "4"}) {
        const std::string resultFile = folder.File(std::string("jobs-") + jobs + ".txt");
        std::vector<std::string> arguments = {"--jobs", jobs,       "--options",
                                              options,  "--result", resultFile};
        arguments.insert(arguments.end(), images.begin(), images.end());
        const TRunOutput run = Run(arguments);
        EXPECT_EQ(run.status, 1) << jobs << " jobs: the damaged image fails the batch";
        EXPECT_EQ(run.err, oneByOneErrors) << jobs << " jobs";
        EXPECT_EQ(WithoutDateTimes(Lines(ReadFile(resultFile))), expected) << jobs << " jobs";
    }
}

TEST_F(BatchTest, RefusesABadJobCountOrFormat)
{
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"--jobs", "0", "x.bmp"},
             {"--jobs", "two", "x.bmp"},
             {"--jobs"},
             {"--format", "xml", "x.bmp"},
         }) {
        const TRunOutput run = Run(arguments);
        EXPECT_EQ(run.status, 2) << arguments[0];
        EXPECT_NE(run.err.find("usage: varnolux-batch"), std::string::npos);
    }
}

TEST_F(BatchTest, TimingsAreOneLinePerImageWithAPoint)
{
    const std::string image = Bmp("objects.bmp");
    const std::string locale = LocaleInstalled("de_DE.UTF-8") ? "de_DE.UTF-8" : "C.UTF-8";
    const TRunOutput run = Run({"--timings", image, folder.File("missing.bmp"), image}, locale);
    EXPECT_EQ(run.status, 1);
    const auto messages = Lines(run.err);
    ASSERT_EQ(messages.size(), 4u) << run.err;
    const std::regex format(
        R"(timings (objects|missing)\.bmp: read=\d+\.\d convert=\d+\.\d run=\d+\.\d fingerprints=\d+\.\d)");
    for (const size_t i : {0u, 2u, 3u})
        EXPECT_TRUE(std::regex_match(messages[i], format)) << messages[i];
    EXPECT_EQ(messages[0].rfind("timings objects.bmp: ", 0), 0u);
    EXPECT_EQ(messages[1].rfind(folder.File("missing.bmp") + ": ", 0), 0u) << messages[1];
    EXPECT_EQ(messages[2], "timings missing.bmp: read=0.0 convert=0.0 run=0.0 fingerprints=0.0");
    EXPECT_EQ(Lines(run.out).size(), 3u) << "timings stay off standard output";
}

TEST_F(BatchTest, JsonLinesHaveTheItemsInTableOrderWithNumbersAsNumbers)
{
    const std::string image = Bmp("say \"cheese\"\\.bmp");
    const TRunOutput tsv = Run({"--options", Options(), image});
    const TRunOutput json = Run({"--format", "json", "--options", Options(), image, image});
    ASSERT_EQ(json.status, 0) << json.err;
    ASSERT_EQ(Lines(json.out).size(), 2u) << "no header line: " << json.out;
    const std::string jsonFile = folder.File("out.jsonl");
    WriteFile(jsonFile, json.out);
    const std::string tsvFile = folder.File("out.tsv");
    WriteFile(tsvFile, tsv.out);

    // Python's own parser checks the syntax; the types and values are compared with
    // the tab-separated line.
    const std::string check = R"(
import json, sys
header, values = [line.rstrip("\n").split("\t") for line in open(sys.argv[2], encoding="utf-8")][:2]
expected = dict(zip(header, values))
numbers = {"AnalysisAreaPixel", "AnalysisArea", "AreaPixel", "Area", "MeanSizePixel", "MeanSize",
           "Measure", "Count", "MinRegion"}
for line in open(sys.argv[1], encoding="utf-8"):
    item = json.loads(line)
    assert list(item) == header, list(item)
    for name, value in item.items():
        if name in numbers:
            assert type(value) in (int, float), (name, value)
            assert float(value) == float(expected[name]), (name, value)
        elif name != "DateTime":
            assert type(value) is str and value == expected[name], (name, value)
    assert type(item["Count"]) is int and item["Count"] == 2
    assert item["AreaPixel"] == 11.25
    assert item["Name"] == 'say "cheese"\\.bmp', item["Name"]
print("ok")
)";
    const auto [passed, output] = RunPython(check, {jsonFile, tsvFile});
    EXPECT_TRUE(passed) << output;
    EXPECT_EQ(output, "ok\n");
}

TEST_F(BatchTest, GnuParallelSplitsABatchAndTheResultFilesMerge)
{
    if (std::system("command -v parallel >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "GNU parallel is not installed";
    const std::vector<std::string> images = MixedBatch(17);
    const std::string single = folder.File("single.txt");
    std::string imageList;
    for (const auto& image : images)
        imageList += " " + Quoted(image);
    const std::string batch = Quoted(VARNOLUX_BATCH) + " --jobs 1 --options " + Quoted(Options());
    ASSERT_EQ(std::system(("LC_ALL=C.UTF-8 " + batch + " --result " + Quoted(single) + imageList +
                           " >/dev/null 2>&1")
                              .c_str()),
              256)
        << "exit status 1: the bad files";

    // The README's commands: parts of 4 images, two at a time, then one header and
    // the lines of the parts in the order of their numbers.
    const std::string commands = "cd " + Quoted(folder.Path().string()) +
                                 " && LC_ALL=C.UTF-8 parallel --will-cite --jobs 2 -N 4 " + batch +
                                 " --result 'part{#}.txt' {} :::" + imageList +
                                 " >/dev/null 2>&1; ls part*.txt | sort -V | xargs awk 'FNR == 1 "
                                 "&& NR != 1 { next } { print }' "
                                 "> merged.txt";
    ASSERT_EQ(std::system(commands.c_str()), 0);
    EXPECT_GE(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              4);
    const auto merged = Lines(ReadFile(folder.File("merged.txt")));
    const auto expected = Lines(ReadFile(single));
    ASSERT_EQ(merged.size(), expected.size());
    EXPECT_EQ(WithoutDateTimes(merged), WithoutDateTimes(expected));
}

/// Runs the command with standard error on a new terminal; what the terminal shows.
std::string RunOnTerminal(const std::string& command)
{
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string shown;
    char buffer[4096];
    for (ssize_t count; (count = read(terminal, buffer, sizeof buffer)) > 0;)
        shown.append(buffer, size_t(count));
    close(terminal);
    int status = 0;
    waitpid(child, &status, 0);
    return shown;
}

TEST_F(BatchTest, ShowsAProgressLineOnlyOnATerminal)
{
    const std::vector<std::string> images = {Bmp("one.bmp"), Bmp("two.bmp"), Bmp("three.bmp")};
    std::vector<std::string> arguments = {"--jobs", "2"};
    arguments.insert(arguments.end(), images.begin(), images.end());

    const TRunOutput piped = Run(arguments);
    EXPECT_EQ(piped.err, "") << "no progress line when standard error is a file";

    std::string command = "LC_ALL=C.UTF-8 " + Quoted(VARNOLUX_BATCH);
    for (const auto& argument : arguments)
        command += " " + Quoted(argument);
    const std::string shown = RunOnTerminal(command + " >/dev/null");
    EXPECT_NE(shown.find("\r\x1b[K[1/3] one.bmp"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\r\x1b[K[3/3] three.bmp"), std::string::npos) << shown;
    EXPECT_TRUE(shown.ends_with("\r\x1b[K")) << "erased at the end: " << shown;
}

} // namespace
} // namespace varnolux
