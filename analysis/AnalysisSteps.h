#pragma once

// The steps of an analysis run, each over the engine's planes.

#include "analysis/ColourRange.h"
#include "imaging/TColour.h"
#include "results/TRegionTable.h"

#include <array>
#include <cstdint>
#include <vector>

namespace varnolux {

class TImageView;
class TQImage;
class TQROIL;
class TQROIRGB;
struct TAnalysisTimings;
struct TOptions;

/// Clears the mask in the excluded borders. Borders that do not fit the image are
/// set to 0 in the options, with a message, and exclude nothing.
void ApplyExclusionBorders(TQROIL& area, TOptions& options);

/// Clears the mask outside the inclusion circle; pixels on the circle stay inside.
void ApplyInclusionCircle(TQROIL& area, const TOptions& options);

/// Draws every outline pixel of the mask onto the surface: those on the edge of the
/// excluded borders (when they are used) in colColorExclRect, the others in
/// colColorInclCircle.
void DrawAreaOutline(const TQROIL& area, TQImage& surface, const TOptions& options);

/// Cumulative curves of hue, saturation and brightness: entry k is the fraction of
/// the mask's pixels whose value is below k (all 0 for an empty mask).
using TChannelCurves = std::array<std::array<double, 256>, 3>;
TChannelCurves ComputeChannelCurves(const TQROIRGB& hsv);

/// Shows the H, S and V planes as grey images of the image's size; 0 (black) outside
/// the mask.
void DrawChannelImages(const TQROIRGB& hsv, std::array<TImageView*, 3> views);

/// Keeps in the mask only the pixels whose three channels pass their limits.
void ClassifyPixels(TQROIRGB& hsv, const TTrackBarPositions& limits);

/// The kept regions of a selection.
struct TRegionStatistics {
    std::int32_t Count = 0;
    double Sum = 0.0; // sum of the kept regions' areas, pixels
    /// The measurements of every kept region, in region order, when asked for.
    std::vector<TRegionMeasurement> Regions;
};

/// Cuts the selection (mask of the result image) into 8-connected regions, keeps those
/// whose bit-quad area reaches the threshold and draws them in their source colours
/// on the surface, which is cleared first. Adds the time of labelling, statistics and
/// drawing to the timings when given. With the channels (hue, saturation and brightness
/// in the red, green and blue planes, of the result image's size) it measures every
/// kept region too.
TRegionStatistics MeasureRegions(const TQROIRGB& resultImage, double threshold, TQImage& surface,
                                 TAnalysisTimings* timings = nullptr,
                                 const TQROIRGB* channels = nullptr);

/// A side of a pixel, from corner (X1, Y1) to corner (X2, Y2); pixel (x, y) has the
/// corners (x, y) and (x + 1, y + 1).
struct TPixelEdge {
    int X1 = 0;
    int Y1 = 0;
    int X2 = 0;
    int Y2 = 0;
    bool operator==(const TPixelEdge&) const = default;
};

/// The outline of a measured region in the selection it was measured in: every side of
/// one of its pixels that borders no pixel of the region. Empty when the selection no
/// longer holds the region at its seed.
std::vector<TPixelEdge> RegionOutline(const TQROIL& selection, const TRegionMeasurement& region);

} // namespace varnolux

namespace varnolux {

/// The geometry of the colour circle in its view.
struct TCircleGeometry {
    double CentreX = 0.0;
    double CentreY = 0.0;
    int Radius = 0; // of the coloured disc
};

/// The angle of (dx, dy) in radians, screen orientation (y downwards).
double CircleAngle(double dx, double dy);

/// Computes the bright and dim shadings of the hue-saturation disc (and the image's
/// own colours); outside the disc all three are light grey.
void ShadeColourCircle(const TCircleGeometry& circle, TQROIRGB& image, TQROIRGB& bright,
                       TQROIRGB& dim);

/// Shows the disc bright between the angles a and b (clockwise, wrapping when a > b)
/// and dim elsewhere.
void CombineColourCircle(const TCircleGeometry& circle, double a, double b, TQROIRGB& image,
                         const TQROIRGB& bright, const TQROIRGB& dim);

} // namespace varnolux
