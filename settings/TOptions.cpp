#include "settings/TOptions.h"

#include "base/Messages.h"
#include "settings/IniDocument.h"
#include "settings/SettingsAccess.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <variant>

namespace varnolux {

namespace {

constexpr const char* SectionMain = "FormMain";
constexpr const char* SectionOptions = "FormOptions";
constexpr const char* SectionMeasure = "FormMeasure";

using TOptionField = std::variant<int TOptions::*, bool TOptions::*, std::string TOptions::*>;

struct TStoredOption {
    const char* section;
    const char* key;
    TOptionField field;
};

// Every option after the range texts, in the order the file is written.
const std::array<TStoredOption, 19> StoredOptions = {{
    {SectionOptions, "iInclCircleX", &TOptions::iInclCircleX},
    {SectionOptions, "iInclCircleY", &TOptions::iInclCircleY},
    {SectionOptions, "iInclCircleDiam", &TOptions::iInclCircleDiam},
    {SectionOptions, "iExclRectLeft", &TOptions::iExclRectLeft},
    {SectionOptions, "iExclRectUp", &TOptions::iExclRectUp},
    {SectionOptions, "iExclRectRight", &TOptions::iExclRectRight},
    {SectionOptions, "iExclRectDown", &TOptions::iExclRectDown},
    {SectionOptions, "colColorInclCircle", &TOptions::colColorInclCircle},
    {SectionOptions, "colColorExclRect", &TOptions::colColorExclRect},
    {SectionOptions, "lUseInclCircle", &TOptions::lUseInclCircle},
    {SectionOptions, "lUseExclRect", &TOptions::lUseExclRect},
    {SectionOptions, "ColorBack", &TOptions::ColorBack},
    {SectionOptions, "EditMinRegion", &TOptions::EditMinRegion},
    {SectionOptions, "EditResultFile", &TOptions::EditResultFile},
    {SectionOptions, "EditRegionFile", &TOptions::EditRegionFile},
    {SectionMeasure, "lCheckBoxUnits", &TOptions::lCheckBoxUnits},
    {SectionMeasure, "ComboBoxUnits", &TOptions::ComboBoxUnits},
    {SectionMeasure, "ComboBoxZoom", &TOptions::ComboBoxZoom},
    {SectionMeasure, "EditMeasure", &TOptions::EditMeasure},
}};

void WriteValue(const std::string& fileName, const TStoredOption& option, int value)
{
    WriteConfigInteger(fileName, option.section, option.key, value);
}

void WriteValue(const std::string& fileName, const TStoredOption& option, bool value)
{
    WriteConfigBool(fileName, option.section, option.key, value);
}

void WriteValue(const std::string& fileName, const TStoredOption& option, const std::string& value)
{
    WriteConfigString(fileName, option.section, option.key, value);
}

// Longest part of a value a message quotes.
constexpr size_t QuotedValueLength = 40;

// A number the file holds but no integer can: reported, the default is used.
int ReadValue(const TIniDocument& document, const TStoredOption& option, int defaultValue)
{
    const auto text = document.Value(option.section, option.key);
    if (text && !ParseConfigInteger(*text)) {
        const std::string quoted =
            text->size() > QuotedValueLength ? text->substr(0, QuotedValueLength) + "…" : *text;
        CurrentReporter().ShowLanguageMessage(
            "LInvalidOptionValue", {std::string(option.key), quoted, std::to_string(defaultValue)});
    }
    return ReadConfigInteger(document, option.section, option.key, defaultValue);
}

bool ReadValue(const TIniDocument& document, const TStoredOption& option, bool defaultValue)
{
    return ReadConfigBool(document, option.section, option.key, defaultValue);
}

std::string ReadValue(const TIniDocument& document, const TStoredOption& option,
                      const std::string& defaultValue)
{
    return ReadConfigString(document, option.section, option.key, defaultValue);
}

} // namespace

TOptions TOptions::Initial()
{
    TOptions options;
    options.rangeTexts = {"0", "255", "0", "255", "0", "255"};
    options.ColorBack = 9195540; // red 20, green 80, blue 140
    options.EditMinRegion = "10.0";
    options.ComboBoxUnits = 3; // "cm"
    options.ComboBoxZoom = -1; // "100%" shown, no item selected
    return options;
}

void TOptions::Save(const std::string& fileName) const
{
    for (size_t i = 0; i < rangeTexts.size(); ++i)
        WriteConfigString(fileName, SectionMain, RangeTextKeys[i], rangeTexts[i]);
    for (const TStoredOption& option : StoredOptions)
        std::visit([&](auto member) { WriteValue(fileName, option, this->*member); }, option.field);
}

TOptions TOptions::Load(const std::string& fileName)
{
    const auto document = LoadConfigDocument(fileName);
    return Read(document ? *document : TIniDocument::Parse({}));
}

TOptions TOptions::Read(const TIniDocument& document)
{
    // The member defaults are the reading defaults, not the initial window values.
    TOptions options;
    for (size_t i = 0; i < options.rangeTexts.size(); ++i)
        options.rangeTexts[i] = ReadConfigString(document, SectionMain, RangeTextKeys[i], {});
    for (const TStoredOption& option : StoredOptions)
        std::visit(
            [&](auto member) { options.*member = ReadValue(document, option, options.*member); },
            option.field);
    return options;
}

std::string UnitName(int comboBoxUnitsIndex)
{
    if (comboBoxUnitsIndex < 0 || comboBoxUnitsIndex >= static_cast<int>(UnitNames.size()))
        return {};
    return UnitNames[static_cast<size_t>(comboBoxUnitsIndex)];
}

std::string CheckOptionsFile(const std::string& fileName)
{
    const std::string resolved = ResolveConfigFileName(fileName);
    std::error_code error;
    if (!std::filesystem::exists(resolved, error))
        return "file not found";
    // Reads treat such a file as missing; its values would silently become defaults.
    if (IsReadOnlyFile(resolved))
        return "read-only file: its values are not read";
    const auto document = TIniDocument::Load(resolved);
    if (!document)
        return "file cannot be read";
    // Like every INI reader, reads pass over comments, stray lines and keys outside a
    // section; only bytes that are no text make a file that is no options file.
    const auto& problems = document->Problems();
    const auto binary = std::ranges::find(problems, TIniDocument::TProblemKind::BinaryData,
                                          &TIniDocument::TProblem::kind);
    if (binary == problems.end())
        return {};
    return "binary data at line " + std::to_string(binary->line);
}

} // namespace varnolux
