// The INI layer: any bytes parse, serialise back unchanged, and a value written
// reads back without disturbing the others.

#include "FuzzTarget.h"
#include "settings/IniDocument.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

using namespace varnolux;
using fuzz::Check;

bool IsPlainText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

/// The plain names in brackets at the start of lines: sections to look into.
std::vector<std::string> BracketedNames(std::string_view bytes)
{
    std::vector<std::string> names;
    for (std::size_t start = 0; start < bytes.size() && names.size() < 8;) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
        const std::string_view line = Trimmed(bytes.substr(start, end - start));
        if (line.starts_with('[') && line.rfind(']') != std::string_view::npos && IsPlainText(line))
            names.emplace_back(Trimmed(line.substr(1, line.rfind(']') - 1)));
        start = end + 1;
    }
    return names;
}

using TValues =
    std::vector<std::pair<std::pair<std::string, std::string>, std::optional<std::string>>>;

TValues AllValues(const TIniDocument& document, const std::vector<std::string>& sections)
{
    TValues values;
    for (const std::string& section : sections) {
        Check(document.HasSection(section), "a bracketed name is no section");
        for (const std::string& key : document.Keys(section)) {
            const auto value = document.Value(section, key);
            Check(value.has_value(), "a listed key has no value");
            values.push_back({{section, key}, value});
        }
    }
    return values;
}

/// The input's last three NUL-separated parts name the section, key and value to
/// write; the rest is the document.
struct TInput {
    std::string_view document;
    std::string_view section = "FormMain";
    std::string_view key = "LabeledEditHMin";
    std::string_view value = "12";
};

TInput SplitInput(std::string_view bytes)
{
    TInput input{bytes};
    std::string_view parts[3];
    for (int i = 2; i >= 0; --i) {
        const auto nul = bytes.rfind('\0');
        if (nul == std::string_view::npos)
            return input;
        parts[i] = bytes.substr(nul + 1);
        bytes = bytes.substr(0, nul);
    }
    return {bytes, parts[0], parts[1], parts[2]};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const TInput input = SplitInput(fuzz::Bytes(data, size));
    TIniDocument document = TIniDocument::Parse(input.document);
    Check(document.Serialize() == input.document, "an untouched document changes its bytes");
    const std::vector<std::string> sections = BracketedNames(input.document);
    const TValues before = AllValues(document, sections);

    try {
        document.SetValue(input.section, input.key, input.value);
    } catch (const std::invalid_argument&) {
        Check(document.Serialize() == input.document, "a refused write changes the document");
        return 0;
    }
    const TIniDocument written = TIniDocument::Parse(document.Serialize());
    const bool plain = IsPlainText(input.document) && IsPlainText(input.section) &&
                       IsPlainText(input.key) && IsPlainText(input.value);
    if (!plain)
        return 0;
    Check(written.Value(Trimmed(input.section), Trimmed(input.key)) ==
              std::string(Trimmed(input.value)),
          "a written value does not read back");
    for (const auto& [name, value] : before) {
        const bool sameKey = SameIgnoringCase(name.first, Trimmed(input.section)) &&
                             SameIgnoringCase(name.second, Trimmed(input.key));
        if (!sameKey)
            Check(written.Value(name.first, name.second) == value, "a write changes another value");
    }
    return 0;
}
