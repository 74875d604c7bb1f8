#pragma once

#include "analysis/ColourRange.h"
#include "settings/TOptions.h"
#include "shell/TColourCircle.h"

#include <array>
#include <chrono>
#include <string>

#include <QObject>
#include <QPoint>

class QSlider;
class QTimer;

namespace varnolux {

class TImageWidget;
class TKVShapeSize;
class TLabeledEdit;
class Tsp_LineMarker;

/// The colour range on the main window: six track bars with an edit each, the two hue
/// handles on the colour circle and the chart's six range markers. The bars hold the
/// range; the edits, markers and handles follow them, and typed numbers move them.
/// After a burst of changes the range settles once it has been quiet for QuietTime; a
/// released hue handle settles it at once.
class TColourRangeController : public QObject {
    Q_OBJECT

public:
    /// The controls, laid out by the window; in the order of the colour range.
    struct TControls {
        std::array<QSlider*, 6> TrackBars{};
        std::array<TLabeledEdit*, 6> Edits{};
        std::array<Tsp_LineMarker*, 6> Markers{};
        TImageWidget* Circle = nullptr;
        TKVShapeSize* HueMaxHandle = nullptr;
        TKVShapeSize* HueMinHandle = nullptr;
    };

    /// The names of the bars and edits, in the order of the colour range.
    static constexpr std::array<const char*, 6> TrackBarNames = {"TrackBarHMin", "TrackBarHMax",
                                                                 "TrackBarSMin", "TrackBarSMax",
                                                                 "TrackBarVMin", "TrackBarVMax"};
    /// The edits are named as the options file's keys of their texts.
    static constexpr std::array<const char*, 6> EditNames = RangeTextKeys;

    /// The range is quiet this long before it settles.
    static constexpr std::chrono::milliseconds QuietTime{432};

    explicit TColourRangeController(const TControls& controls, QObject* parent = nullptr);

    /// The range as the bars hold it.
    TColourRange Range() const;
    /// Moves the bars, in the order of the range, as a user would.
    void SetRange(const TColourRange& range);
    /// The edits' texts, as an options file stores them.
    std::array<std::string, 6> Texts() const;
    /// Puts the texts into the edits, one after the other; the bars follow valid ones.
    void SetTexts(const std::array<std::string, 6>& texts);
    /// Moves each bar to its edit's number; an edit that holds no number is reported
    /// and shows its bar again.
    void ApplyEditsToTrackBars();
    /// Each edit shows its bar's position.
    void ShowBarsInEdits();

    /// Settles the range now, as the end of the quiet time does: the hue handles go to
    /// the hue bars when those moved, and RangeSettled follows.
    void Settle();
    /// Whether a change waits for the quiet time to end.
    bool Waiting() const;
    /// Nothing settles any more after the last change (the window closes).
    void StopWaiting();

    /// Both handles on the circle at the hue bars' angles, with their radius lines.
    void PlaceHandlesAtBars();
    /// The markers stand at the bars' positions.
    void UpdateLineMarkers();

    /// The angles of the hue handles, in radians on the screen.
    double HueMinAngle() const { return hueMinAngle_; }
    double HueMaxAngle() const { return hueMaxAngle_; }
    const TColourCircle& ColourCircle() const { return colourCircle_; }

Q_SIGNALS:
    /// A bar moved, by the user or the program.
    void RangeChanged(const varnolux::TColourRange& range);
    /// The range is to be analysed: it has been quiet, or a hue handle was released.
    void RangeSettled(const varnolux::TColourRange& range);

private:
    void TrackBarChanged(std::size_t index);
    void ApplyEditToTrackBar(std::size_t index);
    void PlaceHueHandles(double maxAngle, double minAngle);
    void HueHandleMoved(TKVShapeSize& handle);
    void HueHandleReleased(TKVShapeSize& handle);
    void DrawColourCircle();
    void DrawHueRadiusLines();
    QPoint HandleCentre(const TKVShapeSize& handle) const;
    QPoint HandlePositionOnOrbit(const TKVShapeSize& handle, double angle) const;

    TControls controls_;
    QTimer* quietTimer_;
    TColourCircle colourCircle_;
    double hueMaxAngle_ = -9999.0;
    double hueMinAngle_ = -9999.0;
    /// A hue bar moved since the circle was drawn: the handles follow when it settles.
    bool hueChanged_ = false;
};

} // namespace varnolux
