#include "imaging/TQROIRGB.h"

#include "base/Messages.h"
#include "imaging/ColourConversion.h"
#include "imaging/PlaneArithmetic.h"
#include "imaging/Resampling.h"
#include "imaging/TQStatus.h"
#include "imaging/TileOrder.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace varnolux {

TQROIRGB::TQROIRGB() = default;

TQROIRGB::TQROIRGB(const TQROIRGB& other)
    : TQROIU(other)
    , red_(other.red_)
    , green_(other.green_)
    , blue_(other.blue_)
    , grey_(other.grey_)
{
}

TQROIRGB::TQROIRGB(int width, int height)
    : TQROIU(width, height)
    , red_(width, height)
    , green_(width, height)
    , blue_(width, height)
    , grey_(width, height)
{
}

void TQROIRGB::Draw(TBitmap24& bitmap)
{
    // As DrawMasked, with the column pointers taken once per tile.
    const int x0 = int(std::clamp<std::int64_t>(-std::int64_t(OriginX), 0, width_));
    const int x1 = int(std::clamp<std::int64_t>(std::int64_t(bitmap.Width()) - OriginX, 0, width_));
    const int y0 = int(std::clamp<std::int64_t>(-std::int64_t(OriginY), 0, height_));
    const int y1 =
        int(std::clamp<std::int64_t>(std::int64_t(bitmap.Height()) - OriginY, 0, height_));
    ForEachTile(x0, x1, y0, y1, 7, [&](int xBegin, int xEnd, int yBegin, int yEnd) {
        const std::uint8_t* columns[4][TileWidth];
        for (int x = xBegin; x < xEnd; ++x) {
            columns[0][x - xBegin] = mask_[x];
            columns[1][x - xBegin] = blue_[x];
            columns[2][x - xBegin] = green_[x];
            columns[3][x - xBegin] = red_[x];
        }
        for (int y = yBegin; y < yEnd; ++y) {
            std::uint8_t* bgr =
                bitmap.Row(y + OriginY).data() + std::ptrdiff_t(xBegin + OriginX) * 3;
            for (int i = 0; i < xEnd - xBegin; ++i, bgr += 3)
                if (columns[0][i][y]) {
                    bgr[0] = columns[1][i][y];
                    bgr[1] = columns[2][i][y];
                    bgr[2] = columns[3][i][y];
                }
        }
    });
}

std::unique_ptr<TQROIL> TQROIRGB::NewOfSize(int width, int height) const
{
    return std::make_unique<TQROIRGB>(width, height);
}

void TQROIRGB::SetSize(int width, int height)
{
    TQROIU::SetSize(width, height);
    for (TBytePlane* plane : ColourPlanes())
        plane->Allocate(width_, height_);
}

void TQROIRGB::SetColourSize(int width, int height)
{
    const bool empty = width <= 0 || height <= 0;
    width_ = empty ? 0 : width;
    height_ = empty ? 0 : height;
    values_.Free();
    grey_.Free();
    for (TBytePlane* plane : {&mask_, &red_, &green_, &blue_})
        plane->EnsureSize(width_, height_);
}

void TQROIRGB::CopyPixel(const TQROITemplate& source, int x, int y, int sx, int sy)
{
    CopyPixels(source, x, y, sx, sy, 1);
}

void TQROIRGB::CopyPixels(const TQROITemplate& source, int x, int y, int sx, int sy, int count)
{
    TQROIU::CopyPixels(source, x, y, sx, sy, count);
    const auto* colour = dynamic_cast<const TQROIRGB*>(&source);
    if (!colour)
        return;
    std::copy_n(colour->red_[sx] + sy, count, red_[x] + y);
    std::copy_n(colour->green_[sx] + sy, count, green_[x] + y);
    std::copy_n(colour->blue_[sx] + sy, count, blue_[x] + y);
    std::copy_n(colour->grey_[sx] + sy, count, grey_[x] + y);
}

void TQROIRGB::Assign(const TQObject& other)
{
    TQROITemplate::Assign(other);
    const auto* colour = dynamic_cast<const TQROIRGB*>(&other);
    if (!colour || colour == this)
        return;
    red_ = colour->red_;
    green_ = colour->green_;
    blue_ = colour->blue_;
    grey_ = colour->grey_;
}

bool TQROIRGB::MinMax(std::uint8_t& min, std::uint8_t& max, bool all) const
{
    std::uint8_t smallest = 255;
    std::uint8_t largest = 0;
    bool any = false;
    for (const TBytePlane* plane : {&red_, &green_, &blue_})
        any = WidenMinMax(*plane, mask_, all, smallest, largest) || any;
    if (!any)
        return false;
    min = smallest;
    max = largest;
    return true;
}

