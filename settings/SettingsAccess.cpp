#include "settings/SettingsAccess.h"

#include "base/Paths.h"
#include "base/TFileDescriptor.h"
#include "settings/IniDocument.h"
#include "settings/NumberText.h"
#include "settings/ProgramInfo.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <sys/stat.h>

namespace varnolux {

namespace {

constexpr const char* UnnamedSection = "Program";

std::string SectionOrProgram(const std::string& section)
{
    return section.empty() ? UnnamedSection : section;
}

std::string SystemError(const std::string& what, const std::string& fileName, int error)
{
    return what + " " + fileName + ": " + std::strerror(error);
}

// Cuts UTF-8 text to at most maxBytes without splitting a character.
std::string CutUtf8(std::string text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    size_t length = maxBytes;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    text.resize(length);
    return text;
}

// Hexadecimal after "0x", "0X" or "$", read as a 32-bit pattern as colours are stored.
std::optional<int> ParseHexInteger(std::string_view text)
{
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    if (text.starts_with("0x") || text.starts_with("0X"))
        text.remove_prefix(2);
    else if (text.starts_with('$'))
        text.remove_prefix(1);
    else
        return std::nullopt;
    if (text.empty() || text.front() == '+' || text.front() == '-')
        return std::nullopt;
    std::uint64_t magnitude = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, magnitude, 16);
    if (error != std::errc() || stop != end || magnitude > UINT32_MAX)
        return std::nullopt;
    const auto pattern = static_cast<std::uint32_t>(negative ? 0 - magnitude : magnitude);
    return static_cast<int>(pattern);
}

// What a read found: whether the file could be read at all, and the key's text.
struct TStoredValue {
    bool fileRead = false;
    std::optional<std::string> text;
};

std::optional<std::string> StoredText(const TIniDocument& document, const std::string& section,
                                      const std::string& key)
{
    auto text = document.Value(SectionOrProgram(section), key);
    if (text)
        *text = CutUtf8(std::move(*text), MaxConfigValueLength);
    return text;
}

TStoredValue ReadStoredValue(const std::string& fileName, const std::string& section,
                             const std::string& key)
{
    const auto document = LoadConfigDocument(fileName);
    if (!document)
        return {};
    return {true, StoredText(*document, section, key)};
}

// The integer of a key; errorFlag is set when the file cannot be read or the text is
// not an integer, and cleared otherwise (a missing key included).
std::optional<int> ReadStoredInteger(const std::string& fileName, const std::string& section,
                                     const std::string& key, bool* errorFlag)
{
    const TStoredValue stored = ReadStoredValue(fileName, section, key);
    const std::optional<int> number =
        stored.text ? ParseConfigInteger(*stored.text) : std::optional<int>();
    if (errorFlag)
        *errorFlag = !stored.fileRead || (stored.text && !number);
    return number;
}

// Best effort while undoing a failed write: the error worth reporting is the first one.
void TruncateQuietly(int descriptor, off_t size)
{
    [[maybe_unused]] const int result = ::ftruncate(descriptor, size);
}

bool WriteAll(int descriptor, std::string_view bytes, off_t offset)
{
    while (!bytes.empty()) {
        const ssize_t count = ::pwrite(descriptor, bytes.data(), bytes.size(), offset);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            if (count == 0)
                errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(count));
        offset += count;
    }
    return true;
}

