#pragma once

#include <string>

namespace varnolux {

/// The folder of the running executable, with a trailing "/".
std::string ProgramFolder();

/// The user's configuration folder for the program: $XDG_CONFIG_HOME/varnolux/ when
/// that is an absolute path, else $HOME/.config/varnolux/; empty without either.
std::string UserConfigFolder();

/// The folder part of a path including its trailing "/", empty when it has none.
std::string FolderPart(const std::string& path);
/// The file-name part of a path.
std::string FileNamePart(const std::string& path);
/// The extension from the last dot of the file name, dot included; empty when none.
std::string ExtensionPart(const std::string& path);
/// The same upper-cased (ASCII only), as file types are compared.
std::string UpperCaseExtension(const std::string& fileName);

} // namespace varnolux
