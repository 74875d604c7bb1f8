#include "settings/ProgramInfo.h"

#include "Version.h"
#include "base/Files.h"
#include "base/Paths.h"

#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace varnolux {

namespace {

/// A copy of the installed file the user may change, or an empty file.
std::string SeedFile(const std::string& target, const std::string& installed)
{
    if (!FileExists(installed)) {
        const std::string problem = CreateFileIfMissing(target);
        return problem.empty() ? problem : "cannot create " + target + ": " + problem;
    }
    std::error_code error;
    std::filesystem::copy_file(installed, target, error);
    if (!error)
        std::filesystem::permissions(target, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, error);
    return error ? "cannot create " + target + ": " + error.message() : std::string();
}

} // namespace

TProgramFolders TProgramFolders::Of(const std::string& programFolder)
{
    TProgramFolders folders{
        programFolder,
        std::filesystem::path(programFolder + build::DataFolderFromProgramFolder)
            .lexically_normal()
            .string(),
        programFolder};
    const bool installed = FolderExists(folders.Data);
    if (installed || ::access(programFolder.c_str(), W_OK) != 0)
        if (std::string config = UserConfigFolder(); !config.empty())
            folders.Settings = std::move(config);
    return folders;
}

TProgramFolders TProgramFolders::Current()
{
    return Of(ProgramFolder());
}

std::string TProgramFolders::FindFile(const std::string& name) const
{
    if (UsesConfigFolder() && FileExists(Settings + name))
        return Settings + name;
    if (!FileExists(Program + name) && FileExists(Data + name))
        return Data + name;
    return Program + name;
}

std::string TProgramFolders::PrepareSettings() const
{
    if (!UsesConfigFolder())
        return {};
    // Configuration folders are closed to other users.
    if (std::string problem = CreateFoldersIfMissing(Settings, 0700); !problem.empty())
        return "cannot create the folder " + Settings + ": " + problem;
    for (const std::string& name :
         {std::string(DefaultOptionsFileName), ProgramSettingsFileName()}) {
        const std::string target = Settings + name;
        if (FileExists(target))
            continue;
        if (std::string problem = SeedFile(target, FindFile(name)); !problem.empty())
            return problem;
    }
    return {};
}

std::string ProgramSettingsFileName()
{
    return std::string(build::ProductName) + ".ini";
}

std::string ProgramSettingsFile()
{
    return TProgramFolders::Current().Settings + ProgramSettingsFileName();
}

std::string DefaultLanguageFile()
{
    return TProgramFolders::Current().FindFile(LanguageFileName);
}

VerInfo::VerInfo(const std::string&)
    : strings_{build::CompanyName, build::FileDescription, build::VersionText, "varnolux", "", "",
               "varnolux",         build::ProductName,     build::VersionText, ""}
{
}

std::string VerInfo::GetVerInfo(int index) const
{
    const int fileVersion = 2;
    return strings_[index >= 0 && index < StringCount ? index : fileVersion];
}

std::string ProgramVersionText(const std::string& fileName)
{
    return VerInfo(fileName).GetVerInfo(2);
}

} // namespace varnolux
