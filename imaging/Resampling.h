#pragma once

#include "imaging/TPlane.h"
#include "imaging/TQStatus.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace varnolux {

inline constexpr int BilinearInterpolation = 0;
inline constexpr int NearestInterpolation = 1;
inline constexpr const char* UndefinedInterpolationText =
    "Internal error: Undefinded interpolation function in method resize.";

inline bool IsKnownInterpolation(int interpolation)
{
    return interpolation == BilinearInterpolation || interpolation == NearestInterpolation;
}

/// An angle in degrees brought into [0, 360).
inline double NormalisedDegrees(double degrees)
{
    double angle = std::fmod(degrees, 360.0);
    if (angle < 0.0)
        angle += 360.0;
    return angle >= 360.0 ? 0.0 : angle;
}

/// The plane's value at (a, b), 0 ≤ a ≤ width − 1, 0 ≤ b ≤ height − 1. A plane one
/// pixel wide or high is read along its single column or row.
template <typename T>
double InterpolatedValue(const TPlane<T>& plane, double a, double b, int interpolation)
{
    const int width = plane.Width();
    const int height = plane.Height();
    if (interpolation == NearestInterpolation)
        return plane[std::min(int(a + 0.5), width - 1)][std::min(int(b + 0.5), height - 1)];
    const int x0 = std::max(0, std::min(int(a), width - 2));
    const int y0 = std::max(0, std::min(int(b), height - 2));
    const int x1 = std::min(x0 + 1, width - 1);
    const int y1 = std::min(y0 + 1, height - 1);
    const double top = (a - x0) * plane[x1][y0] + (x0 + 1 - a) * plane[x0][y0];
    const double bottom = (a - x0) * plane[x1][y1] + (x0 + 1 - a) * plane[x0][y1];
    return (b - y0) * bottom + (y0 + 1 - b) * top;
}

/// An interpolated value as an element: truncated for values, 0/1 for masks.
template <typename T>
T SampleElement(double value, bool isMask)
{
    if (isMask)
        return value != 0.0 ? T(1) : T(0);
    return T(std::trunc(std::clamp(value, double(std::numeric_limits<T>::lowest()),
                                   double(std::numeric_limits<T>::max()))));
}

/// The plane resampled to width × height with corners mapped to corners; an output
/// one pixel wide or high reads the first source column or row, and an empty
/// source gives zeros. Reports to progress slot 2 when asked.
template <typename T>
TPlane<T> ResizedPlane(const TPlane<T>& source, int width, int height, int interpolation,
                       bool isMask, bool reportProgress)
{
    TPlane<T> result(width, height);
    if (!result.IsAllocated())
        return result;
    if (!source.IsAllocated()) {
        std::fill(result.Elements().begin(), result.Elements().end(), T(0));
        return result;
    }
    const auto sourceCoordinate = [](int i, int sourceSize, int size) {
        return size > 1 ? double(i) * double(sourceSize - 1) / double(size - 1) : 0.0;
    };
    std::vector<double> rows(std::size_t(result.Height()));
    for (int j = 0; j < result.Height(); ++j)
        rows[j] = sourceCoordinate(j, source.Height(), result.Height());
    TQStatus& status = TQStatus::Instance();
    if (reportProgress)
        status.StartProgress(2, 0, result.Width() - 1, 0);
    for (int i = 0; i < result.Width(); ++i) {
        if (reportProgress)
            status.StepEvery(2, i);
        const double a = sourceCoordinate(i, source.Width(), result.Width());
        T* column = result[i];
        for (int j = 0; j < result.Height(); ++j)
            column[j] =
                SampleElement<T>(InterpolatedValue(source, a, rows[j], interpolation), isMask);
    }
    return result;
}

/// The plane turned clockwise on screen by quarterTurns · 90 degrees (1, 2 or 3).
template <typename T>
TPlane<T> QuarterTurnedPlane(const TPlane<T>& source, int quarterTurns)
{
    const int width = source.Width();
    const int height = source.Height();
    TPlane<T> result = quarterTurns == 2 ? TPlane<T>(width, height) : TPlane<T>(height, width);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) {
            const T value = source[x][y];
            if (quarterTurns == 1)
                result[y][width - 1 - x] = value;
            else if (quarterTurns == 2)
                result[width - 1 - x][height - 1 - y] = value;
            else
                result[height - 1 - y][x] = value;
        }
    return result;
}

/// Size and mapping of a rotation by an angle that is not a multiple of 90 degrees.
struct TRotation {
    TRotation(int sourceWidth, int sourceHeight, double degrees)
        : SourceWidth(sourceWidth)
        , SourceHeight(sourceHeight)
    {
        const double t = degrees * std::numbers::pi / 180.0;
        const double a = sourceWidth * 0.5;
        const double b = sourceHeight * 0.5;
        const double cosT = std::cos(t);
        const double sinT = std::sin(t);
        Width = 2 * int(std::max(std::ceil(std::abs(cosT * a + sinT * b)),
                                 std::ceil(std::abs(-cosT * a + sinT * b))));
        Height = 2 * int(std::max(std::ceil(std::abs(-sinT * a + cosT * b)),
                                  std::ceil(std::abs(sinT * a + cosT * b))));
        CentreX = Width * 0.5;
        CentreY = Height * 0.5;
        HalfWidth = a;
        HalfHeight = b;
        CosBack = std::cos(-t);
        SinBack = std::sin(-t);
    }

    /// Where the new pixel (i, j) comes from in the source plane.
    double SourceX(int i, int j) const
    {
        return (i - CentreX) * CosBack + HalfWidth + (j - CentreY) * SinBack;
    }
    double SourceY(int i, int j) const
    {
        return HalfHeight - (i - CentreX) * SinBack + (j - CentreY) * CosBack;
    }

    int SourceWidth;
    int SourceHeight;
    int Width = 0;
    int Height = 0;
    double CentreX = 0.0;
    double CentreY = 0.0;
    double HalfWidth = 0.0;
    double HalfHeight = 0.0;
    double CosBack = 1.0;
    double SinBack = 0.0;
};

/// The plane rotated; pixels that come from outside the source get 0. Coordinates
/// that truncate into the source but lie beyond its last pixel centre are read at
/// the edge, never outside it.
template <typename T>
TPlane<T> RotatedPlane(const TPlane<T>& source, const TRotation& rotation, int interpolation,
                       bool isMask, bool reportProgress)
{
    TPlane<T> result(rotation.Width, rotation.Height);
    TQStatus& status = TQStatus::Instance();
    if (reportProgress)
        status.StartProgress(2, 0, result.Width() - 1, 0);
    const double lastX = source.Width() - 1;
    const double lastY = source.Height() - 1;
    for (int i = 0; i < result.Width(); ++i) {
        if (reportProgress)
            status.StepEvery(2, i);
        T* column = result[i];
        for (int j = 0; j < result.Height(); ++j) {
            const double xs = rotation.SourceX(i, j);
            const double ys = rotation.SourceY(i, j);
            const double tx = std::trunc(xs);
            const double ty = std::trunc(ys);
            if (tx >= 0.0 && tx <= lastX && ty >= 0.0 && ty <= lastY) {
                const double value = InterpolatedValue(source, std::clamp(xs, 0.0, lastX),
                                                       std::clamp(ys, 0.0, lastY), interpolation);
                column[j] = SampleElement<T>(value, isMask);
            } else {
                column[j] = T(0);
            }
        }
    }
    return result;
}

} // namespace varnolux