void TQROIRGB::Subtract(const TQROITemplate& other, bool all)
{
    const auto* colour = dynamic_cast<const TQROIRGB*>(&other);
    if (!colour) {
        TQROIU::Subtract(other, all);
        return;
    }
    RequireSameSize(width_, height_, other.Width(), other.Height(), "TQROIRGB::Subtract");
    Difference(*colour, all);
    CombinePlanes(
        grey_, mask_, colour->grey_, colour->mask_, all,
        [](std::uint8_t v, std::uint8_t o) { return std::uint8_t((int(v) - int(o)) / 2 + 128); });
}

void TQROIRGB::Add(const TQROITemplate& other, bool all)
{
    const auto* colour = dynamic_cast<const TQROIRGB*>(&other);
    if (!colour) {
        TQROIU::Add(other, all);
        return;
    }
    RequireSameSize(width_, height_, other.Width(), other.Height(), "TQROIRGB::Add");
    TQROIRGB stretched(*colour);
    Stretch(0, 127);
    stretched.Stretch(0, 127);
    const auto ownPlanes = AllPlanes();
    const auto otherPlanes = stretched.AllPlanes();
    for (std::size_t p = 0; p < ownPlanes.size(); ++p)
        CombinePlanes(*ownPlanes[p], mask_, *otherPlanes[p], stretched.mask_, all,
                      [](std::uint8_t v, std::uint8_t o) { return std::uint8_t(v + o); });
}

void TQROIRGB::AddConstant(double c, bool all)
{
    for (TBytePlane* plane : AllPlanes())
        ChangePlane(*plane, mask_, all, [c](std::uint8_t v) { return ClampedByte(v + c); });
}

void TQROIRGB::resize(int width, int height, int interpolation)
{
    if (!IsKnownInterpolation(interpolation)) {
        CurrentReporter().ShowMessage(UndefinedInterpolationText);
        return;
    }
    for (TBytePlane* plane : ColourPlanes())
        *plane = ResizedPlane(*plane, width, height, interpolation, false, true);
    TQROIU::resize(width, height, interpolation);
}

void TQROIRGB::Scale(double f, int interpolation)
{
    TQROIU::Scale(f, interpolation);
}

void TQROIRGB::Scale(double fx, double fy, int interpolation)
{
    TQROIU::Scale(fx, fy, interpolation);
}

void TQROIRGB::Rotate(double degrees, int interpolation)
{
    if (!std::isfinite(degrees))
        return;
    const double angle = NormalisedDegrees(degrees);
    if (angle == 0.0)
        return;
    if (angle == 90.0 || angle == 180.0 || angle == 270.0) {
        for (TBytePlane* plane : ColourPlanes())
            *plane = QuarterTurnedPlane(*plane, int(angle / 90.0));
    } else {
        if (!IsKnownInterpolation(interpolation)) {
            CurrentReporter().ShowMessage(UndefinedInterpolationText);
            return;
        }
        const TRotation rotation(width_, height_, angle);
        for (TBytePlane* plane : ColourPlanes())
            *plane = RotatedPlane(*plane, rotation, interpolation, false, true);
    }
    TQROIU::Rotate(degrees, interpolation);
}

void TQROIRGB::LoadFromBitmap(const TBitmap24& bitmap, int channel)
{
    SetSize(bitmap.Width(), bitmap.Height());
    SetMask(1);
    TQStatus& status = TQStatus::Instance();
    status.StartProgress(3, 0, width_ - 1, 0);
    const TBytePlane& chosen = channel == 1   ? red_
                               : channel == 2 ? green_
                               : channel == 3 ? blue_
                                              : grey_;
    // Tile by tile: each bitmap row piece is read once per tile while the planes are
    // written down their columns. Progress goes with the first tile of each column
    // of tiles, from whichever thread paints it.
    ForEachTile(0, width_, 0, height_, 8, [&](int xBegin, int xEnd, int yBegin, int yEnd) {
        if (yBegin == 0)
            for (int x = xBegin; x < xEnd; ++x)
                status.StepEvery(3, x);
        std::uint8_t* columns[4][TileWidth];
        for (int x = xBegin; x < xEnd; ++x) {
            columns[0][x - xBegin] = blue_[x];
            columns[1][x - xBegin] = green_[x];
            columns[2][x - xBegin] = red_[x];
            columns[3][x - xBegin] = grey_[x];
        }
        for (int y = yBegin; y < yEnd; ++y) {
            const std::uint8_t* pixel = bitmap.Row(y).data() + std::ptrdiff_t(xBegin) * 3;
            for (int i = 0; i < xEnd - xBegin; ++i, pixel += 3) {
                columns[0][i][y] = pixel[0];
                columns[1][i][y] = pixel[1];
                columns[2][i][y] = pixel[2];
                columns[3][i][y] = std::uint8_t((pixel[0] + pixel[1] + pixel[2]) / 3);
            }
        }
        if (yEnd == height_)
            for (int x = xBegin; x < xEnd; ++x)
                std::copy_n(chosen[x], height_, values_[x]);
    });
}

