#pragma once

#include "analysis/ColourRange.h"
#include "settings/TOptions.h"

#include <string>

namespace varnolux {

/// Everything an analysis run reads besides the image: the colour range, and the
/// options with the analysis area, the minimum size and the calibration.
struct TAnalysisSettings {
    TColourRange Range = InitialColourRange;
    /// The options: range texts, analysis area, minimum size, calibration, background.
    TOptions Options = TOptions::Initial();
    /// The measure text as the main window shows it: the calibration's measure while
    /// units are on, else empty.
    std::string MeasureText;
    /// The unit's name.
    std::string UnitText = "cm";
    /// Whether the run measures every kept region for the regions table; the run
    /// costs no more without it.
    bool MeasureRegionTable = false;

    bool operator==(const TAnalysisSettings&) const = default;
};

/// Applies an options value as the desktop program does before an analysis: each
/// range text moves its limit by the range-text rule (an invalid text keeps the limit
/// and reports a message naming the field), and the measure text and unit follow the
/// calibration options.
void ApplyOptions(TAnalysisSettings& settings, const TOptions& options);

/// The minimum size a run reads: an invalid text becomes "0", with a message.
double ReadMinRegion(TOptions& options);

/// The measure a run reads for an image of that many pixels: 1 while units are off.
/// An invalid one, or one under which the image's area in square units would
/// overflow or vanish, becomes "1" in both measure texts, with a message.
double ReadMeasure(TAnalysisSettings& settings, double imagePixels);

} // namespace varnolux
