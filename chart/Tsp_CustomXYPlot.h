#pragma once

#include "chart/Tsp_Axis.h"
#include "chart/Tsp_Canvas.h"
#include "chart/Tsp_PlotTypes.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace varnolux {

class Tsp_DataSeries;
class Tsp_PlotMarker;

/// An XY plot without a window: four axes around a data field, the series drawn in
/// it between two lists of markers, automatic limits, zooming and panning, and
/// painting onto any canvas in two layers (the surroundings with axes, and the
/// field) that are redrawn only when invalid. The plot does not own its series and
/// markers; they register through their SetPlot and are told when the plot goes.
/// A window class fills in the repaint hooks.
class Tsp_CustomXYPlot {
public:
    Tsp_CustomXYPlot();
    virtual ~Tsp_CustomXYPlot();
    Tsp_CustomXYPlot(const Tsp_CustomXYPlot&) = delete;
    Tsp_CustomXYPlot& operator=(const Tsp_CustomXYPlot&) = delete;

    Tsp_Axis& LeftAxis() { return leftAxis_; }
    Tsp_Axis& RightAxis() { return rightAxis_; }
    Tsp_Axis& BottomAxis() { return bottomAxis_; }
    Tsp_Axis& TopAxis() { return topAxis_; }
    const Tsp_Axis& LeftAxis() const { return leftAxis_; }
    const Tsp_Axis& RightAxis() const { return rightAxis_; }
    const Tsp_Axis& BottomAxis() const { return bottomAxis_; }
    const Tsp_Axis& TopAxis() const { return topAxis_; }
    Tsp_Axis& XAxisOf(Tsp_WhatXAxis which);
    Tsp_Axis& YAxisOf(Tsp_WhatYAxis which);

    /// Series in drawing order. Adding sets the series' plot, removing clears it.
    void AddSeries(Tsp_DataSeries& series);
    void RemoveSeries(Tsp_DataSeries& series);
    int GetSeriesCount() const { return static_cast<int>(series_.size()); }
    Tsp_DataSeries* GetSeriesPtr(int i) const;
    /// Moves the series to the end of the list (drawn last) or to its start.
    void SetSeriesAt(Tsp_DataSeries& series, bool toFront);

    /// Markers drawn before or after the series.
    void AddMarker(Tsp_PlotMarker& marker, Tsp_WhenDrawMarker when);
    void RemoveMarker(Tsp_PlotMarker& marker);
    const std::vector<Tsp_PlotMarker*>& MarkerList(Tsp_WhenDrawMarker when) const;
    /// Moves the marker to the end (front) or start (back) of its list.
    void SetMarkerAt(Tsp_PlotMarker& marker, Tsp_WhenDrawMarker when, bool toFront);

    /// Everything is re-arranged and redrawn at the next paint.
    void Invalidate();
    void CustomInvalidate(bool rearrange, bool surroundings, bool field);
    /// Both layers are to be redrawn, without asking for a paint.
    void BufferIsInvalid();
    bool IsArranged() const { return arranged_; }
    bool SurroundingsDrawn() const { return surroundingsDrawn_; }
    bool FieldDrawn() const { return fieldDrawn_; }

    /// Automatic limits for the axes of a series whose data changed, then a repaint
    /// of everything (limits changed) or of the field.
    void InvalidateSeries(const Tsp_DataSeries& series);
    /// Sets the automatic limits of an axis with AutoMin or AutoMax from the
    /// active series on it, with 2.5 % room. True when the limits changed.
    bool DoAutoMinMax(Tsp_Axis& axis);
    /// The extremes of the data of the active series on an axis.
    std::optional<double> FindXAutoMin(Tsp_WhatXAxis which) const;
    std::optional<double> FindXAutoMax(Tsp_WhatXAxis which) const;
    std::optional<double> FindYAutoMin(Tsp_WhatYAxis which) const;
    std::optional<double> FindYAutoMax(Tsp_WhatYAxis which) const;

    /// Remembers the limits of all four axes (unless all are remembered already).
    void StoreLimits();
    /// Restores them when all four axes have remembered limits.
    void RestoreLimits();
    bool LimitsStored() const;
    /// Zooms to a rectangle of the field in the given directions; nothing for a
    /// rectangle 2 pixels wide or high or less.
    void RectToLimits(const Tsp_Rect& rect, Tsp_zpDirections directions);

    Tsp_Color Color() const { return color_; }
    void SetColor(Tsp_Color color);
    /// Tsp_Colors::None leaves the field unfilled.
    Tsp_Color FieldColor() const { return fieldColor_; }
    void SetFieldColor(Tsp_Color color);
    const Tsp_Font& Font() const { return font_; }
    void SetFont(const Tsp_Font& font);
    Tsp_BorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(Tsp_BorderStyle style);

    Tsp_zpDirections Zoom() const { return zoom_; }
    void SetZoom(Tsp_zpDirections directions) { zoom_ = directions; }
    Tsp_zpDirections Pan() const { return pan_; }
    void SetPan(Tsp_zpDirections directions) { pan_ = directions; }
    /// Keys held with the left button to zoom (Shift) and to pan (Ctrl).
    Tsp_ShiftState ZoomShiftKeys() const { return zoomShiftKeys_; }
    void SetZoomShiftKeys(Tsp_ShiftState keys);
    Tsp_ShiftState PanShiftKeys() const { return panShiftKeys_; }
    void SetPanShiftKeys(Tsp_ShiftState keys);

    /// An inverting vertical line at a bottom-axis value.
    bool XCursorOn() const { return xCursorOn_; }
    void SetXCursOn(bool on);
    double XCursorVal() const { return xCursorVal_; }
    void SetXCursVal(double value);

