#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace varnolux {

/// An INI file held in memory, with the rules of Windows private-profile files:
/// section and key names match without regard to ASCII letter case, lines are
/// trimmed, the value is everything after the first "=" with surrounding spaces
/// removed, lines starting with ";" are comments. Values are raw bytes: nothing
/// is escaped or unescaped. Lines that are neither a section, a key nor a comment
/// are kept as they are and counted as problems. Sections and keys are indexed, so
/// a document answers any number of reads without scanning its lines again.
class TIniDocument {
public:
    enum class TProblemKind {
        NotSectionOrKey, // text that is neither "[section]" nor key=value
        KeyBeforeSection,
        BinaryData, // NUL or another control byte other than tab, CR and LF
    };

    struct TProblem {
        int line = 0;            // 1-based line number
        std::string description; // what is wrong with it
        TProblemKind kind = TProblemKind::NotSectionOrKey;
    };

    /// Parses the bytes of a file. Bytes that are not valid UTF-8 are read as
    /// Windows-1252 when values are returned.
    static TIniDocument Parse(std::string_view bytes);

    /// Reads a whole file; nothing when it cannot be read.
    static std::optional<TIniDocument> Load(const std::string& fileName);

    /// The value of a key as UTF-8, or nothing when the section or key is missing.
    /// The first section and the first key of a name count.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

    /// All key names of a section in file order (empty when the section is missing).
    std::vector<std::string> Keys(std::string_view section) const;

    bool HasSection(std::string_view section) const;

    /// Sets a value: replaces an existing key's value, appends a missing key at
    /// the end of its section, appends a missing section at the end of the file.
    /// Texts are UTF-8 and are stored in the file's own encoding; line breaks and
    /// other control characters of the value become spaces. Throws
    /// std::invalid_argument for a section or key name that a file cannot hold.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);

    /// The document as file bytes; untouched lines keep their bytes and line ends.
    std::string Serialize() const;

    /// The problems of the bytes as they were parsed.
    const std::vector<TProblem>& Problems() const { return problems_; }

private:
    enum class TLineKind { Blank, Comment, Section, Key, Other };

    struct TLine {
        std::string text;    // without the line end
        std::string lineEnd; // "\r\n", "\n", "\r" or "" for a last line without one
        TLineKind kind = TLineKind::Other;
        std::string name;  // section or key name as UTF-8
        std::string value; // key value as UTF-8
    };

    TLine MakeLine(std::string text, std::string lineEnd) const;
    std::string ToFileEncoding(std::string_view utf8) const;
    std::optional<size_t> FindSection(std::string_view section) const;
    std::optional<size_t> FindKey(size_t sectionLine, std::string_view key) const;
    size_t SectionEnd(size_t sectionLine) const;
    void InsertLine(size_t position, std::string text);
    void BuildIndex();

    std::vector<TLine> lines_;
    // The line of the first section of each name, and of the first key of each name
    // within the block of such a section; names in ASCII lower case.
    std::unordered_map<std::string, size_t> sectionLines_;
    std::unordered_map<std::string, size_t> keyLines_;
    std::vector<TProblem> problems_;
    bool windows1252_ = false;
    std::string newLine_ = "\n";
    std::string byteOrderMark_; // a UTF-8 signature before the first line, kept as it was
};

} // namespace varnolux
