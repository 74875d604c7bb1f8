#include "chart/Tsp_XYLine.h"

#include "chart/Tsp_CustomXYPlot.h"

#include <cstdlib>

namespace varnolux {

namespace {

/// Pixels beyond this are far outside any field.
constexpr int FarPixel = 16000;

bool IsFar(Tsp_Point p)
{
    return std::abs(p.X) > FarPixel || std::abs(p.Y) > FarPixel;
}

const Tsp_Brush ClearBrush{Tsp_Colors::White, Tsp_BrushStyle::bsClear};

} // namespace

Tsp_XYLine::Tsp_XYLine(QObject* parent)
    : Tsp_XYDataSeries(parent)
{
    pointAttr_.OnChange = [this] {
        InvalidatePlot(TIP_Reason::rsAttrChanged);
    };
}

Tsp_Point Tsp_XYLine::PixelOf(int i) const
{
    return {PlotXAxis().V2P(GetX(i)), PlotYAxis().V2P(GetY(i))};
}

bool Tsp_XYLine::LineDrawn() const
{
    return LineAttr().Visible() && LineAttr().Style() != Tsp_PenStyle::psClear;
}

void Tsp_XYLine::QuickAddXY(double x, double y)
{
    AppendPoint(x, y);
    if (!CanPlot() || !Active())
        return;
    const int last = Count() - 1;
    Plot()->DrawIncrement([this, last](Tsp_Canvas& canvas) {
        const Tsp_Rect& field = Plot()->Field();
        const Tsp_Point end = PixelOf(last);
        if (last >= 1 && LineDrawn()) {
            const Tsp_Point start = PixelOf(last - 1);
            if (field.Contains(start) || field.Contains(end)) {
                canvas.SetPen(LineAttr().AsPen());
                canvas.SetBrush(ClearBrush);
                canvas.Line(start, end);
            }
        }
        if (pointAttr_.Visible() && field.Contains(end)) {
            canvas.SetPen(pointAttr_.BorderPen());
            canvas.SetBrush(pointAttr_.Brush());
            MarkPoint(canvas, last, end);
        }
    });
}

void Tsp_XYLine::Draw(Tsp_Canvas& canvas)
{
    const int count = Count();
    if (count < 1 || !Plot())
        return;
    if (!pointAttr_.Visible() && (!LineAttr().Visible() || count < 2))
        return;
    const Tsp_Axis& xAxis = PlotXAxis();
    const Tsp_Axis& yAxis = PlotYAxis();
    if (*GetXMin() > xAxis.Max() || *GetXMax() < xAxis.Min() || *GetYMin() > yAxis.Max() ||
        *GetYMax() < yAxis.Min())
        return;

    if (count > 1 && LineDrawn()) {
        canvas.SetPen(LineAttr().AsPen());
        canvas.SetBrush(ClearBrush);
        Tsp_Point previous = PixelOf(0);
        for (int i = 1; i < count; ++i) {
            const Tsp_Point current = PixelOf(i);
            if (!IsFar(previous) || !IsFar(current))
                canvas.Line(previous, current);
            previous = current;
        }
    }
    if (pointAttr_.Visible()) {
        canvas.SetPen(pointAttr_.BorderPen());
        canvas.SetBrush(pointAttr_.Brush());
        const Tsp_Rect& field = Plot()->Field();
        for (int i = 0; i < count; ++i) {
            const Tsp_Point pixel = PixelOf(i);
            if (field.Contains(pixel))
                MarkPoint(canvas, i, pixel);
        }
    }
}

void Tsp_XYLine::MarkPoint(Tsp_Canvas& canvas, int i, Tsp_Point pixel)
{
    if (pointAttr_.Kind() != TPointKind::ptCustom)
        DrawSymbol(canvas, pixel);
    else if (OnDrawCustomPoint)
        OnDrawCustomPoint(*this, canvas, GetX(i), GetY(i), pixel.X, pixel.Y);
}

void Tsp_XYLine::DrawSymbol(Tsp_Canvas& canvas, Tsp_Point pixel) const
{
    const int x = pixel.X;
    const int y = pixel.Y;
    const int l = pointAttr_.LeftHalf();
    const int r = pointAttr_.RightHalf();
    const int t = pointAttr_.TopHalf();
    const int b = pointAttr_.BottomHalf();
    switch (pointAttr_.Kind()) {
    case TPointKind::ptRectangle:
        canvas.Rectangle({x - l, y - t, x + r, y + t + 1});
        break;
    case TPointKind::ptEllipse:
        canvas.Ellipse({x - l, y - t, x + r, y + b});
        break;
    case TPointKind::ptDiamond: {
        const Tsp_Point corners[] = {{x, y - t}, {x + l, y}, {x, y + t}, {x - l, y}};
        canvas.Polygon(corners);
        break;
    }
    case TPointKind::ptCross:
        canvas.Line({x - l, y}, {x + r, y});
        canvas.Line({x, y - t}, {x, y + b});
        break;
    case TPointKind::ptTriangle: {
        const Tsp_Point corners[] = {{x, y - t}, {x + l, y + t}, {x - l, y + t}};
        canvas.Polygon(corners);
        break;
    }
    case TPointKind::ptDownTriangle: {
        const Tsp_Point corners[] = {{x - l, y - t}, {x + l, y - t}, {x, y + t}};
        canvas.Polygon(corners);
        break;
    }
    case TPointKind::ptCustom:
        break;
    }
}

void Tsp_XYLine::DrawLegendMarker(Tsp_Canvas& canvas, const Tsp_Rect& rect)
{
    const Tsp_Pen savedPen = canvas.Pen();
    const Tsp_Brush savedBrush = canvas.Brush();
    const Tsp_Point middle{rect.Left + rect.Width() / 2, rect.Top + rect.Height() / 2};
    if (LineAttr().Visible()) {
        canvas.SetPen(LineAttr().AsPen());
        canvas.Line({rect.Left, middle.Y}, {rect.Right, middle.Y});
    }
    if (pointAttr_.Visible()) {
        canvas.SetPen(pointAttr_.BorderPen());
        canvas.SetBrush(pointAttr_.Brush());
        DrawSymbol(canvas, middle);
    }
    canvas.SetPen(savedPen);
    canvas.SetBrush(savedBrush);
}

} // namespace varnolux
