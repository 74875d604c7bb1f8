#include "settings/ProgramInfo.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

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

TEST(ProgramInfo, SplitsPaths)
{
    const struct {
        const char* path;
        const char* folder;
        const char* name;
        const char* extension;
    } cases[] = {
        {"/data/images/cells.tif", "/data/images/", "cells.tif", ".tif"},
        {"cells.tif", "", "cells.tif", ".tif"},
        {"/data/images/", "/data/images/", "", ""},
        {"", "", "", ""},
        {"/", "/", "", ""},
        {"/data.d/README", "/data.d/", "README", ""},
        {"archive.tar.gz", "", "archive.tar.gz", ".gz"},
        {"/home/.hidden", "/home/", ".hidden", ".hidden"},
        {"name.", "", "name.", "."},
        {"a/b", "a/", "b", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderPart(c.path), c.folder) << c.path;
        EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
        EXPECT_EQ(ExtensionPart(c.path), c.extension) << c.path;
    }
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

} // namespace
} // namespace varnolux
