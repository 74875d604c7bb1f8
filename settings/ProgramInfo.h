#pragma once

#include <array>
#include <string>

namespace varnolux {

/// The default options file's name.
inline constexpr const char* DefaultOptionsFileName = "VXDefault.ini";
/// The language file's name.
inline constexpr const char* LanguageFileName = "VXLang.ini";

/// The folders a program run uses, each with its trailing "/". Run from where it was
/// built or copied to, the program keeps every file next to its executable. Installed
/// (its data folder lies beside it, share/varnolux for lib/varnolux) or in a folder
/// this user cannot write, it writes into the user's configuration folder instead and
/// reads its fixed files from there, next to the executable or from the data folder.
struct TProgramFolders {
    std::string Program;
    /// Where an installed program's fixed files and defaults are.
    std::string Data;
    /// Where the program writes VXDefault.ini and its settings file.
    std::string Settings;

    /// The folders of a program whose executable is in programFolder, with the user's
    /// configuration folder from the environment.
    static TProgramFolders Of(const std::string& programFolder);
    /// The folders of the running program.
    static TProgramFolders Current();

    /// Whether the program writes into the user's configuration folder.
    bool UsesConfigFolder() const { return Settings != Program; }
    /// A file the program only reads (language file, manual, "Camera.ini"): in the
    /// user's configuration folder when the program writes there, next to the
    /// executable, then in the data folder; the name next to the executable when it
    /// is in none of them.
    std::string FindFile(const std::string& name) const;
    /// Makes the configuration folder ready when the program writes there: creates
    /// it, and gives it a missing "VXDefault.ini" and program settings file as copies
    /// of the installed ones (found as FindFile finds them), else empty, for settings
    /// are only ever written into existing files. Returns what failed, empty when
    /// all is well.
    std::string PrepareSettings() const;
};

/// The name of the program's own settings file: product name + ".ini".
std::string ProgramSettingsFileName();
/// The program's own settings file in the settings folder.
std::string ProgramSettingsFile();

/// The language file "VXLang.ini" where the running program finds it.
std::string DefaultLanguageFile();

/// The version strings of the program, as built.
class VerInfo {
public:
    static constexpr int StringCount = 10;

    /// Our version strings live in the build, so every file name gives the program's.
    explicit VerInfo(const std::string& fileName = {});

    /// Index 0..9 as in the version resource; any other index gives "FileVersion".
    std::string GetVerInfo(int index) const;

private:
    std::array<std::string, StringCount> strings_;
};

/// The four-part version text, e.g. "1.0.0.0".
std::string ProgramVersionText(const std::string& fileName = {});

} // namespace varnolux
