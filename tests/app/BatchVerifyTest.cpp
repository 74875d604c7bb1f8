// varnolux-batch --verify on result files the batch writes here, and changed copies.

#include "BatchRun.h"
#include "imaging/BmpFile.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace varnolux {
namespace {

using test::ReadFile;
using test::RunBatch;
using test::SplitText;
using test::WriteFile;

constexpr const char* CleanSummary = "lines: %s ok, 0 edited, 0 image changed, 0 image missing, "
                                     "0 other options, 0 not reproduced, 0 image unreadable, "
                                     "0 malformed";

std::string Summary(int lines)
{
    std::string text = std::string(CleanSummary);
    text.replace(text.find("%s"), 2, std::to_string(lines));
    return std::to_string(lines) + " " + text;
}

bool LocaleInstalled(const char* name)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const bool installed = std::setlocale(LC_ALL, name) != nullptr;
    std::setlocale(LC_ALL, previous.c_str());
    return installed;
}

class BatchVerify : public testing::Test {
protected:
    std::string Options(const std::string& minRegion = "2")
    {
        const std::string fileName = folder.File("options-" + minRegion + ".ini");
        WriteFile(fileName, "[FormMain]\r\nLabeledEditHMin=0\r\nLabeledEditHMax=10\r\n"
                            "LabeledEditSMin=100\r\nLabeledEditSMax=255\r\n"
                            "LabeledEditVMin=0\r\nLabeledEditVMax=255\r\n"
                            "[FormOptions]\r\nEditMinRegion=" +
                                minRegion + "\r\n[FormMeasure]\r\nComboBoxUnits=3\r\n");
        return fileName;
    }

    std::string Bmp(const std::string& name,
                    const std::vector<std::string>& rows = test::ObjectRows)
    {
        const std::string fileName = folder.File(name);
        WriteBmpFile(test::Picture(rows), fileName);
        return fileName;
    }

    /// Analyses the images and appends their lines to the result file.
    void Analyse(const std::vector<std::string>& images, const std::string& options,
                 const std::vector<std::string>& environment = {})
    {
        std::vector<std::string> arguments = {"--options", options, "--result", results};
        arguments.insert(arguments.end(), images.begin(), images.end());
        const TConsoleResult run = RunBatch(arguments, environment);
        ASSERT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    }

    TConsoleResult Verify(std::vector<std::string> arguments,
                          const std::vector<std::string>& environment = {})
    {
        arguments.insert(arguments.begin(), {"--verify", results});
        return RunBatch(arguments, environment);
    }

    /// Replaces a field of a value line (1 the first after the header).
    void ChangeField(std::size_t line, std::size_t field, const std::string& text)
    {
        std::vector<std::string> lines = SplitText(ReadFile(results), '\n');
        std::vector<std::string> fields = SplitText(lines.at(line), '\t');
        fields.at(field) = text;
        lines[line].clear();
        for (const std::string& value : fields)
            lines[line] += (lines[line].empty() ? "" : "\t") + value;
        std::string joined;
        for (const std::string& each : lines)
            joined += each + "\n";
        WriteFile(results, joined);
    }

    test::TempFolder folder;
    const std::string results = folder.File("results.txt");
};

TEST_F(BatchVerify, AResultFileOfTheBatchVerifiesClean)
{
    const std::string options = Options();
    Analyse({Bmp("a.bmp"), Bmp("b.bmp", {"rr.....", "rr..rr.", "...rr.."})}, options);
    const std::vector<std::string> clean = {"2: ok", "3: ok", Summary(2)};
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{},
                                                      {"--options", options},
                                                      {"--options", options, "--reanalyse"}}) {
        const TConsoleResult run = Verify(arguments);
        EXPECT_EQ(run.ExitCode, 0) << run.ErrorOutput;
        EXPECT_EQ(SplitText(run.Output, '\n'), clean);
        EXPECT_EQ(run.ErrorOutput, "");
    }

    const TConsoleResult json = Verify({"--format", "json"});
    EXPECT_EQ(json.ExitCode, 0);
    const std::vector<std::string> objects = SplitText(json.Output, '\n');
    ASSERT_EQ(objects.size(), 3u) << json.Output;
    EXPECT_EQ(objects[0], "{\"line\":2,\"image\":\"" + folder.File("a.bmp") +
                              "\",\"ok\":true,\"findings\":[]}");
    EXPECT_TRUE(objects[2].starts_with("{\"summary\":{\"lines\":2,\"ok\":2,")) << objects[2];
}

TEST_F(BatchVerify, EachFindingIsNamedAndTheStatusIsOne)
{
    const std::string options = Options();
    const std::string a = Bmp("a.bmp");
    const std::string b = Bmp("b.bmp");
    const std::string c = Bmp("c.bmp");
    Analyse({a, b, c, a}, options);
    Analyse({a}, Options("3"));
    // A digit changed in Area, one pixel of b, c removed, a line of 22 fields.
    ChangeField(1, 7, "11.35");
    std::vector<std::string> rows = test::ObjectRows;
    rows[0][0] = 'w';
    Bmp("b.bmp", rows);
    std::filesystem::remove(c);
    std::string text = ReadFile(results);
    const std::size_t lineEnd = text.find("\r\n", text.find("\r\n", text.find("\tc.bmp\t")) + 2);
    const std::size_t lastTab = text.rfind('\t', lineEnd);
    text.erase(lastTab, lineEnd - lastTab);
    WriteFile(results, text);

    const TConsoleResult run = Verify({"--options", options});
    EXPECT_EQ(run.ExitCode, 1) << run.ErrorOutput;
    EXPECT_EQ(SplitText(run.Output, '\n'),
              (std::vector<std::string>{
                  "2: edited: the values were changed after saving",
                  "3: image changed: " + b + " is not the image that was analysed",
                  "4: image missing: " + c,
                  "5: malformed: 22 fields instead of 23",
                  "6: other options: not made with the options of " + options,
                  "5 lines: 0 ok, 1 edited, 1 image changed, 1 image missing, 1 other options, "
                  "0 not reproduced, 0 image unreadable, 1 malformed",
              }));
}

