#pragma once

#include "chart/Tsp_Canvas.h"

#include <QFont>

class QPainter;

namespace varnolux {

/// A chart canvas that paints with a QPainter, one pixel per unit, without
/// antialiasing. Lines leave out their end point as the canvas contract says.
class Tsp_QtCanvas final : public Tsp_Canvas {
public:
    /// baseFont gives the family for chart fonts that name none.
    Tsp_QtCanvas(QPainter& painter, const QFont& baseFont);

    void Line(Tsp_Point from, Tsp_Point to) override;
    void Rectangle(const Tsp_Rect& rect) override;
    void Ellipse(const Tsp_Rect& box) override;
    void Polygon(std::span<const Tsp_Point> corners) override;
    void FillRect(const Tsp_Rect& rect) override;
    void TextOut(int x, int y, std::string_view text) override;
    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;
    void DrawPicture(const Tsp_Rect& target, const Tsp_Picture& picture) override;
    std::optional<Tsp_Rect> ClipRect() const override { return clip_; }
    void SetClipRect(std::optional<Tsp_Rect> clip) override;

private:
    void UsePenAndBrush();
    QFont CurrentFont() const;

    QPainter& painter_;
    QFont baseFont_;
    std::optional<Tsp_Rect> clip_;
};

} // namespace varnolux
