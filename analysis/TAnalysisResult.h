#pragma once

#include "analysis/TAnalysisSettings.h"
#include "analysis/TAnalysisTimings.h"
#include "imaging/PixelAllocator.h"
#include "imaging/TBitmap24.h"
#include "imaging/TGreyBitmap.h"
#include "imaging/TQROIL.h"
#include "results/TRegionTable.h"
#include "results/TResult.h"
#include "results/TResultTable.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace varnolux {

/// Cumulative curves of hue, saturation and brightness: entry k is the fraction of the
/// analysis area's pixels whose value is below k (all 0 for an empty area).
using TChannelCurves = std::array<std::array<double, 256>, 3>;

/// One region an analysis kept. Coordinates are those of the image's pixels: x the
/// column from the left, y the row from the top. The sums are exact; the centre is
/// (SumX / PixelCount, SumY / PixelCount), and the second sums give the moments.
struct TRegionSummary {
    std::int32_t Label = 0;      // its number among all regions of the selection
    std::int64_t PixelCount = 0; // pixels of the region
    double Area = 0.0;           // bit-quad area, pixels
    // Bounding box: [Left, Right) × [Top, Bottom).
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    // Sums over the region's pixels of x, y, x², y² and x·y.
    std::int64_t SumX = 0;
    std::int64_t SumY = 0;
    std::int64_t SumXX = 0;
    std::int64_t SumYY = 0;
    std::int64_t SumXY = 0;

    bool operator==(const TRegionSummary&) const = default;
};

/// Which of the H, S and V planes to paint as grey pictures.
using TChannelRequest = std::array<bool, 3>;

/// The pictures a run paints, when asked for them.
struct TPictureRequest {
    bool Source = false;   // the source with the outline of the analysis area
    bool Analysed = false; // the kept regions in their colours on the background colour
    TChannelRequest Channels{};
    /// The size the source picture is shown at: its outline is drawn thick enough to
    /// stay visible there. 0 for the picture's own size.
    int SourceShownWidth = 0;
    int SourceShownHeight = 0;
    /// The cumulative channel curves, for a chart; a caller that shows none leaves them
    /// out (they change no result).
    bool Curves = true;

    static TPictureRequest All() { return {true, true, {true, true, true}}; }
    /// How many 24-bit pictures a run paints for this request.
    std::size_t Count() const { return std::size_t(Source) + std::size_t(Analysed); }
};

/// The pictures of a run; those not asked for stay empty. A caller may hand them back
/// to the engine (TAnalysis::Recycle) for later runs to paint into.
struct TAnalysisPictures {
    TBitmap24 Source;
    TBitmap24 Analysed;
    std::array<TGreyBitmap, 3> Channels; // H, S, V
};

/// What one analysis run gives back: the settings it ran with (corrections made),
/// what it measured, the table, fields and curves made of that, the kept regions and
/// the pictures asked for.
struct TAnalysisResult {
    /// False when nothing was analysed (no image, a failure that was reported); the
    /// table then holds an empty "Path" and "Name".
    bool Complete = false;
    /// Stopped by a cancel request (TQStatus), without a message.
    bool Cancelled = false;
    TAnalysisSettings Settings;
    TMeasurement Measurement;
    TResult Items = EmptyResultTable();
    TResultFields Fields;
    TChannelCurves Curves{};
    /// The kept regions in region order; a noisy selection keeps hundreds of thousands.
    TPixelVector<TRegionSummary> Regions;
    /// The regions table, when the settings asked for it; empty otherwise.
    TRegionTable RegionTable;
    /// The selection the table was measured in, to find a region's outline again; with
    /// the table only.
    std::shared_ptr<const TQROIL> RegionSelection;
    TAnalysisPictures Pictures;
    /// The phases of the open and of this run.
    TAnalysisTimings Timings;
};

} // namespace varnolux
