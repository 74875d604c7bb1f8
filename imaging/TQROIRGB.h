#pragma once

#include "imaging/ColourConversion.h"
#include "imaging/TQROIU.h"

#include <array>

namespace varnolux {

/// A colour ROI: red, green, blue and grey planes besides the value plane. After
/// ConvertColourSpace the colour planes hold the converted channels instead
/// (hue, saturation, brightness in Red, Green, Blue for TConversionCode::Hsv).
class TQROIRGB : public TQROIU {
public:
    TQROIRGB();
    TQROIRGB(const TQROIRGB& other);
    TQROIRGB(int width, int height);

    TPlane<std::uint8_t>& Red() { return red_; }
    TPlane<std::uint8_t>& Green() { return green_; }
    TPlane<std::uint8_t>& Blue() { return blue_; }
    TPlane<std::uint8_t>& Grey() { return grey_; }
    const TPlane<std::uint8_t>& Red() const { return red_; }
    const TPlane<std::uint8_t>& Green() const { return green_; }
    const TPlane<std::uint8_t>& Blue() const { return blue_; }
    const TPlane<std::uint8_t>& Grey() const { return grey_; }

    /// Paints Blue, Green, Red where the mask is set.
    void Draw(TBitmap24& bitmap) override;
    std::unique_ptr<TQROIL> NewOfSize(int width, int height) const override;
    void SetSize(int width, int height) override;
    void CopyPixel(const TQROITemplate& source, int x, int y, int sx, int sy) override;
    void CopyPixels(const TQROITemplate& source, int x, int y, int sx, int sy, int count) override;
    void Assign(const TQObject& other) override;
    bool MinMax(std::uint8_t& min, std::uint8_t& max, bool all) const override;
    void Subtract(const TQROITemplate& other, bool all) override;
    void Add(const TQROITemplate& other, bool all) override;
    void AddConstant(double c, bool all) override;
    void resize(int width, int height, int interpolation) override;
    void Scale(double f, int interpolation) override;
    void Scale(double fx, double fy, int interpolation) override;
    void Rotate(double degrees, int interpolation) override;
    void LoadFromBitmap(const TBitmap24& bitmap, int channel) override;
    bool Gradient(bool all) override;
    void RankFilter(int radius, double fraction, bool all) override;
    void MeanFilter(int radius, bool all) override;
    bool Stretch(int low, int high) override;
    void Distort(double k) override;
    void ApplyLookup() override;
    void SaveToTextFile(const std::string& fileName) const override;

    virtual void Average(const TQROIRGB& other, bool all);
    virtual void Difference(const TQROIRGB& other, bool all);

    /// With a ROI of the same size: mask := 1 where both masks are non-zero, else 0;
    /// true when any byte changed. Another size changes nothing and gives false.
    bool IntersectMask(const TQROIU& other);

    /// Sets the size with the mask and the Red, Green and Blue planes only, for an image
    /// whose value and grey planes nobody reads. Planes that have that size already
    /// are kept as they are; others are allocated (contents undefined).
    void SetColourSize(int width, int height);

    /// Converts every pixel's Red, Green, Blue in place; throws TQError for a value
    /// that is not a conversion code.
    void ConvertColourSpace(TConversionCode code);

private:
    std::array<TPlane<std::uint8_t>*, 4> ColourPlanes();
    /// The value plane and the four colour planes.
    std::array<TPlane<std::uint8_t>*, 5> AllPlanes();
    /// The planes that Average and Difference combine: value, red, green, blue.
    std::array<TPlane<std::uint8_t>*, 4> AveragedPlanes();
    std::array<const TPlane<std::uint8_t>*, 4> AveragedPlanes() const;

    TPlane<std::uint8_t> red_;
    TPlane<std::uint8_t> green_;
    TPlane<std::uint8_t> blue_;
    TPlane<std::uint8_t> grey_;
};

} // namespace varnolux
