#pragma once

#include "chart/Tsp_Brush.h"
#include "chart/Tsp_Pen.h"

#include <functional>

namespace varnolux {

enum class TPointKind {
    ptRectangle,
    ptEllipse,
    ptDiamond,
    ptCross,
    ptCustom,
    ptTriangle,
    ptDownTriangle
};

/// How the points of a line series are marked: a symbol of odd width and height
/// around the point, filled like a brush and outlined with a border pen. Every
/// change calls OnChange.
class Tsp_PointAttr {
public:
    Tsp_PointAttr();
    Tsp_PointAttr(const Tsp_PointAttr&) = delete;
    Tsp_PointAttr& operator=(const Tsp_PointAttr&) = delete;

    TPointKind Kind() const { return kind_; }
    void SetKind(TPointKind kind);
    /// The symbol's width, 2 · LeftHalf() + 1; a negative size counts as 1.
    int HSize() const { return 2 * left_ + 1; }
    void SetHSize(int size);
    int VSize() const { return 2 * top_ + 1; }
    void SetVSize(int size);
    /// The symbol reaches LeftHalf() pixels left of the point and RightHalf() − 1
    /// right of it, likewise up and down.
    int LeftHalf() const { return left_; }
    int RightHalf() const { return left_ + 1; }
    int TopHalf() const { return top_; }
    int BottomHalf() const { return top_ + 1; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    /// The border width, at most LeftHalf() and TopHalf(); a negative width counts as 1.
    int BorderWidth() const;
    void SetBorderWidth(int width);
    Tsp_Color BorderColor() const { return borderColor_; }
    void SetBorderColor(Tsp_Color color);
    const Tsp_Brush& Brush() const { return brush_; }
    void SetBrush(const Tsp_Brush& brush);

    Tsp_Pen BorderPen() const;

    std::function<void()> OnChange;

private:
    static int HalfOf(int size) { return (size < 0 ? 1 : size) / 2; }
    void Changed();

    TPointKind kind_ = TPointKind::ptRectangle;
    int left_;
    int top_;
    bool visible_ = true;
    int borderWidth_ = 1;
    Tsp_Color borderColor_ = Tsp_Colors::Black;
    Tsp_Brush brush_;
};

} // namespace varnolux
