// The main window's tool windows: length calibration, colour selection by mouse, the
// analysis-area editor and the full-size viewers. The windows get the picture and the values they
// work on and give back what the user chose; this file puts that into the main window.

#include "analysis/ColourRangeFromMask.h"
#include "base/Messages.h"
#include "imaging/TBitmap24.h"
#include "results/NumberFormat.h"
#include "settings/TOptions.h"
#include "shell/TAnalysisController.h"
#include "shell/TColourRangeController.h"
#include "shell/TFormLanguage.h"
#include "shell/TFormMain.h"
#include "shell/TFormOptions.h"
#include "shell/TImageWidget.h"
#include "shell/TPlasmaForm.h"
#include "tools/Calibration.h"
#include "tools/Regionselectioncore.h"
#include "tools/TFormFullImage.h"
#include "tools/TFormMeasure.h"
#include "tools/TFormSelectionByMouse.h"

#include <memory>

#include <QAction>
#include <QGuiApplication>
#include <QSlider>

namespace varnolux {

namespace {

/// A copy of the picture the image shows, for a tool window to keep and draw on.
QImage ToolPicture(const TImageWidget& image)
{
    return image.PictureImage().convertToFormat(QImage::Format_RGB32);
}

/// Shows a tool window modally over the main window, at the size it has.
int ShowTool(QDialog& tool, const QWidget& over)
{
    tool.move(over.frameGeometry().center() - tool.rect().center());
    tool.setWindowModality(Qt::ApplicationModal);
    return tool.exec();
}

} // namespace

void TFormMain::ConnectTools()
{
    connect(ActionMeasure, &QAction::triggered, this, &TFormMain::ActionMeasureExecute);
    connect(ActionColorSelection, &QAction::triggered, this,
            &TFormMain::ActionColorSelectionExecute);
    connect(ActionRegionSelect, &QAction::triggered, this, &TFormMain::ActionRegionSelectExecute);
    for (TImageWidget* image : {ImageOriginal, ImageAnalyse})
        connect(image, &TImageWidget::Clicked, this, [this, image] { OpenFullImage(*image); });
}

void TFormMain::ActionMeasureExecute()
{
    if (Busy())
        return;
    TFormMeasure& window = *windows_.FormMeasure;
    windows_.PlasmaForm->StopPalette();
    window.SetStatusText(QString::fromStdString(analysis_->OpenedImage().FileName));
    window.SetPicture(ToolPicture(*ImageOriginal));
    const TFormMeasure::TCalibration before = window.Calibration();
    if (ShowTool(window, *this) == QDialog::Accepted) {
        MarkOptionsChanged();
        TOptions options = CurrentOptions();
        // The minimum size keeps its meaning: pixels become square units and back.
        if (options.lCheckBoxUnits != before.UseUnits) {
            if (const std::optional<double> converted = ConvertedMinRegion(
                    options.EditMinRegion, options.EditMeasure, options.lCheckBoxUnits)) {
                options.EditMinRegion = FormatGeneral(*converted);
                windows_.FormOptions->ReadFrom(options);
            }
        }
        ActionProcessExecute();
    } else {
        window.SetCalibration(before);
    }
    windows_.PlasmaForm->StartPalette();
}

void TFormMain::ActionColorSelectionExecute()
{
    if (Busy())
        return;
    TFormSelectionByMouse& window = *windows_.FormSelectionByMouse;
    windows_.PlasmaForm->StopPalette();
    window.SetPicture(ToolPicture(*ImageOriginal));
    // The range comes from the image as read, not from the picture shown, which carries
    // the outline of the analysis area; the worker finds it (ColourRangeFound).
    if (ShowTool(window, *this) == QDialog::Accepted &&
        !analysis_->FindColourRange(window.CommittedMask()))
        ColourRangeFound(TMaskRange{.Failure = TMaskRange::TFailure::OtherSize});
    windows_.PlasmaForm->StartPalette();
}

void TFormMain::ColourRangeFound(const TMaskRange& range)
{
    if (range) {
        colourRange_->SetRange(range.Range);
        colourRange_->Settle();
    } else {
        CurrentReporter().ShowLanguageMessage("LabelColorRegionsNotSet", {});
    }
    MarkOptionsChanged();
}

void TFormMain::ActionRegionSelectExecute()
{
    // The editor draws on the image as read, without the outline of the analysis area.
    const std::shared_ptr<const TBitmap24> source = analysis_->OpenedImage().SourcePicture;
    if (Busy() || !source)
        return;
    windows_.PlasmaForm->StopPalette();
    const auto editor = std::make_unique<TFormRegionSelection>(this);
    if (const auto language = TFormLanguage::OpenLanguageFile(LanguageFile))
        TFormLanguage::TranslateForm(*editor, *language);
    editor->LoadBackground(source);
    if (RegionZoom != -1)
        editor->SetZoomPosition(RegionZoom);
    TOptions options = CurrentOptions();
    editor->ReadFrom(options);
    if (ShowTool(*editor, *this) == QDialog::Accepted) {
        RegionZoom = editor->ZoomPosition();
        editor->WriteTo(options);
        windows_.FormOptions->ReadFrom(options);
        MarkOptionsChanged();
        colourRange_->ApplyEditsToTrackBars();
        // An analysis the range started while the editor was open would show the old
        // area: the new one replaces it.
        analysis_->AnalyseLatest();
    }
    windows_.PlasmaForm->StartPalette();
}

void TFormMain::OpenFullImage(const TImageWidget& image)
{
    // While an open or an analysis draws the picture, a copy would be half drawn.
    if (Busy())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    auto* viewer = new TFormFullImage(this);
    // The language file the program's windows were translated with.
    if (const auto language = TFormLanguage::OpenLanguageFile(LanguageFile))
        TFormLanguage::TranslateForm(*viewer, *language);
    viewer->SetPicture(ToolPicture(image));
    QGuiApplication::restoreOverrideCursor();
    viewer->show();
}

} // namespace varnolux
