#include "settings/ProgramInfo.h"

#include "Version.h"

#include <filesystem>
#include <system_error>

namespace varnolux {

std::string ProgramFolder()
{
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return "./";
    return executable.parent_path().string() + "/";
}

std::string ProgramSettingsFile()
{
    return ProgramFolder() + build::ProductName + ".ini";
}

std::string DefaultLanguageFile()
{
    return ProgramFolder() + "VXLang.ini";
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
