#pragma once

#include "shell/TProgramFiles.h"

#include <QObject>

class QWidget;

namespace varnolux {

class TAnalysisController;
class TColourRangeController;
class TFormMeasure;
class TFormOptions;
class TFormSelectionByMouse;
class TImageWidget;
class TOptionsHolder;
class TPlasmaForm;
class TProgramControl;
struct TMaskRange;

/// The Analysis menu and the options dialog: Process, the colour selection by mouse, the
/// analysis-area editor, the length calibration, Edit options, and the full-size
/// viewers of a clicked image. The tool windows get the picture and the values they
/// work on and give back what the user chose, which goes into the colour range or the
/// options dialog; an OK marks the options as changed and analyses again. Nothing
/// starts while an open or an analysis runs.
class TAnalysisActions : public QObject {
    Q_OBJECT

public:
    /// The program-wide windows it shows.
    struct TWindows {
        TFormMeasure* FormMeasure = nullptr;
        TFormOptions* FormOptions = nullptr;
        TFormSelectionByMouse* FormSelectionByMouse = nullptr;
        TPlasmaForm* PlasmaForm = nullptr;
    };

    /// window: the modal windows are shown over it and own the viewers; source: the
    /// view of the image as opened, with the analysis area drawn on it.
    TAnalysisActions(TAnalysisController& analysis, TColourRangeController& range,
                     TProgramControl& programControl, const TOptionsHolder& options,
                     const TProgramFiles& files, QWidget& window, const TImageWidget& source,
                     const TWindows& windows, QObject* parent = nullptr);

    /// Process: the edits' numbers go to the bars, then the image is analysed.
    void Process();
    void EditOptions();
    void Measure();
    /// The colour selection tool; on OK the worker finds the range of the selection.
    void SelectColours();
    /// Puts the range of the colour selection on the track bars and analyses.
    void ColourRangeFound(const TMaskRange& range);
    /// The analysis-area editor on the image as read: OK takes its area into the options
    /// and analyses again; Cancel changes nothing.
    void SelectAnalysisArea();
    /// A viewer of the image's picture, in a window of its own; none while an open or an
    /// analysis is drawing it.
    void OpenFullImage(const TImageWidget& image);

    /// The zoom of the analysis-area editor's last OK; -1 before.
    int RegionZoom() const { return regionZoom_; }

Q_SIGNALS:
    /// A tool window was closed with OK: the options count as changed.
    void OptionsChanged();

private:
    TAnalysisController& analysis_;
    TColourRangeController& range_;
    TProgramControl& programControl_;
    const TOptionsHolder& options_;
    TProgramFiles files_;
    QWidget& window_;
    const TImageWidget& source_;
    TWindows windows_;
    int regionZoom_ = -1;
};

} // namespace varnolux
