#include "chart/Tsp_PlotMarker.h"

#include "chart/Tsp_CustomXYPlot.h"

namespace varnolux {

Tsp_PlotMarker::Tsp_PlotMarker(QObject* parent)
    : QObject(parent)
{
}

Tsp_PlotMarker::~Tsp_PlotMarker()
{
    SetPlot(nullptr);
}

void Tsp_PlotMarker::SetPlot(Tsp_CustomXYPlot* plot)
{
    if (plot == plot_)
        return;
    if (plot_)
        plot_->UnlinkMarker(*this, whenDraw_);
    plot_ = plot;
    if (plot_)
        plot_->LinkMarker(*this, whenDraw_);
}

void Tsp_PlotMarker::SetXAxis(Tsp_WhatXAxis axis)
{
    if (axis == xAxis_)
        return;
    xAxis_ = axis;
    FieldChanged();
}

void Tsp_PlotMarker::SetYAxis(Tsp_WhatYAxis axis)
{
    if (axis == yAxis_)
        return;
    yAxis_ = axis;
    FieldChanged();
}

void Tsp_PlotMarker::SetWhenDraw(Tsp_WhenDrawMarker when)
{
    if (when == whenDraw_)
        return;
    if (plot_)
        plot_->UnlinkMarker(*this, whenDraw_);
    whenDraw_ = when;
    if (plot_)
        plot_->LinkMarker(*this, whenDraw_);
}

void Tsp_PlotMarker::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    if (plot_)
        plot_->CustomInvalidate(false, false, true);
}

void Tsp_PlotMarker::BringToFront()
{
    if (plot_)
        plot_->SetMarkerAt(*this, whenDraw_, true);
}

void Tsp_PlotMarker::SendToBack()
{
    if (plot_)
        plot_->SetMarkerAt(*this, whenDraw_, false);
}

Tsp_Axis& Tsp_PlotMarker::PlotXAxis() const
{
    return plot_->XAxisOf(xAxis_);
}

Tsp_Axis& Tsp_PlotMarker::PlotYAxis() const
{
    return plot_->YAxisOf(yAxis_);
}

void Tsp_PlotMarker::FieldChanged()
{
    if (plot_ && visible_)
        plot_->CustomInvalidate(false, false, true);
}

} // namespace varnolux
