#include "settings/ProgramInfo.h"

#include "base/Paths.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace varnolux {
namespace {

// Four decimal numbers joined by points, e.g. "1.0.0.0".
bool IsFourPartVersion(const std::string& text)
{
    std::istringstream parts(text);
    std::string part;
    int count = 0;
    while (std::getline(parts, part, '.')) {
        if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos)
            return false;
        ++count;
    }
    return count == 4 && text.back() != '.';
}

TEST(ProgramInfo, FixedFilesLiveInTheFolderOfTheExecutable)
{
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(std::filesystem::path(folder),
              std::filesystem::read_symlink("/proc/self/exe").parent_path().concat("/"));
    EXPECT_EQ(ProgramSettingsFile(), folder + "Varnolux.ini");
    EXPECT_EQ(DefaultLanguageFile(), folder + "VXLang.ini");
}

TEST(ProgramInfo, VersionStringsByIndex)
{
    const VerInfo info;
    const std::string fileVersion = info.GetVerInfo(2);
    EXPECT_TRUE(IsFourPartVersion(fileVersion)) << fileVersion;
    EXPECT_EQ(info.GetVerInfo(7), "Varnolux");
    EXPECT_EQ(info.GetVerInfo(8), fileVersion);
    EXPECT_EQ(info.GetVerInfo(4), "");
    EXPECT_FALSE(info.GetVerInfo(0).empty());
    for (const int outside : {11, 10, -1, -2147483647 - 1, 2147483647})
        EXPECT_EQ(info.GetVerInfo(outside), fileVersion) << outside;
}

TEST(ProgramInfo, VersionTextIsTheProgramsWhateverFileIsNamed)
{
    const std::string version = ProgramVersionText();
    EXPECT_EQ(version, VerInfo().GetVerInfo(2));
    EXPECT_EQ(ProgramVersionText("/no/such/file.exe"), version);
    EXPECT_EQ(ProgramVersionText("/proc/self/exe"), version);
}

namespace fs = std::filesystem;
using test::ScopedEnvironment;
using test::TempFolder;

