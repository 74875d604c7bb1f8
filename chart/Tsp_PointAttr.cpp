#include "chart/Tsp_PointAttr.h"

#include <algorithm>

namespace varnolux {

namespace {
constexpr int DefaultSize = 5;
}

Tsp_PointAttr::Tsp_PointAttr()
    : left_(HalfOf(DefaultSize))
    , top_(HalfOf(DefaultSize))
{
}

void Tsp_PointAttr::SetKind(TPointKind kind)
{
    if (kind == kind_)
        return;
    kind_ = kind;
    Changed();
}

void Tsp_PointAttr::SetHSize(int size)
{
    if (HalfOf(size) == left_)
        return;
    left_ = HalfOf(size);
    Changed();
}

void Tsp_PointAttr::SetVSize(int size)
{
    if (HalfOf(size) == top_)
        return;
    top_ = HalfOf(size);
    Changed();
}

void Tsp_PointAttr::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    Changed();
}

int Tsp_PointAttr::BorderWidth() const
{
    return std::min({borderWidth_, left_, top_});
}

void Tsp_PointAttr::SetBorderWidth(int width)
{
    width = width < 0 ? 1 : width;
    if (width == borderWidth_)
        return;
    borderWidth_ = width;
    Changed();
}

void Tsp_PointAttr::SetBorderColor(Tsp_Color color)
{
    if (color == borderColor_)
        return;
    borderColor_ = color;
    Changed();
}

void Tsp_PointAttr::SetBrush(const Tsp_Brush& brush)
{
    if (brush == brush_)
        return;
    brush_ = brush;
    Changed();
}

Tsp_Pen Tsp_PointAttr::BorderPen() const
{
    return {borderColor_, Tsp_PenStyle::psSolid, BorderWidth(), Tsp_PenMode::pmCopy};
}

void Tsp_PointAttr::Changed()
{
    if (OnChange)
        OnChange();
}

} // namespace varnolux
