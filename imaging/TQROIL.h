#pragma once

#include "imaging/TBitmap24.h"
#include "imaging/TPlane.h"
#include "imaging/TQObject.h"
#include "imaging/TileOrder.h"

#include <algorithm>
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
    /// Copies origin, size and mask of another ROI (only these). When the size
    /// changes every other plane is reallocated to it (contents undefined).
    void Assign(const TQObject& other) override;

    /// A new ROI of this object's own class, planes undefined.
    virtual std::unique_ptr<TQROIL> NewOfSize(int width, int height) const;
    /// Sets the size and reallocates every plane of the class (contents undefined).
    /// A width or height of 0 or less makes an empty 0 × 0 ROI.
    virtual void SetSize(int width, int height);
    /// Copies mask bytes of source where the two overlap, by their origins;
    /// source pixels with mask 0 are skipped unless all.
    virtual void Paste(const TQROIL& source, bool all);

    void SetMask(std::uint8_t value);

protected:
    /// Calls visit(x, y, sx, sy) for every pixel (x, y) of this ROI that source
    /// covers, (sx, sy) being the same image position in source; columns outer.
    template <typename Visit>
    void ForOverlap(const TQROIL& source, Visit&& visit) const;

    /// Calls paint(x, y, bgr) for every pixel with a non-zero mask that lands inside
    /// the bitmap at (x + OriginX, y + OriginY); bgr points at its three bytes. Tiles
    /// of pixels may be painted on several threads at once.
    template <typename Paint>
    void DrawMasked(TBitmap24& bitmap, Paint&& paint) const;

    int width_ = 0;
    int height_ = 0;
    TPlane<std::uint8_t> mask_;
};

template <typename Visit>
void TQROIL::ForOverlap(const TQROIL& source, Visit&& visit) const
{
    // The offset of source's pixels in this ROI's coordinates, in 64 bits so that
    // far-away origins cannot overflow.
    const std::int64_t dx = std::int64_t(source.OriginX) - OriginX;
    const std::int64_t dy = std::int64_t(source.OriginY) - OriginY;
    const int x0 = int(std::clamp<std::int64_t>(dx, 0, width_));
    const int x1 = int(std::clamp<std::int64_t>(dx + source.width_, 0, width_));
    const int y0 = int(std::clamp<std::int64_t>(dy, 0, height_));
    const int y1 = int(std::clamp<std::int64_t>(dy + source.height_, 0, height_));
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y)
            visit(x, y, int(x - dx), int(y - dy));
}

template <typename Paint>
void TQROIL::DrawMasked(TBitmap24& bitmap, Paint&& paint) const
{
    // Clipped on all four sides.
    const int x0 = int(std::clamp<std::int64_t>(-std::int64_t(OriginX), 0, width_));
    const int x1 = int(std::clamp<std::int64_t>(std::int64_t(bitmap.Width()) - OriginX, 0, width_));
    const int y0 = int(std::clamp<std::int64_t>(-std::int64_t(OriginY), 0, height_));
    const int y1 =
        int(std::clamp<std::int64_t>(std::int64_t(bitmap.Height()) - OriginY, 0, height_));
    ForEachTile(x0, x1, y0, y1, 6, [&](int xBegin, int xEnd, int yBegin, int yEnd) {
        const std::uint8_t* columns[TileWidth];
        for (int x = xBegin; x < xEnd; ++x)
            columns[x - xBegin] = mask_[x];
        for (int y = yBegin; y < yEnd; ++y) {
            std::uint8_t* row = bitmap.Row(y + OriginY).data();
            for (int x = xBegin; x < xEnd; ++x)
                if (columns[x - xBegin][y])
                    paint(x, y, row + std::ptrdiff_t(x + OriginX) * 3);
        }
    });
}

} // namespace varnolux
