#include "shell/TColourCircle.h"

#include "imaging/ColourConversion.h"
#include "shell/HueAngle.h"

#include <algorithm>
#include <cmath>

namespace varnolux {

namespace {

constexpr std::uint8_t OutsideGrey = 225;

/// The disc in its image: centre and radius.
struct TCircleGeometry {
    double CentreX = 0.0;
    double CentreY = 0.0;
    int Radius = 0;
};

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

/// The bright and dim shadings of the disc, and the image's own colours; outside the
/// disc all three are light grey.
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
        const double theta = AngleOf(dx, dy);
        const double hue = std::trunc((theta + Pi) * 254 * 0.15915494309189535);
        const double saturation = std::trunc(distance * 255 / circle.Radius);
        SetColour(dim, x, y, HsvToRgb(hue, saturation, 120));
        const TRgb full = HsvToRgb(hue, saturation, 255);
        SetColour(bright, x, y, full);
        SetColour(image, x, y, full);
    });
}

/// The disc bright between the angles a and b (clockwise, wrapping when a > b) and dim
/// elsewhere.
void CombineColourCircle(const TCircleGeometry& circle, double a, double b, TQROIRGB& image,
                         const TQROIRGB& bright, const TQROIRGB& dim)
{
    ForEachPixel(circle, image, [&](int x, int y, double dx, double dy, double distance) {
        if (distance >= circle.Radius)
            return;
        const double theta = AngleOf(dx, dy);
        const bool inRange = a <= b ? a < theta && theta < b : theta > a || theta < b;
        CopyColour(image, inRange ? bright : dim, x, y);
    });
}

} // namespace

void TColourCircle::Draw(TBitmap24& picture, int viewWidth, int viewHeight)
{
    const int halfSize = std::min(viewWidth, viewHeight) / 2;
    const TCircleGeometry circle{viewWidth * 0.5, viewHeight * 0.5, int(halfSize * 0.7)};
    if (!image_) {
        image_ = std::make_unique<TQROIRGB>(2 * halfSize, 2 * halfSize);
        shadingsPending_ = true;
    }
    if (!bright_)
        bright_ = std::make_unique<TQROIRGB>(*image_);
    if (!dim_)
        dim_ = std::make_unique<TQROIRGB>(*image_);
    image_->SetMask(1);
    if (shadingsPending_) {
        shadingsPending_ = false;
        ShadeColourCircle(circle, *image_, *bright_, *dim_);
    }
    CombineColourCircle(circle, -HueMarkA, -HueMarkB, *image_, *bright_, *dim_);
    // The picture grows to the circle, never shrinks.
    picture.SetSize(std::max(picture.Width(), image_->Width()),
                    std::max(picture.Height(), image_->Height()));
    image_->Draw(picture);
}

} // namespace varnolux
