#include "chart/Tsp_CustomXYPlot.h"

#include "chart/Tsp_DataSeries.h"
#include "chart/Tsp_PlotMarker.h"

#include <algorithm>
#include <cstdlib>

namespace varnolux {

namespace {

constexpr std::uint32_t LeftAxisFlags = 1;
constexpr std::uint32_t RightAxisFlags = 57;
constexpr std::uint32_t BottomAxisFlags = 0;
constexpr std::uint32_t TopAxisFlags = 56;
constexpr Tsp_ShiftState KeyBits = Tsp_Shift::ssShift | Tsp_Shift::ssAlt | Tsp_Shift::ssCtrl;
/// A drag of at most this many pixels in both directions is still a click.
constexpr int DragThreshold = 3;
constexpr int MinFieldSize = 3;
constexpr int MaxArrangePasses = 4;

bool AllowsHorizontal(Tsp_zpDirections d)
{
    return d == Tsp_zpDirections::zpdHorizontal || d == Tsp_zpDirections::zpdBoth;
}

bool AllowsVertical(Tsp_zpDirections d)
{
    return d == Tsp_zpDirections::zpdVertical || d == Tsp_zpDirections::zpdBoth;
}

int VisibleLineWidth(const Tsp_Axis& axis)
{
    return axis.LineAttr().Visible() ? axis.LineAttr().Width() : 0;
}

Tsp_Pen SolidPen(Tsp_Color color, Tsp_PenStyle style = Tsp_PenStyle::psSolid)
{
    return {color, style, 1, Tsp_PenMode::pmCopy};
}

} // namespace

Tsp_CustomXYPlot::Tsp_CustomXYPlot()
    : leftAxis_(*this, LeftAxisFlags)
    , rightAxis_(*this, RightAxisFlags)
    , bottomAxis_(*this, BottomAxisFlags)
    , topAxis_(*this, TopAxisFlags)
{
    leftAxis_.GridAttr().SetVisible(true);
    bottomAxis_.GridAttr().SetVisible(true);
}

Tsp_CustomXYPlot::~Tsp_CustomXYPlot()
{
    for (Tsp_DataSeries* series : series_)
        series->PlotGone();
    for (Tsp_PlotMarker* marker : markersBefore_)
        marker->PlotGone();
    for (Tsp_PlotMarker* marker : markersAfter_)
        marker->PlotGone();
}

Tsp_Axis& Tsp_CustomXYPlot::XAxisOf(Tsp_WhatXAxis which)
{
    return which == Tsp_WhatXAxis::dsxTop ? topAxis_ : bottomAxis_;
}

Tsp_Axis& Tsp_CustomXYPlot::YAxisOf(Tsp_WhatYAxis which)
{
    return which == Tsp_WhatYAxis::dsyRight ? rightAxis_ : leftAxis_;
}

void Tsp_CustomXYPlot::AddSeries(Tsp_DataSeries& series)
{
    series.SetPlot(this);
}

void Tsp_CustomXYPlot::RemoveSeries(Tsp_DataSeries& series)
{
    if (series.Plot() == this)
        series.SetPlot(nullptr);
}

Tsp_DataSeries* Tsp_CustomXYPlot::GetSeriesPtr(int i) const
{
    return i >= 0 && i < GetSeriesCount() ? series_[i] : nullptr;
}

void Tsp_CustomXYPlot::SetSeriesAt(Tsp_DataSeries& series, bool toFront)
{
    const auto it = std::find(series_.begin(), series_.end(), &series);
    if (it == series_.end())
        return;
    series_.erase(it);
    if (toFront)
        series_.push_back(&series);
    else
        series_.insert(series_.begin(), &series);
    CustomInvalidate(false, false, true);
}

void Tsp_CustomXYPlot::LinkSeries(Tsp_DataSeries& series)
{
    if (std::find(series_.begin(), series_.end(), &series) != series_.end())
        return;
    series_.push_back(&series);
    if (series.Active())
        InvalidateSeries(series);
}

void Tsp_CustomXYPlot::UnlinkSeries(Tsp_DataSeries& series)
{
    const auto it = std::find(series_.begin(), series_.end(), &series);
    if (it == series_.end())
        return;
    series_.erase(it);
    if (series.Active())
        InvalidateSeries(series);
}

void Tsp_CustomXYPlot::AddMarker(Tsp_PlotMarker& marker, Tsp_WhenDrawMarker when)
{
    marker.SetWhenDraw(when);
    marker.SetPlot(this);
}

void Tsp_CustomXYPlot::RemoveMarker(Tsp_PlotMarker& marker)
{
    if (marker.Plot() == this)
        marker.SetPlot(nullptr);
}

std::vector<Tsp_PlotMarker*>& Tsp_CustomXYPlot::Markers(Tsp_WhenDrawMarker when)
{
    return when == Tsp_WhenDrawMarker::dmBeforeSeries ? markersBefore_ : markersAfter_;
}

const std::vector<Tsp_PlotMarker*>& Tsp_CustomXYPlot::MarkerList(Tsp_WhenDrawMarker when) const
{
    return when == Tsp_WhenDrawMarker::dmBeforeSeries ? markersBefore_ : markersAfter_;
}

void Tsp_CustomXYPlot::LinkMarker(Tsp_PlotMarker& marker, Tsp_WhenDrawMarker when)
{
    std::vector<Tsp_PlotMarker*>& list = Markers(when);
    if (std::find(list.begin(), list.end(), &marker) != list.end())
        return;
    list.push_back(&marker);
    if (marker.Visible())
        CustomInvalidate(false, false, true);
}

void Tsp_CustomXYPlot::UnlinkMarker(Tsp_PlotMarker& marker, Tsp_WhenDrawMarker when)
{
    std::vector<Tsp_PlotMarker*>& list = Markers(when);
    const auto it = std::find(list.begin(), list.end(), &marker);
    if (it == list.end())
        return;
    list.erase(it);
    if (marker.Visible())
        CustomInvalidate(false, false, true);
}

void Tsp_CustomXYPlot::SetMarkerAt(Tsp_PlotMarker& marker, Tsp_WhenDrawMarker when, bool toFront)
{
    std::vector<Tsp_PlotMarker*>& list = Markers(when);
    const auto it = std::find(list.begin(), list.end(), &marker);
    if (it == list.end())
        return;
    list.erase(it);
    if (toFront)
        list.push_back(&marker);
    else
        list.insert(list.begin(), &marker);
    if (marker.Visible())
        CustomInvalidate(false, false, true);
}

void Tsp_CustomXYPlot::Invalidate()
{
    CustomInvalidate(true, true, true);
}

void Tsp_CustomXYPlot::CustomInvalidate(bool rearrange, bool surroundings, bool field)
{
    if (rearrange)
        arranged_ = false;
    if (surroundings)
        surroundingsDrawn_ = false;
    if (field)
        fieldDrawn_ = false;
    RequestRepaint();
}

void Tsp_CustomXYPlot::BufferIsInvalid()
{
    surroundingsDrawn_ = false;
    fieldDrawn_ = false;
}

void Tsp_CustomXYPlot::InvalidateSeries(const Tsp_DataSeries& series)
{
    const bool xChanged = DoAutoMinMax(XAxisOf(series.XAxis()));
    const bool yChanged = DoAutoMinMax(YAxisOf(series.YAxis()));
    if (xChanged || yChanged)
        Invalidate();
    else
        CustomInvalidate(false, false, true);
}

void Tsp_CustomXYPlot::SeriesAxesChanged(bool horizontal)
{
    const bool firstChanged = DoAutoMinMax(horizontal ? bottomAxis_ : leftAxis_);
    const bool secondChanged = DoAutoMinMax(horizontal ? topAxis_ : rightAxis_);
    if (firstChanged || secondChanged)
        Invalidate();
    else
        CustomInvalidate(false, false, true);
}

template <typename Extreme>
std::optional<double> Tsp_CustomXYPlot::FindExtreme(Extreme extreme, bool smallest) const
{
    std::optional<double> found;
    for (const Tsp_DataSeries* series : series_) {
        if (!series->Active())
            continue;
        const std::optional<double> value = extreme(*series);
        if (value && (!found || (smallest ? *value < *found : *value > *found)))
            found = value;
    }
    return found;
}

std::optional<double> Tsp_CustomXYPlot::FindXAutoMin(Tsp_WhatXAxis which) const
{
    return FindExtreme(
        [which](const Tsp_DataSeries& s) {
            return s.XAxis() == which ? s.GetXMin() : std::nullopt;
        },
        true);
}

std::optional<double> Tsp_CustomXYPlot::FindXAutoMax(Tsp_WhatXAxis which) const
{
    return FindExtreme(
        [which](const Tsp_DataSeries& s) {
            return s.XAxis() == which ? s.GetXMax() : std::nullopt;
        },
        false);
}

std::optional<double> Tsp_CustomXYPlot::FindYAutoMin(Tsp_WhatYAxis which) const
{
    return FindExtreme(
        [which](const Tsp_DataSeries& s) {
            return s.YAxis() == which ? s.GetYMin() : std::nullopt;
        },
        true);
}

std::optional<double> Tsp_CustomXYPlot::FindYAutoMax(Tsp_WhatYAxis which) const
{
    return FindExtreme(
        [which](const Tsp_DataSeries& s) {
            return s.YAxis() == which ? s.GetYMax() : std::nullopt;
        },
        false);
}

bool Tsp_CustomXYPlot::DoAutoMinMax(Tsp_Axis& axis)
{
    if (!axis.AutoMin() && !axis.AutoMax())
        return false;
    std::optional<double> foundMin;
    std::optional<double> foundMax;
    if (axis.GetFlagBit(Tsp_ScaleBit::Vertical)) {
        const auto which = &axis == &leftAxis_ ? Tsp_WhatYAxis::dsyLeft : Tsp_WhatYAxis::dsyRight;
        if (axis.AutoMin())
            foundMin = FindYAutoMin(which);
        if (axis.AutoMax())
            foundMax = FindYAutoMax(which);
    } else {
        const auto which = &axis == &bottomAxis_ ? Tsp_WhatXAxis::dsxBottom : Tsp_WhatXAxis::dsxTop;
        if (axis.AutoMin())
            foundMin = FindXAutoMin(which);
        if (axis.AutoMax())
            foundMax = FindXAutoMax(which);
    }
    if (!foundMin && !foundMax)
        return false;
    double lo = foundMin.value_or(axis.Min());
    double hi = foundMax.value_or(axis.Max());
    const double margin = (hi - lo) * 0.025;
    if (foundMin)
        lo = lo - margin;
    if (foundMax)
        hi = hi + margin;
    if (lo == axis.Min() && hi == axis.Max())
        return false;
    const double oldMin = axis.Min();
    const double oldMax = axis.Max();
    axis.ChangeMinMax(lo, hi);
    return axis.Min() != oldMin || axis.Max() != oldMax;
}

void Tsp_CustomXYPlot::StoreLimits()
{
    if (LimitsStored())
        return;
    for (Tsp_Axis* axis : {&leftAxis_, &rightAxis_, &bottomAxis_, &topAxis_})
        axis->StoreMinMax();
}

void Tsp_CustomXYPlot::RestoreLimits()
{
    if (!LimitsStored())
        return;
    for (Tsp_Axis* axis : {&leftAxis_, &rightAxis_, &bottomAxis_, &topAxis_})
        axis->ReStoreMinMax();
    Invalidate();
}

bool Tsp_CustomXYPlot::LimitsStored() const
{
    return leftAxis_.LimitsStored() && rightAxis_.LimitsStored() && bottomAxis_.LimitsStored() &&
           topAxis_.LimitsStored();
}

void Tsp_CustomXYPlot::ZoomAxis(Tsp_Axis& axis, double lo, double hi)
{
    if (lo > hi)
        std::swap(lo, hi);
    bool canZoom = true;
    if (OnAxisZoom)
        OnAxisZoom(axis, lo, hi, canZoom);
    if (canZoom)
        axis.ChangeMinMax(lo, hi);
}

void Tsp_CustomXYPlot::RectToLimits(const Tsp_Rect& rect, Tsp_zpDirections directions)
{
    if (directions == Tsp_zpDirections::zpdNone || rect.Width() <= 2 || rect.Height() <= 2)
        return;
    StoreLimits();
    if (AllowsHorizontal(directions)) {
        for (Tsp_Axis* axis : {&bottomAxis_, &topAxis_})
            ZoomAxis(*axis, axis->P2V(rect.Left), axis->P2V(rect.Right));
    }
    if (AllowsVertical(directions)) {
        for (Tsp_Axis* axis : {&leftAxis_, &rightAxis_})
            ZoomAxis(*axis, axis->P2V(rect.Bottom), axis->P2V(rect.Top));
    }
    Invalidate();
}

void Tsp_CustomXYPlot::SetColor(Tsp_Color color)
{
    if (color == color_)
        return;
    color_ = color;
    CustomInvalidate(false, true, false);
}

void Tsp_CustomXYPlot::SetFieldColor(Tsp_Color color)
{
    if (color == fieldColor_)
        return;
    fieldColor_ = color;
    CustomInvalidate(false, false, true);
}

void Tsp_CustomXYPlot::SetFont(const Tsp_Font& font)
{
    if (font == font_)
        return;
    font_ = font;
    Invalidate();
}

void Tsp_CustomXYPlot::SetBorderStyle(Tsp_BorderStyle style)
{
    if (style == borderStyle_)
        return;
    borderStyle_ = style;
    CustomInvalidate(false, true, true);
}

void Tsp_CustomXYPlot::SetZoomShiftKeys(Tsp_ShiftState keys)
{
    zoomShiftKeys_ = keys & KeyBits;
}

void Tsp_CustomXYPlot::SetPanShiftKeys(Tsp_ShiftState keys)
{
    panShiftKeys_ = keys & KeyBits;
}

void Tsp_CustomXYPlot::SetXCursOn(bool on)
{
    if (on == xCursorOn_)
        return;
    xCursorOn_ = on;
    RequestRepaint();
}

void Tsp_CustomXYPlot::SetXCursVal(double value)
{
    if (value == xCursorVal_)
        return;
    xCursorVal_ = value;
    if (xCursorOn_)
        RequestRepaint();
}

int Tsp_CustomXYPlot::CaptionRoom(const Tsp_Axis& axis, int captionHeight) const
{
    // A caption lies in the margin; a margin too small for it grows.
    return axis.HasCaption() ? std::max(axis.Margin(), captionHeight + 1) : axis.Margin();
}

Tsp_Rect Tsp_CustomXYPlot::FieldFor(int width, int height, int cw, int th, int captionHeight) const
{
    const int leftBand = std::max({leftAxis_.BandWidth(cw, th), bottomAxis_.OrgIndent(cw, th),
                                   topAxis_.OrgIndent(cw, th)}) +
                         CaptionRoom(leftAxis_, captionHeight);
    const int bottomBand = std::max({bottomAxis_.BandWidth(cw, th), leftAxis_.OrgIndent(cw, th),
                                     rightAxis_.OrgIndent(cw, th)}) +
                           CaptionRoom(bottomAxis_, captionHeight);
    const int rightBand = std::max({rightAxis_.BandWidth(cw, th), bottomAxis_.EndIndent(cw, th),
                                    topAxis_.EndIndent(cw, th)}) +
                          CaptionRoom(rightAxis_, captionHeight);
    const int topBand = std::max({topAxis_.BandWidth(cw, th), leftAxis_.EndIndent(cw, th),
                                  rightAxis_.EndIndent(cw, th)}) +
                        CaptionRoom(topAxis_, captionHeight);
    Tsp_Rect field{leftBand, topBand, width - rightBand, height - bottomBand};
    field.Right = std::max(field.Right, field.Left + MinFieldSize);
    field.Bottom = std::max(field.Bottom, field.Top + MinFieldSize);
    return field;
}

void Tsp_CustomXYPlot::Arrange(Tsp_Canvas& canvas, int width, int height)
{
    Tsp_Font captionFont = font_;
    captionFont.Bold = true;
    canvas.SetFont(captionFont);
    const int captionHeight = canvas.TextHeight("8");
    canvas.SetFont(font_);
    const int cw = canvas.TextWidth("0");
    const int th = std::abs(font_.Height);

    // How far end labels stick out depends on the pixels per value, that is on the
    // field: place it again until it stays, so that the layout does not depend on
    // the size the plot had before.
    for (int pass = 0; pass < MaxArrangePasses; ++pass) {
        const Tsp_Rect field = FieldFor(width, height, cw, th, captionHeight);
        const bool settled = pass > 0 && field == field_;
        field_ = field;
        leftAxis_.SetLine(field_.Left - 1, field_.Bottom - 1, field_.Height() - 1);
        rightAxis_.SetLine(field_.Right, field_.Bottom - 1, field_.Height() - 1);
        bottomAxis_.SetLine(field_.Left, field_.Bottom, field_.Width() - 1);
        topAxis_.SetLine(field_.Left, field_.Top - 1, field_.Width() - 1);
        if (settled)
            break;
    }
    arranged_ = true;
    arrangedWidth_ = width;
    arrangedHeight_ = height;
}

void Tsp_CustomXYPlot::PaintLayers(Tsp_Canvas& canvas, int width, int height, bool onlyInvalid)
{
    if (!arranged_ || width != arrangedWidth_ || height != arrangedHeight_) {
        Arrange(canvas, width, height);
        BufferIsInvalid();
    }
    if (!onlyInvalid || !surroundingsDrawn_) {
        DrawAroundField(canvas, width, height);
        surroundingsDrawn_ = true;
    }
    if (!onlyInvalid || !fieldDrawn_) {
        DrawField(canvas);
        fieldDrawn_ = true;
    }
    if (OnDrawEnd)
        OnDrawEnd(*this, canvas);
    DrawBorder(canvas, width, height);
}

void Tsp_CustomXYPlot::DrawPlot(Tsp_Canvas& canvas, int width, int height)
{
    if (width <= 9 || height <= 9)
        return;
    Arrange(canvas, width, height);
    DrawAroundField(canvas, width, height);
    DrawField(canvas);
    if (OnDrawEnd)
        OnDrawEnd(*this, canvas);
    DrawBorder(canvas, width, height);
    arranged_ = false;
}

void Tsp_CustomXYPlot::DrawAroundField(Tsp_Canvas& canvas, int width, int height)
{
    canvas.SetBrush({color_, Tsp_BrushStyle::bsSolid});
    canvas.FillRect({0, 0, width, field_.Top});
    canvas.FillRect({0, field_.Bottom, width, height});
    canvas.FillRect({0, field_.Top, field_.Left, field_.Bottom});
    canvas.FillRect({field_.Right, field_.Top, width, field_.Bottom});

    topAxis_.DrawLine(canvas, 0, VisibleLineWidth(rightAxis_));
    rightAxis_.DrawLine(canvas, VisibleLineWidth(bottomAxis_), 0);
    bottomAxis_.DrawLine(canvas, VisibleLineWidth(leftAxis_), 0);
    leftAxis_.DrawLine(canvas, 0, VisibleLineWidth(topAxis_));

    canvas.SetPen(SolidPen(font_.Color));
    canvas.SetFont(font_);
    for (const Tsp_Axis* axis : {&topAxis_, &rightAxis_, &leftAxis_, &bottomAxis_})
        axis->DrawTicks(canvas);
    DrawCaptions(canvas, width, height);
}

void Tsp_CustomXYPlot::DrawCaptions(Tsp_Canvas& canvas, int width, int height)
{
    Tsp_Font captionFont = font_;
    captionFont.Bold = true;
    canvas.SetFont(captionFont);
    const int captionHeight = canvas.TextHeight("8");
    const int fieldMiddleX = field_.Left + field_.Width() / 2;
    const int fieldMiddleY = field_.Top + field_.Height() / 2;
    if (bottomAxis_.HasCaption()) {
        const std::string& text = bottomAxis_.Caption();
        canvas.TextOut(fieldMiddleX - canvas.TextWidth(text) / 2,
                       height - CaptionRoom(bottomAxis_, captionHeight), text);
    }
    if (topAxis_.HasCaption()) {
        const std::string& text = topAxis_.Caption();
        canvas.TextOut(fieldMiddleX - canvas.TextWidth(text) / 2,
                       CaptionRoom(topAxis_, captionHeight) - captionHeight - 1, text);
    }
    captionFont.Orientation = 900;
    canvas.SetFont(captionFont);
    if (leftAxis_.HasCaption()) {
        const std::string& text = leftAxis_.Caption();
        canvas.TextOut(CaptionRoom(leftAxis_, captionHeight) - captionHeight - 1,
                       fieldMiddleY + canvas.TextWidth(text) / 2, text);
    }
    if (rightAxis_.HasCaption()) {
        const std::string& text = rightAxis_.Caption();
        canvas.TextOut(width - CaptionRoom(rightAxis_, captionHeight),
                       fieldMiddleY + canvas.TextWidth(text) / 2, text);
    }
}

void Tsp_CustomXYPlot::DrawField(Tsp_Canvas& canvas)
{
    const std::optional<Tsp_Rect> savedClip = canvas.ClipRect();
    canvas.SetClipRect(savedClip ? savedClip->Intersected(field_) : field_);
    if (fieldColor_ != Tsp_Colors::None) {
        canvas.SetBrush({fieldColor_, Tsp_BrushStyle::bsSolid});
        canvas.FillRect(field_);
    }
    if (OnFieldDraw)
        OnFieldDraw(*this, canvas);
    canvas.SetBrush({Tsp_Colors::White, Tsp_BrushStyle::bsClear});
    for (const Tsp_Axis* axis : {&leftAxis_, &bottomAxis_, &rightAxis_, &topAxis_})
        DrawGrid(canvas, *axis);
    DrawMarkers(canvas, Tsp_WhenDrawMarker::dmBeforeSeries);
    for (Tsp_DataSeries* series : series_)
        if (series->Active())
            series->Draw(canvas);
    DrawMarkers(canvas, Tsp_WhenDrawMarker::dmAfterSeries);
    canvas.SetClipRect(savedClip);
}

void Tsp_CustomXYPlot::DrawGrid(Tsp_Canvas& canvas, const Tsp_Axis& axis)
{
    if (!axis.GridAttr().Visible() || axis.GetTicksCount() == 0)
        return;
    canvas.SetPen(axis.GridAttr().AsPen());
    const bool vertical = axis.GetFlagBit(Tsp_ScaleBit::Vertical);
    for (int i = 0; i < axis.GetTicksCount(); ++i) {
        const int p = axis.TickPos(i);
        if (vertical && field_.Top < p && p < field_.Bottom - 1)
            canvas.Line({field_.Left, p}, {field_.Right, p});
        else if (!vertical && field_.Left < p && p < field_.Right - 1)
            canvas.Line({p, field_.Top}, {p, field_.Bottom});
    }
}

void Tsp_CustomXYPlot::DrawMarkers(Tsp_Canvas& canvas, Tsp_WhenDrawMarker when)
{
    for (Tsp_PlotMarker* marker : Markers(when))
        if (marker->Visible())
            marker->Draw(canvas);
}

void Tsp_CustomXYPlot::DrawBorder(Tsp_Canvas& canvas, int width, int height)
{
    canvas.SetBrush({Tsp_Colors::White, Tsp_BrushStyle::bsClear});
    const auto frame = [&](Tsp_Color color, int inset, Tsp_PenStyle style = Tsp_PenStyle::psSolid) {
        canvas.SetPen(SolidPen(color, style));
        canvas.Rectangle({inset, inset, width - inset, height - inset});
    };
    const auto frame3D = [&](Tsp_Color topLeft, Tsp_Color bottomRight) {
        canvas.SetPen(SolidPen(topLeft));
        canvas.Line({0, height - 1}, {0, 0});
        canvas.Line({0, 0}, {width - 1, 0});
        canvas.SetPen(SolidPen(bottomRight));
        canvas.Line({width - 1, 0}, {width - 1, height - 1});
        canvas.Line({width - 1, height - 1}, {-1, height - 1});
    };
    switch (borderStyle_) {
    case Tsp_BorderStyle::bs_None:
        frame(color_, 0);
        frame(color_, 1);
        break;
    case Tsp_BorderStyle::bs_Raised:
        frame3D(Tsp_Colors::BtnHighlight, Tsp_Colors::BtnShadow);
        frame(color_, 1);
        break;
    case Tsp_BorderStyle::bs_Lowered:
        frame3D(Tsp_Colors::BtnShadow, Tsp_Colors::BtnHighlight);
        frame(color_, 1);
        break;
    case Tsp_BorderStyle::bs_Gutter:
        canvas.SetPen(SolidPen(Tsp_Colors::BtnHighlight));
        canvas.Rectangle({1, 1, width, height});
        canvas.SetPen(SolidPen(Tsp_Colors::BtnShadow));
        canvas.Rectangle({0, 0, width - 1, height - 1});
        break;
    case Tsp_BorderStyle::bs_BlackRect:
        frame(Tsp_Colors::Black, 0);
        frame(color_, 1);
        break;
    case Tsp_BorderStyle::bs_BoldRect:
        frame(Tsp_Colors::Black, 0);
        frame(Tsp_Colors::Black, 1);
        break;
    case Tsp_BorderStyle::bs_FocusRect:
        frame(Tsp_Colors::White, 0);
        frame(Tsp_Colors::White, 1);
        frame(Tsp_Colors::Black, 0, Tsp_PenStyle::psDot);
        frame(Tsp_Colors::Black, 1, Tsp_PenStyle::psDot);
        break;
    }
}

void Tsp_CustomXYPlot::DrawOverlay(Tsp_Canvas& canvas)
{
    if (const std::optional<Tsp_Rect> band = RubberBand()) {
        canvas.SetPen({Tsp_Colors::Black, Tsp_PenStyle::psDot, 1, Tsp_PenMode::pmNotXor});
        const Tsp_Point corners[] = {{band->Left, band->Top},
                                     {band->Right, band->Top},
                                     {band->Right, band->Bottom},
                                     {band->Left, band->Bottom}};
        for (int i = 0; i < 4; ++i)
            canvas.Line(corners[i], corners[(i + 1) % 4]);
    }
    if (xCursorOn_)
        DrawXCursor(canvas);
}

void Tsp_CustomXYPlot::DrawXCursor(Tsp_Canvas& canvas)
{
    const int x = bottomAxis_.V2P(xCursorVal_);
    if (!(field_.Left < x && x < field_.Right - 1))
        return;
    canvas.SetPen({Tsp_Colors::Black, Tsp_PenStyle::psSolid, 1, Tsp_PenMode::pmNotXor});
    canvas.Line({x, field_.Top + 1}, {x, field_.Bottom - 1});
}

void Tsp_CustomXYPlot::SetMouseMode(Tsp_MouseMode mode)
{
    if (mode == mouseMode_)
        return;
    mouseMode_ = mode;
    MouseModeChanged();
}

std::optional<Tsp_Rect> Tsp_CustomXYPlot::RubberBand() const
{
    if (mouseMode_ != Tsp_MouseMode::Zooming)
        return std::nullopt;
    return Tsp_Rect{bandStart_.X, bandStart_.Y, bandCorner_.X, bandCorner_.Y};
}

Tsp_Point Tsp_CustomXYPlot::BandCorner(Tsp_Point at) const
{
    if (zoom_ == Tsp_zpDirections::zpdHorizontal)
        at.Y = field_.Bottom;
    else if (zoom_ == Tsp_zpDirections::zpdVertical)
        at.X = field_.Right;
    return at;
}

void Tsp_CustomXYPlot::MouseDown(Tsp_MouseButton button, Tsp_ShiftState shift, Tsp_Point at)
{
    if (button != Tsp_MouseButton::mbLeft || mouseMode_ != Tsp_MouseMode::Idle)
        return;
    if (shift == (zoomShiftKeys_ | Tsp_Shift::ssLeft) && zoom_ != Tsp_zpDirections::zpdNone) {
        pressPoint_ = at;
        bandStart_ = at;
        if (zoom_ == Tsp_zpDirections::zpdHorizontal)
            bandStart_.Y = field_.Top;
        else if (zoom_ == Tsp_zpDirections::zpdVertical)
            bandStart_.X = field_.Left;
        SetMouseMode(Tsp_MouseMode::ZoomPending);
    } else if (shift == (panShiftKeys_ | Tsp_Shift::ssLeft) && pan_ != Tsp_zpDirections::zpdNone) {
        currentPoint_ = at;
        SetMouseMode(Tsp_MouseMode::PanPending);
    }
}

void Tsp_CustomXYPlot::MouseMove(Tsp_Point at)
{
    switch (mouseMode_) {
    case Tsp_MouseMode::ZoomPending:
        // Measured from the press, not from the band's start on the field edge, so
        // that a shaky click still un-zooms in a one-direction zoom.
        if (std::abs(at.X - pressPoint_.X) > DragThreshold ||
            std::abs(at.Y - pressPoint_.Y) > DragThreshold) {
            bandCorner_ = BandCorner(at);
            SetMouseMode(Tsp_MouseMode::Zooming);
            RequestRepaint();
        }
        break;
    case Tsp_MouseMode::Zooming:
        bandCorner_ = BandCorner(at);
        RequestRepaint();
        break;
    case Tsp_MouseMode::PanPending:
    case Tsp_MouseMode::Panning: {
        if (mouseMode_ == Tsp_MouseMode::PanPending && at == currentPoint_)
            break;
        const Tsp_Point previous = currentPoint_;
        currentPoint_ = at;
        SetMouseMode(Tsp_MouseMode::Panning);
        StoreLimits();
        if (previous.X != at.X && AllowsHorizontal(pan_)) {
            bottomAxis_.ScrollBy(previous.X - at.X);
            topAxis_.ScrollBy(previous.X - at.X);
            CustomInvalidate(false, true, true);
        }
        if (previous.Y != at.Y && AllowsVertical(pan_)) {
            leftAxis_.ScrollBy(previous.Y - at.Y);
            rightAxis_.ScrollBy(previous.Y - at.Y);
            CustomInvalidate(false, true, true);
        }
        break;
    }
    case Tsp_MouseMode::Idle:
        break;
    }
}

void Tsp_CustomXYPlot::MouseUp(Tsp_MouseButton button, Tsp_Point at)
{
    if (button != Tsp_MouseButton::mbLeft)
        return;
    if (mouseMode_ == Tsp_MouseMode::ZoomPending) {
        SetMouseMode(Tsp_MouseMode::Idle);
        RestoreLimits();
        return;
    }
    if (mouseMode_ == Tsp_MouseMode::Zooming) {
        bandCorner_ = BandCorner(at);
        Tsp_Rect rect{bandStart_.X, bandStart_.Y, bandCorner_.X, bandCorner_.Y};
        if (rect.Right < rect.Left)
            rect = {rect.Right + 1, rect.Top, rect.Left + 1, rect.Bottom};
        if (rect.Bottom < rect.Top)
            rect = {rect.Left, rect.Bottom + 1, rect.Right, rect.Top + 1};
        SetMouseMode(Tsp_MouseMode::Idle);
        RequestRepaint();
        RectToLimits(rect, zoom_);
        return;
    }
    SetMouseMode(Tsp_MouseMode::Idle);
}

void Tsp_CustomXYPlot::DrawIncrement(const std::function<void(Tsp_Canvas&)>& /*draw*/)
{
    CustomInvalidate(false, false, true);
}

} // namespace varnolux
