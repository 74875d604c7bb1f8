#include "chart/Tsp_Scale.h"

#include "chart/FormatDateTime.h"
#include "chart/FormatFloat.h"
#include "settings/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace varnolux {

namespace {

/// Slightly above ln 10, so that an exact power of ten counts as the power below.
constexpr double Ln10Above = 2.30258509299405;

/// Larger scaled spreads only arise from limits near the end of double precision.
constexpr double MaxScaledSpread = 1e9;

struct Scaling {
    double Min;
    double Max;
    double Range;
    double Factor;
    double ScaledMin;
    double ScaledMax;
};

/// The scaling of Min < Max, or none when it cannot be represented.
std::optional<Scaling> ScalingOf(double lo, double hi)
{
    const double range = hi - lo;
    if (!(range > 0.0) || !std::isfinite(range))
        return std::nullopt;
    const int e = static_cast<int>(std::floor(std::log(range) / Ln10Above));
    const double factor = e <= 0 ? std::trunc(std::exp((1 - e) * Ln10Above))
                                 : 1.0 / std::trunc(std::exp((e - 1) * Ln10Above));
    const double scaledMin = std::ceil(lo * factor);
    const double scaledMax = std::floor(hi * factor);
    if (!std::isfinite(factor) || factor == 0.0 || !std::isfinite(scaledMin) ||
        !std::isfinite(scaledMax))
        return std::nullopt;
    return Scaling{lo, hi, range, factor, scaledMin, scaledMax};
}

/// Limits around a single value v that contain it.
std::pair<double, double> WidenedAround(double v)
{
    if (std::fabs(v) < 10.0)
        return {v, v + 1.0};
    if (v > 0.0) {
        const double hi = v + std::fabs(v) / 10.0;
        return {hi - std::fabs(hi) / 10.0, hi};
    }
    // Mirrored, so that v stays inside.
    const double lo = v - std::fabs(v) / 10.0;
    return {lo, lo + std::fabs(lo) / 10.0};
}

int Rounded(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

std::int16_t ClampedPixel(int p)
{
    return static_cast<std::int16_t>(std::clamp(p, -Tsp_Scale::PixelLimit, Tsp_Scale::PixelLimit));
}

int Utf8Characters(const std::string& text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

double FractionalPart(double v)
{
    return v - std::trunc(v);
}

int ClampedTickCount(double count)
{
    return static_cast<int>(std::clamp(count, 0.0, static_cast<double>(Tsp_Scale::MaxTicks)));
}

} // namespace

Tsp_Scale::Tsp_Scale(std::uint32_t flags)
    : flags_(flags)
{
    ChangeMinMax(0.0, 10.0);
}

bool Tsp_Scale::GetFlagBit(int bit) const
{
    return bit >= 0 && bit < 32 && (flags_ >> bit & 1u) != 0;
}

void Tsp_Scale::SetFlagBit(int bit)
{
    if (bit < 0 || bit >= 32 || GetFlagBit(bit))
        return;
    flags_ |= 1u << bit;
    FlagsChanged(bit);
}

void Tsp_Scale::ReSetFlagBit(int bit)
{
    if (!GetFlagBit(bit))
        return;
    flags_ &= ~(1u << bit);
    FlagsChanged(bit);
}

void Tsp_Scale::NotFlagBit(int bit)
{
    if (GetFlagBit(bit))
        ReSetFlagBit(bit);
    else
        SetFlagBit(bit);
}

void Tsp_Scale::FlagsChanged(int bit)
{
    switch (bit) {
    case Tsp_ScaleBit::Vertical:
    case Tsp_ScaleBit::Inverted:
        CalcMetr();
        CalcTicksVal();
        CalcTicksPos();
        break;
    case Tsp_ScaleBit::NoTicks:
    case Tsp_ScaleBit::NoLabels:
    case Tsp_ScaleBit::FractionTicks:
        CalcTicksVal();
        CalcTicksPos();
        break;
    default:
        break;
    }
}

void Tsp_Scale::ChangeMinMax(double a, double b)
{
    FixMinMax(a, b);
    CalcMetr();
    CalcTicksVal();
    CalcTicksPos();
}

void Tsp_Scale::FixMinMax(double a, double b)
{
    if (!std::isfinite(a) || !std::isfinite(b))
        return;
    const double lo = std::min(a, b);
    const double hi = std::max(a, b);
    if (!std::isfinite(hi - lo))
        return;
    std::optional<Scaling> scaling = ScalingOf(lo, hi);
    if (!scaling) {
        // Equal limits, or a range too small to scale: a range around the value.
        const auto [wideLo, wideHi] = WidenedAround(lo);
        scaling = ScalingOf(wideLo, wideHi);
        if (!scaling)
            return;
    }
    min_ = scaling->Min;
    max_ = scaling->Max;
    range_ = scaling->Range;
    factor_ = scaling->Factor;
    scaledMin_ = scaling->ScaledMin;
    scaledMax_ = scaling->ScaledMax;
}

void Tsp_Scale::CalcMetr()
{
    if (IsInverted()) {
        metric_ = -lineLength_ / range_;
        originValue_ = max_;
    } else {
        metric_ = lineLength_ / range_;
        originValue_ = min_;
    }
    if (IsVertical()) {
        originPixel_ = lineY_;
        metric_ = -metric_;
    } else {
        originPixel_ = lineX_;
    }
}

bool Tsp_Scale::FractionMode() const
{
    return GetFlagBit(Tsp_ScaleBit::NoLabels) || GetFlagBit(Tsp_ScaleBit::FractionTicks);
}

void Tsp_Scale::CalcTicksVal()
{
    tickCount_ = requestedTicks_;
    if (tickCount_ == 0)
        return;
    if (FractionMode()) {
        for (int i = 0; i < tickCount_; ++i)
            tickValues_[i] = tickCount_ == 1 ? 0.0 : static_cast<double>(i) / (tickCount_ - 1);
        return;
    }
    const int spread = static_cast<int>(
        std::clamp(std::nearbyint(scaledMax_ - scaledMin_), -MaxScaledSpread, MaxScaledSpread));
    if (spread < 0) {
        // Only limits at the end of double precision get here: no round values fit.
        tickCount_ = 0;
        return;
    }
    if (requestedTicks_ < 2) {
        step_ = std::max(spread, 1);
    } else {
        step_ = std::max(spread / (requestedTicks_ - 1), 1);
        tickCount_ = std::min(spread / step_ + 1, MaxTicks);
    }
    const double start = IsInverted() ? scaledMax_ : scaledMin_;
    const int delta = IsInverted() ? -step_ : step_;
    for (int i = 0; i < tickCount_; ++i)
        tickValues_[i] = (start + static_cast<double>(i * delta)) / factor_;
}

void Tsp_Scale::CalcTicksPos()
{
    for (int i = 0; i < tickCount_; ++i) {
        if (FractionMode()) {
            const int along = Rounded(lineLength_ * tickValues_[i]);
            tickPositions_[i] =
                ClampedPixel(IsVertical() ? originPixel_ - along : originPixel_ + along);
        } else {
            tickPositions_[i] = static_cast<std::int16_t>(V2P(tickValues_[i]));
        }
    }
}

void Tsp_Scale::SetLine(int x, int y, int length)
{
    length = length == 0 ? 1 : std::abs(std::max(length, -std::numeric_limits<int>::max()));
    if (x == lineX_ && y == lineY_ && length == lineLength_)
        return;
    lineX_ = x;
    lineY_ = y;
    lineLength_ = length;
    CalcMetr();
    CalcTicksPos();
}

int Tsp_Scale::V2P(double value) const
{
    const double p = (value - originValue_) * metric_ + originPixel_;
    if (!(p <= PixelLimit))
        return PixelLimit;
    if (p < -PixelLimit)
        return -PixelLimit;
    return Rounded(p);
}

double Tsp_Scale::P2V(int pixel) const
{
    return (pixel - originPixel_) / metric_ + originValue_;
}

void Tsp_Scale::SetTicksCount(int count)
{
    count = std::clamp(count, 0, MaxTicks);
    if (count == requestedTicks_)
        return;
    requestedTicks_ = count;
    CalcTicksVal();
    CalcTicksPos();
    AttributesChanged();
}

double Tsp_Scale::TksDbl(int i) const
{
    if (!GetFlagBit(Tsp_ScaleBit::FractionTicks))
        return tickValues_[i];
    const double along = range_ * tickValues_[i];
    return IsInverted() ? originValue_ - along : originValue_ + along;
}

std::string Tsp_Scale::TickLabel(int i) const
{
    const double value = TksDbl(i);
    if (GetFlagBit(Tsp_ScaleBit::LabelAsDataTime))
        return FormatDateTime(value, labelFormat_);
    return FormatFloat(value, labelFormat_, LocaleDecimalSeparator());
}

void Tsp_Scale::SetLabelFormat(const std::string& format)
{
    if (format == labelFormat_)
        return;
    labelFormat_ = format;
    AttributesChanged();
}

void Tsp_Scale::ScrollBy(int pixels)
{
    ShiftScaleBy(true, 0.0, pixels);
}

void Tsp_Scale::ShiftScaleBy(bool byPixels, double valueDelta, double pixelDelta)
{
    if (byPixels)
        valueDelta = pixelDelta / metric_;
    else
        pixelDelta = valueDelta * metric_;
    if (valueDelta == 0.0 || !std::isfinite(valueDelta))
        return;
    const double newMin = min_ + valueDelta;
    const double newMax = newMin + range_;
    if (!std::isfinite(newMin) || !std::isfinite(newMax))
        return;
    min_ = newMin;
    max_ = newMax;
    originValue_ = IsInverted() ? max_ : min_;
    scaledMin_ = std::ceil(min_ * factor_);
    scaledMax_ = std::floor(max_ * factor_);
    if (std::fabs(valueDelta) > range_ || tickCount_ == 0)
        CalcTicksVal();
    else if (FractionMode())
        ShiftFractionTicks(pixelDelta);
    else
        ShiftValueTicks();
    CalcTicksPos();
}

void Tsp_Scale::ShiftFractionTicks(double pixelDelta)
{
    const double spacing = requestedTicks_ < 2 ? 1.0 : 1.0 / (requestedTicks_ - 1);
    const double d = IsVertical() ? -pixelDelta : pixelDelta;
    double u = FractionalPart((lineLength_ * tickValues_[0] - d) / (lineLength_ * spacing));
    if (u < 0.0)
        u += 1.0;
    tickCount_ = ClampedTickCount(std::trunc(1.0 / spacing - u) + 1.0);
    for (int i = 0; i < tickCount_; ++i)
        tickValues_[i] = spacing * i + spacing * u;
}

void Tsp_Scale::ShiftValueTicks()
{
    double u = FractionalPart((tickValues_[0] * factor_ - factor_ * originValue_) / step_);
    if (!IsInverted()) {
        if (u < 0.0)
            u += 1.0;
        const double first = originValue_ * factor_ + u * step_;
        tickCount_ = ClampedTickCount(std::trunc((factor_ * max_ - first) / step_) + 1.0);
        for (int i = 0; i < tickCount_; ++i)
            tickValues_[i] = (first + static_cast<double>(i * step_)) / factor_;
    } else {
        if (u > 0.0)
            u -= 1.0;
        const double first = originValue_ * factor_ + u * step_;
        tickCount_ = ClampedTickCount(std::trunc((first - factor_ * min_) / step_) + 1.0);
        for (int i = 0; i < tickCount_; ++i)
            tickValues_[i] = (first - static_cast<double>(i * step_)) / factor_;
    }
}

int Tsp_Scale::LabelCharacters(int i) const
{
    return Utf8Characters(TickLabel(i));
}

int Tsp_Scale::BandWidth(int charWidth, int textHeight) const
{
    int band = lineAttr_.Width();
    if (tickCount_ == 0)
        return band;
    if (!GetFlagBit(Tsp_ScaleBit::NoLabels)) {
        if (IsVertical()) {
            int longest = 0;
            for (int i = 0; i < tickCount_; ++i)
                longest = std::max(longest, LabelCharacters(i));
            band += longest * charWidth + 5;
        } else {
            band += textHeight + 5;
        }
    } else if (!GetFlagBit(Tsp_ScaleBit::NoTicks)) {
        band += 4;
    }
    return band;
}

int Tsp_Scale::OrgIndent(int charWidth, int textHeight) const
{
    if (tickCount_ == 0 || GetFlagBit(Tsp_ScaleBit::NoLabels))
        return 0;
    const int d = std::abs(Rounded((originValue_ - TksDbl(0)) * metric_));
    const int half = IsVertical() ? textHeight / 2 : charWidth * LabelCharacters(0) / 2;
    return std::max(half - d, 0);
}

int Tsp_Scale::EndIndent(int charWidth, int textHeight) const
{
    if (tickCount_ == 0 || GetFlagBit(Tsp_ScaleBit::NoLabels))
        return 0;
    const int last = tickCount_ - 1;
    const int d = IsInverted() ? std::abs(Rounded((min_ - TksDbl(last)) * metric_))
                               : std::abs(Rounded(metric_ * (max_ - TksDbl(last))));
    const int half = IsVertical() ? textHeight / 2 : charWidth * LabelCharacters(last) / 2;
    return std::max(half - d, 0);
}

Tsp_Rect Tsp_Scale::CalcDrawBounds(Tsp_Canvas& canvas) const
{
    const int charWidth = canvas.TextWidth("0");
    const int textHeight = std::abs(canvas.Font().Height);
    const int band = BandWidth(charWidth, textHeight);
    const int before = OrgIndent(charWidth, textHeight);
    const int beyond = EndIndent(charWidth, textHeight);
    if (IsVertical()) {
        const int left = IsOpposite() ? lineX_ : lineX_ - band + 1;
        return {left, lineY_ - lineLength_ - beyond, left + band, lineY_ + before + 1};
    }
    const int top = IsOpposite() ? lineY_ - band + 1 : lineY_;
    return {lineX_ - before, top, lineX_ + lineLength_ + beyond + 1, top + band};
}

int Tsp_Scale::Outward() const
{
    if (IsVertical())
        return IsOpposite() ? 1 : -1;
    return IsOpposite() ? -1 : 1;
}

void Tsp_Scale::DrawLine(Tsp_Canvas& canvas, int startExtension, int endExtension) const
{
    if (!lineAttr_.Visible())
        return;
    Tsp_Pen pen = lineAttr_.AsPen();
    pen.Width = 1;
    canvas.SetPen(pen);
    for (int k = 0; k < lineAttr_.Width(); ++k) {
        if (IsVertical()) {
            const int x = lineX_ + k * Outward();
            canvas.Line({x, lineY_ - lineLength_ - endExtension}, {x, lineY_ + startExtension + 1});
        } else {
            const int y = lineY_ + k * Outward();
            canvas.Line({lineX_ - startExtension, y}, {lineX_ + lineLength_ + endExtension + 1, y});
        }
    }
}

void Tsp_Scale::DrawTicks(Tsp_Canvas& canvas) const
{
    const bool marks = !GetFlagBit(Tsp_ScaleBit::NoTicks);
    const bool labels = !GetFlagBit(Tsp_ScaleBit::NoLabels);
    if (!marks && !labels)
        return;
    const int outward = Outward();
    const int digitHeight = canvas.TextHeight("8");
    for (int i = 0; i < tickCount_; ++i) {
        const int pos = tickPositions_[i];
        if (IsVertical()) {
            const int outerEdge = lineX_ + outward * lineAttr_.Width();
            if (marks)
                canvas.Line({outerEdge, pos}, {outerEdge + 4 * outward, pos});
            if (labels) {
                const std::string text = TickLabel(i);
                const int x = IsOpposite() ? outerEdge + 5 : outerEdge - 4 - canvas.TextWidth(text);
                canvas.TextOut(x, pos - digitHeight / 2, text);
            }
        } else {
            const int outerEdge = lineY_ + outward * lineAttr_.Width();
            if (marks)
                canvas.Line({pos, outerEdge}, {pos, outerEdge + 4 * outward});
            if (labels) {
                const std::string text = TickLabel(i);
                const int y = IsOpposite() ? outerEdge - 5 - digitHeight : outerEdge + 5;
                canvas.TextOut(pos - canvas.TextWidth(text) / 2, y, text);
            }
        }
    }
}

bool Tsp_Scale::GetVisible() const
{
    return !(GetFlagBit(Tsp_ScaleBit::NoTicks) && GetFlagBit(Tsp_ScaleBit::NoLabels) &&
             !lineAttr_.Visible());
}

} // namespace varnolux
