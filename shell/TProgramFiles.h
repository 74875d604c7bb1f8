#pragma once

#include <string>

namespace varnolux {

/// The files the desktop program keeps next to its executable: the default options
/// file, the program settings file, the manual and the language file, and the folder
/// that a calling program's relative file names refer to. Tests move them elsewhere.
struct TProgramFiles {
    std::string Folder; // with its trailing "/"
    std::string DefaultOptionsFile;
    std::string SettingsFile;
    std::string ManualFile;
    std::string LanguageFile;

    /// The files in the program's folder.
    static TProgramFiles Installed();
    /// The same names in another folder (given with its trailing "/").
    static TProgramFiles InFolder(const std::string& folder);
};

} // namespace varnolux
