#pragma once

#include "chart/Tsp_Canvas.h"
#include "chart/Tsp_LineAttr.h"

#include <array>
#include <cstdint>
#include <string>

namespace varnolux {

/// Bit numbers in the flag set of a scale.
struct Tsp_ScaleBit {
    /// The scale runs upwards.
    static constexpr int Vertical = 0;
    /// Values grow the other way: the line starts at Max.
    static constexpr int Inverted = 1;
    static constexpr int NoTicks = 3;
    /// No labels; the ticks then sit at equal fractions of the line.
    static constexpr int NoLabels = 4;
    /// Ticks and labels right of a vertical line or above a horizontal one.
    static constexpr int OppositeSide = 5;
    static constexpr int AutoMin = 6;
    static constexpr int AutoMax = 7;
    static constexpr int LabelAsDataTime = 8;
    /// Ticks at equal fractions of the range, labelled with their values.
    static constexpr int FractionTicks = 9;
};

/// The mechanics of a plot scale: limits, the value-to-pixel mapping along a line,
/// round tick values with their positions and labels, and the drawing of line and
/// ticks. Limits always satisfy Min < Max.
class Tsp_Scale {
public:
    static constexpr int MaxTicks = 21;
    /// Pixel coordinates are kept within ±PixelLimit.
    static constexpr int PixelLimit = 16383;

    explicit Tsp_Scale(std::uint32_t flags);
    virtual ~Tsp_Scale() = default;
    Tsp_Scale(const Tsp_Scale&) = delete;
    Tsp_Scale& operator=(const Tsp_Scale&) = delete;

    std::uint32_t Flags() const { return flags_; }
    bool GetFlagBit(int bit) const;
    /// Set, clear or toggle a flag; a change calls FlagsChanged.
    void SetFlagBit(int bit);
    void ReSetFlagBit(int bit);
    void NotFlagBit(int bit);

    double Min() const { return min_; }
    double Max() const { return max_; }
    double Range() const { return range_; }
    /// The power of ten that scales the range to round tick units.
    double Factor() const { return factor_; }
    double ScaledMin() const { return scaledMin_; }
    double ScaledMax() const { return scaledMax_; }
    /// Distance of neighbouring ticks in scaled units.
    int Step() const { return step_; }
    double OriginValue() const { return originValue_; }
    int OriginPixel() const { return originPixel_; }
    /// Pixels per value unit; negative where pixels and values run opposite ways.
    double Metric() const { return metric_; }
    int LineX() const { return lineX_; }
    /// For a vertical scale the bottom end of the line.
    int LineY() const { return lineY_; }
    int LineLength() const { return lineLength_; }

    /// New limits, then mapping and ticks.
    void ChangeMinMax(double a, double b);
    /// Orders and widens the limits so that Min < Max. Non-finite limits, and
    /// limits whose range overflows, leave the scale as it was.
    void FixMinMax(double a, double b);
    void CalcMetr();
    void CalcTicksVal();
    void CalcTicksPos();
    /// The axis line; a negative length counts by its size, 0 as 1.
    void SetLine(int x, int y, int length);

    /// The pixel of a value, within ±PixelLimit (not-a-number gives +PixelLimit).
    int V2P(double value) const;
    double P2V(int pixel) const;

    /// The requested number of ticks.
    int TicksCount() const { return requestedTicks_; }
    /// Above MaxTicks counts as MaxTicks, below 0 as 0.
    void SetTicksCount(int count);
    /// The number of ticks computed.
    int GetTicksCount() const { return tickCount_; }
    /// The value of tick i.
    double TksDbl(int i) const;
    int TickPos(int i) const { return tickPositions_[i]; }
    virtual std::string TickLabel(int i) const;

    const std::string& LabelFormat() const { return labelFormat_; }
    void SetLabelFormat(const std::string& format);

    Tsp_LineAttr& LineAttr() { return lineAttr_; }
    const Tsp_LineAttr& LineAttr() const { return lineAttr_; }

    /// Moves the limits by a number of pixels, keeping the range (panning).
    void ScrollBy(int pixels);
    /// Moves the limits by pixelDelta pixels or by valueDelta, keeping the range
    /// and the grid of tick values.
    void ShiftScaleBy(bool byPixels, double valueDelta, double pixelDelta);

    /// The room in pixels beside the line for line, ticks and labels.
    int BandWidth(int charWidth, int textHeight) const;
    /// How far the first and last labels reach beyond the ends of the line.
    int OrgIndent(int charWidth, int textHeight) const;
    int EndIndent(int charWidth, int textHeight) const;
    /// The rectangle covered by line, ticks and labels in the canvas's font.
    Tsp_Rect CalcDrawBounds(Tsp_Canvas& canvas) const;

    /// The line, lengthened at its start and end, in Width one-pixel lines that
    /// move away from the plot's field.
    void DrawLine(Tsp_Canvas& canvas, int startExtension, int endExtension) const;
    /// Tick marks and labels with the canvas's pen and font.
    void DrawTicks(Tsp_Canvas& canvas) const;
    bool GetVisible() const;

protected:
    /// Replaces the flag set without FlagsChanged; the caller recomputes.
    void StoreFlags(std::uint32_t flags) { flags_ = flags; }
    virtual void FlagsChanged(int bit);
    /// Tick count or label format changed.
    virtual void AttributesChanged() {}

private:
    bool IsVertical() const { return GetFlagBit(Tsp_ScaleBit::Vertical); }
    bool IsInverted() const { return GetFlagBit(Tsp_ScaleBit::Inverted); }
    bool IsOpposite() const { return GetFlagBit(Tsp_ScaleBit::OppositeSide); }
    bool FractionMode() const;
    /// +1 or -1: the direction away from the plot's field across the line.
    int Outward() const;
    void ShiftFractionTicks(double pixelDelta);
    void ShiftValueTicks();
    int LabelCharacters(int i) const;

    std::uint32_t flags_;
    int lineX_ = 10;
    int lineY_ = 30;
    int lineLength_ = 25;
    double min_ = 0.0;
    double max_ = 10.0;
    double range_ = 10.0;
    double factor_ = 10.0;
    double scaledMin_ = 0.0;
    double scaledMax_ = 100.0;
    int step_ = 1;
    int requestedTicks_ = 5;
    int tickCount_ = 0;
    /// Tick values, or fractions 0..1 of the line in fraction mode.
    std::array<double, MaxTicks> tickValues_{};
    std::array<std::int16_t, MaxTicks> tickPositions_{};
    double originValue_ = 0.0;
    int originPixel_ = 0;
    double metric_ = 1.0;
    std::string labelFormat_ = "###0.##";
    Tsp_LineAttr lineAttr_;
};

} // namespace varnolux
