#pragma once

#include <optional>
#include <string>

#include <QPoint>

namespace varnolux {

/// The length of the line between two picture pixels, in pixels.
double LineLength(QPoint start, QPoint end);

/// Scales below this many pixels per unit would be written "0.00", which reads as no
/// scale at all.
inline constexpr double SmallestScale = 0.005;

/// A scale in pixels per unit as the calibration writes it: two decimals.
std::string ScaleText(double pixelsPerUnit);
/// A length in pixels as the length dialog shows it: two decimals.
std::string PixelLengthText(double pixels);

/// The minimum object size in the other measure after the units were switched on
/// (pixels to square units, m / p²) or off (m · p²). Nothing, so that the text stays
/// as it is, unless both the size and the scale are numbers above 0.
std::optional<double> ConvertedMinRegion(const std::string& minRegion, const std::string& scale,
                                         bool toUnits);

} // namespace varnolux
