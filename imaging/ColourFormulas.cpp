#include "imaging/ColourFormulas.h"

#include "imaging/ColourConversion.h"

#include <algorithm>
#include <cmath>

namespace varnolux {

namespace {

double CubeRootOrLinear(double t)
{
    return t > 0.008856 ? std::pow(t, 1.0 / 3.0) : 7.787 * t + 0.13793103448275862;
}

/// CIE lightness from the relative luminance t = Y/255.
double Lightness(double t)
{
    return t > 0.008856 ? 116.0 * std::pow(t, 1.0 / 3.0) - 16.0 : 903.3 * t;
}

} // namespace

TTriple Xyz(double r, double g, double b)
{
    return {0.412452 * r + 0.35758 * g + 0.180423 * b, 0.212671 * r + 0.71516 * g + 0.072169 * b,
            0.019334 * r + 0.119193 * g + 0.950227 * b};
}

TTriple Luv(double r, double g, double b)
{
    const auto [x, y, z] = Xyz(r, g, b);
    const double l = Lightness(y * OneBy255);
    const double denominator = x + 15.0 * y + 3.0 * z;
    const double uPrime = denominator > 0.0 ? 4.0 * x / denominator : 1.333333333;
    const double vPrime = denominator > 0.0 ? 9.0 * y / denominator : 3.0;
    const double u = 13.0 * l * (uPrime - 0.19783945981597695);
    const double v = 13.0 * l * (vPrime - 0.4683428784128829);
    return {l * 2.55, u * 1.457142857142857, v * 2.339449541284403633};
}

TTriple Lab(double r, double g, double b)
{
    const auto [x, y, z] = Xyz(r, g, b);
    const double yRelative = y * OneBy255;
    const double l = Lightness(yRelative);
    const double a = 500.0 * (CubeRootOrLinear(x / 242.366) - CubeRootOrLinear(yRelative));
    const double bStar = 200.0 * (CubeRootOrLinear(yRelative) - CubeRootOrLinear(z / 277.63));
    return {l * 2.55, a * 1.27 + 128.0, bStar * 1.27 + 128.0};
}

TTriple LinearMap(double r, double g, double b)
{
    return {255.0 * (0.000233846 * r + 0.00261968 * g + 0.00127135 * b),
            255.0 * (0.000726333 * r + 0.000718106 * g - 0.00121377 * b),
            255.0 * (0.000846833 * r - 0.00173932 * g + 0.000221515 * b)};
}

TTriple Inversion(double r, double g, double b)
{
    return {255.0 - r, 255.0 - g, 255.0 - b};
}

THsv RgbToHsv(double red, double green, double blue)
{
    const double r = red * OneBy255;
    const double g = green * OneBy255;
    const double b = blue * OneBy255;
    const double min = std::min({r, g, b});
    const double max = std::max({r, g, b});
    if (max == 0.0)
        return {-1.0, 0.0, 0.0};
    const double d = max - min;
    const double s = d / max;
    double h = 0.0;
    if (d > 0.0) {
        if (r == max)
            h = (g - b) / d;
        else if (g == max)
            h = (b - r) / d + 2.0;
        else
            h = (r - g) / d + 4.0;
        h = h * 60.0;
        if (h < 0.0)
            h = h + 360.0;
    }
    return {h * DegreesToHue, s * 255.0, max * 255.0};
}

TRgb HsvToRgb(double hue, double saturation, double value)
{
    const double h = hue * OneBy255;
    const double s = saturation * OneBy255;
    const double v = value * OneBy255;
    if (saturation == 0.0)
        return {v * 255.0, v * 255.0, v * 255.0};
    const double f = h * 6.0;
    const double sector = std::trunc(f);
    const double fraction = f - sector;
    const double p = (1.0 - s) * v;
    const double q = (1.0 - fraction * s) * v;
    const double t = (1.0 - (1.0 - fraction) * s) * v;
    TRgb rgb;
    if (sector == 0.0)
        rgb = {v, t, p};
    else if (sector == 1.0)
        rgb = {q, v, p};
    else if (sector == 2.0)
        rgb = {p, v, t};
    else if (sector == 3.0)
        rgb = {p, q, v};
    else if (sector == 4.0)
        rgb = {t, p, v};
    else
        rgb = {v, p, q}; // sector 5, and 6 for a hue of 255
    return {rgb.R * 255.0, rgb.G * 255.0, rgb.B * 255.0};
}

std::uint8_t ChannelByte(double x)
{
    // max before min, with x second: a NaN becomes 0.
    return std::uint8_t(std::trunc(std::min(255.0, std::max(0.0, x))));
}

} // namespace varnolux
