#pragma once

#include "tools/Named.h"

class QComboBox;
class QLabel;
class QStatusBar;
class QString;
class QTimer;

namespace varnolux {

class TPictureView;

/// The zoom a zoom box's text asks for: blanks around it and one trailing "%" are
/// dropped; a text that is no whole number is 100; the result is a zoom the picture
/// view can show (TPictureView::SaneZoom).
int ZoomFromText(const QString& text);

/// The zoom box sets the view's zoom as its text changes.
void ConnectZoomBox(QComboBox& zoomBox, TPictureView& view);

/// The status text for a zoom: "Zoom: N%".
QString ZoomStatusText(int percent);

/// The zoom box items of the calibration and the colour selection.
inline constexpr const char* MeasuringZoomItems[] = {"400%", "200%", "150%", "100%",
                                                     "75%",  "50%",  "10%"};

/// The picture part of the calibration and the colour selection: the view on silver
/// with the measuring cursor (the cross when the resource is missing, after saying
/// so), the status bar with the zoom and a status text, the load timer (50 ms, once)
/// and the zoom box driving the view.
struct TMeasuringParts {
    TPictureView& View;
    QComboBox& ZoomBox;
    QStatusBar& StatusBar;
    QLabel& ZoomPanel;
    QLabel& StatusPanel;
    QTimer& LoadTimer;
};
void SetUpMeasuringParts(const TMeasuringParts& parts);

} // namespace varnolux
