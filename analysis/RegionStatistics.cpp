#include "analysis/AnalysisSteps.h"
#include "analysis/MeasureShape.h"
#include "analysis/TAnalysisTimings.h"
#include "imaging/PrincipalAxes.h"
#include "imaging/TBitmap24.h"
#include "imaging/TQImage.h"
#include "imaging/TQROIRGB.h"
#include "imaging/TRegionRuns.h"
#include "imaging/TileOrder.h"
#include "results/TRegionTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <mutex>
#include <numbers>
#include <span>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnolux {

namespace {

using TRun = TRegionRuns::TRun;

/// The region at successive rows of one column, rows never decreasing; -1 outside.
class TColumnCursor {
public:
    explicit TColumnCursor(std::span<const TRun> runs)
        : runs_(runs)
    {
    }
    int RegionAt(int y)
    {
        while (next_ < runs_.size() && runs_[next_].Bottom <= y)
            ++next_;
        return next_ < runs_.size() && runs_[next_].Top <= y ? runs_[next_].Region : -1;
    }

private:
    std::span<const TRun> runs_;
    std::size_t next_ = 0;
};

std::span<const TRun> ColumnRuns(const TRegionRuns& runs, int x, int width)
{
    if (x < 0 || x >= width)
        return {};
    return std::span(runs.Runs).subspan(runs.ColumnBegin(x),
                                        runs.ColumnEnd(x) - runs.ColumnBegin(x));
}

/// The windows between two neighbouring columns (nullptr: outside the plane, all
/// zeros; only bytes equal to 1 are set, as in the labelling). Calls
/// add(y, extra) for every window (y, y + 1) with extra eighths, y increasing.
template <typename Add>
void FindExtraWindows(const std::uint8_t* left, const std::uint8_t* right, int height, Add&& add)
{
    const auto set = [height](const std::uint8_t* column, int y) {
        return column && y >= 0 && y < height && column[y] == 1 ? 1 : 0;
    };
    const auto window = [&](int y) {
        if (const int extra = BitQuadExtraEighths(set(left, y), set(right, y), set(left, y + 1),
                                                  set(right, y + 1)))
            add(y, extra);
    };
    window(-1);
    int y = 0;
#if defined(__SSE2__)
    // 16 windows at a time; blocks without a three-pixel or diagonal window, the
    // usual case, cost a few vector operations.
    static const std::uint8_t zeros[17] = {};
    const std::uint8_t* l = left ? left : zeros;
    const std::uint8_t* r = right ? right : zeros;
    const __m128i ones = _mm_set1_epi8(1);
    const auto load = [&](const std::uint8_t* column, int at) {
        const std::uint8_t* bytes = column == zeros ? zeros : column + at;
        return _mm_and_si128(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)), ones), ones);
    };
    for (; y + 17 <= height; y += 16) {
        const __m128i tl = load(l, y);
        const __m128i tr = load(r, y);
        const __m128i bl = load(l, y + 1);
        const __m128i br = load(r, y + 1);
        const __m128i count = _mm_add_epi8(_mm_add_epi8(tl, tr), _mm_add_epi8(bl, br));
        const __m128i three = _mm_cmpeq_epi8(count, _mm_set1_epi8(3));
        const __m128i diagonal =
            _mm_and_si128(_mm_cmpeq_epi8(count, _mm_set1_epi8(2)), _mm_cmpeq_epi8(tl, br));
        for (int bits = _mm_movemask_epi8(_mm_or_si128(three, diagonal)); bits != 0;
             bits &= bits - 1)
            window(y + __builtin_ctz(unsigned(bits)));
    }
#endif
    for (; y < height; ++y)
        window(y);
}

/// Adds the extra eighths of the windows between columns x and x + 1 to their regions.
void AddExtraEighths(const TQROIL& selection, const TRegionRuns& runs, int x,
                     TPixelVector<std::int32_t>& extra)
{
    const int width = selection.Width();
    const std::uint8_t* left = x >= 0 ? selection.Mask()[x] : nullptr;
    const std::uint8_t* right = x + 1 < width ? selection.Mask()[x + 1] : nullptr;
    TColumnCursor leftRegions(ColumnRuns(runs, x, width));
    TColumnCursor rightRegions(ColumnRuns(runs, x + 1, width));
    FindExtraWindows(left, right, selection.Height(), [&](int y, int eighths) {
        // Any set pixel of the window names its region; the rows asked for never
        // decrease, as the cursors need.
        int region = leftRegions.RegionAt(y);
        if (region < 0)
            region = leftRegions.RegionAt(y + 1);
        if (region < 0)
            region = rightRegions.RegionAt(y);
        if (region < 0)
            region = rightRegions.RegionAt(y + 1);
        extra[std::size_t(region)] += eighths;
    });
}

