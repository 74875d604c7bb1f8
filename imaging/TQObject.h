#pragma once

namespace varnolux {

class TBitmap24;
class TQImage;

/// Base of all image objects: an origin in the parent image and the display surface
/// it draws itself on (not owned, may be null).
class TQObject {
public:
    TQObject();
    virtual ~TQObject() = default;

    virtual void SetImage(TQImage* image);
    /// Paints the object into a 24-bit bitmap.
    virtual void Draw(TBitmap24& bitmap) = 0;
    /// Copies the origin.
    virtual void Assign(const TQObject& other);

    /// Clears the image when asked, draws into its bitmap, asks for a repaint.
    void Show(bool clear);
    /// Show on another surface, keeping this object's own.
    void ShowOn(TQImage* image, bool clear);

    TQImage* Image = nullptr;
    int OriginX = 0;
    int OriginY = 0;

protected:
    TQObject(const TQObject&) = default;
    TQObject& operator=(const TQObject&) = default;
};

} // namespace varnolux
