// varnolux-batch when the disk fills, the result file is read-only or memory runs out.

#include "BatchRun.h"
#include "imaging/BmpFile.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"

#include <FreeImage.h>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace varnolux {
namespace {

using test::ReadFile;
using test::RunBatch;
using test::SplitText;

class BatchResultFile : public testing::Test {
protected:
    void SetUp() override
    {
        // Reachable for nobody too.
        ASSERT_EQ(::chmod(folder.Path().c_str(), 0777), 0);
        image = folder.File("objects.bmp");
        WriteBmpFile(test::Picture(test::ObjectRows), image);
        ASSERT_EQ(::chmod(image.c_str(), 0644), 0);
        result = folder.File("results.txt");
        // Two whole lines before the test's own save.
        for (int i = 0; i < 2; ++i)
            ASSERT_EQ(RunBatch({"--result", result, image}, {TempSetting()}).ExitCode, 0);
        before = ReadFile(result);
    }

    std::string TempSetting() const { return "TEMP=" + folder.Path().string(); }

    /// The run printed its line, reported the failed save and why on one line, and failed.
    void ExpectReportedFailure(const TConsoleResult& run, const std::string& why)
    {
        EXPECT_FALSE(run.TimedOut);
        EXPECT_EQ(run.ExitCode, 1) << run.ErrorOutput;
        EXPECT_EQ(SplitText(run.Output, '\n').size(), 2u) << run.Output;
        EXPECT_EQ(run.ErrorOutput,
                  image + ": the result could not be appended to " + result + ": " + why + "\n");
    }

