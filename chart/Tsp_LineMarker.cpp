#include "chart/Tsp_LineMarker.h"

#include "chart/Tsp_CustomXYPlot.h"

namespace varnolux {

Tsp_LineMarker::Tsp_LineMarker(QObject* parent)
    : Tsp_PlotMarker(parent)
{
}

void Tsp_LineMarker::SetPen(const Tsp_Pen& pen)
{
    if (pen == pen_)
        return;
    pen_ = pen;
    FieldChanged();
}

void Tsp_LineMarker::SetBrush(const Tsp_Brush& brush)
{
    if (brush == brush_)
        return;
    brush_ = brush;
    FieldChanged();
}

void Tsp_LineMarker::SetPosition(double position)
{
    if (position == position_)
        return;
    position_ = position;
    FieldChanged();
}

void Tsp_LineMarker::SetOrientation(Tsp_LMOrientation orientation)
{
    if (orientation == orientation_)
        return;
    orientation_ = orientation;
    FieldChanged();
}

void Tsp_LineMarker::Draw(Tsp_Canvas& canvas)
{
    if (!Plot())
        return;
    const Tsp_Rect& field = Plot()->Field();
    const int width = pen_.Width;
    if (orientation_ == Tsp_LMOrientation::loVertical) {
        const int p = PlotXAxis().V2P(position_);
        if (p > field.Right - 1 + width || p < field.Left - width)
            return;
        canvas.SetPen(pen_);
        canvas.SetBrush(brush_);
        canvas.Line({p, field.Top}, {p, field.Bottom});
    } else {
        const int p = PlotYAxis().V2P(position_);
        if (p > field.Bottom - 1 + width || p < field.Top - width + 1)
            return;
        canvas.SetPen(pen_);
        canvas.SetBrush(brush_);
        canvas.Line({field.Left, p}, {field.Right, p});
    }
}

} // namespace varnolux
