#include "chart/Tsp_SpectrLines.h"

#include "chart/FormatFloat.h"
#include "chart/Tsp_CustomXYPlot.h"
#include "settings/NumberText.h"

#include <algorithm>

namespace varnolux {

Tsp_SpectrLines::Tsp_SpectrLines(QObject* parent)
    : Tsp_XYDataSeries(parent)
{
}

template <typename T>
void Tsp_SpectrLines::SetLook(T& field, const T& value)
{
    if (value == field)
        return;
    field = value;
    InvalidatePlot(TIP_Reason::rsAttrChanged);
}

void Tsp_SpectrLines::SetBaseYValue(double value)
{
    if (value == baseYValue_)
        return;
    baseYValue_ = value;
    InvalidatePlot(TIP_Reason::rsDataChanged);
}

void Tsp_SpectrLines::SetYOrigin(Tsp_YOrigin origin)
{
    if (origin == yOrigin_)
        return;
    yOrigin_ = origin;
    InvalidatePlot(TIP_Reason::rsDataChanged);
}

void Tsp_SpectrLines::SetLabelValues(Tsp_WhatValues values)
{
    SetLook(labelValues_, values);
}

void Tsp_SpectrLines::SetLabelFormat(const std::string& format)
{
    SetLook(labelFormat_, format);
}

void Tsp_SpectrLines::SetLabelFont(const Tsp_Font& font)
{
    SetLook(labelFont_, font);
}

void Tsp_SpectrLines::SetShowLabel(bool show)
{
    SetLook(showLabel_, show);
}

void Tsp_SpectrLines::SetShowBaseLine(bool show)
{
    SetLook(showBaseLine_, show);
}

double Tsp_SpectrLines::BaseValue() const
{
    return yOrigin_ == Tsp_YOrigin::yoBaseLine ? baseYValue_ : 0.0;
}

std::optional<double> Tsp_SpectrLines::GetYMin() const
{
    const std::optional<double> dataMin = Tsp_XYDataSeries::GetYMin();
    if (!dataMin)
        return dataMin;
    return std::min(*dataMin, BaseValue());
}

std::optional<double> Tsp_SpectrLines::GetYMax() const
{
    const std::optional<double> dataMax = Tsp_XYDataSeries::GetYMax();
    if (!dataMax)
        return dataMax;
    return std::max(*dataMax, BaseValue());
}

int Tsp_SpectrLines::BasePixel() const
{
    const Tsp_CustomXYPlot& plot = *Plot();
    const int topLine = plot.TopAxis().LineY();
    const int bottomLine = plot.BottomAxis().LineY();
    if (yOrigin_ == Tsp_YOrigin::yoXAxises)
        return PlotYAxis().GetFlagBit(Tsp_ScaleBit::Inverted) ? topLine - 2 : bottomLine + 2;
    return std::clamp(PlotYAxis().V2P(baseYValue_), topLine - 2, bottomLine + 2);
}

void Tsp_SpectrLines::Draw(Tsp_Canvas& canvas)
{
    if (Count() <= 0 || !Plot())
        return;
    const Tsp_Axis& xAxis = PlotXAxis();
    const Tsp_Axis& yAxis = PlotYAxis();
    if (*GetXMin() > xAxis.Max() || *GetXMax() < xAxis.Min())
        return;
    const Tsp_Rect& field = Plot()->Field();
    const int base = BasePixel();
    const int width = LineAttr().Width();
    if (LineAttr().Visible()) {
        canvas.SetPen(LineAttr().AsPen());
        canvas.SetBrush({LineAttr().Color(), Tsp_BrushStyle::bsSolid});
        for (int i = 0; i < Count(); ++i) {
            const int x = xAxis.V2P(GetX(i));
            const int y = yAxis.V2P(GetY(i));
            if (width <= 1)
                canvas.Line({x, base}, {x, y});
            else
                canvas.FillRect(
                    {x - width / 2, std::min(base, y), x - width / 2 + width, std::max(base, y)});
        }
    }
    if (showLabel_) {
        canvas.SetFont(labelFont_);
        const std::string separator = LocaleDecimalSeparator();
        for (int i = 0; i < Count(); ++i) {
            const double value = labelValues_ == Tsp_WhatValues::wvXValues ? GetX(i) : GetY(i);
            std::string label = FormatFloat(value, labelFormat_, separator);
            if (OnGetLabel)
                OnGetLabel(*this, i, GetX(i), GetY(i), label);
            const int x = xAxis.V2P(GetX(i));
            const int y = yAxis.V2P(GetY(i));
            canvas.TextOut(x + width / 2 + 2, y - canvas.TextHeight(label) / 2, label);
        }
    }
    if (showBaseLine_ && yOrigin_ == Tsp_YOrigin::yoBaseLine) {
        canvas.SetPen({LineAttr().Color(), Tsp_PenStyle::psSolid, 1, Tsp_PenMode::pmCopy});
        canvas.Line({field.Left, base}, {field.Right + 1, base});
    }
}

void Tsp_SpectrLines::DrawLegendMarker(Tsp_Canvas& canvas, const Tsp_Rect& rect)
{
    if (!LineAttr().Visible())
        return;
    const Tsp_Pen savedPen = canvas.Pen();
    const Tsp_Brush savedBrush = canvas.Brush();
    const int middle = rect.Left + rect.Width() / 2;
    canvas.SetPen(LineAttr().AsPen());
    canvas.Line({middle, rect.Bottom}, {middle, rect.Top});
    canvas.SetPen(savedPen);
    canvas.SetBrush(savedBrush);
}

} // namespace varnolux
