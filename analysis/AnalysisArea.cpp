#include "analysis/AnalysisSteps.h"
#include "base/Messages.h"
#include "imaging/TQEdge.h"
#include "imaging/TQImage.h"
#include "imaging/TQROIL.h"
#include "settings/Language.h"
#include "settings/TOptions.h"

#include <algorithm>
#include <cstdint>

namespace varnolux {

namespace {

void ClearColumns(TQROIL& area, int from, int to)
{
    for (int x = from; x < to; ++x)
        std::ranges::fill(area.Mask().Column(x), 0);
}

void ClearRows(TQROIL& area, int from, int to)
{
    if (from >= to)
        return;
    for (int x = 0; x < area.Width(); ++x)
        std::ranges::fill(area.Mask().Column(x).subspan(size_t(from), size_t(to - from)), 0);
}

bool BordersFit(const TOptions& options, int width, int height)
{
    return std::int64_t(options.iExclRectLeft) + options.iExclRectRight <= width &&
           std::int64_t(options.iExclRectUp) + options.iExclRectDown <= height;
}

void ReportBordersDontFit()
{
    std::string text = LanguageText("FormLanguage", "FormLanguage.ExclBordersDontFit");
    if (text.empty())
        text = "Error #223 Exclusion borders do not fit. (entry missing in Language File)";
    CurrentReporter().ShowMessage(text);
}

} // namespace

void ApplyAnalysisArea(TQROIL& area, TOptions& options)
{
    area.SetMask(1);
    if (options.lUseExclRect)
        ApplyExclusionBorders(area, options);
    if (options.lUseInclCircle)
        ApplyInclusionCircle(area, options);
}

void ApplyExclusionBorders(TQROIL& area, TOptions& options)
{
    const int width = area.Width();
    const int height = area.Height();
    if (!BordersFit(options, width, height)) {
        options.iExclRectLeft = options.iExclRectUp = 0;
        options.iExclRectRight = options.iExclRectDown = 0;
        ReportBordersDontFit();
    }
    // A border of 0 or less excludes nothing.
    const auto border = [](int value, int limit) {
        return std::clamp(value, 0, limit);
    };
    ClearColumns(area, 0, border(options.iExclRectLeft, width));
    ClearColumns(area, width - border(options.iExclRectRight, width), width);
    ClearRows(area, 0, border(options.iExclRectUp, height));
    ClearRows(area, height - border(options.iExclRectDown, height), height);
}

void ApplyInclusionCircle(TQROIL& area, const TOptions& options)
{
    const double radius = options.iInclCircleDiam * 0.5;
    const double radiusSquared = radius * radius;
    for (int x = 0; x < area.Width(); ++x) {
        const double dx = double(x) - options.iInclCircleX;
        auto column = area.Mask().Column(x);
        for (int y = 0; y < area.Height(); ++y) {
            const double dy = double(y) - options.iInclCircleY;
            if (dx * dx + dy * dy > radiusSquared)
                column[size_t(y)] = 0;
        }
    }
}

void DrawAreaOutline(const TQROIL& area, TQImage& surface, const TOptions& options)
{
    TQEdge outline;
    outline.Extract(area);
    outline.SetColour(TColour(options.colColorInclCircle));
    if (options.lUseExclRect) {
        // An outline point on the edge of the bordered block is the borders' outline;
        // the rest follows the circle (or the image's frame).
        const int left = std::max(options.iExclRectLeft, 0);
        const int top = std::max(options.iExclRectUp, 0);
        const int right = area.Width() - 1 - std::max(options.iExclRectRight, 0);
        const int bottom = area.Height() - 1 - std::max(options.iExclRectDown, 0);
        for (int i = 0; i < outline.Count(); ++i) {
            TQPoint& point = outline.Get(i);
            if (point.X == left || point.X == right || point.Y == top || point.Y == bottom)
                point.Colour = TColour(options.colColorExclRect);
        }
    }
    surface.CalcScaling();
    outline.ShowOn(&surface, false);
}

} // namespace varnolux
