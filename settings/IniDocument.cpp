#include "settings/IniDocument.h"

#include "base/TFileDescriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>

namespace varnolux {

namespace {

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr char32_t ReplacementCharacter = 0xFFFD;

// Windows-1252 bytes 0x80..0x9F; the five bytes the code page leaves undefined map
// to the C1 controls of the same number, as Windows itself does.
constexpr std::array<char32_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLowerCase(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = AsciiLower(c);
    return lower;
}

// The index key of a key name within the section that starts at sectionLine.
std::string KeyIndexName(size_t sectionLine, std::string_view key)
{
    return std::to_string(sectionLine) + '\n' + AsciiLowerCase(key);
}

bool IsControlByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7F;
}

bool HasControlBytes(std::string_view text)
{
    for (const char c : text)
        if (IsControlByte(c))
            return true;
    return false;
}

// Decodes the UTF-8 sequence at text[position]; advances position. Gives nothing
// for a malformed, overlong or surrogate sequence (position then moves by one).
std::optional<char32_t> NextCodePoint(std::string_view text, size_t& position)
{
    const auto lead = static_cast<unsigned char>(text[position++]);
    if (lead < 0x80)
        return lead;
    // Continuation bytes, payload bits of the lead byte, smallest code point of that length.
    struct TSequence {
        size_t length;
        char32_t codePoint;
        char32_t smallest;
    };
    TSequence sequence{};
    if ((lead & 0xE0) == 0xC0)
        sequence = {1, lead & 0x1Fu, 0x80};
    else if ((lead & 0xF0) == 0xE0)
        sequence = {2, lead & 0x0Fu, 0x800};
    else if ((lead & 0xF8) == 0xF0)
        sequence = {3, lead & 0x07u, 0x10000};
    else
        return std::nullopt;
    auto [length, codePoint, smallest] = sequence;
    if (position + length > text.size())
        return std::nullopt;
    for (size_t i = 0; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[position + i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return std::nullopt;
    position += length;
    return codePoint;
}

bool IsValidUtf8(std::string_view text)
{
    for (size_t position = 0; position < text.size();)
        if (!NextCodePoint(text, position))
            return false;
    return true;
}

void AppendUtf8(std::string& text, char32_t codePoint)
{
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

std::string Windows1252ToUtf8(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        AppendUtf8(text, byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : byte);
    }
    return text;
}

char Windows1252Byte(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (size_t i = 0; i < Windows1252High.size(); ++i)
        if (Windows1252High[i] == codePoint)
            return static_cast<char>(0x80 + i);
    return '?';
}

// Re-encodes UTF-8 text; a malformed byte counts as the replacement character.
std::string EncodeFromUtf8(std::string_view utf8, bool windows1252)
{
    std::string bytes;
    bytes.reserve(utf8.size());
    for (size_t position = 0; position < utf8.size();) {
        const char32_t codePoint = NextCodePoint(utf8, position).value_or(ReplacementCharacter);
        if (windows1252)
            bytes += Windows1252Byte(codePoint);
        else
            AppendUtf8(bytes, codePoint);
    }
    return bytes;
}

// A value must stay on its own line.
std::string WithoutControlCharacters(std::string_view value)
{
    std::string text(value);
    for (char& c : text)
        if (IsControlByte(c))
            c = ' ';
    return text;
}

void CheckSectionName(std::string_view section)
{
    if (section.empty() || section.find(']') != std::string_view::npos || HasControlBytes(section))
        throw std::invalid_argument("invalid section name \"" + std::string(section) + "\"");
}

void CheckKeyName(std::string_view key)
{
    if (key.empty() || key.front() == ';' || key.front() == '[' ||
        key.find('=') != std::string_view::npos || HasControlBytes(key))
        throw std::invalid_argument("invalid key name \"" + std::string(key) + "\"");
}

std::optional<std::string> ReadFileBytes(const std::string& fileName)
{
    TFileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!file.IsOpen() || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    std::string bytes;
    bytes.reserve(static_cast<size_t>(status.st_size));
    std::array<char, 65536> buffer{};
    for (;;) {
        const ssize_t count = ::read(file.Get(), buffer.data(), buffer.size());
        if (count == 0)
            return bytes;
        if (count < 0 && errno != EINTR)
            return std::nullopt;
        if (count > 0)
            bytes.append(buffer.data(), static_cast<size_t>(count));
    }
}

} // namespace

TIniDocument TIniDocument::Parse(std::string_view bytes)
{
    TIniDocument document;
    document.windows1252_ = !IsValidUtf8(bytes);
    if (!document.windows1252_ && bytes.starts_with(Utf8ByteOrderMark)) {
        document.byteOrderMark_ = Utf8ByteOrderMark;
        bytes.remove_prefix(Utf8ByteOrderMark.size());
    }

    document.lines_.reserve(size_t(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    bool lineEndSeen = false;
    bool inSection = false;
    for (size_t start = 0; start < bytes.size();) {
        const size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
        size_t endLength = 0;
        if (end < bytes.size())
            endLength = bytes.substr(end).starts_with("\r\n") ? 2 : 1;
        const std::string_view lineEnd = bytes.substr(end, endLength);
        if (!lineEndSeen && !lineEnd.empty()) {
            document.newLine_ = lineEnd;
            lineEndSeen = true;
        }

        TLine line =
            document.MakeLine(std::string(bytes.substr(start, end - start)), std::string(lineEnd));
        const int number = static_cast<int>(document.lines_.size()) + 1;
        if (HasControlBytes(line.text))
            document.problems_.push_back({number, "binary data", TProblemKind::BinaryData});
        else if (line.kind == TLineKind::Other)
            document.problems_.push_back(
                {number, "not a section or key=value line", TProblemKind::NotSectionOrKey});
        else if (line.kind == TLineKind::Key && !inSection)
            document.problems_.push_back(
                {number, "key before any section", TProblemKind::KeyBeforeSection});
        inSection = inSection || line.kind == TLineKind::Section;

        document.lines_.push_back(std::move(line));
        start = end + endLength;
    }
    document.BuildIndex();
    return document;
}

void TIniDocument::BuildIndex()
{
    sectionLines_.clear();
    keyLines_.clear();
    // Keys count only in the first section of a name; until one is reached, none do.
    std::optional<size_t> section;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const TLine& line = lines_[i];
        if (line.kind == TLineKind::Section) {
            const bool first = sectionLines_.try_emplace(AsciiLowerCase(line.name), i).second;
            section = first ? std::optional<size_t>(i) : std::nullopt;
        } else if (line.kind == TLineKind::Key && section) {
            keyLines_.try_emplace(KeyIndexName(*section, line.name), i);
        }
    }
}

std::optional<TIniDocument> TIniDocument::Load(const std::string& fileName)
{
    const auto bytes = ReadFileBytes(fileName);
    if (!bytes)
        return std::nullopt;
    return Parse(*bytes);
}

TIniDocument::TLine TIniDocument::MakeLine(std::string text, std::string lineEnd) const
{
    TLine line;
    line.text = std::move(text);
    line.lineEnd = std::move(lineEnd);
    const std::string_view trimmed = Trim(line.text);
    const auto decoded = [this](std::string_view bytes) {
        return windows1252_ ? Windows1252ToUtf8(bytes) : std::string(bytes);
    };
    if (HasControlBytes(line.text)) {
        line.kind = TLineKind::Other;
    } else if (trimmed.empty()) {
        line.kind = TLineKind::Blank;
    } else if (trimmed.front() == ';') {
        line.kind = TLineKind::Comment;
    } else if (trimmed.front() == '[' && trimmed.rfind(']') != std::string_view::npos) {
        line.kind = TLineKind::Section;
        line.name = decoded(Trim(trimmed.substr(1, trimmed.rfind(']') - 1)));
    } else if (const size_t equals = trimmed.find('=');
               equals != std::string_view::npos && !Trim(trimmed.substr(0, equals)).empty()) {
        line.kind = TLineKind::Key;
        line.name = decoded(Trim(trimmed.substr(0, equals)));
        line.value = decoded(Trim(trimmed.substr(equals + 1)));
    }
    return line;
}

std::string TIniDocument::ToFileEncoding(std::string_view utf8) const
{
    return EncodeFromUtf8(utf8, windows1252_);
}

std::optional<size_t> TIniDocument::FindSection(std::string_view section) const
{
    const auto found = sectionLines_.find(AsciiLowerCase(section));
    if (found == sectionLines_.end())
        return std::nullopt;
    return found->second;
}

size_t TIniDocument::SectionEnd(size_t sectionLine) const
{
    size_t end = sectionLine + 1;
    while (end < lines_.size() && lines_[end].kind != TLineKind::Section)
        ++end;
    return end;
}

std::optional<size_t> TIniDocument::FindKey(size_t sectionLine, std::string_view key) const
{
    const auto found = keyLines_.find(KeyIndexName(sectionLine, key));
    if (found == keyLines_.end())
        return std::nullopt;
    return found->second;
}

std::optional<std::string> TIniDocument::Value(std::string_view section, std::string_view key) const
{
    const auto sectionLine = FindSection(section);
    if (!sectionLine)
        return std::nullopt;
    const auto keyLine = FindKey(*sectionLine, key);
    if (!keyLine)
        return std::nullopt;
    return lines_[*keyLine].value;
}

std::vector<std::string> TIniDocument::Keys(std::string_view section) const
{
    std::vector<std::string> keys;
    const auto sectionLine = FindSection(section);
    if (!sectionLine)
        return keys;
    const size_t end = SectionEnd(*sectionLine);
    for (size_t i = *sectionLine + 1; i < end; ++i)
        if (lines_[i].kind == TLineKind::Key)
            keys.push_back(lines_[i].name);
    return keys;
}

bool TIniDocument::HasSection(std::string_view section) const
{
    return FindSection(section).has_value();
}

void TIniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view sectionName = Trim(section);
    const std::string_view keyName = Trim(key);
    CheckSectionName(sectionName);
    CheckKeyName(keyName);
    const std::string storedValue = ToFileEncoding(WithoutControlCharacters(value));

    const auto sectionLine = FindSection(sectionName);
    if (!sectionLine) {
        if (!lines_.empty() && lines_.back().kind != TLineKind::Blank)
            InsertLine(lines_.size(), "");
        InsertLine(lines_.size(), "[" + ToFileEncoding(sectionName) + "]");
        InsertLine(lines_.size(), ToFileEncoding(keyName) + "=" + storedValue);
        return;
    }

    if (const auto keyLine = FindKey(*sectionLine, keyName)) {
        // Keep the key as written, with its spacing, up to where the old value began.
        TLine& line = lines_[*keyLine];
        const size_t valueStart =
            std::min(line.text.find_first_not_of(" \t", line.text.find('=') + 1), line.text.size());
        line = MakeLine(line.text.substr(0, valueStart) + storedValue, line.lineEnd);
        return;
    }

    size_t position = *sectionLine + 1;
    const size_t end = SectionEnd(*sectionLine);
    for (size_t i = position; i < end; ++i)
        if (lines_[i].kind == TLineKind::Key)
            position = i + 1;
    InsertLine(position, ToFileEncoding(keyName) + "=" + storedValue);
}

void TIniDocument::InsertLine(size_t position, std::string text)
{
    if (position > 0 && lines_[position - 1].lineEnd.empty())
        lines_[position - 1].lineEnd = newLine_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position),
                  MakeLine(std::move(text), newLine_));
    BuildIndex();
}

std::string TIniDocument::Serialize() const
{
    std::string bytes = byteOrderMark_;
    for (const TLine& line : lines_)
        bytes += line.text + line.lineEnd;
    return bytes;
}

} // namespace varnolux
