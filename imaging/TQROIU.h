#pragma once

#include "imaging/TQROITemplate.h"

#include <array>
#include <memory>
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
    void Subtract(const TQROITemplate& other, bool all) override;
    void Add(const TQROITemplate& other, bool all) override;
    void AddConstant(double c, bool all) override;
    void Multiply(const TQROITemplate& other, bool all) override;
    void MultiplyConstant(double c, bool all) override;

    /// The connected regions of the mask (bytes equal to 1), each a ROI of this
    /// object's class cut to its bounding box, in the order of their leftmost
    /// column and, within a column, from the top. connectivity 0: 4-neighbourhood,
    /// anything else: 8-neighbourhood.
    virtual std::unique_ptr<TQListROIU> Label(int connectivity) const;

    virtual bool Gradient(bool all);
    virtual void RankFilter(int radius, double fraction, bool all);
    virtual void MeanFilter(int radius, bool all);
    virtual bool Stretch(int low, int high);
    virtual void Distort(double k);
    virtual void ApplyLookup();
    virtual void SaveToTextFile(const std::string& fileName) const;

    std::array<std::uint8_t, 256> Lookup{};
};

} // namespace varnolux