/// The bit-quad area of every region in eighths, less 8 per pixel, into the
/// workspace's arrays, one per block. Of the window weights 0, 2, 4, 6 (diagonal pair),
/// 7 (three set) and 8, twice the set-pixel count is common to all, and every pixel
/// lies in four windows: a region's area is 8 per pixel plus 1 per window with three of
/// its pixels and 2 per diagonal window. All set pixels of a window are 8-neighbours,
/// so a window belongs to one region. Gives the number of arrays filled.
std::size_t CountExtraEighths(const TQROIL& selection, TRegionWorkspace& workspace)
{
    const TRegionRuns& runs = workspace.Runs;
    if (runs.RegionCount == 0)
        return 0;
    std::mutex mutex;
    std::size_t taken = 0;
    // Item x is the pair of columns x − 1 and x, for x = 0 … width; each block of
    // pairs counts into its own array, added up afterwards (integers, so in any order).
    ForEachBlock(selection.Width() + 1, 2 * std::size_t(selection.Height()),
                 [&](int first, int last) {
                     TPixelVector<std::int32_t>* extra = nullptr;
                     {
                         const std::lock_guard lock(mutex);
                         if (taken == workspace.ExtraEighths.size())
                             workspace.ExtraEighths.emplace_back();
                         extra = &workspace.ExtraEighths[taken++];
                     }
                     extra->assign(std::size_t(runs.RegionCount), 0);
                     for (int x = first; x < last; ++x)
                         AddExtraEighths(selection, runs, x - 1, *extra);
                 });
    return taken;
}

/// Paints the pixels of the kept regions in their source colours, tile by tile.
void DrawKeptRegions(const TQROIRGB& image, const TRegionRuns& runs,
                     const TPixelVector<std::int32_t>& keptRows, TBitmap24& bitmap)
{
    const int width = std::min(image.Width(), bitmap.Width());
    const int height = std::min(image.Height(), bitmap.Height());
    if (width <= 0 || height <= 0)
        return;
    const int tileColumns = (width + TileWidth - 1) / TileWidth;
    ForEachBlock(
        tileColumns, std::size_t(TileWidth) * std::size_t(height) * 6, [&](int first, int last) {
            for (int tile = first; tile < last; ++tile) {
                const int xBegin = tile * TileWidth;
                const int xEnd = std::min(width, xBegin + TileWidth);
                std::size_t next[TileWidth];
                for (int x = xBegin; x < xEnd; ++x)
                    next[x - xBegin] = runs.ColumnBegin(x);
                for (int tileTop = 0; tileTop < height; tileTop += TileHeight) {
                    const int tileBottom = std::min(height, tileTop + TileHeight);
                    for (int x = xBegin; x < xEnd; ++x) {
                        std::size_t& i = next[x - xBegin];
                        const std::uint8_t* red = image.Red()[x];
                        const std::uint8_t* green = image.Green()[x];
                        const std::uint8_t* blue = image.Blue()[x];
                        for (; i < runs.ColumnEnd(x) && runs.Runs[i].Top < tileBottom; ++i) {
                            const TRun& run = runs.Runs[i];
                            if (keptRows[std::size_t(run.Region)] >= 0)
                                for (int y = std::max(run.Top, tileTop);
                                     y < std::min(run.Bottom, tileBottom); ++y) {
                                    std::uint8_t* bgr = bitmap.Row(y).data() + std::size_t(x) * 3;
                                    bgr[0] = blue[y];
                                    bgr[1] = green[y];
                                    bgr[2] = red[y];
                                }
                            if (run.Bottom > tileBottom)
                                break; // the run goes on in the next tile
                        }
                    }
                }
            }
        });
}

/// Sum of y and of y² over the rows [top, bottom).
constexpr std::int64_t SumOfRows(std::int64_t top, std::int64_t bottom)
{
    return (bottom - top) * (top + bottom - 1) / 2;
}

constexpr std::int64_t SumOfSquares(std::int64_t n) // 0² + … + (n − 1)²
{
    return (n - 1) * n * (2 * n - 1) / 6;
}

/// Widens the bounding box and adds to the coordinate sums of a region by a run.
void AddRunGeometry(const TRun& run, int x, TRegionSummary& region)
{
    region.Left = std::min(region.Left, x);
    region.Right = std::max(region.Right, x + 1);
    region.Top = std::min(region.Top, run.Top);
    region.Bottom = std::max(region.Bottom, run.Bottom);
    const std::int64_t pixels = run.Bottom - run.Top;
    const std::int64_t sumY = SumOfRows(run.Top, run.Bottom);
    region.SumX += x * pixels;
    region.SumY += sumY;
    region.SumXX += std::int64_t(x) * x * pixels;
    region.SumYY += SumOfSquares(run.Bottom) - SumOfSquares(run.Top);
    region.SumXY += x * sumY;
}