bool TQROIRGB::Gradient(bool all)
{
    return GradientOf(AllPlanes(), all);
}

void TQROIRGB::RankFilter(int radius, double fraction, bool all)
{
    RankFilterOf(AllPlanes(), radius, fraction, all);
}

void TQROIRGB::MeanFilter(int radius, bool all)
{
    MeanFilterOf(AllPlanes(), radius, all);
}

bool TQROIRGB::Stretch(int low, int high)
{
    return StretchOf(AllPlanes(), low, high);
}

void TQROIRGB::Distort(double k)
{
    DistortOf(AllPlanes(), k);
}

void TQROIRGB::ApplyLookup()
{
    ApplyLookupOf(AllPlanes());
}

void TQROIRGB::SaveToTextFile(const std::string& fileName) const
{
    const TBytePlane* const planes[] = {&values_, &red_, &green_, &blue_, &grey_};
    SaveTableOf(fileName, "i\tj\tl\tg\tRrgb\tGrgb\tBrgb\tGREYrgb\n", planes);
}

void TQROIRGB::Average(const TQROIRGB& other, bool all)
{
    RequireSameSize(width_, height_, other.width_, other.height_, "TQROIRGB::Average");
    const auto ownPlanes = AveragedPlanes();
    const auto otherPlanes = other.AveragedPlanes();
    for (std::size_t p = 0; p < ownPlanes.size(); ++p)
        CombinePlanes(*ownPlanes[p], mask_, *otherPlanes[p], other.mask_, all,
                      [](std::uint8_t v, std::uint8_t o) { return std::uint8_t((v + o) / 2); });
}

void TQROIRGB::Difference(const TQROIRGB& other, bool all)
{
    RequireSameSize(width_, height_, other.width_, other.height_, "TQROIRGB::Difference");
    const auto ownPlanes = AveragedPlanes();
    const auto otherPlanes = other.AveragedPlanes();
    for (std::size_t p = 0; p < ownPlanes.size(); ++p)
        CombinePlanes(*ownPlanes[p], mask_, *otherPlanes[p], other.mask_, all,
                      [](std::uint8_t v, std::uint8_t o) {
                          return std::uint8_t((int(v) - int(o)) / 2 + 128);
                      });
}

bool TQROIRGB::IntersectMask(const TQROIU& other)
{
    if (other.Width() != width_ || other.Height() != height_)
        return false;
    bool changed = false;
    const auto own = mask_.Elements();
    const auto others = other.Mask().Elements();
    for (std::size_t i = 0; i < own.size(); ++i) {
        const std::uint8_t both = own[i] && others[i] ? 1 : 0;
        changed = changed || both != own[i];
        own[i] = both;
    }
    return changed;
}

void TQROIRGB::ConvertColourSpace(TConversionCode code)
{
    if (!ConvertColourBytes(code, red_.Elements(), green_.Elements(), blue_.Elements()))
        throw TQError("Internal error: TQROIRGB::ConvertColourSpace - undefined conversion code " +
                      std::to_string(int(code)));
}

std::array<TPlane<std::uint8_t>*, 4> TQROIRGB::ColourPlanes()
{
    return {&red_, &green_, &blue_, &grey_};
}

std::array<TPlane<std::uint8_t>*, 5> TQROIRGB::AllPlanes()
{
    return {&values_, &red_, &green_, &blue_, &grey_};
}

std::array<TPlane<std::uint8_t>*, 4> TQROIRGB::AveragedPlanes()
{
    return {&values_, &red_, &green_, &blue_};
}

std::array<const TPlane<std::uint8_t>*, 4> TQROIRGB::AveragedPlanes() const
{
    return {&values_, &red_, &green_, &blue_};
}

} // namespace varnolux