    test::TempFolder folder;
    std::string image;
    std::string result;
    std::string before;
};

TEST_F(BatchResultFile, AFullDiskLeavesTheEarlierLinesWhole)
{
    // The limit falls before, inside and just short of the end of the new line.
    const std::size_t lineLength = SplitText(before, '\n')[1].size() + 1;
    for (const std::size_t room :
         {std::size_t(0), std::size_t(1), std::size_t(40), lineLength - 1}) {
        const TConsoleResult run = RunBatch({"--result", result, image}, {TempSetting()},
                                            {"--fsize=" + std::to_string(before.size() + room)});
        ExpectReportedFailure(run, "File too large");
        EXPECT_EQ(ReadFile(result), before) << room;
    }
    const TConsoleResult run = RunBatch({"--result", result, image}, {TempSetting()},
                                        {"--fsize=" + std::to_string(before.size() + lineLength)});
    EXPECT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    EXPECT_EQ(SplitText(ReadFile(result), '\n').size(), 4u);
}

TEST_F(BatchResultFile, AFullDiskLeavesNoHalfNewFile)
{
    const std::string fresh = folder.File("fresh.txt");
    const std::string pixel = folder.File("pixel.bmp");
    WriteBmpFile(test::Picture({"r"}), pixel);
    // Room for the temporary bitmap but not for the header line.
    const TConsoleResult run =
        RunBatch({"--result", fresh, pixel}, {TempSetting()}, {"--fsize=100"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.ErrorOutput,
              pixel + ": the result could not be appended to " + fresh + ": File too large\n");
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

TEST_F(BatchResultFile, AReadOnlyFileIsLeftAlone)
{
    ASSERT_EQ(::chmod(result.c_str(), 0444), 0);
    ExpectReportedFailure(
        RunBatch({"--result", result, image}, {TempSetting()}, {}, test::TBatchUser::Unprivileged),
        "Permission denied");
    EXPECT_EQ(ReadFile(result), before);

    // The same user may append to a writable file: the refusal was the file's.
    ASSERT_EQ(::chmod(result.c_str(), 0666), 0);
    const TConsoleResult run =
        RunBatch({"--result", result, image}, {TempSetting()}, {}, test::TBatchUser::Unprivileged);
    EXPECT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    EXPECT_EQ(ReadFile(result).substr(0, before.size()), before);
}

TEST_F(BatchResultFile, ManyBatchesAppendWholeLinesWhileOneFails)
{
    // Three batches of 15 images append to one file while a fourth, whose disk is full
    // beyond a few lines, fails again and again.
    std::vector<std::string> images(15, image);
    const auto arguments = [&](const std::string& jobs) {
        std::vector<std::string> list = {"--jobs", jobs, "--result", result};
        list.insert(list.end(), images.begin(), images.end());
        return list;
    };
    std::vector<std::future<TConsoleResult>> runs;
    for (const char* jobs : {"1", "2", "1"})
        runs.push_back(std::async(
            std::launch::async, [&, jobs] { return RunBatch(arguments(jobs), {TempSetting()}); }));
    const auto limit = "--fsize=" + std::to_string(before.size() + 1000);
    const TConsoleResult failing = RunBatch(arguments("1"), {TempSetting()}, {limit});
    for (auto& run : runs) {
        const TConsoleResult done = run.get();
        EXPECT_EQ(done.ExitCode, 0) << done.ErrorOutput;
    }
    EXPECT_EQ(failing.ExitCode, 1);
    EXPECT_NE(failing.ErrorOutput.find(": File too large"), std::string::npos)
        << failing.ErrorOutput;

    const std::string contents = ReadFile(result);
    ASSERT_TRUE(contents.starts_with(before));
    const auto lines = SplitText(contents, '\n');
    const std::string header = lines[0];
    const std::size_t saved =
        45 + 15 -
        std::size_t(std::count(failing.ErrorOutput.begin(), failing.ErrorOutput.end(), '\n'));
    ASSERT_EQ(lines.size(), 3 + saved);
    EXPECT_TRUE(contents.ends_with("\r\n"));
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_NE(lines[i], header) << i;
        EXPECT_EQ(SplitText(lines[i], '\t').size(), 23u) << i << ": " << lines[i];
        EXPECT_TRUE(lines[i].ends_with("\r")) << i;
    }
}

TEST_F(BatchResultFile, LeftoversOfKilledRunsGoAndTheRunLeavesNone)
{
    const std::string userFolder = folder.File("varnolux-" + std::to_string(::geteuid()));
    const std::string killed = userFolder + "/run4242-abcdef";
    std::filesystem::create_directories(killed);
    test::WriteFile(killed + "/KVVXTMP0.bmp", "a killed run's pixels");
    const TConsoleResult run = RunBatch({image}, {TempSetting()});
    EXPECT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    EXPECT_FALSE(std::filesystem::exists(killed));
    EXPECT_TRUE(std::filesystem::is_empty(userFolder));
    struct stat status {};
    ASSERT_EQ(::stat(userFolder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
}

TEST(BatchJobs, ThreadsThatCannotStartLeaveTheWorkToTheOthers)
{
    // 64 threads' stacks alone need more than the address space allows.
    const test::TempFolder folder;
    const std::string image = folder.File("objects.bmp");
    WriteBmpFile(test::Picture(test::ObjectRows), image);
    std::vector<std::string> arguments = {"--jobs", "64"};
    for (int i = 0; i < 64; ++i)
        arguments.push_back(image);
    // One malloc arena: each thread's own arena would reserve 64 MB of the address
    // space, and whether the images then find memory would depend on thread timing.
    const TConsoleResult run = RunBatch(
        arguments, {"TEMP=" + folder.Path().string(), "MALLOC_ARENA_MAX=1"}, {"--as=314572800"});
    EXPECT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    EXPECT_EQ(SplitText(run.Output, '\n').size(), 65u);
    const auto messages = SplitText(run.ErrorOutput, '\n');
    ASSERT_EQ(messages.size(), 1u) << run.ErrorOutput;
    EXPECT_TRUE(messages[0].starts_with("varnolux-batch: only ")) << messages[0];
    EXPECT_NE(messages[0].find(" of 64 jobs could be started"), std::string::npos) << messages[0];
}

/// A 10000 × 10000 picture in four flat bands: 100 megapixels in a small file.
std::string HugeImage(const test::TempFolder& folder)
{
    constexpr int Size = 10000;
    FIBITMAP* bitmap = FreeImage_Allocate(Size, Size, 4);
    RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    palette[0] = {128, 128, 128, 0};
    palette[1] = {0, 0, 255, 0};
    palette[2] = {0, 255, 0, 0};
    palette[3] = {255, 0, 0, 0};
    for (int y = 0; y < Size; ++y)
        std::memset(FreeImage_GetScanLine(bitmap, y), 0x11 * (y / 2500), Size / 2);
    const std::string fileName = folder.File("huge.png");
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, fileName.c_str(), PNG_Z_BEST_SPEED);
    FreeImage_Unload(bitmap);
    return saved ? fileName : std::string();
}

std::uint64_t AvailableMemory()
{
    std::ifstream info("/proc/meminfo");
    std::string line;
    while (std::getline(info, line))
        if (line.starts_with("MemAvailable:"))
            return std::stoull(line.substr(13)) * 1024;
    return std::uint64_t(4) << 30;
}

/// Analysed, or refused with one line about memory; never a crash.
void ExpectAnalysedOrRefused(const TConsoleResult& run, const std::string& image,
                             const std::string& what)
{
    ASSERT_TRUE(run.Started);
    EXPECT_FALSE(run.TimedOut) << what;
    const auto messages = SplitText(run.ErrorOutput, '\n');
    if (run.ExitCode == 0) {
        EXPECT_EQ(run.ErrorOutput, "") << what;
        ASSERT_EQ(SplitText(run.Output, '\n').size(), 2u) << what;
        EXPECT_EQ(test::Field(run.Output, 1, "AnalysisAreaPixel"), "100000000") << what;
        return;
    }
    EXPECT_EQ(run.ExitCode, 1) << what << ": " << run.ErrorOutput;
    ASSERT_EQ(messages.size(), 1u) << what << ": " << run.ErrorOutput;
    EXPECT_EQ(messages[0].rfind(image + ": Not enough memory to ", 0), 0u)
        << what << ": " << messages[0];
}

TEST(HugeImage, AHundredMegapixelsAnalyseOrAreRefusedForMemory)
{
    const test::TempFolder folder;
    const std::string image = HugeImage(folder);
    ASSERT_FALSE(image.empty());
    const std::string temp = "TEMP=" + folder.Path().string();
    // What the machine has, less a margin, so that the kernel never has to kill it.
    const TConsoleResult unlimited =
        RunBatch({image}, {temp}, {"--as=" + std::to_string(AvailableMemory() / 4 * 3)});
    ExpectAnalysedOrRefused(unlimited, image, "with the machine's memory");

    // Address-space limits that run out while reading, converting, copying into the
    // planes and analysing.
    for (const long megabytes : {150, 300, 450, 700, 1200, 2500}) {
        const TConsoleResult run =
            RunBatch({image}, {temp}, {"--as=" + std::to_string(megabytes << 20)});
        ExpectAnalysedOrRefused(run, image, std::to_string(megabytes) + " MB");
        if (megabytes <= 300) {
            EXPECT_EQ(run.ExitCode, 1) << "the 24-bit copy alone needs 300 MB";
        }
    }
    EXPECT_EQ(test::LeftInTempFolder(folder.Path()), std::vector<std::string>{image})
        << "only the image remains";
}

} // namespace
} // namespace varnolux
