#include "tools/Calibration.h"

#include "chart/FormatFloat.h"
#include "settings/NumberText.h"

#include <cmath>

namespace varnolux {

double LineLength(QPoint start, QPoint end)
{
    const double dx = double(qint64(end.x()) - start.x());
    const double dy = double(qint64(end.y()) - start.y());
    return std::sqrt(dx * dx + dy * dy);
}

std::string ScaleText(double pixelsPerUnit)
{
    return FormatFloat(pixelsPerUnit, "#####0.00", LocaleDecimalSeparator());
}

std::string PixelLengthText(double pixels)
{
    return FormatFloat(pixels, "#######0.00", LocaleDecimalSeparator());
}

std::optional<double> ConvertedMinRegion(const std::string& minRegion, const std::string& scale,
                                         bool toUnits)
{
    const std::optional<double> m = ParseNumberTolerant(minRegion);
    const std::optional<double> p = ParseNumberTolerant(scale);
    if (!m || !p || *m <= 0.0 || *p <= 0.0)
        return std::nullopt;
    const double converted = toUnits ? *m / (*p * *p) : *p * *p * *m;
    if (!std::isfinite(converted) || converted <= 0.0)
        return std::nullopt;
    return converted;
}

} // namespace varnolux
