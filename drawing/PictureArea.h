#pragma once

class QImage;
class QPainter;
class QRect;

namespace varnolux {

/// Paints the part of the picture under area (in the painter's coordinates, where the
/// picture's top-left corner is at 0, 0 and one picture pixel is scale pixels wide):
/// only that part is read and scaled, so a strongly zoomed picture never needs a
/// buffer of its zoomed size.
void DrawPictureArea(QPainter& painter, const QRect& area, const QImage& picture, double scale);

} // namespace varnolux
