#pragma once

#include "chart/Tsp_Brush.h"
#include "chart/Tsp_Font.h"
#include "chart/Tsp_Pen.h"
#include "chart/Tsp_Picture.h"
#include "chart/Tsp_Point.h"
#include "chart/Tsp_Rect.h"

#include <optional>
#include <span>
#include <string_view>

namespace varnolux {

/// Where the chart draws. It holds the current pen, brush and font; each drawing
/// operation uses them. Texts are UTF-8.
class Tsp_Canvas {
public:
    virtual ~Tsp_Canvas() = default;

    const Tsp_Pen& Pen() const { return pen_; }
    void SetPen(const Tsp_Pen& pen) { pen_ = pen; }
    const Tsp_Brush& Brush() const { return brush_; }
    void SetBrush(const Tsp_Brush& brush) { brush_ = brush; }
    const Tsp_Font& Font() const { return font_; }
    void SetFont(const Tsp_Font& font) { font_ = font; }

    /// The pixels from `from` up to, but not including, `to`.
    virtual void Line(Tsp_Point from, Tsp_Point to) = 0;
    /// The outline with the pen and the inside with the brush.
    virtual void Rectangle(const Tsp_Rect& rect) = 0;
    /// The ellipse inscribed in box, outlined with the pen and filled with the brush.
    virtual void Ellipse(const Tsp_Rect& box) = 0;
    /// The closed polygon, outlined with the pen and filled with the brush.
    virtual void Polygon(std::span<const Tsp_Point> corners) = 0;
    /// The whole rectangle in the brush colour, without an outline.
    virtual void FillRect(const Tsp_Rect& rect) = 0;
    /// Text in the font colour with the top-left corner of its (unturned) box at
    /// (x, y), turned about that point by the font's orientation. The background
    /// shows through.
    virtual void TextOut(int x, int y, std::string_view text) = 0;
    virtual int TextWidth(std::string_view text) = 0;
    virtual int TextHeight(std::string_view text) = 0;
    /// The picture scaled into target.
    virtual void DrawPicture(const Tsp_Rect& target, const Tsp_Picture& picture) = 0;

    /// The area drawing is restricted to; none for the whole canvas.
    virtual std::optional<Tsp_Rect> ClipRect() const = 0;
    virtual void SetClipRect(std::optional<Tsp_Rect> clip) = 0;

private:
    Tsp_Pen pen_;
    Tsp_Brush brush_;
    Tsp_Font font_;
};

} // namespace varnolux