// Writes a complete new file next to the old one and renames it over it, so that a
// reader or a crash sees either the old or the new contents. False, with nothing
// changed, when the folder does not allow it; throws when writing the data fails.
bool ReplaceByRename(const std::string& target, const struct stat& status,
                     std::string_view contents)
{
    const std::string folder = FolderPart(target).empty() ? "./" : FolderPart(target);
    std::string temporaryName = folder + "." + FileNamePart(target) + ".XXXXXX";
    TFileDescriptor file(::mkostemp(temporaryName.data(), O_CLOEXEC));
    if (!file.IsOpen())
        return false;
    const auto discard = [&temporaryName] {
        ::unlink(temporaryName.c_str());
    };

    // Another user's file must keep its owner, or that user could no longer write it.
    const bool sameOwner = status.st_uid == ::geteuid() && status.st_gid == ::getegid();
    if (::fchmod(file.Get(), status.st_mode & 07777) != 0 ||
        (!sameOwner && ::fchown(file.Get(), status.st_uid, status.st_gid) != 0)) {
        discard();
        return false;
    }
    if (!WriteAll(file.Get(), contents, 0) || ::fsync(file.Get()) != 0 || !file.Close()) {
        const int error = errno;
        discard();
        throw TSettingsError(SystemError("cannot write", target, error));
    }
    if (::rename(temporaryName.c_str(), target.c_str()) != 0) {
        discard();
        return false;
    }
    return true;
}

// Overwrites the file itself. Space is reserved first so that a full disk fails before
// any byte changes; after a later failure the old contents are put back.
void ReplaceInPlace(const std::string& target, std::string_view oldContents,
                    std::string_view contents)
{
    TFileDescriptor file(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (!file.IsOpen())
        throw TSettingsError(SystemError("cannot open", target, errno));
    const auto newSize = static_cast<off_t>(contents.size());
    const auto oldSize = static_cast<off_t>(oldContents.size());
    if (newSize > oldSize) {
        const int error = ::posix_fallocate(file.Get(), 0, newSize);
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL) {
            TruncateQuietly(file.Get(), oldSize);
            throw TSettingsError(SystemError("cannot write", target, error));
        }
    }
    if (!WriteAll(file.Get(), contents, 0) || ::ftruncate(file.Get(), newSize) != 0 ||
        ::fsync(file.Get()) != 0) {
        const int error = errno;
        if (WriteAll(file.Get(), oldContents, 0))
            TruncateQuietly(file.Get(), oldSize);
        throw TSettingsError(SystemError("cannot write", target, error));
    }
    if (!file.Close())
        throw TSettingsError(SystemError("cannot write", target, errno));
}

// The file a name leads to: a symbolic link is written through, not over.
std::string LinkTarget(const std::string& fileName)
{
    char* resolved = ::realpath(fileName.c_str(), nullptr);
    const std::string target = resolved ? resolved : fileName;
    std::free(resolved);
    return target;
}

void ReplaceFileContents(const std::string& fileName, std::string_view oldContents,
                         std::string_view contents)
{
    const std::string target = LinkTarget(fileName);

    struct stat status {};
    if (::stat(target.c_str(), &status) != 0)
        throw TSettingsError(SystemError("cannot write", target, errno));
    // A renamed copy would leave the file's other hard links behind.
    if (status.st_nlink == 1 && ReplaceByRename(target, status, contents))
        return;
    ReplaceInPlace(target, oldContents, contents);
}

} // namespace

void ReplaceWholeFile(const std::string& fileName, std::string_view contents)
{
    const std::string target = LinkTarget(fileName);
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0) {
        std::ifstream file(target, std::ios::binary);
        const std::string oldContents{std::istreambuf_iterator<char>(file),
                                      std::istreambuf_iterator<char>()};
        if (!file.eof() && file.fail())
            throw TSettingsError(SystemError("cannot read", target, errno));
        ReplaceFileContents(target, oldContents, contents);
        return;
    }
    if (errno != ENOENT)
        throw TSettingsError(SystemError("cannot write", target, errno));
    const mode_t mask = ::umask(0);
    ::umask(mask);
    status.st_mode = S_IFREG | (0666 & ~mask);
    status.st_uid = ::geteuid();
    status.st_gid = ::getegid();
    if (!ReplaceByRename(target, status, contents))
        throw TSettingsError(SystemError("cannot create", target, errno));
}

std::string ResolveConfigFileName(const std::string& fileName)
{
    if (fileName.empty())
        return ProgramSettingsFile();
    if (fileName.find('/') == std::string::npos)
        return TProgramFolders::Current().Settings + fileName;
    return fileName;
}

