#include "base/Paths.h"

#include <algorithm>
#include <cstdlib>
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

std::string UpperCaseExtension(const std::string& fileName)
{
    std::string extension = ExtensionPart(fileName);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
    return extension;
}

} // namespace varnolux
