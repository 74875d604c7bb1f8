#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnolux {

/// An INI file held in memory, with the rules of Windows private-profile files:
/// section and key names match without regard to ASCII letter case, lines are
/// trimmed, the value is everything after the first "=" with surrounding spaces
/// removed, lines starting with ";" are comments. Values are raw bytes: nothing
/// is escaped or unescaped. Lines that are neither a section, a key nor a comment
/// are kept as they are and counted as problems.
class TIniDocument {
public:
    struct TProblem {
        int line = 0;            // 1-based line number
        std::string description; // what is wrong with it
    };

    /// Parses the bytes of a file. Bytes that are not valid UTF-8 are read as
    /// Windows-1252 when values are returned.
    static TIniDocument Parse(std::string_view bytes);

    /// Reads a whole file; nothing when it cannot be read.
    static std::optional<TIniDocument> Load(const std::string& fileName);

    /// The value of a key as UTF-8, or nothing when the section or key is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

    /// All key names of a section in file order (empty when the section is missing).
    std::vector<std::string> Keys(std::string_view section) const;

    bool HasSection(std::string_view section) const;

    /// Sets a value: replaces an existing key's value, appends a missing key at
    /// the end of its section, appends a missing section at the end of the file.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);

    /// The document as file bytes; untouched lines keep their bytes and line ends.
    std::string Serialize() const;

    const std::vector<TProblem>& Problems() const { return problems_; }

private:
    struct TLine {
        std::string text;      // without the line end
        std::string lineEnd;   // "\r\n", "\n" or "" for a last line without one
    };

    std::optional<size_t> FindSection(std::string_view section) const;
    std::optional<size_t> FindKey(size_t sectionLine, std::string_view key) const;

    std::vector<TLine> lines_;
    std::vector<TProblem> problems_;
    bool windows1252_ = false;
    std::string newLine_ = "\n";
};

} // namespace varnolux
