#pragma once

#include "chart/Tsp_Canvas.h"
#include "chart/Tsp_PlotTypes.h"

#include <QObject>

namespace varnolux {

class Tsp_Axis;
class Tsp_CustomXYPlot;

/// Something drawn in a plot's field before or after the series. It registers with
/// the plot given to SetPlot and leaves it when destroyed; a plot that goes first
/// tells it, so that it never refers to a destroyed plot.
class Tsp_PlotMarker : public QObject {
    Q_OBJECT

public:
    explicit Tsp_PlotMarker(QObject* parent = nullptr);
    ~Tsp_PlotMarker() override;

    Tsp_CustomXYPlot* Plot() const { return plot_; }
    void SetPlot(Tsp_CustomXYPlot* plot);
    Tsp_WhatXAxis XAxis() const { return xAxis_; }
    void SetXAxis(Tsp_WhatXAxis axis);
    Tsp_WhatYAxis YAxis() const { return yAxis_; }
    void SetYAxis(Tsp_WhatYAxis axis);
    Tsp_WhenDrawMarker WhenDraw() const { return whenDraw_; }
    void SetWhenDraw(Tsp_WhenDrawMarker when);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    /// Drawn last or first among the markers of its list.
    void BringToFront();
    void SendToBack();

    /// Draws into the plot's field; the plot has clipped the canvas to it.
    virtual void Draw(Tsp_Canvas& canvas) = 0;

protected:
    /// The plot's axes this marker uses; only while it has a plot.
    Tsp_Axis& PlotXAxis() const;
    Tsp_Axis& PlotYAxis() const;
    /// Lets the plot repaint its field when the marker shows.
    void FieldChanged();

private:
    friend class Tsp_CustomXYPlot;
    void PlotGone() { plot_ = nullptr; }

    Tsp_CustomXYPlot* plot_ = nullptr;
    Tsp_WhatXAxis xAxis_ = Tsp_WhatXAxis::dsxBottom;
    Tsp_WhatYAxis yAxis_ = Tsp_WhatYAxis::dsyLeft;
    Tsp_WhenDrawMarker whenDraw_ = Tsp_WhenDrawMarker::dmBeforeSeries;
    bool visible_ = true;
};

} // namespace varnolux
