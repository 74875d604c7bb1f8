#include "analysis/AnalysisSteps.h"
#include "analysis/MeasureShape.h"
#include "analysis/TAnalysisTimings.h"
#include "imaging/TBitmap24.h"
#include "imaging/TQImage.h"
#include "imaging/TQROIRGB.h"
#include "imaging/TRegionRuns.h"
#include "imaging/TileOrder.h"

#include <algorithm>
#include <mutex>
#include <span>
#include <vector>

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

/// The rows y of the windows (y, y + 1) at whose middle a column's runs start or
/// end, in increasing order.
class TEdgeRows {
public:
    explicit TEdgeRows(std::span<const TRun> runs)
        : runs_(runs)
    {
    }
    bool Done() const { return next_ / 2 >= runs_.size(); }
    int Row() const
    {
        const TRun& run = runs_[next_ / 2];
        return (next_ % 2 == 0 ? run.Top : run.Bottom) - 1;
    }
    void Advance() { ++next_; }

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

/// The bit-quad area of every region in eighths. Of the window weights 0, 2, 4, 6
/// (diagonal pair), 7 (three set) and 8, twice the set-pixel count is common to all,
/// and every pixel lies in four windows: a region's area is 8 per pixel plus 1 per
/// window with three of its pixels and 2 per diagonal window. Such windows sit where a
/// run of one of the two columns starts or ends, so only those rows are looked at. All
/// set pixels of a window are 8-neighbours, so a window belongs to one region.
/// Adds the extra eighths of the windows between columns x and x + 1 to their regions.
void AddExtraEighths(const TRegionRuns& runs, int x, int width, std::vector<std::int32_t>& extra)
{
    const auto leftRuns = ColumnRuns(runs, x, width);
    const auto rightRuns = ColumnRuns(runs, x + 1, width);
    TEdgeRows leftEdges(leftRuns), rightEdges(rightRuns);
    TColumnCursor leftTop(leftRuns), leftBottom(leftRuns);
    TColumnCursor rightTop(rightRuns), rightBottom(rightRuns);
    int previous = -2;
    while (!leftEdges.Done() || !rightEdges.Done()) {
        const bool fromLeft =
            rightEdges.Done() || (!leftEdges.Done() && leftEdges.Row() <= rightEdges.Row());
        TEdgeRows& edges = fromLeft ? leftEdges : rightEdges;
        const int y = edges.Row();
        edges.Advance();
        if (y == previous)
            continue;
        previous = y;
        const int tl = leftTop.RegionAt(y);
        const int bl = leftBottom.RegionAt(y + 1);
        const int tr = rightTop.RegionAt(y);
        const int br = rightBottom.RegionAt(y + 1);
        const int set = (tl >= 0) + (bl >= 0) + (tr >= 0) + (br >= 0);
        const int region = std::max({tl, bl, tr, br});
        if (set == 3)
            extra[std::size_t(region)] += 1;
        else if (set == 2 && (tl >= 0) == (br >= 0) && (tl >= 0) != (tr >= 0))
            extra[std::size_t(region)] += 2;
    }
}

/// The bit-quad area of every region in eighths. Of the window weights 0, 2, 4, 6
/// (diagonal pair), 7 (three set) and 8, twice the set-pixel count is common to all,
/// and every pixel lies in four windows: a region's area is 8 per pixel plus 1 per
/// window with three of its pixels and 2 per diagonal window. Such windows sit where a
/// run of one of the two columns starts or ends, so only those rows are looked at. All
/// set pixels of a window are 8-neighbours, so a window belongs to one region.
std::vector<std::int64_t> RegionAreasInEighths(const TRegionRuns& runs, int width)
{
    std::vector<std::int64_t> eighths(std::size_t(runs.RegionCount));
    for (std::size_t region = 0; region < eighths.size(); ++region)
        eighths[region] = 8 * runs.PixelCounts[region];
    std::mutex mutex;
    // Item x is the pair of columns x − 1 and x, for x = 0 … width; each block of
    // pairs counts into its own array, added up afterwards (integers, so in any order).
    const std::size_t runsPerColumn = runs.Runs.size() / std::size_t(std::max(width, 1)) + 1;
    ForEachBlock(width + 1, 64 * runsPerColumn, [&](int first, int last) {
        std::vector<std::int32_t> extra(eighths.size(), 0);
        for (int x = first; x < last; ++x)
            AddExtraEighths(runs, x - 1, width, extra);
        const std::lock_guard lock(mutex);
        for (std::size_t region = 0; region < eighths.size(); ++region)
            eighths[region] += extra[region];
    });
    return eighths;
}

/// Paints the pixels of the kept regions in their source colours, tile by tile.
void DrawKeptRegions(const TQROIRGB& image, const TRegionRuns& runs, const std::vector<bool>& kept,
                     TBitmap24& bitmap)
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
                            if (kept[std::size_t(run.Region)])
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

} // namespace

TRegionStatistics MeasureRegions(const TQROIRGB& resultImage, double threshold, TQImage& surface,
                                 TAnalysisTimings* timings)
{
    TAnalysisTimings ignored;
    TAnalysisTimings& phases = timings ? *timings : ignored;
    TRegionRuns runs;
    {
        const TPhaseTimer timer(phases.Labelling);
        runs = LabelRegionRuns(resultImage);
    }

    TRegionStatistics statistics;
    std::vector<bool> kept;
    {
        const TPhaseTimer timer(phases.Statistics);
        const std::vector<std::int64_t> eighths = RegionAreasInEighths(runs, resultImage.Width());
        kept.assign(eighths.size(), false);
        for (std::size_t region = 0; region < eighths.size(); ++region) {
            // Exact: an area is a sum of eighths.
            const double area = double(eighths[region]) / 8.0;
            if (area >= threshold) {
                kept[region] = true;
                ++statistics.Count;
                statistics.Sum += area;
            }
        }
    }

    const TPhaseTimer timer(phases.Drawing);
    surface.Clear();
    if (surface.Bitmap)
        DrawKeptRegions(resultImage, runs, kept, *surface.Bitmap);
    surface.Repaint();
    return statistics;
}

} // namespace varnolux
