#include "settings/ProgramInfo.h"

#include "Version.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace varnolux {

std::string ProgramFolder()
{
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "./";
    return executable.parent_path().string() + "/";
}

namespace {

bool IsFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

/// Creates the folder and the missing folders above it, each closed to other users as
/// configuration folders are.
std::string CreateFolders(const std::filesystem::path& folder)
{
    std::filesystem::path path;
    for (const auto& part : folder) {
        path /= part;
        if (part.empty() || IsFolder(path))
            continue;
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
            return "cannot create the folder " + path.string() + ": " +
                   std::generic_category().message(errno);
    }
    return {};
}

/// A copy of the installed file the user may change, or an empty file.
std::string SeedFile(const std::string& target, const std::string& installed)
{
    std::error_code error;
    if (IsFile(installed)) {
        std::filesystem::copy_file(installed, target, error);
        if (!error)
            std::filesystem::permissions(target, std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, error);
    } else {
        const int file = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file < 0)
            error.assign(errno, std::generic_category());
        else
            ::close(file);
    }
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
    const bool installed = IsFolder(folders.Data);
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
    if (UsesConfigFolder() && IsFile(Settings + name))
        return Settings + name;
    if (!IsFile(Program + name) && IsFile(Data + name))
        return Data + name;
    return Program + name;
}

std::string TProgramFolders::PrepareSettings() const
{
    if (!UsesConfigFolder())
        return {};
    if (std::string problem = CreateFolders(Settings); !problem.empty())
        return problem;
    for (const std::string& name :
         {std::string(DefaultOptionsFileName), ProgramSettingsFileName()}) {
        const std::string target = Settings + name;
        if (IsFile(target))
            continue;
        if (std::string problem = SeedFile(target, FindFile(name)); !problem.empty())
            return problem;
    }
    return {};
}

std::string UserConfigFolder()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && *configHome == '/')
        return std::string(configHome) + "/varnolux/";
    const char* home = std::getenv("HOME");
    if (home && *home == '/')
        return std::string(home) + "/.config/varnolux/";
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

std::string FolderPart(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNamePart(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionPart(const std::string& path)
{
    const std::string name = FileNamePart(path);
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
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
