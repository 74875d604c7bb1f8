#pragma once

#include "chart/Tsp_Pen.h"

#include <cstdint>
#include <functional>

namespace varnolux {

/// How a line is drawn: colour, style, width and whether at all. Every change calls
/// OnChange, which the owner sets to repaint what the line belongs to.
class Tsp_LineAttr {
public:
    explicit Tsp_LineAttr(Tsp_Color color = Tsp_Colors::Black, bool visible = true)
        : color_(color)
        , visible_(visible)
    {
    }
    Tsp_LineAttr(const Tsp_LineAttr&) = delete;
    Tsp_LineAttr& operator=(const Tsp_LineAttr&) = delete;

    Tsp_Color Color() const { return color_; }
    Tsp_PenStyle Style() const { return style_; }
    std::uint16_t Width() const { return width_; }
    bool Visible() const { return visible_; }
    void SetColor(Tsp_Color color);
    void SetStyle(Tsp_PenStyle style);
    void SetWidth(std::uint16_t width);
    void SetVisible(bool visible);

    /// Copies colour, style, width and visibility (not the owner's OnChange).
    void Assign(const Tsp_LineAttr& other);
    bool IsSame(const Tsp_LineAttr& other) const;
    /// A copy-mode pen of this colour, style and width.
    Tsp_Pen AsPen() const;

    std::function<void()> OnChange;

private:
    void Changed();

    Tsp_Color color_;
    Tsp_PenStyle style_ = Tsp_PenStyle::psSolid;
    std::uint16_t width_ = 1;
    bool visible_;
};

} // namespace varnolux
