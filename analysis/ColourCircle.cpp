#include "analysis/AnalysisSteps.h"
#include "imaging/ColourConversion.h"
#include "imaging/TQROIRGB.h"

#include <cmath>
#include <numbers>

namespace varnolux {

namespace {

constexpr std::uint8_t OutsideGrey = 225;

template <typename Visit>
void ForEachPixel(const TCircleGeometry& circle, const TQROIRGB& image, Visit&& visit)
{
    for (int x = 0; x < image.Width(); ++x)
        for (int y = 0; y < image.Height(); ++y) {
            const double dx = x - circle.CentreX;
            const double dy = y - circle.CentreY;
            visit(x, y, dx, dy, std::sqrt(dx * dx + dy * dy));
        }
}

void SetColour(TQROIRGB& image, int x, int y, const TRgb& rgb)
{
    image.Red()[x][y] = std::uint8_t(rgb.R);
    image.Green()[x][y] = std::uint8_t(rgb.G);
    image.Blue()[x][y] = std::uint8_t(rgb.B);
}

void CopyColour(TQROIRGB& image, const TQROIRGB& from, int x, int y)
{
    image.Red()[x][y] = from.Red()[x][y];
    image.Green()[x][y] = from.Green()[x][y];
    image.Blue()[x][y] = from.Blue()[x][y];
}

} // namespace

double CircleAngle(double dx, double dy)
{
    if (std::fabs(dx) > 1e-30)
        return std::atan2(dy, dx);
    return dy >= 0 ? std::numbers::pi / 2 : -std::numbers::pi / 2;
}

void ShadeColourCircle(const TCircleGeometry& circle, TQROIRGB& image, TQROIRGB& bright,
                       TQROIRGB& dim)
{
    const TRgb grey{OutsideGrey, OutsideGrey, OutsideGrey};
    ForEachPixel(circle, image, [&](int x, int y, double dx, double dy, double distance) {
        if (distance >= circle.Radius) {
            SetColour(dim, x, y, grey);
            SetColour(bright, x, y, grey);
            SetColour(image, x, y, grey);
            return;
        }
        // The hue scale ends at 254: 255 would turn back into magenta.
        const double theta = CircleAngle(dx, dy);
        const double hue = std::trunc((theta + std::numbers::pi) * 254 * 0.15915494309189535);
        const double saturation = std::trunc(distance * 255 / circle.Radius);
        SetColour(dim, x, y, HsvToRgb(hue, saturation, 120));
        const TRgb full = HsvToRgb(hue, saturation, 255);
        SetColour(bright, x, y, full);
        SetColour(image, x, y, full);
    });
}

void CombineColourCircle(const TCircleGeometry& circle, double a, double b, TQROIRGB& image,
                         const TQROIRGB& bright, const TQROIRGB& dim)
{
    ForEachPixel(circle, image, [&](int x, int y, double dx, double dy, double distance) {
        if (distance >= circle.Radius)
            return;
        const double theta = CircleAngle(dx, dy);
        const bool inRange = a <= b ? a < theta && theta < b : theta > a || theta < b;
        CopyColour(image, inRange ? bright : dim, x, y);
    });
}

} // namespace varnolux
