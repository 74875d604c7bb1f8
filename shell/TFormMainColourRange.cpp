// The main window's colour-range controls: track bars, edits, hue handles and the
// chart's range markers, and the analysis that follows a change of the range.

#include "base/Messages.h"
#include "chart/Tsp_LineMarker.h"
#include "settings/NumberText.h"
#include "shell/HueAngle.h"
#include "shell/TFormMain.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "shell/TPlasmaForm.h"
#include "shell/TProgramControl.h"
#include "tools/TKVShapeSize.h"

#include <QAction>
#include <QPainter>
#include <QSlider>
#include <QTimer>

namespace varnolux {

void TFormMain::TrackBarHMinChange(int index)
{
    if (!Updating)
        StartDelayedAnalysis();
    if (index == HMin || index == HMax)
        HueChanged = true;
    for (size_t i = 0; i < TrackBars.size(); ++i)
        RangeEdits[i]->setText(QString::number(TrackBars[i]->value()));
    std::array<int, 6> range{};
    for (size_t i = 0; i < RangeEdits.size(); ++i)
        range[i] = ParseDecimalInteger(RangeEdits[i]->text().toStdString()).value_or(0);
    windows_.PlasmaForm->SetRange(range);
    MarkOptionsChanged();
    UpdateLineMarkers();
}

void TFormMain::StartDelayedAnalysis()
{
    // Restarted by every change: the analysis waits until the range has been quiet.
    Timer2->start();
}

void TFormMain::LabeledEditHMaxChange()
{
    ApplyEditsToTrackBars();
}

void TFormMain::ApplyEditsToTrackBars()
{
    for (size_t i = 0; i < TrackBars.size(); ++i)
        ApplyEditToTrackBar(static_cast<int>(i));
}

void TFormMain::ApplyEditToTrackBar(int index)
{
    QSlider& bar = *TrackBars[static_cast<size_t>(index)];
    TLabeledEdit& edit = *RangeEdits[static_cast<size_t>(index)];
    int position = bar.value();
    if (ApplyRangeText(edit.text().toStdString(), position)) {
        bar.setValue(position);
        return;
    }
    TReporter& reporter = CurrentReporter();
    reporter.ShowLanguageMessage(
        "LabelInvalidValueTrackBarPositionFromLabeledEdit",
        {reporter.LanguageMessageText(RangeFieldLabels[static_cast<size_t>(index)])});
    edit.setText(QString::number(bar.value()));
}

void TFormMain::MarkOptionsChanged()
{
    const TProgramState state = ProgramControl->State();
    ProgramControl->SetState(StateOptionsChanged);
    ProgramControl->SetState(state);
}

void TFormMain::AnalyseChangedRange()
{
    Updating = true;
    Timer2->stop();
    if (HueChanged) {
        HueMaxAngle = HueAngleOfPosition(TrackBars[HMax]->value());
        HueMinAngle = HueAngleOfPosition(TrackBars[HMin]->value());
        PlaceHueHandles(HueMaxAngle, HueMinAngle);
    }
    // The newest range wins: an analysis that runs with an older one stops.
    analysis_->AnalyseLatest();
    Updating = false;
}

QPoint TFormMain::HandlePositionOnOrbit(const TKVShapeSize& handle, double angle) const
{
    const THueCircle circle =
        THueCircle::OfImage(ImageColorCircle->width(), ImageColorCircle->height());
    const double left = std::cos(angle) * circle.HandleOrbit - handle.width() * 0.5 +
                        circle.CentreX + ImageColorCircle->x();
    const double top = std::sin(angle) * circle.HandleOrbit - handle.height() * 0.5 +
                       circle.CentreY + ImageColorCircle->y();
    return {static_cast<int>(std::trunc(left)), static_cast<int>(std::trunc(top))};
}

void TFormMain::PlaceHueHandles(double maxAngle, double minAngle)
{
    HueMaxHandle->move(HandlePositionOnOrbit(*HueMaxHandle, maxAngle));
    HueMinHandle->move(HandlePositionOnOrbit(*HueMinHandle, minAngle));
    HueMaxAngle = maxAngle;
    HueMinAngle = minAngle;
    ColourCircle.HueMarkA = -minAngle;
    ColourCircle.HueMarkB = -maxAngle;
    DrawColourCircle();
    DrawHueRadiusLines();
}

void TFormMain::HueHandleMoved(TKVShapeSize& handle)
{
    const THueCircle circle =
        THueCircle::OfImage(ImageColorCircle->width(), ImageColorCircle->height());
    const double dx = (handle.x() - ImageColorCircle->x()) - circle.CentreX + handle.width() * 0.5;
    const double dy = (handle.y() - ImageColorCircle->y()) - circle.CentreY + handle.height() * 0.5;
    const double angle = AngleOf(dx, dy);
    handle.move(HandlePositionOnOrbit(handle, angle));
    const bool isMin = &handle == HueMinHandle;
    (isMin ? ColourCircle.HueMarkA : ColourCircle.HueMarkB) = -angle;
    DrawColourCircle();
    (isMin ? HueMinAngle : HueMaxAngle) = angle;
    DrawHueRadiusLines();
}

void TFormMain::HueHandleReleased(TKVShapeSize& handle)
{
    // A click alone must not move a bar: the trip from position to angle and back can
    // lose one.
    if (!handle.Dragged())
        return;
    Updating = true;
    if (&handle == HueMaxHandle)
        TrackBars[HMax]->setValue(HuePositionOfAngle(HueMaxAngle));
    else
        TrackBars[HMin]->setValue(HuePositionOfAngle(HueMinAngle));
    Updating = false;
    analysis_->AnalyseLatest();
}

void TFormMain::DrawColourCircle()
{
    ColourCircle.Draw(ImageColorCircle->Picture(), ImageColorCircle->width(),
                      ImageColorCircle->height());
    ImageColorCircle->PictureChanged();
    HueChanged = false;
}

QPoint TFormMain::HandleCentre(const TKVShapeSize& handle) const
{
    return {handle.x() + handle.width() / 2 - ImageColorCircle->x(),
            handle.y() + handle.height() / 2 - ImageColorCircle->y()};
}

void TFormMain::DrawHueRadiusLines()
{
    TBitmap24& picture = ImageColorCircle->Picture();
    if (picture.IsEmpty())
        return;
    const THueCircle circle =
        THueCircle::OfImage(ImageColorCircle->width(), ImageColorCircle->height());
    const QPoint centre(static_cast<int>(std::trunc(circle.CentreX)),
                        static_cast<int>(std::trunc(circle.CentreY)));
    QImage canvas(picture.Bits(), picture.Width(), picture.Height(),
                  static_cast<qsizetype>(picture.Stride()), QImage::Format_BGR888);
    {
        QPainter painter(&canvas);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(HandleCentre(*HueMaxHandle), centre);
        painter.drawLine(HandleCentre(*HueMinHandle), centre);
    }
    ImageColorCircle->PictureChanged();
}

void TFormMain::UpdateLineMarkers()
{
    for (size_t i = 0; i < sp_LineMarkers.size(); ++i)
        sp_LineMarkers[i]->SetPosition(TrackBars[i]->value());
}

} // namespace varnolux
