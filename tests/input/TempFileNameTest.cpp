#include "input/TKVFreeImage.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace varnolux {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

/// Sets or clears TEMP while it lives.
class TTempVariable {
public:
    explicit TTempVariable(const char* value)
    {
        if (const char* old = std::getenv("TEMP"))
            previous_ = old;
        if (value)
            ::setenv("TEMP", value, 1);
        else
            ::unsetenv("TEMP");
    }
    ~TTempVariable()
    {
        if (previous_)
            ::setenv("TEMP", previous_->c_str(), 1);
        else
            ::unsetenv("TEMP");
    }
    TTempVariable(const TTempVariable&) = delete;
    TTempVariable& operator=(const TTempVariable&) = delete;

private:
    std::optional<std::string> previous_;
};

TEST(TempFolder, IsTheTempVariableWithOneSlash)
{
    const TempFolder folder;
    const std::string path = folder.Path().string();
    {
        const TTempVariable temp(path.c_str());
        EXPECT_EQ(varnolux::TempFolder(), path + "/");
    }
    {
        const TTempVariable temp((path + "/").c_str());
        EXPECT_EQ(varnolux::TempFolder(), path + "/");
    }
}

TEST(TempFolder, FallsBackToTheSystemFolder)
{
    std::string system;
    {
        const TTempVariable temp(nullptr);
        std::error_code error;
        system = std::filesystem::temp_directory_path(error).string();
        if (error)
            system = "/tmp";
        if (!system.ends_with('/'))
            system += '/';
        EXPECT_EQ(varnolux::TempFolder(), system);
    }
    {
        // An empty TEMP would otherwise name the root folder.
        const TTempVariable temp("");
        EXPECT_EQ(varnolux::TempFolder(), system);
    }
}

TEST(MakeTempFileName, TakesTheFirstFreeCounter)
{
    const TempFolder folder;
    const TTempVariable temp(folder.Path().string().c_str());
    const std::string first = folder.File("KVVXTMP0.bmp");
    EXPECT_EQ(MakeTempFileName("KVVXTMP", "bmp"), first);
    EXPECT_EQ(ReadFile(first), "") << "claimed as an empty file";
    EXPECT_EQ(MakeTempFileName("KVVXTMP", ".bmp"), folder.File("KVVXTMP1.bmp"));
    EXPECT_EQ(MakeTempFileName("KVVXTMP", "png"), folder.File("KVVXTMP0.png"));

    std::filesystem::remove(first);
    EXPECT_EQ(MakeTempFileName("KVVXTMP", "bmp"), first);
    for (int n = 2; n <= 10; ++n)
        WriteFile(folder.File("KVVXTMP" + std::to_string(n) + ".bmp"), "");
    EXPECT_EQ(MakeTempFileName("KVVXTMP", "bmp"), folder.File("KVVXTMP11.bmp"));

    std::filesystem::create_directory(folder.File("DIR0.pgm"));
    std::filesystem::create_symlink(folder.File("nowhere"), folder.File("DIR1.pgm"));
    EXPECT_EQ(MakeTempFileName("DIR", "pgm"), folder.File("DIR2.pgm"));
    EXPECT_FALSE(std::filesystem::exists(folder.File("nowhere")));
}

TEST(MakeTempFileName, ThreadsNeverGetTheSameName)
{
    const TempFolder folder;
    const TTempVariable temp(folder.Path().string().c_str());
    constexpr int Threads = 4, NamesEach = 50;
    std::vector<std::vector<std::string>> names(Threads);
    std::vector<std::thread> threads;
    for (auto& own : names)
        threads.emplace_back([&own] {
            for (int i = 0; i < NamesEach; ++i)
                own.push_back(MakeTempFileName("KVVXTMP", "bmp"));
        });
    for (auto& thread : threads)
        thread.join();
    std::set<std::string> distinct;
    for (const auto& own : names)
        distinct.insert(own.begin(), own.end());
    EXPECT_EQ(distinct.size(), std::size_t(Threads * NamesEach));
    EXPECT_EQ(*distinct.begin(), folder.File("KVVXTMP0.bmp"));
}

TEST(MakeTempFileName, MissingFolderStillNamesTheFirstCandidate)
{
    const TempFolder folder;
    const TTempVariable temp(folder.File("missing").c_str());
    EXPECT_EQ(MakeTempFileName("KVVXTMP", "bmp"), folder.File("missing/KVVXTMP0.bmp"));
}

} // namespace
} // namespace varnolux
