#include "shell/TAnalysisActions.h"

#include "analysis/ColourRangeFromMask.h"
#include "base/Messages.h"
#include "imaging/TBitmap24.h"
#include "results/NumberFormat.h"
#include "settings/TOptions.h"
#include "shell/ModalWindows.h"
#include "shell/TAnalysisController.h"
#include "shell/TColourRangeController.h"
#include "shell/TFormLanguage.h"
#include "shell/TFormOptions.h"
#include "shell/TImageWidget.h"
#include "shell/TOptionsFiles.h"
#include "shell/TProgramControl.h"
#include "tools/Calibration.h"
#include "tools/Regionselectioncore.h"
#include "tools/TFormFullImage.h"
#include "tools/TFormMeasure.h"
#include "tools/TFormSelectionByMouse.h"

#include <memory>

#include <QGuiApplication>

namespace varnolux {

namespace {

/// A copy of the picture the image shows, for a tool window to keep and draw on.
QImage ToolPicture(const TImageWidget& image)
{
    return image.PictureImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TAnalysisActions::TAnalysisActions(TAnalysisController& analysis, TColourRangeController& range,
                                   TProgramControl& programControl, const TOptionsHolder& options,
                                   const TProgramFiles& files, QWidget& window,
                                   const TImageWidget& source, const TWindows& windows,
                                   QObject* parent)
    : QObject(parent)
    , analysis_(analysis)
    , range_(range)
    , programControl_(programControl)
    , options_(options)
    , files_(files)
    , window_(window)
    , source_(source)
    , windows_(windows)
{
    connect(&analysis_, &TAnalysisController::ColourRangeFound, this,
            &TAnalysisActions::ColourRangeFound);
}

void TAnalysisActions::Process()
{
    if (analysis_.Busy())
        return;
    range_.ApplyEditsToTrackBars();
    analysis_.Analyse();
}

void TAnalysisActions::EditOptions()
{
    if (analysis_.Busy())
        return;
    const TPalettePause pause(windows_.PlasmaForm);
    // The options file is the user's: it changes only when the options are saved. Cancel
    // leaves the options as they were.
    if (ShowModal(*windows_.FormOptions, window_) == QDialog::Accepted) {
        programControl_.SetState(StateImageLoaded);
        Q_EMIT OptionsChanged();
        Process();
    }
}

void TAnalysisActions::Measure()
{
    if (analysis_.Busy())
        return;
    TFormMeasure& tool = *windows_.FormMeasure;
    const TPalettePause pause(windows_.PlasmaForm);
    tool.SetStatusText(QString::fromStdString(analysis_.OpenedImage().FileName));
    tool.SetPicture(ToolPicture(source_));
    const TFormMeasure::TCalibration before = tool.Calibration();
    if (ShowTool(tool, window_) != QDialog::Accepted) {
        tool.SetCalibration(before);
        return;
    }
    Q_EMIT OptionsChanged();
    TOptions options = options_.CurrentOptions();
    // The minimum size keeps its meaning: pixels become square units and back.
    if (options.lCheckBoxUnits != before.UseUnits) {
        if (const std::optional<double> converted = ConvertedMinRegion(
                options.EditMinRegion, options.EditMeasure, options.lCheckBoxUnits)) {
            options.EditMinRegion = FormatGeneral(*converted);
            windows_.FormOptions->ReadFrom(options);
        }
    }
    Process();
}

void TAnalysisActions::SelectColours()
{
    if (analysis_.Busy())
        return;
    TFormSelectionByMouse& tool = *windows_.FormSelectionByMouse;
    const TPalettePause pause(windows_.PlasmaForm);
    tool.SetPicture(ToolPicture(source_));
    // The range comes from the image as read, not from the picture shown, which carries
    // the outline of the analysis area; the worker finds it (ColourRangeFound).
    if (ShowTool(tool, window_) == QDialog::Accepted &&
        !analysis_.FindColourRange(tool.CommittedMask()))
        ColourRangeFound(TMaskRange{.Failure = TMaskRange::TFailure::OtherSize});
}

void TAnalysisActions::ColourRangeFound(const TMaskRange& range)
{
    if (range) {
        range_.SetRange(range.Range);
        range_.Settle();
    } else {
        CurrentReporter().ShowLanguageMessage("LabelColorRegionsNotSet", {});
    }
    Q_EMIT OptionsChanged();
}

void TAnalysisActions::SelectAnalysisArea()
{
    // The editor draws on the image as read, without the outline of the analysis area.
    const std::shared_ptr<const TBitmap24> picture = analysis_.OpenedImage().SourcePicture;
    if (analysis_.Busy() || !picture)
        return;
    const TPalettePause pause(windows_.PlasmaForm);
    const auto editor = std::make_unique<TFormRegionSelection>(&window_);
    if (const auto language = TFormLanguage::OpenLanguageFile(files_.LanguageFile))
        TFormLanguage::TranslateForm(*editor, *language);
    editor->LoadBackground(picture);
    if (regionZoom_ != -1)
        editor->SetZoomPosition(regionZoom_);
    TOptions options = options_.CurrentOptions();
    editor->ReadFrom(options);
    if (ShowTool(*editor, window_) != QDialog::Accepted)
        return;
    regionZoom_ = editor->ZoomPosition();
    editor->WriteTo(options);
    windows_.FormOptions->ReadFrom(options);
    Q_EMIT OptionsChanged();
    range_.ApplyEditsToTrackBars();
    // An analysis the range started while the editor was open would show the old area:
    // the new one replaces it.
    analysis_.AnalyseLatest();
}

void TAnalysisActions::OpenFullImage(const TImageWidget& image)
{
    // While an open or an analysis draws the picture, a copy would be half drawn.
    if (analysis_.Busy())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    auto* viewer = new TFormFullImage(&window_);
    // The language file the program's windows were translated with.
    if (const auto language = TFormLanguage::OpenLanguageFile(files_.LanguageFile))
        TFormLanguage::TranslateForm(*viewer, *language);
    viewer->SetPicture(ToolPicture(image));
    QGuiApplication::restoreOverrideCursor();
    viewer->show();
}

} // namespace varnolux