/// Keeps the labelled regions that reach the threshold; the workspace's KeptRows tells
/// which, by label. The kept regions' boxes and sums are left to AddKeptRegionsRuns.
TRegionStatistics KeepRegions(const TQROIRGB& resultImage, double threshold,
                              TRegionWorkspace& workspace, TAnalysisTimings& phases)
{
    TRegionStatistics statistics;
    const TPhaseTimer timer(phases.Statistics);
    const TRegionRuns& runs = workspace.Runs;
    const std::size_t blocks = CountExtraEighths(resultImage, workspace);
    const auto area = [&](std::size_t region) {
        std::int64_t eighths = 8 * runs.PixelCounts[region];
        for (std::size_t block = 0; block < blocks; ++block)
            eighths += workspace.ExtraEighths[block][region];
        // Exact: an area is a sum of eighths.
        return double(eighths) / 8.0;
    };
    TPixelVector<std::int32_t>& rows = workspace.KeptRows;
    rows.resize(std::size_t(runs.RegionCount));
    for (std::size_t region = 0; region < rows.size(); ++region)
        rows[region] = area(region) >= threshold ? statistics.Count++ : -1;
    // Counted first, the kept regions' summaries take one block of memory.
    statistics.Kept.resize(std::size_t(statistics.Count));
    for (std::size_t region = 0; region < rows.size(); ++region)
        if (const std::int32_t row = rows[region]; row >= 0) {
            TRegionSummary& kept = statistics.Kept[std::size_t(row)];
            kept.Label = std::int32_t(region);
            kept.PixelCount = runs.PixelCounts[region];
            kept.Area = area(region);
            kept.Left = kept.Top = std::numeric_limits<std::int32_t>::max();
            kept.Right = kept.Bottom = std::numeric_limits<std::int32_t>::min();
            statistics.Sum += kept.Area;
        }
    return statistics;
}

/// The hue circle: 255 steps are one turn.
struct THueCircle {
    std::array<double, 256> Cosine;
    std::array<double, 256> Sine;
    THueCircle()
    {
        for (int hue = 0; hue < 256; ++hue) {
            const double angle = hue * 2.0 * std::numbers::pi / 255.0;
            Cosine[std::size_t(hue)] = std::cos(angle);
            Sine[std::size_t(hue)] = std::sin(angle);
        }
    }
};

void AddRun(const TRun& run, int x, const TQROIRGB& channels, const THueCircle& circle,
            TRegionColours& colours)
{
    if (!colours.Seeded) {
        colours.Seeded = true;
        colours.SeedX = x;
        colours.SeedY = run.Top;
    }
    const std::uint8_t* hue = channels.Red()[x];
    const std::uint8_t* saturation = channels.Green()[x];
    const std::uint8_t* brightness = channels.Blue()[x];
    for (int y = run.Top; y < run.Bottom; ++y) {
        colours.HueCosine += circle.Cosine[hue[y]];
        colours.HueSine += circle.Sine[hue[y]];
        colours.Saturation += saturation[y];
        colours.Brightness += brightness[y];
    }
}

/// n² times the covariance of two coordinates, n Σab − Σa Σb, exact.
double ScaledCovariance(std::int64_t n, std::int64_t sumAB, std::int64_t sumA, std::int64_t sumB)
{
    return double(__int128(n) * sumAB - __int128(sumA) * sumB);
}

/// The angle of (vx, vy) in image coordinates as seen on screen, in degrees folded into
/// (-90, 90]: an axis has no direction.
double AxisAngle(double vx, double vy)
{
    double degrees = std::atan2(-vy, vx) * 180.0 / std::numbers::pi;
    if (degrees <= -90.0)
        degrees += 180.0;
    else if (degrees > 90.0)
        degrees -= 180.0;
    return degrees + 0.0; // no -0
}

