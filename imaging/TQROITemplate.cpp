#include "imaging/TQROITemplate.h"

#include "base/Messages.h"
#include "imaging/PictureFile.h"
#include "imaging/PlaneArithmetic.h"
#include "imaging/Resampling.h"
#include "imaging/TQImage.h"
#include "imaging/TQStatus.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <new>

namespace varnolux {

template <typename T>
TQROITemplate<T>::TQROITemplate() = default;

template <typename T>
TQROITemplate<T>::TQROITemplate(const TQROITemplate& other)
    : TQROIL(other)
    , values_(other.values_)
{
}

template <typename T>
TQROITemplate<T>::TQROITemplate(int width, int height)
    : TQROIL(width, height)
    , values_(width, height)
{
}

template <typename T>
std::unique_ptr<TQROIL> TQROITemplate<T>::NewOfSize(int width, int height) const
{
    return std::make_unique<TQROITemplate>(width, height);
}

template <typename T>
void TQROITemplate<T>::SetSize(int width, int height)
{
    TQROIL::SetSize(width, height);
    values_.Allocate(width_, height_);
}

template <typename T>
void TQROITemplate<T>::Assign(const TQObject& other)
{
    TQROIL::Assign(other);
    const auto* roi = dynamic_cast<const TQROITemplate*>(&other);
    if (roi && roi != this)
        values_ = roi->values_;
}

template <typename T>
void TQROITemplate<T>::Paste(const TQROIL& source, bool all)
{
    const auto* values = dynamic_cast<const TQROITemplate*>(&source);
    if (!values) {
        TQROIL::Paste(source, all);
        return;
    }
    ForOverlap(source, [&](int x, int y, int sx, int sy) {
        if (all || source.Mask()[sx][sy])
            CopyPixel(*values, x, y, sx, sy);
    });
}

template <typename T>
void TQROITemplate<T>::CopyPixel(const TQROITemplate& source, int x, int y, int sx, int sy)
{
    mask_[x][y] = source.mask_[sx][sy];
    values_[x][y] = source.values_[sx][sy];
}

template <typename T>
void TQROITemplate<T>::CopyPixels(const TQROITemplate& source, int x, int y, int sx, int sy,
                                  int count)
{
    std::copy_n(source.mask_[sx] + sy, count, mask_[x] + y);
    std::copy_n(source.values_[sx] + sy, count, values_[x] + y);
}

template <typename T>
void TQROITemplate<T>::FillValue(T value, bool all)
{
    ChangePlane(values_, mask_, all, [value](T) { return value; });
}

template <typename T>
bool TQROITemplate<T>::MinMax(T& min, T& max, bool all) const
{
    T smallest = std::numeric_limits<T>::max();
    T largest = std::numeric_limits<T>::lowest();
    if (!WidenMinMax(values_, mask_, all, smallest, largest))
        return false;
    min = smallest;
    max = largest;
    return true;
}

template <typename T>
void TQROITemplate<T>::Invert()
{
    ChangePlane(values_, mask_, true, [](T v) { return T(-v); });
}

template <typename T>
void TQROITemplate<T>::Subtract(const TQROITemplate& other, bool all)
{
    RequireSameSize(width_, height_, other.width_, other.height_, "TQROITemplate::Subtract");
    CombinePlanes(values_, mask_, other.values_, other.mask_, all,
                  [](T v, T o) { return T(v - o); });
}

template <typename T>
void TQROITemplate<T>::Add(const TQROITemplate& other, bool all)
{
    RequireSameSize(width_, height_, other.width_, other.height_, "TQROITemplate::Add");
    CombinePlanes(values_, mask_, other.values_, other.mask_, all,
                  [](T v, T o) { return T(v + o); });
}

template <typename T>
void TQROITemplate<T>::AddConstant(double c, bool all)
{
    ChangePlane(values_, mask_, all, [c](T v) { return T(WrappedByte(v + c)); });
}

template <typename T>
void TQROITemplate<T>::Multiply(const TQROITemplate& other, bool all)
{
    RequireSameSize(width_, height_, other.width_, other.height_, "TQROITemplate::Multiply");
    CombinePlanes(values_, mask_, other.values_, other.mask_, all,
                  [](T v, T o) { return T(v * o); });
}

template <typename T>
void TQROITemplate<T>::MultiplyConstant(double c, bool all)
{
    ChangePlane(values_, mask_, all, [c](T v) { return T(WrappedByte(v * c)); });
}

template <typename T>
void TQROITemplate<T>::resize(int width, int height, int interpolation)
{
    if (!IsKnownInterpolation(interpolation)) {
        CurrentReporter().ShowMessage(UndefinedInterpolationText);
        return;
    }
    values_ = ResizedPlane(values_, width, height, interpolation, false, true);
    mask_ = ResizedPlane(mask_, width, height, interpolation, true, false);
    width_ = mask_.Width();
    height_ = mask_.Height();
}

namespace {

/// trunc(x + 0.5) as a size; sizes below 0 become 0.
int RoundedSize(double x)
{
    const double rounded = std::trunc(x + 0.5);
    if (!(rounded > 0.0))
        return 0;
    return rounded >= double(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                              : int(rounded);
}

} // namespace

template <typename T>
void TQROITemplate<T>::Scale(double f, int interpolation)
{
    resize(RoundedSize(width_ * f), RoundedSize(f * height_), interpolation);
}

template <typename T>
void TQROITemplate<T>::Scale(double fx, double fy, int interpolation)
{
    resize(RoundedSize(width_ * fx), RoundedSize(height_ * fy), interpolation);
}

template <typename T>
void TQROITemplate<T>::Rotate(double degrees, int interpolation)
{
    if (!std::isfinite(degrees))
        return;
    const double angle = NormalisedDegrees(degrees);
    if (angle == 0.0)
        return;
    if (angle == 90.0 || angle == 180.0 || angle == 270.0) {
        const int quarterTurns = int(angle / 90.0);
        values_ = QuarterTurnedPlane(values_, quarterTurns);
        mask_ = QuarterTurnedPlane(mask_, quarterTurns);
    } else {
        if (!IsKnownInterpolation(interpolation)) {
            CurrentReporter().ShowMessage(UndefinedInterpolationText);
            return;
        }
        const TRotation rotation(width_, height_, angle);
        values_ = RotatedPlane(values_, rotation, interpolation, false, true);
        mask_ = RotatedPlane(mask_, rotation, interpolation, true, false);
    }
    width_ = mask_.Width();
    height_ = mask_.Height();
}

template <typename T>
void TQROITemplate<T>::LoadFromBitmap(const TBitmap24& bitmap, int channel)
{
    SetSize(bitmap.Width(), bitmap.Height());
    SetMask(1);
    TQStatus& status = TQStatus::Instance();
    status.StartProgress(3, 0, width_ - 1, 0);
    // Blocks of columns: each bitmap row is read once per block while the plane is
    // written down its columns.
    constexpr int BlockWidth = 16;
    for (int blockStart = 0; blockStart < width_; blockStart += BlockWidth) {
        const int blockEnd = std::min(width_, blockStart + BlockWidth);
        for (int x = blockStart; x < blockEnd; ++x)
            status.StepEvery(3, x);
        for (int y = 0; y < height_; ++y) {
            const std::uint8_t* pixel = bitmap.Row(y).data() + std::ptrdiff_t(blockStart) * 3;
            for (int x = blockStart; x < blockEnd; ++x, pixel += 3) {
                switch (channel) {
                case 1:
                    values_[x][y] = T(pixel[2]);
                    break;
                case 2:
                    values_[x][y] = T(pixel[1]);
                    break;
                case 3:
                    values_[x][y] = T(pixel[0]);
                    break;
                default:
                    values_[x][y] = T((pixel[0] + pixel[1] + pixel[2]) / 3);
                    break;
                }
            }
        }
    }
}

template <typename T>
bool TQROITemplate<T>::LoadFromFile(const std::string& fileName, int channel, bool alsoDisplay)
{
    if (PictureFileType(fileName) == TPictureFileType::None) {
        CurrentReporter().ShowLanguageMessage("LImageExtensionNotRead", {});
        return false;
    }
    try {
        const TBitmap24 bitmap = ReadPictureFile(fileName);
        if (alsoDisplay && Image)
            Image->LoadPicture(fileName);
        SetImage(Image);
        LoadFromBitmap(bitmap, channel);
    } catch (const std::bad_alloc&) {
        // Not the file's fault: the caller tells the user about memory.
        throw;
    } catch (const TQCancelled&) {
        throw;
    } catch (const std::exception&) {
        std::error_code error;
        if (std::filesystem::exists(fileName, error))
            throw TQError("Internal error: TQROIU::LoadFromFile (AnsiString pFileName) - "
                          "pFileName: '" +
                          fileName + "'");
        throw TQError("TQROIU::LoadFromFile - File '" + fileName + "' not found");
    }
    return true;
}

template class TQROITemplate<std::uint8_t>;

} // namespace varnolux
