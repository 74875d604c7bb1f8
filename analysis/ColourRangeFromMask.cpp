#include "analysis/ColourRangeFromMask.h"

#include "imaging/ColourConversion.h"
#include "imaging/TQROIRGB.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace varnolux {

namespace {

constexpr double TwoPi = 6.283185307179586;
constexpr double OneByTwoPi = 0.15915494309189535;

/// The hue's angle in radians, and its sine and cosine, for every hue byte: the
/// sums then cost one addition per pixel.
struct THueTables {
    std::array<double, 256> Angle{};
    std::array<double, 256> Sin{};
    std::array<double, 256> Cos{};

    THueTables()
    {
        for (int h = 0; h < 256; ++h) {
            Angle[h] = double(h) * TwoPi * OneBy255;
            Sin[h] = std::sin(Angle[h]);
            Cos[h] = std::cos(Angle[h]);
        }
    }
};

const THueTables& HueTables()
{
    static const THueTables tables;
    return tables;
}

/// The angle moved into [0, 2π).
double Norm(double angle)
{
    while (angle < 0.0)
        angle += TwoPi;
    while (angle >= TwoPi)
        angle -= TwoPi;
    return angle;
}

/// The distance of two angles around the circle.
double Dist(double a, double b)
{
    const double d = b - a;
    return std::min({std::abs(d), std::abs(d + TwoPi), std::abs(d - TwoPi)});
}

/// Calls visit(h, s, v) for every selected pixel, columns outer.
template <typename Visit>
void ForSelected(const TQROIRGB& hsv, const TPlane<std::uint8_t>& selection, Visit&& visit)
{
    for (int x = 0; x < hsv.Width(); ++x) {
        const std::span<const std::uint8_t> selected = selection.Column(x);
        const std::uint8_t* h = hsv.Red()[x];
        const std::uint8_t* s = hsv.Green()[x];
        const std::uint8_t* v = hsv.Blue()[x];
        for (std::size_t y = 0; y < selected.size(); ++y)
            if (selected[y] != 0)
                visit(h[y], s[y], v[y]);
    }
}

/// Means and sample standard deviations of sin θ, cos θ, S and V.
struct TSelectionStatistics {
    long long Count = 0;
    std::array<double, 4> Mean{};
    std::array<double, 4> Deviation{};
};

TSelectionStatistics Statistics(const TQROIRGB& hsv, const TPlane<std::uint8_t>& selection)
{
    const THueTables& hue = HueTables();
    TSelectionStatistics statistics;
    std::array<double, 4> sums{};
    ForSelected(hsv, selection, [&](std::uint8_t h, std::uint8_t s, std::uint8_t v) {
        ++statistics.Count;
        sums[0] += hue.Sin[h];
        sums[1] += hue.Cos[h];
        sums[2] += s;
        sums[3] += v;
    });
    if (statistics.Count <= 1)
        return statistics;
    const double n = double(statistics.Count);
    for (std::size_t i = 0; i < sums.size(); ++i)
        statistics.Mean[i] = sums[i] / n;
    std::array<double, 4> squares{};
    const std::array<double, 4>& mean = statistics.Mean;
    ForSelected(hsv, selection, [&](std::uint8_t h, std::uint8_t s, std::uint8_t v) {
        const std::array<double, 4> values = {hue.Sin[h], hue.Cos[h], double(s), double(v)};
        for (std::size_t i = 0; i < values.size(); ++i)
            squares[i] += (values[i] - mean[i]) * (values[i] - mean[i]);
    });
    for (std::size_t i = 0; i < squares.size(); ++i)
        statistics.Deviation[i] = std::sqrt(squares[i] / (n - 1.0));
    return statistics;
}

/// The widest angle from the mean hue g that the corners and edge midpoints of the
/// box mean ± k·σ in the (cos, sin) plane reach.
double HueHalfWidth(double meanSin, double meanCos, double sinSpread, double cosSpread, double g)
{
    struct TCandidates {
        double X;
        std::array<double, 3> Ys;
        int count;
    };
    const double low = meanSin - sinSpread;
    const double high = meanSin + sinSpread;
    const TCandidates groups[] = {
        {meanCos, {low, high, 0.0}, 2},
        {meanCos - cosSpread, {low, high, meanSin}, 3},
        {meanCos + cosSpread, {low, high, meanSin}, 3},
    };
    double e = 0.0;
    for (const TCandidates& group : groups) {
        if (group.X == 0.0)
            continue;
        for (int i = 0; i < group.count; ++i)
            e = std::max(e, Dist(Norm(std::atan2(group.Ys[std::size_t(i)], group.X)), g));
    }
    return e;
}

/// Limits of a hue range that holds most selected hues: inside [a1, a2], or wrapping
/// through 0 when more of them lie outside.
std::pair<int, int> HueLimits(const TQROIRGB& hsv, const TPlane<std::uint8_t>& selection, double a1,
                              double a2)
{
    const THueTables& hue = HueTables();
    long long inside = 0;
    long long outside = 0;
    ForSelected(hsv, selection, [&](std::uint8_t h, std::uint8_t, std::uint8_t) {
        const double angle = Norm(hue.Angle[h]);
        ++(a1 <= angle && angle <= a2 ? inside : outside);
    });
    const int low = int(a1 * 255 * OneByTwoPi);
    const int high = int(a2 * 255 * OneByTwoPi);
    return outside < inside ? std::pair{low, high} : std::pair{high, low};
}

/// Two limits that are equal are moved one apart, inside 0..255.
void Separate(int& low, int& high)
{
    if (low != high)
        return;
    if (low == 255)
        --low;
    else
        ++high;
}

/// mean − k·σ and mean + k·σ, the upper limit past the last value, within 0..255.
std::pair<int, int> ChannelLimits(double mean, double deviation, double k)
{
    const double low = mean - k * deviation;
    const double high = mean + k * deviation + 1.0001;
    std::pair limits{low < 0.0 ? 0 : int(low), high > 255.0 ? 255 : int(high)};
    Separate(limits.first, limits.second);
    return limits;
}

} // namespace

