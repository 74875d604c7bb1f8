#pragma once

#include "imaging/TPlane.h"
#include "imaging/TQObject.h"

#include <cstdint>
#include <memory>

namespace varnolux {

/// A region of interest: a size and a 0/1 inclusion mask.
class TQROIL : public TQObject {
public:
    TQROIL();
    TQROIL(const TQROIL& other);
    TQROIL(int width, int height);
    TQROIL& operator=(const TQROIL&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    TPlane<std::uint8_t>& Mask() { return mask_; }
    const TPlane<std::uint8_t>& Mask() const { return mask_; }

    /// Also grows the image's bitmap to at least Width × Height.
    void SetImage(TQImage* image) override;
    /// Paints mask pixels white.
    void Draw(TBitmap24& bitmap) override;
    /// Copies origin, size and mask of another ROI (only these).
    void Assign(const TQObject& other) override;

    /// A new ROI of this object's own class, planes undefined.
    virtual std::unique_ptr<TQROIL> NewOfSize(int width, int height) const;
    /// Sets the size and reallocates every plane of the class (contents undefined).
    virtual void SetSize(int width, int height);
    /// Copies mask bytes of source where the two overlap, by their origins;
    /// source pixels with mask 0 are skipped unless all.
    virtual void Paste(const TQROIL& source, bool all);

    void SetMask(std::uint8_t value);

protected:
    /// Calls visit(x, y, sx, sy) for every overlapping pixel (x, y) of this ROI and
    /// (sx, sy) of source, running over the smaller of the two.
    template <typename Visit>
    void ForOverlap(const TQROIL& source, Visit&& visit) const;

    int width_ = 0;
    int height_ = 0;
    TPlane<std::uint8_t> mask_;
};

} // namespace varnolux