std::string ReadAll(const std::string& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

mode_t Mode(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

/// A program installed under prefix/ (lib/varnolux with its data folder beside it), and
/// a user whose configuration folder is config/.
class InstalledProgram : public ::testing::Test {
protected:
    InstalledProgram()
    {
        fs::create_directories(program);
        fs::create_directories(data);
    }

    std::string Root() const { return root.Path().string() + "/"; }

    TempFolder root;
    const std::string program = Root() + "prefix/lib/varnolux/";
    const std::string data = TProgramFolders::Of(program).Data;
    const ScopedEnvironment configHome{"XDG_CONFIG_HOME", Root() + "config"};
    const std::string config = Root() + "config/varnolux/";
};

TEST_F(InstalledProgram, WritesIntoTheUsersConfigurationFolder)
{
    ASSERT_EQ(data.rfind(Root() + "prefix/", 0), 0u) << data;
    const TProgramFolders folders = TProgramFolders::Of(program);
    EXPECT_EQ(folders.Program, program);
    EXPECT_EQ(folders.Settings, config);
    EXPECT_TRUE(folders.UsesConfigFolder());
}

TEST_F(InstalledProgram, ReadsFilesFromTheUserThenBesideItselfThenFromItsData)
{
    const TProgramFolders folders = TProgramFolders::Of(program);
    fs::create_directories(config);
    const struct {
        const char* name;
        bool inConfig, inProgram, inData;
        std::string expected;
    } cases[] = {
        {"VXLang.ini", false, false, true, data},      {"manual.pdf", false, true, true, program},
        {"Camera.ini", true, true, true, config},      {"Other.ini", true, false, false, config},
        {"Nowhere.ini", false, false, false, program},
    };
    for (const auto& c : cases) {
        const std::pair<bool, std::string> places[] = {
            {c.inConfig, config}, {c.inProgram, program}, {c.inData, data}};
        for (const auto& [present, folder] : places)
            if (present)
                test::WriteFile(folder + c.name, folder);
        EXPECT_EQ(folders.FindFile(c.name), c.expected + c.name) << c.name;
    }
}

TEST_F(InstalledProgram, TheFirstStartCopiesTheInstalledSettings)
{
    test::WriteFile(data + "Varnolux.ini", "[Program]\nWebPage=https://lab.example/\n");
    // Installed files are the administrator's; the user's copy must be writable.
    ::chmod((data + "Varnolux.ini").c_str(), 0444);
    const TProgramFolders folders = TProgramFolders::Of(program);
    ASSERT_EQ(folders.PrepareSettings(), "");

    EXPECT_EQ(ReadAll(config + "Varnolux.ini"), "[Program]\nWebPage=https://lab.example/\n");
    EXPECT_NE(Mode(config + "Varnolux.ini") & S_IWUSR, 0u);
    // Without installed default options the file is made empty, for the program to
    // write its options and window position into.
    EXPECT_TRUE(fs::is_regular_file(config + "VXDefault.ini"));
    EXPECT_EQ(fs::file_size(config + "VXDefault.ini"), 0u);
    EXPECT_EQ(Mode(Root() + "config"), 0700u);
    EXPECT_EQ(Mode(config), 0700u);
    EXPECT_FALSE(fs::exists(program + "VXDefault.ini"));
    EXPECT_FALSE(fs::exists(program + "Varnolux.ini"));

    // Later starts leave the user's files alone.
    test::WriteFile(config + "Varnolux.ini", "[Program]\nWebPage=\n");
    ASSERT_EQ(folders.PrepareSettings(), "");
    EXPECT_EQ(ReadAll(config + "Varnolux.ini"), "[Program]\nWebPage=\n");
}

TEST_F(InstalledProgram, AConfigurationFolderThatCannotBeMadeIsReported)
{
    test::WriteFile(Root() + "config", "a file where the folder should be");
    const std::string problem = TProgramFolders::Of(program).PrepareSettings();
    EXPECT_NE(problem.find(Root() + "config"), std::string::npos) << problem;
}

TEST(ProgramFolders, RunFromItsBuildFolderTheProgramKeepsEverythingBesideItself)
{
    const TempFolder root;
    const std::string program = root.Path().string() + "/build/bin/";
    fs::create_directories(program);
    const ScopedEnvironment configHome("XDG_CONFIG_HOME", root.Path().string() + "/config");
    const TProgramFolders folders = TProgramFolders::Of(program);
    EXPECT_EQ(folders.Settings, program);
    EXPECT_FALSE(folders.UsesConfigFolder());
    EXPECT_EQ(folders.FindFile("VXLang.ini"), program + "VXLang.ini");
    EXPECT_EQ(folders.PrepareSettings(), "");
    EXPECT_FALSE(fs::exists(root.Path() / "config"));
    EXPECT_TRUE(fs::is_empty(program));
}

TEST(ProgramFolders, AProgramFolderTheUserCannotWriteSendsTheSettingsToTheUser)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write into every folder";
    const TempFolder root;
    const std::string program = root.Path().string() + "/shared/";
    fs::create_directories(program);
    ::chmod(program.c_str(), 0555);
    const ScopedEnvironment configHome("XDG_CONFIG_HOME", root.Path().string() + "/config");
    EXPECT_EQ(TProgramFolders::Of(program).Settings, root.Path().string() + "/config/varnolux/");
    ::chmod(program.c_str(), 0755);
}

TEST(ProgramFolders, TheUsersConfigurationFolderFollowsTheEnvironment)
{
    const struct {
        std::optional<std::string> configHome, home;
        std::string expected;
    } cases[] = {
        {"/cfg", "/home/lab", "/cfg/varnolux/"},
        {std::nullopt, "/home/lab", "/home/lab/.config/varnolux/"},
        // Only an absolute path counts: a relative one would depend on the working folder.
        {"cfg", "/home/lab", "/home/lab/.config/varnolux/"},
        {"", "/home/lab", "/home/lab/.config/varnolux/"},
        {std::nullopt, std::nullopt, ""},
        {"relative", "also-relative", ""},
    };
    for (const auto& c : cases) {
        const ScopedEnvironment configHome("XDG_CONFIG_HOME", c.configHome);
        const ScopedEnvironment home("HOME", c.home);
        EXPECT_EQ(UserConfigFolder(), c.expected)
            << c.configHome.value_or("(none)") << " " << c.home.value_or("(none)");
    }
}

} // namespace
} // namespace varnolux
