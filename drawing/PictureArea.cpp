#include "drawing/PictureArea.h"

#include <algorithm>
#include <cmath>

#include <QImage>
#include <QPainter>

namespace varnolux {

void DrawPictureArea(QPainter& painter, const QRect& area, const QImage& picture, double scale)
{
    if (picture.isNull() || !(scale > 0))
        return;
    const auto first = [scale](int canvas, int extent) {
        return static_cast<int>(std::clamp(std::floor(canvas / scale), 0.0, double(extent)));
    };
    const auto last = [scale](int canvas, int extent) {
        return static_cast<int>(std::clamp(std::ceil(canvas / scale), 0.0, double(extent)));
    };
    const int left = first(area.left(), picture.width());
    const int top = first(area.top(), picture.height());
    const int right = last(area.right() + 1, picture.width());
    const int bottom = last(area.bottom() + 1, picture.height());
    if (right <= left || bottom <= top)
        return;
    const QRect source(left, top, right - left, bottom - top);
    const QRectF target(left * scale, top * scale, source.width() * scale, source.height() * scale);
    painter.drawImage(target, picture, source);
}

} // namespace varnolux