bool IsReadOnlyFile(const std::string& fileName)
{
    struct stat status {};
    return ::stat(fileName.c_str(), &status) == 0 && (status.st_mode & 0222) == 0;
}

structConfig OpenConfig(const std::string& fileName, const std::string& section,
                        const std::string& key)
{
    structConfig config;
    config.fileName = ResolveConfigFileName(fileName);
    config.section = section;
    config.key = key;
    struct stat status {};
    config.hasFile = ::stat(config.fileName.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
                     (status.st_mode & 0222) != 0;
    return config;
}

std::optional<int> ParseConfigInteger(std::string_view text)
{
    if (const auto decimal = ParseDecimalInteger(text))
        return decimal;
    return ParseHexInteger(text);
}

std::optional<TIniDocument> LoadConfigDocument(const std::string& fileName)
{
    const structConfig config = OpenConfig(fileName, {}, {});
    if (!config.hasFile)
        return std::nullopt;
    return TIniDocument::Load(config.fileName);
}

std::string ReadConfigString(const std::string& fileName, const std::string& section,
                             const std::string& key, const std::string& defaultValue,
                             bool* errorFlag)
{
    TStoredValue stored = ReadStoredValue(fileName, section, key);
    if (errorFlag)
        *errorFlag = !stored.fileRead;
    return stored.text ? std::move(*stored.text) : defaultValue;
}

int ReadConfigInteger(const std::string& fileName, const std::string& section,
                      const std::string& key, int defaultValue, bool* errorFlag)
{
    return ReadStoredInteger(fileName, section, key, errorFlag).value_or(defaultValue);
}

bool ReadConfigBool(const std::string& fileName, const std::string& section, const std::string& key,
                    bool defaultValue, bool* errorFlag)
{
    const std::optional<int> number = ReadStoredInteger(fileName, section, key, errorFlag);
    return number ? *number != 0 : defaultValue;
}

std::string ReadConfigString(const TIniDocument& document, const std::string& section,
                             const std::string& key, const std::string& defaultValue)
{
    return StoredText(document, section, key).value_or(defaultValue);
}

int ReadConfigInteger(const TIniDocument& document, const std::string& section,
                      const std::string& key, int defaultValue)
{
    const auto text = StoredText(document, section, key);
    return (text ? ParseConfigInteger(*text) : std::nullopt).value_or(defaultValue);
}

bool ReadConfigBool(const TIniDocument& document, const std::string& section,
                    const std::string& key, bool defaultValue)
{
    const auto text = StoredText(document, section, key);
    const std::optional<int> number = text ? ParseConfigInteger(*text) : std::nullopt;
    return number ? *number != 0 : defaultValue;
}

std::string WriteConfigString(const std::string& fileName, const std::string& section,
                              const std::string& key, const std::string& value)
{
    const structConfig config = OpenConfig(fileName, SectionOrProgram(section), key);
    if (!config.hasFile)
        return {};
    auto document = TIniDocument::Load(config.fileName);
    if (!document)
        throw TSettingsError("cannot read " + config.fileName);
    const std::string oldContents = document->Serialize();
    try {
        document->SetValue(config.section, config.key, value);
    } catch (const std::invalid_argument& error) {
        throw TSettingsError(error.what());
    }
    const std::string contents = document->Serialize();
    if (contents != oldContents)
        ReplaceFileContents(config.fileName, oldContents, contents);
    return config.fileName;
}

std::string WriteConfigInteger(const std::string& fileName, const std::string& section,
                               const std::string& key, int value)
{
    return WriteConfigString(fileName, section, key, std::to_string(value));
}

std::string WriteConfigBool(const std::string& fileName, const std::string& section,
                            const std::string& key, bool value)
{
    return WriteConfigString(fileName, section, key, value ? "1" : "0");
}

} // namespace varnolux
