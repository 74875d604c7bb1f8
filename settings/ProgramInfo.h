#pragma once

#include <array>
#include <string>

namespace varnolux {

/// The folder of the running executable, with a trailing "/".
std::string ProgramFolder();

/// The program's own settings file: program folder + product name + ".ini".
std::string ProgramSettingsFile();

/// The language file: program folder + "VXLang.ini".
std::string DefaultLanguageFile();

/// The folder part of a path including its trailing "/", empty when it has none.
std::string FolderPart(const std::string& path);
/// The file-name part of a path.
std::string FileNamePart(const std::string& path);
/// The extension from the last dot of the file name, dot included; empty when none.
std::string ExtensionPart(const std::string& path);

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
