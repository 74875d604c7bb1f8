#pragma once

#include "imaging/TColour.h"

#include <string>

namespace varnolux {

class TBitmap24;
class TImageView;

/// A drawing surface over an image view's picture bitmap, with the scale between
/// bitmap and control and the background colour it is cleared with.
class TQImage {
public:
    TQImage();
    explicit TQImage(TImageView* control);

    /// Attaches to a control and takes its picture.
    void SetImage(TImageView* control);
    /// ScaleX := bitmap width / control width, likewise ScaleY (1 for a control of
    /// no width or height).
    void CalcScaling();
    /// Fills the whole bitmap with BackgroundColour.
    void Clear();
    /// Fills (x, y) to (trunc(x + ScaleX) + 1, trunc(y + ScaleY) + 1), exclusive.
    void DrawPoint(int x, int y, TColour colour);
    /// DrawPoint at this surface's scale into another bitmap.
    void DrawPointOn(TBitmap24& bitmap, int x, int y, TColour colour) const;
    void SetBitmapSize(int width, int height);
    void ResetBitmap();
    /// Loads a ".JPG", ".JPEG" or ".BMP" file into the control's picture; false for
    /// another extension, a missing file (which shows "File … not found.") or no
    /// control. Throws TImageFileError for a damaged file.
    bool LoadPicture(const std::string& fileName);
    /// Asks the control to repaint.
    void Repaint();

    double ScaleX = 1.0;
    double ScaleY = 1.0;
    TImageView* Control = nullptr;
    TBitmap24* Bitmap = nullptr;
    std::string FileName;
    TColour BackgroundColour = 128;
};

} // namespace varnolux
