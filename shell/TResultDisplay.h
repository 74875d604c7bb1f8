#pragma once

#include <array>

namespace varnolux {

class TLabeledEdit;
class Tsp_XYLine;
class Tsp_XYPlot;
struct TAnalysisResult;

/// The main window's result fields and the chart's cumulative curves: they show the
/// numbers and curves of a result value, or nothing.
class TResultDisplay {
public:
    /// The controls, laid out by the window.
    struct TViews {
        /// AnaArea, AreaPixel, Count, MeanSize, Percent, AreaCM, AnaAreaCM, MeanSizeCM.
        std::array<TLabeledEdit*, 8> Fields{};
        Tsp_XYPlot* Chart = nullptr;
        std::array<Tsp_XYLine*, 3> Curves{}; // H, S, V
    };

    explicit TResultDisplay(const TViews& views);

    /// The fields and curves of a complete result; nothing for one that is not.
    void Show(const TAnalysisResult& result);
    /// Empty fields, no curves.
    void Clear();

private:
    TViews views_;
};

} // namespace varnolux
