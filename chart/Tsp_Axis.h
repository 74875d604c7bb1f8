#pragma once

#include "chart/Tsp_Scale.h"

#include <string>

namespace varnolux {

class Tsp_CustomXYPlot;

/// A scale owned by a plot, with a caption, grid lines, a margin to the plot's edge
/// and limits that can be remembered for un-zooming. Changes repaint the plot.
class Tsp_Axis : public Tsp_Scale {
public:
    Tsp_Axis(Tsp_CustomXYPlot& plot, std::uint32_t flags);

    Tsp_CustomXYPlot& Plot() const { return plot_; }

    /// Pixels between the plot's edge and the axis band; the caption sits there.
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    /// Whether the caption holds anything beyond spaces and control characters.
    bool HasCaption() const { return hasCaption_; }
    Tsp_LineAttr& GridAttr() { return gridAttr_; }
    const Tsp_LineAttr& GridAttr() const { return gridAttr_; }

    bool AutoMin() const { return GetFlagBit(Tsp_ScaleBit::AutoMin); }
    void SetAutoMin(bool on);
    bool AutoMax() const { return GetFlagBit(Tsp_ScaleBit::AutoMax); }
    void SetAutoMax(bool on);
    bool LabelAsDataTime() const { return GetFlagBit(Tsp_ScaleBit::LabelAsDataTime); }
    void SetLabelAsDataTime(bool on);

    /// Explicit limits: they switch the automatic limit off and forget stored limits.
    void SetMin(double min);
    void SetMax(double max);
    void SetMinMax(double min, double max);
    /// Shifts both limits by delta (panning by code); forgets stored limits.
    void MoveMinMax(double delta);

    /// Remembers the limits unless some are remembered already.
    void StoreMinMax();
    /// Goes back to the remembered limits and forgets them; no repaint by itself.
    void ReStoreMinMax();
    bool LimitsStored() const { return limitsStored_; }

    void SetLineAttr(const Tsp_LineAttr& attr) { LineAttr().Assign(attr); }
    void SetGrid(const Tsp_LineAttr& attr) { gridAttr_.Assign(attr); }

    /// Copies flags, line, tick count, label format, margin, caption, limits and
    /// both line attributes.
    void Assign(const Tsp_Axis& other);

    /// The scale's label, which the plot's OnGetTickLabel may replace.
    std::string TickLabel(int i) const override;

protected:
    void FlagsChanged(int bit) override;
    void AttributesChanged() override;

private:
    void SetFlagQuietly(int bit, bool on);

    Tsp_CustomXYPlot& plot_;
    int margin_ = 4;
    std::string caption_;
    bool hasCaption_ = false;
    Tsp_LineAttr gridAttr_{Tsp_Colors::Gray, false};
    double storedMin_ = 0.0;
    double storedMax_ = 0.0;
    bool limitsStored_ = false;
};

} // namespace varnolux
