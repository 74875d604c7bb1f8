#include "shell/TResultDisplay.h"

#include "analysis/TAnalysisResult.h"
#include "chart/Tsp_XYLine.h"
#include "chart/Tsp_XYPlot.h"
#include "shell/TLabeledEdit.h"

namespace varnolux {

namespace {

// The curves are shares of the analysis area: 0 to 1, with room above.
constexpr double CurvesAxisMax = 1.1;

} // namespace

TResultDisplay::TResultDisplay(const TViews& views)
    : views_(views)
{
}

void TResultDisplay::Show(const TAnalysisResult& result)
{
    if (!result.Complete) {
        Clear();
        return;
    }
    const TResultFields& fields = result.Fields;
    const std::array texts = {&fields.AnaArea,   &fields.AreaPixel, &fields.Count,
                              &fields.MeanSize,  &fields.Percent,   &fields.AreaCM,
                              &fields.AnaAreaCM, &fields.MeanSizeCM};
    for (size_t i = 0; i < texts.size(); ++i)
        views_.Fields[i]->setText(QString::fromStdString(*texts[i]));
    views_.Chart->LeftAxis().SetMax(CurvesAxisMax);
    for (size_t channel = 0; channel < views_.Curves.size(); ++channel) {
        Tsp_XYLine& line = *views_.Curves[channel];
        line.SetCapacity(0);
        line.SetLockInvalidate(true);
        const auto& curve = result.Curves[channel];
        for (size_t k = 0; k < curve.size(); ++k)
            line.AddXY(static_cast<double>(k), curve[k]);
        line.SetLockInvalidate(false);
    }
}

void TResultDisplay::Clear()
{
    for (TLabeledEdit* field : views_.Fields)
        field->clear();
    for (Tsp_XYLine* line : views_.Curves)
        line->Clear();
}

} // namespace varnolux
