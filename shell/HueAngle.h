#pragma once

#include <cmath>

namespace varnolux {

// Hue positions 0..255 as angles on the colour circle, in radians in screen
// orientation (y downwards): 0 is −π, 255 is +π.

inline constexpr double Pi = 3.141592653589793;

constexpr double HueAngleOfPosition(int position)
{
    return position * 6.283185307179586 * 0.00392156862745098 - Pi;
}

/// Truncates toward zero, so the round trip through an angle can lose one.
inline int HuePositionOfAngle(double angle)
{
    return static_cast<int>(std::trunc((angle + Pi) * 255 * 0.15915494309189535));
}

/// The angle of a vector from the circle centre; straight up or down when it is
/// (nearly) vertical.
inline double AngleOf(double dx, double dy)
{
    if (std::abs(dx) <= 1e-30)
        return dy >= 0 ? Pi / 2 : -Pi / 2;
    return std::atan2(dy, dx);
}

/// Where the hue handles run around the colour circle image.
struct THueCircle {
    double CentreX = 0.0;
    double CentreY = 0.0;
    int HandleOrbit = 0;

    static THueCircle OfImage(int width, int height)
    {
        const int halfSize = (width < height ? width : height) / 2;
        return {width * 0.5, height * 0.5, static_cast<int>(std::trunc(halfSize * 0.9))};
    }
};

} // namespace varnolux
