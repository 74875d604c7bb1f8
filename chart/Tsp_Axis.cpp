#include "chart/Tsp_Axis.h"

#include "chart/Tsp_CustomXYPlot.h"

#include <algorithm>

namespace varnolux {

namespace {

bool HoldsVisibleCharacter(const std::string& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) > ' '; });
}

} // namespace

Tsp_Axis::Tsp_Axis(Tsp_CustomXYPlot& plot, std::uint32_t flags)
    : Tsp_Scale(flags)
    , plot_(plot)
{
    LineAttr().OnChange = [this] {
        plot_.Invalidate();
    };
    gridAttr_.OnChange = [this] {
        plot_.CustomInvalidate(false, false, true);
    };
}

void Tsp_Axis::SetMargin(int margin)
{
    if (margin == margin_)
        return;
    margin_ = margin;
    plot_.Invalidate();
}

void Tsp_Axis::SetCaption(const std::string& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    hasCaption_ = HoldsVisibleCharacter(caption_);
    plot_.Invalidate();
}

void Tsp_Axis::SetAutoMin(bool on)
{
    if (on)
        SetFlagBit(Tsp_ScaleBit::AutoMin);
    else
        ReSetFlagBit(Tsp_ScaleBit::AutoMin);
}

void Tsp_Axis::SetAutoMax(bool on)
{
    if (on)
        SetFlagBit(Tsp_ScaleBit::AutoMax);
    else
        ReSetFlagBit(Tsp_ScaleBit::AutoMax);
}

void Tsp_Axis::SetLabelAsDataTime(bool on)
{
    if (on)
        SetFlagBit(Tsp_ScaleBit::LabelAsDataTime);
    else
        ReSetFlagBit(Tsp_ScaleBit::LabelAsDataTime);
}

void Tsp_Axis::SetFlagQuietly(int bit, bool on)
{
    StoreFlags(on ? Flags() | 1u << bit : Flags() & ~(1u << bit));
}

void Tsp_Axis::SetMin(double min)
{
    SetFlagQuietly(Tsp_ScaleBit::AutoMin, false);
    limitsStored_ = false;
    if (min == Min())
        return;
    ChangeMinMax(min, Max());
    plot_.Invalidate();
}

void Tsp_Axis::SetMax(double max)
{
    SetFlagQuietly(Tsp_ScaleBit::AutoMax, false);
    limitsStored_ = false;
    if (max == Max())
        return;
    ChangeMinMax(Min(), max);
    plot_.Invalidate();
}

void Tsp_Axis::SetMinMax(double min, double max)
{
    if (min != Min() || max != Max())
        ChangeMinMax(min, max);
    SetFlagQuietly(Tsp_ScaleBit::AutoMin, false);
    SetFlagQuietly(Tsp_ScaleBit::AutoMax, false);
    limitsStored_ = false;
    plot_.Invalidate();
}

void Tsp_Axis::MoveMinMax(double delta)
{
    ShiftScaleBy(false, delta, 0.0);
    SetFlagQuietly(Tsp_ScaleBit::AutoMin, false);
    SetFlagQuietly(Tsp_ScaleBit::AutoMax, false);
    limitsStored_ = false;
    plot_.CustomInvalidate(false, true, true);
}

void Tsp_Axis::StoreMinMax()
{
    if (limitsStored_)
        return;
    storedMin_ = Min();
    storedMax_ = Max();
    limitsStored_ = true;
}

void Tsp_Axis::ReStoreMinMax()
{
    if (!limitsStored_)
        return;
    ChangeMinMax(storedMin_, storedMax_);
    limitsStored_ = false;
}

void Tsp_Axis::Assign(const Tsp_Axis& other)
{
    if (&other == this)
        return;
    StoreFlags(other.Flags());
    SetLine(other.LineX(), other.LineY(), other.LineLength());
    SetTicksCount(other.TicksCount());
    SetLabelFormat(other.LabelFormat());
    margin_ = other.margin_;
    caption_ = other.caption_;
    hasCaption_ = other.hasCaption_;
    ChangeMinMax(other.Min(), other.Max());
    LineAttr().Assign(other.LineAttr());
    gridAttr_.Assign(other.gridAttr_);
    plot_.Invalidate();
}

std::string Tsp_Axis::TickLabel(int i) const
{
    std::string label = Tsp_Scale::TickLabel(i);
    if (plot_.OnGetTickLabel)
        plot_.OnGetTickLabel(*this, i, TksDbl(i), label);
    return label;
}

void Tsp_Axis::FlagsChanged(int bit)
{
    Tsp_Scale::FlagsChanged(bit);
    if (bit == Tsp_ScaleBit::AutoMin || bit == Tsp_ScaleBit::AutoMax) {
        if (plot_.DoAutoMinMax(*this))
            plot_.Invalidate();
        return;
    }
    plot_.Invalidate();
}

void Tsp_Axis::AttributesChanged()
{
    plot_.Invalidate();
}

} // namespace varnolux
