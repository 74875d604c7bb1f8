#pragma once

#include "imaging/TQROITemplate.h"

#include <array>
#include <memory>
#include <span>
#include <string>

namespace varnolux {

class TQListROIU;

/// An 8-bit grey ROI with the image-processing operations.
class TQROIU : public TQROITemplate<std::uint8_t> {
public:
    using TQROITemplate::TQROITemplate;

    /// Paints the value as grey where the mask is set.
    void Draw(TBitmap24& bitmap) override;
    std::unique_ptr<TQROIL> NewOfSize(int width, int height) const override;

    void Invert() override;
    /// (v − o) halved toward zero, plus 128.
    void Subtract(const TQROITemplate& other, bool all) override;
    /// Both operands stretched to 0..127 (the other as a copy), then v + o.
    void Add(const TQROITemplate& other, bool all) override;
    /// trunc(v + c) clamped to 0..255.
    void AddConstant(double c, bool all) override;
    /// v · o mapped linearly from minA · minB .. maxA · maxB to 0..255.
    void Multiply(const TQROITemplate& other, bool all) override;
    /// trunc(c · v) mapped linearly from trunc(c · min) .. trunc(c · max) to 0..255.
    void MultiplyConstant(double c, bool all) override;

    /// The connected regions of the mask (bytes equal to 1), each a ROI of this
    /// object's class cut to its bounding box, in the order of their leftmost
    /// column and, within a column, from the top. connectivity 0: 4-neighbourhood,
    /// anything else: 8-neighbourhood.
    virtual std::unique_ptr<TQListROIU> Label(int connectivity) const;

    /// The larger of the horizontal and vertical central differences; pixels with
    /// neither pair inside the plane (and the mask, unless all) get mask 0. False
    /// when no pixel had a pair.
    virtual bool Gradient(bool all);
    /// Rank filter over the (2r + 1)² window of mask-set pixels: fraction 0.5 is
    /// the median.
    virtual void RankFilter(int radius, double fraction, bool all);
    /// Box mean over the (2r + 1)² window of pixels whose mask is 1, rounded.
    virtual void MeanFilter(int radius, bool all);
    /// Maps min..max of the mask-set pixels onto 0..high − low; false when
    /// low ≥ high or the values are all equal.
    virtual bool Stretch(int low, int high);
    /// Moves each pixel from distance d to d + k · d³ from the centre.
    virtual void Distort(double k);
    /// value := Lookup[value].
    virtual void ApplyLookup();
    /// One tab-separated line per pixel (x, y, mask, value), rows outer. Throws
    /// TQError when the file cannot be written.
    virtual void SaveToTextFile(const std::string& fileName) const;

    std::array<std::uint8_t, 256> Lookup{};

protected:
    using TBytePlane = TPlane<std::uint8_t>;
    using TPlanes = std::span<TBytePlane* const>;

    // The image-processing kernels over a set of planes that share this ROI's mask:
    // the value plane here, the value and colour planes in a colour ROI.
    bool GradientOf(TPlanes planes, bool all);
    void RankFilterOf(TPlanes planes, int radius, double fraction, bool all);
    void MeanFilterOf(TPlanes planes, int radius, bool all);
    bool StretchOf(TPlanes planes, int low, int high);
    void DistortOf(TPlanes planes, double k);
    void ApplyLookupOf(TPlanes planes);
    void SaveTableOf(const std::string& fileName, const std::string& header,
                     std::span<const TBytePlane* const> planes) const;
};

} // namespace varnolux
