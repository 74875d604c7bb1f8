#pragma once

#include "imaging/TQROIL.h"

#include <string>

namespace varnolux {

/// A ROI with one value plane of T. The program uses T = unsigned char only.
template <typename T>
class TQROITemplate : public TQROIL {
public:
    TQROITemplate();
    TQROITemplate(const TQROITemplate& other);
    TQROITemplate(int width, int height);

    TPlane<T>& Values() { return values_; }
    const TPlane<T>& Values() const { return values_; }

    std::unique_ptr<TQROIL> NewOfSize(int width, int height) const override;
    void SetSize(int width, int height) override;
    /// TQROIL's assign plus a copy of the value plane (when other has one).
    void Assign(const TQObject& other) override;
    /// Moves pixels with CopyPixel, so values travel with the mask.
    void Paste(const TQROIL& source, bool all) override;

    /// Sets mask and value of (x, y) from (sx, sy) of source.
    virtual void CopyPixel(const TQROITemplate& source, int x, int y, int sx, int sy);
    /// CopyPixel for count pixels down one column, from (x, y) and (sx, sy) on. A
    /// class that replaces CopyPixel replaces this alike.
    virtual void CopyPixels(const TQROITemplate& source, int x, int y, int sx, int sy, int count);
    virtual void FillValue(T value, bool all);
    /// Smallest and largest value; false when no pixel qualifies.
    virtual bool MinMax(T& min, T& max, bool all) const;
    virtual void Invert();
    virtual void Subtract(const TQROITemplate& other, bool all);
    virtual void Add(const TQROITemplate& other, bool all);
    virtual void AddConstant(double c, bool all);
    virtual void Multiply(const TQROITemplate& other, bool all);
    virtual void MultiplyConstant(double c, bool all);

    /// Resampling: interpolation 0 bilinear, 1 nearest neighbour.
    virtual void resize(int width, int height, int interpolation);
    virtual void Scale(double f, int interpolation);
    virtual void Scale(double fx, double fy, int interpolation);
    virtual void Rotate(double degrees, int interpolation);

    /// Fills the ROI from a 24-bit bitmap: channel 1 red, 2 green, 3 blue, else grey.
    virtual void LoadFromBitmap(const TBitmap24& bitmap, int channel);

    /// Reads a ".BMP", ".JPG" or ".JPEG" file (extension compared case-blind) and
    /// loads it with LoadFromBitmap. Any other extension shows a message and gives
    /// false. Throws TQError when the file cannot be read.
    bool LoadFromFile(const std::string& fileName, int channel, bool alsoDisplay);

protected:
    TPlane<T> values_;
};

} // namespace varnolux