    /// The data area of the last arrangement; Right and Bottom lie outside it.
    const Tsp_Rect& Field() const { return field_; }

    /// Places the field and the axis lines for a plot of this size.
    void Arrange(Tsp_Canvas& canvas, int width, int height);
    /// Paints a plot of this size: arranges when needed, draws the layers (with
    /// onlyInvalid just those not drawn since they were invalidated) and the border.
    void PaintLayers(Tsp_Canvas& canvas, int width, int height, bool onlyInvalid);
    /// Draws the whole plot onto another canvas at another size (more than 9 × 9);
    /// the plot is re-arranged at its next paint.
    void DrawPlot(Tsp_Canvas& canvas, int width, int height);
    /// What goes over the painted layers: the rubber band and the X cursor.
    void DrawOverlay(Tsp_Canvas& canvas);

    /// The mouse, in plot pixels: Shift-drag zooms, Ctrl-drag pans, a Shift-click
    /// restores the limits from before the last zoom or pan.
    void MouseDown(Tsp_MouseButton button, Tsp_ShiftState shift, Tsp_Point at);
    void MouseMove(Tsp_Point at);
    void MouseUp(Tsp_MouseButton button, Tsp_Point at);
    Tsp_MouseMode MouseMode() const { return mouseMode_; }
    /// The corners of the rubber band while zooming.
    std::optional<Tsp_Rect> RubberBand() const;

    /// Paints at once (a series being filled point by point without its lock).
    virtual void RepaintNow() {}
    /// Draws a small addition straight into what is shown, or else lets the field
    /// be repainted.
    virtual void DrawIncrement(const std::function<void(Tsp_Canvas&)>& draw);

    std::function<void(Tsp_Axis& axis, double& min, double& max, bool& canZoom)> OnAxisZoom;
    std::function<void(const Tsp_Axis& axis, int labelNum, double labelVal, std::string& label)>
        OnGetTickLabel;
    std::function<void(Tsp_CustomXYPlot& plot, Tsp_Canvas& canvas)> OnFieldDraw;
    std::function<void(Tsp_CustomXYPlot& plot, Tsp_Canvas& canvas)> OnDrawEnd;

protected:
    /// Asks the window system for a paint.
    virtual void RequestRepaint() {}
    virtual void MouseModeChanged() {}

private:
    friend class Tsp_DataSeries;
    friend class Tsp_PlotMarker;

    void LinkSeries(Tsp_DataSeries& series);
    void UnlinkSeries(Tsp_DataSeries& series);
    void LinkMarker(Tsp_PlotMarker& marker, Tsp_WhenDrawMarker when);
    void UnlinkMarker(Tsp_PlotMarker& marker, Tsp_WhenDrawMarker when);
    std::vector<Tsp_PlotMarker*>& Markers(Tsp_WhenDrawMarker when);
    /// Automatic limits of both axes of one direction, then the repaint they need.
    void SeriesAxesChanged(bool horizontal);

    template <typename Extreme>
    std::optional<double> FindExtreme(Extreme extreme, bool smallest) const;

    int CaptionRoom(const Tsp_Axis& axis, int captionHeight) const;
    /// The field for the axes' current pixel scales.
    Tsp_Rect FieldFor(int width, int height, int cw, int th, int captionHeight) const;
    void DrawAroundField(Tsp_Canvas& canvas, int width, int height);
    void DrawCaptions(Tsp_Canvas& canvas, int width, int height);
    void DrawField(Tsp_Canvas& canvas);
    void DrawGrid(Tsp_Canvas& canvas, const Tsp_Axis& axis);
    void DrawMarkers(Tsp_Canvas& canvas, Tsp_WhenDrawMarker when);
    void DrawBorder(Tsp_Canvas& canvas, int width, int height);
    void DrawXCursor(Tsp_Canvas& canvas);
    void SetMouseMode(Tsp_MouseMode mode);
    Tsp_Point BandCorner(Tsp_Point at) const;
    void ZoomAxis(Tsp_Axis& axis, double lo, double hi);

    Tsp_Axis leftAxis_;
    Tsp_Axis rightAxis_;
    Tsp_Axis bottomAxis_;
    Tsp_Axis topAxis_;
    std::vector<Tsp_DataSeries*> series_;
    std::vector<Tsp_PlotMarker*> markersBefore_;
    std::vector<Tsp_PlotMarker*> markersAfter_;

    Tsp_Rect field_;
    int arrangedWidth_ = 0;
    int arrangedHeight_ = 0;
    bool arranged_ = false;
    bool surroundingsDrawn_ = false;
    bool fieldDrawn_ = false;

    Tsp_Color color_ = Tsp_Colors::BtnFace;
    Tsp_Color fieldColor_ = Tsp_Colors::White;
    Tsp_Font font_;
    Tsp_BorderStyle borderStyle_ = Tsp_BorderStyle::bs_None;
    Tsp_zpDirections zoom_ = Tsp_zpDirections::zpdBoth;
    Tsp_zpDirections pan_ = Tsp_zpDirections::zpdBoth;
    Tsp_ShiftState zoomShiftKeys_ = Tsp_Shift::ssShift;
    Tsp_ShiftState panShiftKeys_ = Tsp_Shift::ssCtrl;
    bool xCursorOn_ = false;
    double xCursorVal_ = 0.0;

    Tsp_MouseMode mouseMode_ = Tsp_MouseMode::Idle;
    Tsp_Point pressPoint_;
    Tsp_Point bandStart_;
    Tsp_Point bandCorner_;
    Tsp_Point currentPoint_;
};

} // namespace varnolux
