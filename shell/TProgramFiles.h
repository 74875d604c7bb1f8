#pragma once

#include <string>

namespace varnolux {

/// The files of the desktop program: the default options file and the program
/// settings file it writes, the manual, the language file and the camera table it
/// reads, and the folder that a calling program's relative file names refer to.
/// Tests move them elsewhere.
struct TProgramFiles {
    std::string Folder; // with its trailing "/"
    std::string DefaultOptionsFile;
    std::string SettingsFile;
    std::string ManualFile;
    std::string LanguageFile;
    std::string CameraTableFile;

    /// The files of the running program: written where it keeps its settings (its
    /// own folder, or the user's configuration folder when installed), read from
    /// where they are found (see TProgramFolders).
    static TProgramFiles Installed();
    /// The same names in another folder (given with its trailing "/").
    static TProgramFiles InFolder(const std::string& folder);
};

} // namespace varnolux
