#pragma once

#include "chart/Tsp_Font.h"
#include "chart/Tsp_XYDataSeries.h"

#include <functional>
#include <string>

namespace varnolux {

/// Where the bars of a spectrum start.
enum class Tsp_YOrigin { yoBaseLine, yoXAxises };
/// Which value labels a bar.
enum class Tsp_WhatValues { wvXValues, wvYValues };

/// A spectrum: a vertical bar from a base line to each point, optionally labelled.
class Tsp_SpectrLines : public Tsp_XYDataSeries {
    Q_OBJECT

public:
    explicit Tsp_SpectrLines(QObject* parent = nullptr);

    double BaseYValue() const { return baseYValue_; }
    void SetBaseYValue(double value);
    Tsp_YOrigin YOrigin() const { return yOrigin_; }
    void SetYOrigin(Tsp_YOrigin origin);
    Tsp_WhatValues LabelValues() const { return labelValues_; }
    void SetLabelValues(Tsp_WhatValues values);
    const std::string& LabelFormat() const { return labelFormat_; }
    void SetLabelFormat(const std::string& format);
    const Tsp_Font& LabelFont() const { return labelFont_; }
    void SetLabelFont(const Tsp_Font& font);
    bool ShowLabel() const { return showLabel_; }
    void SetShowLabel(bool show);
    bool ShowBaseLine() const { return showBaseLine_; }
    void SetShowBaseLine(bool show);

    /// The Y extremes include the base of the bars.
    std::optional<double> GetYMin() const override;
    std::optional<double> GetYMax() const override;

    void Draw(Tsp_Canvas& canvas) override;
    void DrawLegendMarker(Tsp_Canvas& canvas, const Tsp_Rect& rect) override;

    /// May replace the label of bar num.
    std::function<void(Tsp_SpectrLines& sender, int num, double x, double y, std::string& label)>
        OnGetLabel;

private:
    /// The pixel row the bars start from.
    int BasePixel() const;
    double BaseValue() const;
    template <typename T>
    void SetLook(T& field, const T& value);

    double baseYValue_ = 0.0;
    Tsp_YOrigin yOrigin_ = Tsp_YOrigin::yoBaseLine;
    Tsp_WhatValues labelValues_ = Tsp_WhatValues::wvXValues;
    std::string labelFormat_ = "###0.##";
    Tsp_Font labelFont_;
    bool showLabel_ = false;
    bool showBaseLine_ = true;
};

} // namespace varnolux
