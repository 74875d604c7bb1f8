#pragma once

#include "chart/Tsp_PointAttr.h"
#include "chart/Tsp_XYDataSeries.h"

#include <functional>

namespace varnolux {

/// A line series: its points joined by straight lines, each optionally marked
/// with a symbol.
class Tsp_XYLine : public Tsp_XYDataSeries {
    Q_OBJECT

public:
    explicit Tsp_XYLine(QObject* parent = nullptr);

    Tsp_PointAttr& PointAttr() { return pointAttr_; }
    const Tsp_PointAttr& PointAttr() const { return pointAttr_; }

    /// Appends a point and draws just the new segment and symbol, without
    /// recomputing the plot's limits.
    void QuickAddXY(double x, double y);

    /// Segments whose two ends both lie far outside the field are left out; the
    /// others are clipped to the field. Symbols are drawn for points in the field.
    void Draw(Tsp_Canvas& canvas) override;
    void DrawLegendMarker(Tsp_Canvas& canvas, const Tsp_Rect& rect) override;

    /// Draws the points of kind ptCustom: the point's values and its pixel.
    std::function<void(Tsp_XYLine& line, Tsp_Canvas& canvas, double xv, double yv, int x, int y)>
        OnDrawCustomPoint;

private:
    Tsp_Point PixelOf(int i) const;
    bool LineDrawn() const;
    void MarkPoint(Tsp_Canvas& canvas, int i, Tsp_Point pixel);
    void DrawSymbol(Tsp_Canvas& canvas, Tsp_Point pixel) const;

    Tsp_PointAttr pointAttr_;
};

} // namespace varnolux
