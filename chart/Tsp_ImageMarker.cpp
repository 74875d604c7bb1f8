#include "chart/Tsp_ImageMarker.h"

#include "chart/Tsp_CustomXYPlot.h"

#include <algorithm>
#include <utility>

namespace varnolux {

Tsp_ImageMarker::Tsp_ImageMarker(QObject* parent)
    : Tsp_PlotMarker(parent)
{
}

void Tsp_ImageMarker::SetPicture(Tsp_Picture picture)
{
    picture_ = std::move(picture);
    FieldChanged();
}

void Tsp_ImageMarker::SetValue(double& field, double value)
{
    if (value == field)
        return;
    field = value;
    FieldChanged();
}

void Tsp_ImageMarker::SetX(double x)
{
    SetValue(x_, x);
}

void Tsp_ImageMarker::SetY(double y)
{
    SetValue(y_, y);
}

void Tsp_ImageMarker::SetStretchX(double x)
{
    SetValue(stretchX_, x);
}

void Tsp_ImageMarker::SetStretchY(double y)
{
    SetValue(stretchY_, y);
}

void Tsp_ImageMarker::SetStretch(bool stretch)
{
    if (stretch == stretch_)
        return;
    stretch_ = stretch;
    FieldChanged();
}

void Tsp_ImageMarker::Draw(Tsp_Canvas& canvas)
{
    if (!Plot() || picture_.IsEmpty())
        return;
    const Tsp_Axis& xAxis = PlotXAxis();
    const Tsp_Axis& yAxis = PlotYAxis();
    const int left = xAxis.V2P(x_);
    const int top = yAxis.V2P(y_);
    Tsp_Rect target{left, top, left + picture_.Width, top + picture_.Height};
    if (stretch_) {
        const int right = xAxis.V2P(stretchX_);
        const int bottom = yAxis.V2P(stretchY_);
        target = {std::min(left, right), std::min(top, bottom), std::max(left, right),
                  std::max(top, bottom)};
    }
    if (target.Intersects(Plot()->Field()))
        canvas.DrawPicture(target, picture_);
}

} // namespace varnolux
