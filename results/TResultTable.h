#pragma once

#include "results/TResult.h"
#include "settings/TOptions.h"

#include <array>
#include <cstdint>
#include <string>

namespace varnolux {

/// What one analysis measured, with the options it measured under: everything the
/// result table, the result fields and the fingerprints are made of.
struct TMeasurement {
    std::string ImageFileName;
    std::string DateTime;
    double AnalysisArea = 0.0; // bit-quad area of the analysis area, pixels
    double ObjectArea = 0.0;   // sum of the kept regions' bit-quad areas, pixels
    std::int32_t Count = 0;    // kept regions
    double MinRegion = 0.0;    // in square units when units are on
    double Measure = 1.0;      // pixels per unit length; 1 without units
    bool UnitsOn = false;
    std::string Unit;
    /// The options in force: range texts, analysis area, minimum size, calibration.
    TOptions Options;
    /// The measure text as the main window shows it (empty without units).
    std::string MeasureText;
    /// SHA-256 of the bytes the image was decoded from.
    std::string ImageFingerprint;
};

/// The texts of the main window's result fields.
struct TResultFields {
    std::string AnaArea;
    std::string AreaPixel;
    std::string Count;
    std::string MeanSize;
    std::string Percent;
    std::string AreaCM;
    std::string AnaAreaCM;
    std::string MeanSizeCM;

    bool operator==(const TResultFields&) const = default;
};

/// The names of the 23 items of an analysis, in table order.
const std::array<const char*, 23>& ResultItemNames();

/// The table of no analysis: "Path" and "Name", both empty.
TResult EmptyResultTable();

/// The 23 items of a measurement in table order, the three fingerprints last.
TResult MakeResultTable(const TMeasurement& measurement);

/// The result fields of a measurement.
TResultFields MakeResultFields(const TMeasurement& measurement);

} // namespace varnolux
