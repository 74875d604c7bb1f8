#pragma once

#include "settings/IniDocument.h"

#include <array>
#include <string>

namespace varnolux {

/// One complete set of analysis options, as an options file stores it. The
/// desktop program keeps these in the controls of three windows; headless code
/// keeps them here.
struct TOptions {
    /// Section "FormMain": the colour-range edit texts, in the order
    /// LabeledEditHMin, LabeledEditHMax, LabeledEditSMin, LabeledEditSMax,
    /// LabeledEditVMin, LabeledEditVMax.
    std::array<std::string, 6> rangeTexts;

    // Section "FormOptions".
    int iInclCircleX = 0;
    int iInclCircleY = 0;
    int iInclCircleDiam = 0;
    int iExclRectLeft = 0;
    int iExclRectUp = 0;
    int iExclRectRight = 0;
    int iExclRectDown = 0;
    int colColorInclCircle = 0;
    int colColorExclRect = 0;
    bool lUseInclCircle = false;
    bool lUseExclRect = false;
    int ColorBack = 0;
    std::string EditMinRegion;
    std::string EditResultFile;
    /// Where Save regions appends the regions table; empty: no regions file.
    std::string EditRegionFile;

    // Section "FormMeasure".
    bool lCheckBoxUnits = false;
    int ComboBoxUnits = 0;
    int ComboBoxZoom = 0;
    std::string EditMeasure;

    bool operator==(const TOptions&) const = default;

    /// The values of the windows before any options file has been read.
    static TOptions Initial();

    /// Writes every value, key by key, in the order of the file format. Like every
    /// settings write it does nothing for a missing or read-only file.
    /// Throws TSettingsError when a write fails.
    void Save(const std::string& fileName) const;

    /// Reads every value, each with its reading default (a missing file gives all
    /// defaults), from one reading of the file. An integer value that no 32-bit integer
    /// holds is reported to the current reporter and read as its default.
    static TOptions Load(const std::string& fileName);
    /// The same from a file already in memory.
    static TOptions Read(const TIniDocument& document);
};

/// The keys of section "FormMain" for the six range texts.
inline constexpr std::array<const char*, 6> RangeTextKeys = {"LabeledEditHMin", "LabeledEditHMax",
                                                             "LabeledEditSMin", "LabeledEditSMax",
                                                             "LabeledEditVMin", "LabeledEditVMax"};

/// The items of the calibration window's ComboBoxUnits, by index.
inline constexpr std::array<const char*, 6> UnitNames = {"nm", "µm", "mm", "cm", "m", "km"};

/// The unit text shown for an item index; empty for an index without an item.
std::string UnitName(int comboBoxUnitsIndex);

/// Checks that a file exists and can be read as an options file: a text file (lines
/// that are no section or key, comments and keys outside a section are passed over
/// by reads, as in any INI file). Gives the empty text when it can, else a short
/// description of the fault ("binary data at line 7", "file not found"). A read-only
/// file is a fault too: reads give only defaults for it.
std::string CheckOptionsFile(const std::string& fileName);

} // namespace varnolux