TRegionMeasurement Measurement(const TRegionSummary& kept, const TRegionColours& colours)
{
    TRegionMeasurement region;
    const std::int64_t n = kept.PixelCount;
    const double pixels = double(n);
    region.AreaPixel = kept.Area;
    region.Pixels = std::int32_t(n);
    region.CentreX = double(kept.SumX) / pixels;
    region.CentreY = double(kept.SumY) / pixels;
    // The table's box is inclusive.
    region.Left = kept.Left;
    region.Top = kept.Top;
    region.Right = kept.Right - 1;
    region.Bottom = kept.Bottom - 1;
    region.SeedX = colours.SeedX;
    region.SeedY = colours.SeedY;

    const double squarePixels = pixels * pixels;
    NRMat<double> covariance(2, 2);
    covariance[0][0] = ScaledCovariance(n, kept.SumXX, kept.SumX, kept.SumX) / squarePixels;
    covariance[1][1] = ScaledCovariance(n, kept.SumYY, kept.SumY, kept.SumY) / squarePixels;
    covariance[0][1] = covariance[1][0] =
        ScaledCovariance(n, kept.SumXY, kept.SumX, kept.SumY) / squarePixels;
    NRVec<double> eigenvalues;
    const NRMat<double> axes = PrincipalAxes(covariance, eigenvalues, true);
    // The rotations may leave a vanishing eigenvalue a hair below 0.
    region.MajorAxis = 4.0 * std::sqrt(std::max(eigenvalues[0], 0.0));
    region.MinorAxis = 4.0 * std::sqrt(std::max(eigenvalues[1], 0.0));
    region.Orientation = eigenvalues[0] == eigenvalues[1] ? 0.0 : AxisAngle(axes[0][0], axes[1][0]);

    double hue = std::atan2(colours.HueSine, colours.HueCosine) * 255.0 / (2.0 * std::numbers::pi);
    if (hue < 0.0)
        hue += 255.0;
    region.HMean = hue < 255.0 ? hue + 0.0 : 0.0;
    region.SMean = double(colours.Saturation) / pixels;
    region.VMean = double(colours.Brightness) / pixels;
    return region;
}

/// One pass over the runs of the kept regions: their boxes and coordinate sums, and
/// with the channels their colour sums into the workspace.
void AddKeptRegionsRuns(const TRegionRuns& runs, const TPixelVector<std::int32_t>& keptRows,
                        TPixelVector<TRegionSummary>& kept, const TQROIRGB* channels,
                        TPixelVector<TRegionColours>& colours)
{
    if (channels)
        colours.assign(kept.size(), TRegionColours{});
    static const THueCircle circle;
    const int width = int(runs.ColumnStart.size()) - 1;
    for (int x = 0; x < width; ++x)
        for (std::size_t i = runs.ColumnBegin(x); i < runs.ColumnEnd(x); ++i) {
            const TRun& run = runs.Runs[i];
            const std::int32_t row = keptRows[std::size_t(run.Region)];
            if (row < 0)
                continue;
            AddRunGeometry(run, x, kept[std::size_t(row)]);
            if (channels)
                AddRun(run, x, *channels, circle, colours[std::size_t(row)]);
        }
}

/// The measurements of the kept regions, in region order.
std::vector<TRegionMeasurement> MeasureKeptRegions(const TPixelVector<TRegionSummary>& kept,
                                                   const TPixelVector<TRegionColours>& colours)
{
    std::vector<TRegionMeasurement> measurements;
    measurements.reserve(kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i)
        measurements.push_back(Measurement(kept[i], colours[i]));
    return measurements;
}

TRegionStatistics KeepAndMeasureRegions(const TQROIRGB& resultImage, double threshold,
                                        const TQROIRGB* channels, TRegionWorkspace& workspace,
                                        TAnalysisTimings& phases)
{
    {
        const TPhaseTimer timer(phases.Labelling);
        LabelRegionRuns(resultImage, workspace.Runs);
    }
    TRegionStatistics statistics = KeepRegions(resultImage, threshold, workspace, phases);
    const TPhaseTimer timer(phases.Statistics);
    AddKeptRegionsRuns(workspace.Runs, workspace.KeptRows, statistics.Kept, channels,
                       workspace.Colours);
    if (channels)
        statistics.Regions = MeasureKeptRegions(statistics.Kept, workspace.Colours);
    return statistics;
}

} // namespace

TRegionStatistics MeasureRegions(const TQROIRGB& resultImage, double threshold,
                                 TAnalysisTimings* timings, const TQROIRGB* channels,
                                 TRegionWorkspace* workspace)
{
    TAnalysisTimings ignored;
    TRegionWorkspace fresh;
    return KeepAndMeasureRegions(resultImage, threshold, channels, workspace ? *workspace : fresh,
                                 timings ? *timings : ignored);
}

TRegionStatistics MeasureRegions(const TQROIRGB& resultImage, double threshold, TQImage& surface,
                                 TAnalysisTimings* timings, const TQROIRGB* channels,
                                 TRegionWorkspace* workspace)
{
    TAnalysisTimings ignored;
    TAnalysisTimings& phases = timings ? *timings : ignored;
    TRegionWorkspace fresh;
    TRegionWorkspace& work = workspace ? *workspace : fresh;
    TRegionStatistics statistics =
        KeepAndMeasureRegions(resultImage, threshold, channels, work, phases);
    const TPhaseTimer timer(phases.Drawing);
    surface.Clear();
    if (surface.Bitmap)
        DrawKeptRegions(resultImage, work.Runs, work.KeptRows, *surface.Bitmap);
    surface.Repaint();
    return statistics;
}

} // namespace varnolux
