#include "chart/Tsp_DataSeries.h"

#include "chart/Tsp_CustomXYPlot.h"

namespace varnolux {

Tsp_DataSeries::Tsp_DataSeries(QObject* parent)
    : QObject(parent)
{
}

Tsp_DataSeries::~Tsp_DataSeries()
{
    SetPlot(nullptr);
}

void Tsp_DataSeries::SetPlot(Tsp_CustomXYPlot* plot)
{
    if (plot == plot_)
        return;
    if (plot_)
        plot_->UnlinkSeries(*this);
    plot_ = plot;
    if (plot_)
        plot_->LinkSeries(*this);
}

void Tsp_DataSeries::SetXAxis(Tsp_WhatXAxis axis)
{
    if (axis == xAxis_)
        return;
    xAxis_ = axis;
    if (plot_)
        plot_->SeriesAxesChanged(true);
}

void Tsp_DataSeries::SetYAxis(Tsp_WhatYAxis axis)
{
    if (axis == yAxis_)
        return;
    yAxis_ = axis;
    if (plot_)
        plot_->SeriesAxesChanged(false);
}

void Tsp_DataSeries::SetActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    if (plot_)
        plot_->InvalidateSeries(*this);
}

void Tsp_DataSeries::BringToFront()
{
    if (plot_)
        plot_->SetSeriesAt(*this, true);
}

void Tsp_DataSeries::SendToBack()
{
    if (plot_)
        plot_->SetSeriesAt(*this, false);
}

void Tsp_DataSeries::InvalidatePlot(TIP_Reason reason)
{
    if (!active_ || !plot_)
        return;
    if (reason == TIP_Reason::rsDataChanged)
        plot_->InvalidateSeries(*this);
    else
        plot_->CustomInvalidate(false, false, true);
}

Tsp_Axis& Tsp_DataSeries::PlotXAxis() const
{
    return plot_->XAxisOf(xAxis_);
}

Tsp_Axis& Tsp_DataSeries::PlotYAxis() const
{
    return plot_->YAxisOf(yAxis_);
}

} // namespace varnolux
