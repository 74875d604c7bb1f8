#pragma once

#include "chart/Tsp_Canvas.h"
#include "chart/Tsp_PlotTypes.h"

#include <optional>
#include <string>

#include <QObject>

namespace varnolux {

class Tsp_Axis;
class Tsp_CustomXYPlot;

/// Why a series asks its plot for a repaint.
enum class TIP_Reason { rsDataChanged, rsAttrChanged };

/// A data series drawn in a plot's field. It registers with the plot given to
/// SetPlot and leaves it when destroyed; a plot that goes first tells it, so that
/// it never refers to a destroyed plot.
class Tsp_DataSeries : public QObject {
    Q_OBJECT

public:
    explicit Tsp_DataSeries(QObject* parent = nullptr);
    ~Tsp_DataSeries() override;

    Tsp_CustomXYPlot* Plot() const { return plot_; }
    void SetPlot(Tsp_CustomXYPlot* plot);
    Tsp_WhatXAxis XAxis() const { return xAxis_; }
    void SetXAxis(Tsp_WhatXAxis axis);
    Tsp_WhatYAxis YAxis() const { return yAxis_; }
    void SetYAxis(Tsp_WhatYAxis axis);
    const std::string& Legend() const { return legend_; }
    void SetLegend(const std::string& legend) { legend_ = legend; }
    /// Only active series are drawn and count for automatic limits.
    bool Active() const { return active_; }
    void SetActive(bool active);

    /// Drawn last or first among the plot's series.
    void BringToFront();
    void SendToBack();

    /// Draws into the plot's field; the plot has clipped the canvas to it.
    virtual void Draw(Tsp_Canvas& canvas) = 0;
    /// The extremes of the data; none without data.
    virtual std::optional<double> GetXMin() const = 0;
    virtual std::optional<double> GetXMax() const = 0;
    virtual std::optional<double> GetYMin() const = 0;
    virtual std::optional<double> GetYMax() const = 0;
    /// The series' look in a legend rectangle.
    virtual void DrawLegendMarker(Tsp_Canvas& canvas, const Tsp_Rect& rect) = 0;

    /// Data changes let the plot recompute automatic limits and repaint; look
    /// changes repaint the field. Nothing for an inactive series or one without plot.
    void InvalidatePlot(TIP_Reason reason);

protected:
    /// The plot's axes this series uses; only while it has a plot.
    Tsp_Axis& PlotXAxis() const;
    Tsp_Axis& PlotYAxis() const;

private:
    friend class Tsp_CustomXYPlot;
    void PlotGone() { plot_ = nullptr; }

    Tsp_CustomXYPlot* plot_ = nullptr;
    Tsp_WhatXAxis xAxis_ = Tsp_WhatXAxis::dsxBottom;
    Tsp_WhatYAxis yAxis_ = Tsp_WhatYAxis::dsyLeft;
    std::string legend_;
    bool active_ = true;
};

} // namespace varnolux
