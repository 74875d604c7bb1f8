#pragma once

#include "settings/IniDocument.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace varnolux {

/// Raised when a settings write fails inside the INI layer (disk full, file
/// vanished while writing).
class TSettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// One settings access: the resolved file and whether it may be used.
struct structConfig {
    bool hasFile = false; // false for a missing or read-only file
    std::string fileName; // resolved path
    std::string section;
    std::string key;
};

/// Resolves a settings file name: empty means the program's own settings file,
/// a name without a folder is put into the folder the program keeps its settings in
/// (its own folder, or the user's configuration folder when installed), any other
/// name is used unchanged.
std::string ResolveConfigFileName(const std::string& fileName);

/// True when the file carries the read-only attribute: no write permission bits
/// at all. A file this user merely cannot write is not read-only.
bool IsReadOnlyFile(const std::string& fileName);

/// Opens, checks and closes: a missing or read-only file has no file.
structConfig OpenConfig(const std::string& fileName, const std::string& section,
                        const std::string& key);

/// Reads a settings file once, as every read finds it: the resolved name, nothing for
/// a missing, read-only or unreadable file. The values of one load come from this one
/// snapshot, so a file replaced meanwhile never gives a mix of two versions.
std::optional<TIniDocument> LoadConfigDocument(const std::string& fileName);

/// Reads one value; the default when the file, section or key is missing, or the
/// value has the wrong form. errorFlag, when given, is false after a successful read.
std::string ReadConfigString(const std::string& fileName, const std::string& section,
                             const std::string& key, const std::string& defaultValue,
                             bool* errorFlag = nullptr);
/// Accepts decimal, and hexadecimal with a leading "0x" or "$".
int ReadConfigInteger(const std::string& fileName, const std::string& section,
                      const std::string& key, int defaultValue, bool* errorFlag = nullptr);
/// True when the integer value is not 0.
bool ReadConfigBool(const std::string& fileName, const std::string& section, const std::string& key,
                    bool defaultValue, bool* errorFlag = nullptr);

/// The same reads on a document already in memory (a file that must be read even
/// when it is read-only, or bytes under test), with the same rules: an empty section
/// is "Program", long texts are cut, integers in the same forms.
std::string ReadConfigString(const TIniDocument& document, const std::string& section,
                             const std::string& key, const std::string& defaultValue);
int ReadConfigInteger(const TIniDocument& document, const std::string& section,
                      const std::string& key, int defaultValue);
bool ReadConfigBool(const TIniDocument& document, const std::string& section,
                    const std::string& key, bool defaultValue);

/// Writes one value into an existing, writable file and returns the resolved file
/// name; returns the empty text and writes nothing for a missing or read-only file.
/// An empty section is written as "Program". Throws TSettingsError when the write fails.
std::string WriteConfigString(const std::string& fileName, const std::string& section,
                              const std::string& key, const std::string& value);
std::string WriteConfigInteger(const std::string& fileName, const std::string& section,
                               const std::string& key, int value);
/// Writes "1" or "0".
std::string WriteConfigBool(const std::string& fileName, const std::string& section,
                            const std::string& key, bool value);

/// An integer as reads accept it: decimal, or hexadecimal after "0x" or "$" (a 32-bit
/// pattern); nothing for any other text or a number beyond 32 bits.
std::optional<int> ParseConfigInteger(std::string_view text);

/// Replaces a file's whole contents, or creates it: a new file written next to it is
/// renamed over it, so that a reader sees the old contents or the new, never a part
/// (where that cannot be done, for a file with more than one link, it is overwritten
/// in place and the old contents are put back on failure). An existing file keeps
/// its permissions and owner; a symbolic link is written through. Throws
/// TSettingsError saying what failed.
void ReplaceWholeFile(const std::string& fileName, std::string_view contents);

/// Longest text a read returns; longer values are cut.
inline constexpr size_t MaxConfigValueLength = 2047;

} // namespace varnolux
