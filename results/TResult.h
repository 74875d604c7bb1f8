#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace varnolux {

/// One named value of the result table.
struct TResultItem {
    enum : std::uint8_t { KindFloat = 1, KindText = 2, KindInteger = 3 };

    std::uint8_t Kind = KindText;
    std::string Name;
    /// The value as text: what the result file contains.
    std::string ValueText;
    double DoubleValue = 0.0;
    std::int32_t IntValue = 0;
};

/// The ordered named values of the last analysis. Adding a name that exists
/// replaces its value in place.
class TResult {
public:
    void AddString(const std::string& name, const std::string& text);
    void AddInteger(const std::string& name, std::int32_t value);
    /// The value text in general format with up to 15 significant digits and the
    /// locale's decimal separator.
    void AddDouble(const std::string& name, double value);
    /// Appends the item, or overwrites the existing item of its name (false).
    bool AddItem(const TResultItem& item);

    bool Exists(const std::string& name) const;
    const TResultItem* Find(const std::string& name) const;
    /// The value text, or the empty text when there is no such item.
    std::string GetValueText(const std::string& name) const;
    void Clear();

    const std::vector<TResultItem>& Items() const { return items_; }
    int Count() const { return int(items_.size()); }

    /// The names (header) and the value texts as one tab-separated line each, without
    /// a line end. Tabs, carriage returns and line feeds inside a field become spaces.
    std::string HeaderLine() const;
    std::string ValueLine() const;

    /// Appends the table to a result file: a header line first when the file is new
    /// or empty, then one line of value texts; CR LF line ends. The line is written
    /// whole or not at all. Any number of processes on one machine may append to one
    /// file at once: each append holds an advisory lock on the file while it looks at
    /// its end and writes, so lines never mix and the header is always the first line.
    /// False when the file cannot be created or written; why then says what failed
    /// ("Permission denied", "No space left on device", "Is a directory").
    bool SaveToFile(const std::string& fileName, std::string* why = nullptr) const;

private:
    std::vector<TResultItem> items_;
};

/// A field for a tab-separated line: tab, CR and LF become spaces.
std::string ResultFieldText(const std::string& text);

} // namespace varnolux