const char* TMaskRange::FailureText() const
{
    switch (Failure) {
    case TFailure::None:
        return "";
    case TFailure::OtherSize:
        return "the mask and the image differ in size";
    case TFailure::FewerThanTwoPixels:
        return "fewer than two pixels are selected";
    case TFailure::NoHueDirection:
        return "the hues of the selected pixels cancel out";
    }
    return "";
}

TMaskRange ColourRangeFromMask(const TQROIRGB& hsv, const TPlane<std::uint8_t>& selection, double k)
{
    using TFailure = TMaskRange::TFailure;
    if (selection.Width() != hsv.Width() || selection.Height() != hsv.Height())
        return {.Failure = TFailure::OtherSize};
    const TSelectionStatistics statistics = Statistics(hsv, selection);
    if (statistics.Count <= 1)
        return {.Failure = TFailure::FewerThanTwoPixels};
    const auto [meanSin, meanCos, meanS, meanV] = statistics.Mean;
    const auto [sigmaSin, sigmaCos, sigmaS, sigmaV] = statistics.Deviation;
    if (sigmaCos == 0.0 && meanCos == 0.0)
        return {.Failure = TFailure::NoHueDirection};

    const double g = std::atan2(meanSin, meanCos);
    const double e = HueHalfWidth(meanSin, meanCos, k * sigmaSin, k * sigmaCos, g);
    const double lo = Norm(g - e);
    const double hi = Norm(g + e);
    TMaskRange result;
    auto& [hMin, hMax, sMin, sMax, vMin, vMax] = result.Range;
    std::tie(hMin, hMax) = HueLimits(hsv, selection, std::min(lo, hi), std::max(lo, hi));
    Separate(hMin, hMax);
    std::tie(sMin, sMax) = ChannelLimits(meanS, sigmaS, k);
    std::tie(vMin, vMax) = ChannelLimits(meanV, sigmaV, k);
    return result;
}

TMaskRange ColourRangeFromMask(const TBitmap24& picture, const TPlane<std::uint8_t>& selection,
                               double k)
{
    if (selection.Width() != picture.Width() || selection.Height() != picture.Height())
        return {.Failure = TMaskRange::TFailure::OtherSize};
    TQROIRGB hsv;
    hsv.LoadFromBitmap(picture, 0);
    hsv.ConvertColourSpace(TConversionCode::Hsv);
    return ColourRangeFromMask(hsv, selection, k);
}

TMaskRange ColourRangeFromMask(const TBitmap24& picture, const TBitmap24& maskPicture, double k)
{
    if (maskPicture.Width() != picture.Width() || maskPicture.Height() != picture.Height())
        return {.Failure = TMaskRange::TFailure::OtherSize};
    TPlane<std::uint8_t> selection(picture.Width(), picture.Height());
    for (int y = 0; y < maskPicture.Height(); ++y) {
        const std::span<const std::uint8_t> row = maskPicture.Row(y);
        for (int x = 0; x < maskPicture.Width(); ++x) {
            const std::size_t at = std::size_t(x) * 3;
            selection[x][y] = row[at] != 0 || row[at + 1] != 0 || row[at + 2] != 0;
        }
    }
    return ColourRangeFromMask(picture, selection, k);
}

} // namespace varnolux
