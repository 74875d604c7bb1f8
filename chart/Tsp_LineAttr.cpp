#include "chart/Tsp_LineAttr.h"

namespace varnolux {

void Tsp_LineAttr::SetColor(Tsp_Color color)
{
    if (color == color_)
        return;
    color_ = color;
    Changed();
}

void Tsp_LineAttr::SetStyle(Tsp_PenStyle style)
{
    if (style == style_)
        return;
    style_ = style;
    Changed();
}

void Tsp_LineAttr::SetWidth(std::uint16_t width)
{
    if (width == width_)
        return;
    width_ = width;
    Changed();
}

void Tsp_LineAttr::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    Changed();
}

void Tsp_LineAttr::Assign(const Tsp_LineAttr& other)
{
    if (IsSame(other))
        return;
    color_ = other.color_;
    style_ = other.style_;
    width_ = other.width_;
    visible_ = other.visible_;
    Changed();
}

bool Tsp_LineAttr::IsSame(const Tsp_LineAttr& other) const
{
    return color_ == other.color_ && style_ == other.style_ && width_ == other.width_ &&
           visible_ == other.visible_;
}

Tsp_Pen Tsp_LineAttr::AsPen() const
{
    return {color_, style_, width_, Tsp_PenMode::pmCopy};
}

void Tsp_LineAttr::Changed()
{
    if (OnChange)
        OnChange();
}

} // namespace varnolux
