#include "imaging/TQObject.h"

#include "imaging/TQImage.h"
#include "imaging/TQStatus.h"

namespace varnolux {

TQObject::TQObject()
{
    TQStatus::Instance();
}

void TQObject::SetImage(TQImage* image)
{
    Image = image;
}

void TQObject::Assign(const TQObject& other)
{
    OriginX = other.OriginX;
    OriginY = other.OriginY;
}

void TQObject::Show(bool clear)
{
    if (!Image)
        return;
    if (clear)
        Image->Clear();
    if (Image->Bitmap)
        Draw(*Image->Bitmap);
    Image->Repaint();
}

void TQObject::ShowOn(TQImage* image, bool clear)
{
    TQImage* const own = Image;
    try {
        SetImage(image);
        Show(clear);
    } catch (...) {
        Image = own;
        throw;
    }
    SetImage(own);
}

} // namespace varnolux
