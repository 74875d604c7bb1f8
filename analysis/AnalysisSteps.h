#pragma once

// The steps of an analysis run, each over the engine's planes.

#include "analysis/ColourRange.h"
#include "analysis/TAnalysisResult.h"
#include "imaging/TRegionRuns.h"
#include "results/TRegionTable.h"

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

namespace varnolux {

class TBitmap24;
class TGreyBitmap;
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

/// The cumulative curves of the mask's pixels.
TChannelCurves ComputeChannelCurves(const TQROIRGB& hsv);

/// Sets the mask to the analysis area of the options: all, less the excluded borders
/// and what lies outside the inclusion circle when they are used.
void ApplyAnalysisArea(TQROIL& area, TOptions& options);

/// Paints the H, S and V planes as grey pictures of the image's size, those given
/// (not null); 0 (black) outside the mask.
void DrawChannelImages(const TQROIRGB& hsv, std::array<TGreyBitmap*, 3> pictures);

/// Keeps in the mask only the pixels whose three channels pass their limits.
void ClassifyPixels(TQROIRGB& hsv, const TColourRange& limits);

/// The kept regions of a selection.
struct TRegionStatistics {
    std::int32_t Count = 0;
    double Sum = 0.0; // sum of the kept regions' areas, pixels
    TPixelVector<TRegionSummary> Kept;
    /// The measurements of every kept region, in region order, when asked for.
    std::vector<TRegionMeasurement> Regions;
};

/// Sums over the colours of one kept region, and where its first run starts.
struct TRegionColours {
    std::int64_t Saturation = 0;
    std::int64_t Brightness = 0;
    double HueCosine = 0.0;
    double HueSine = 0.0;
    bool Seeded = false;
    std::int32_t SeedX = 0;
    std::int32_t SeedY = 0;
};

/// The arrays of the labelling and the region statistics, kept from one run to the
/// next: a noisy selection has millions of regions, and fresh memory is slow to touch.
/// What they hold between runs means nothing.
struct TRegionWorkspace {
    TRegionRuns Runs;
    /// For each block of columns counted on its own thread, the eighths of area every
    /// region has beyond 8 per pixel.
    std::deque<TPixelVector<std::int32_t>> ExtraEighths;
    /// Per region: its row among the kept regions, or -1 when it is dropped.
    TPixelVector<std::int32_t> KeptRows;
    /// Per kept region, when they are measured.
    TPixelVector<TRegionColours> Colours;
};

/// Cuts the selection (mask of the result image) into 8-connected regions and keeps
/// those whose bit-quad area reaches the threshold. Adds the time of labelling and
/// statistics to the timings when given. With the channels (hue, saturation and
/// brightness in the red, green and blue planes, of the result image's size) it
/// measures every kept region too. Works in the workspace when given, else in a
/// fresh one.
TRegionStatistics MeasureRegions(const TQROIRGB& resultImage, double threshold,
                                 TAnalysisTimings* timings = nullptr,
                                 const TQROIRGB* channels = nullptr,
                                 TRegionWorkspace* workspace = nullptr);
/// The same, drawing the kept regions in their source colours on the surface, which is
/// cleared first; adds the drawing time too.
TRegionStatistics MeasureRegions(const TQROIRGB& resultImage, double threshold, TQImage& surface,
                                 TAnalysisTimings* timings = nullptr,
                                 const TQROIRGB* channels = nullptr,
                                 TRegionWorkspace* workspace = nullptr);

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