TEST_F(BatchVerify, AFileWrittenUnderAGermanLocaleWithLineFeeds)
{
    if (!LocaleInstalled("de_DE.UTF-8"))
        GTEST_SKIP() << "the German locale is not installed";
    const std::string options = Options("1,5");
    Analyse({Bmp("a.bmp")}, options, {"LC_ALL=de_DE.UTF-8"});
    std::string text = ReadFile(results);
    std::erase(text, '\r');
    WriteFile(results, text);
    ASSERT_NE(text.find("\t11,25\t"), std::string::npos) << text;

    for (const char* locale : {"C.UTF-8", "de_DE.UTF-8"}) {
        const TConsoleResult run =
            Verify({"--options", options, "--reanalyse"}, {std::string("LC_ALL=") + locale});
        EXPECT_EQ(run.ExitCode, 0) << locale << run.Output;
        EXPECT_EQ(SplitText(run.Output, '\n'), (std::vector<std::string>{"2: ok", Summary(1)}));
    }
    // A value changed is still named, with the numbers as written.
    ChangeField(1, 7, "11,5");
    const TConsoleResult run = Verify({"--options", options, "--reanalyse"});
    EXPECT_EQ(SplitText(run.Output, '\n').at(0), "2: edited: the values were changed after saving; "
                                                 "not reproduced: Area 11,5 (now 11,25)");
}

TEST_F(BatchVerify, TheSampleImageIsReproduced)
{
    const std::string sample = std::string(VARNOLUX_SAMPLES) + "/coloured-objects.png";
    const std::string options = std::string(VARNOLUX_SAMPLES) + "/sample-options.ini";
    Analyse({sample}, options);
    const TConsoleResult run = Verify({"--options", options, "--reanalyse"});
    EXPECT_EQ(run.ExitCode, 0) << run.Output << run.ErrorOutput;
    EXPECT_EQ(SplitText(run.Output, '\n'), (std::vector<std::string>{"2: ok", Summary(1)}));
}

TEST_F(BatchVerify, UsageErrorsAndUnreadableFilesEndWithStatusTwo)
{
    const std::string options = Options();
    const std::string image = Bmp("a.bmp");
    Analyse({image}, options);
    WriteFile(folder.File("not-results.txt"), "Name\tArea\r\na.bmp\t1\r\n");
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--verify", results, image}, "varnolux-batch: --verify takes no images"},
        {{"--verify", results, "--result", folder.File("x.txt")},
         "varnolux-batch: --verify takes no images"},
        {{"--verify", results, "--reanalyse"}, "varnolux-batch: --reanalyse needs --options"},
        {{"--reanalyse", "--options", options, image},
         "varnolux-batch: --reanalyse goes with --verify"},
        {{"--verify"}, "varnolux-batch: --verify needs a file name"},
        {{"--verify", folder.File("missing.txt")},
         "varnolux-batch: the result file " + folder.File("missing.txt") +
             " cannot be verified: No such file or directory"},
        {{"--verify", folder.Path().string()},
         "varnolux-batch: the result file " + folder.Path().string() +
             " cannot be verified: Is a directory"},
        {{"--verify", folder.File("not-results.txt")},
         "varnolux-batch: the result file " + folder.File("not-results.txt") +
             " cannot be verified: its first line is not the header line of a result file"},
        {{"--verify", results, "--options", folder.File("missing.ini")},
         "varnolux-batch: the options file " + folder.File("missing.ini") + " cannot be used"},
    };
    for (const auto& usage : cases) {
        const TConsoleResult run = RunBatch(usage.arguments);
        EXPECT_EQ(run.ExitCode, 2) << usage.message;
        EXPECT_TRUE(run.ErrorOutput.starts_with(usage.message)) << run.ErrorOutput;
        EXPECT_EQ(run.Output, "");
    }
}

TEST_F(BatchVerify, JobsKeepTheFileOrder)
{
    const std::string options = Options();
    std::vector<std::string> images;
    for (int i = 0; i < 30; ++i)
        images.push_back(
            Bmp("image" + std::to_string(i) + ".bmp",
                {std::string(std::size_t(i + 1), 'r'), std::string(std::size_t(i + 1), '.')}));
    Analyse(images, options);
    for (int i = 0; i < 30; i += 4)
        std::filesystem::remove(images[std::size_t(i)]);
    const TConsoleResult one = Verify({"--options", options, "--reanalyse", "--jobs", "1"});
    const TConsoleResult four = Verify({"--options", options, "--reanalyse", "--jobs", "4"});
    EXPECT_EQ(one.ExitCode, 1);
    EXPECT_EQ(four.ExitCode, 1);
    EXPECT_EQ(four.Output, one.Output);
    const std::vector<std::string> lines = SplitText(one.Output, '\n');
    ASSERT_EQ(lines.size(), 31u);
    EXPECT_EQ(lines[0], "2: image missing: " + images[0]);
    EXPECT_EQ(lines[1], "3: ok");
}

TEST_F(BatchVerify, AFailingStandardOutputStopsTheVerification)
{
    Analyse({Bmp("a.bmp")}, Options());
    const std::string command = std::string(VARNOLUX_BATCH) + " --verify '" + results +
                                "' >/dev/full 2>'" + folder.File("err.txt") + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadFile(folder.File("err.txt")),
              "varnolux-batch: cannot write standard output (No space left on device)\n");
}

} // namespace
} // namespace varnolux
