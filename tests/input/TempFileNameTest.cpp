#include "input/TempFolder.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace varnolux {
namespace {

using test::ReadFile;
using test::ScopedEnvironment;
using test::TempFolder;
using test::WriteFile;

namespace fs = std::filesystem;

std::string UserFolderIn(const TempFolder& folder)
{
    return folder.File("varnolux-" + std::to_string(::geteuid()));
}

mode_t Mode(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

TEST(SharedTempFolder, IsTheTempVariableWithOneSlashElseTheSystemFolder)
{
    const TempFolder folder;
    const std::string path = folder.Path().string();
    for (const std::string& value : {path, path + "/"}) {
        const ScopedEnvironment temp("TEMP", value);
        EXPECT_EQ(SharedTempFolder(), path + "/");
    }
    std::error_code error;
    std::string system = fs::temp_directory_path(error).string();
    if (error)
        system = "/tmp";
    if (!system.ends_with('/'))
        system += '/';
    // An empty TEMP would otherwise name the root folder.
    for (const std::optional<std::string>& value : {std::optional<std::string>(), {""}}) {
        const ScopedEnvironment temp("TEMP", value);
        EXPECT_EQ(SharedTempFolder(), system);
    }
}

TEST(TempFolder, IsAFolderOfThisProcessInsideThePrivateFolderOfTheUser)
{
    const TempFolder folder;
    const ScopedEnvironment temp("TEMP", folder.Path().string());
    const std::string own = varnolux::TempFolder();
    const std::string user = UserFolderIn(folder);
    ASSERT_TRUE(own.starts_with(user + "/run" + std::to_string(::getpid()) + "-")) << own;
    EXPECT_TRUE(own.ends_with('/'));
    EXPECT_EQ(Mode(user), 0700u);
    EXPECT_EQ(Mode(own), 0700u);
    EXPECT_EQ(varnolux::TempFolder(), own) << "the same folder for the whole run";

    // A folder removed from under the program is made again.
    fs::remove_all(user);
    const std::string again = varnolux::TempFolder();
    EXPECT_TRUE(fs::is_directory(again));
    EXPECT_EQ(Mode(user), 0700u);
}

TEST(TempFolder, AUserFolderOpenToOthersIsMadePrivate)
{
    const TempFolder folder;
    const std::string user = UserFolderIn(folder);
    ASSERT_EQ(::mkdir(user.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(user.c_str(), 0777), 0);
    const ScopedEnvironment temp("TEMP", folder.Path().string());
    varnolux::TempFolder();
    EXPECT_EQ(Mode(user), 0700u);
}

TEST(TempFolder, RefusesALinkAFileOrAnotherUsersFolder)
{
    const TempFolder folder;
    const std::string user = UserFolderIn(folder);
    const std::string elsewhere = folder.File("elsewhere");
    fs::create_directory(elsewhere);
    const ScopedEnvironment temp("TEMP", folder.Path().string());

    fs::create_directory_symlink(elsewhere, user);
    EXPECT_THROW(varnolux::TempFolder(), TTempFolderError);
    EXPECT_TRUE(fs::is_empty(elsewhere)) << "nothing went through the link";
    fs::remove(user);

    WriteFile(user, "");
    EXPECT_THROW(varnolux::TempFolder(), TTempFolderError);
    fs::remove(user);

    if (::geteuid() == 0) {
        ASSERT_EQ(::mkdir(user.c_str(), 0700), 0);
        ASSERT_EQ(::chown(user.c_str(), 65534, 65534), 0);
        try {
            varnolux::TempFolder();
            ADD_FAILURE() << "another user's folder was used";
        } catch (const TTempFolderError& error) {
            EXPECT_NE(std::string(error.what()).find("belongs to another user"), std::string::npos)
                << error.what();
        }
    }
}

TEST(TempFolder, AMissingTempFolderIsAnError)
{
    const TempFolder folder;
    const ScopedEnvironment temp("TEMP", folder.File("missing"));
    EXPECT_THROW(varnolux::TempFolder(), TTempFolderError);
    EXPECT_THROW(MakeTempFileName("KVVXTMP", "bmp"), TTempFolderError);
}

TEST(TempFolder, TheFirstUseRemovesWhatEndedProcessesLeftBehind)
{
    const TempFolder folder;
    const std::string user = UserFolderIn(folder);
    ASSERT_EQ(::mkdir(user.c_str(), 0700), 0);
    // A killed run's folder, with its files, and one of a process that still runs.
    const std::string ended = user + "/run99999-abcdef";
    const std::string running = user + "/run99998-ghijkl";
    for (const std::string& leftover : {ended, running}) {
        fs::create_directory(leftover);
        WriteFile(leftover + "/KVVXTMP0.bmp", "pixels");
    }
    const std::string foreign = user + "/notes.txt";
    WriteFile(foreign, "not ours");
    const int runningLock = ::open(running.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(runningLock, LOCK_EX), 0);

    const ScopedEnvironment temp("TEMP", folder.Path().string());
    varnolux::TempFolder();
    ::close(runningLock);
    EXPECT_FALSE(fs::exists(ended));
    EXPECT_TRUE(fs::exists(running + "/KVVXTMP0.bmp"));
    EXPECT_TRUE(fs::exists(foreign));
}

TEST(TempFolder, AProcessTakesItsFolderAlongWhenItEnds)
{
    const TempFolder folder;
    const std::string user = UserFolderIn(folder);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv("TEMP", folder.Path().c_str(), 1);
        MakeTempFileName("KVVXTMP", "bmp");
        std::exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(fs::is_directory(user));
    EXPECT_TRUE(fs::is_empty(user));
}

TEST(MakeTempFileName, TakesTheFirstFreeCounterInThePrivateFolder)
{
    const TempFolder folder;
    const ScopedEnvironment temp("TEMP", folder.Path().string());
    const std::string own = varnolux::TempFolder();
    const std::string first = own + "KVVXTMP0.bmp";
    EXPECT_EQ(MakeTempFileName("KVVXTMP", "bmp"), first);
    EXPECT_EQ(ReadFile(first), "") << "claimed as an empty file";
    EXPECT_EQ(Mode(first), 0600u);
    EXPECT_EQ(MakeTempFileName("KVVXTMP", ".bmp"), own + "KVVXTMP1.bmp");
    EXPECT_EQ(MakeTempFileName("KVVXTMP", "png"), own + "KVVXTMP0.png");

    fs::remove(first);
    EXPECT_EQ(MakeTempFileName("KVVXTMP", "bmp"), first);
    for (int n = 2; n <= 10; ++n)
        WriteFile(own + "KVVXTMP" + std::to_string(n) + ".bmp", "");
    EXPECT_EQ(MakeTempFileName("KVVXTMP", "bmp"), own + "KVVXTMP11.bmp");

    fs::create_directory(own + "DIR0.pgm");
    fs::create_symlink(folder.File("nowhere"), own + "DIR1.pgm");
    EXPECT_EQ(MakeTempFileName("DIR", "pgm"), own + "DIR2.pgm");
    EXPECT_FALSE(fs::exists(folder.File("nowhere")));
}

TEST(MakeTempFileName, ThreadsNeverGetTheSameName)
{
    const TempFolder folder;
    const ScopedEnvironment temp("TEMP", folder.Path().string());
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
    EXPECT_EQ(*distinct.begin(), varnolux::TempFolder() + "KVVXTMP0.bmp");
}

} // namespace
} // namespace varnolux
