#include "imaging/TQPoint.h"

#include "imaging/TBitmap24.h"
#include "imaging/TQImage.h"

namespace varnolux {

TQPoint::TQPoint(int x, int y, int originX, int originY)
    : X(x)
    , Y(y)
{
    OriginX = originX;
    OriginY = originY;
}

void TQPoint::Draw(TBitmap24& bitmap)
{
    // Without a surface the point is drawn at scale 1.
    const TQImage unscaled;
    const TQImage& surface = Image ? *Image : unscaled;
    surface.DrawPointOn(bitmap, X + OriginX, Y + OriginY, Colour);
}

void TQPoint::Assign(const TQObject& other)
{
    TQObject::Assign(other);
    if (const auto* point = dynamic_cast<const TQPoint*>(&other)) {
        X = point->X;
        Y = point->Y;
        Colour = point->Colour;
    }
}

} // namespace varnolux
