#include "shell/TColourRangeController.h"

#include "chart/Tsp_LineMarker.h"
#include "base/Messages.h"
#include "shell/HueAngle.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "tools/Named.h"
#include "tools/TKVShapeSize.h"

#include <QPainter>
#include <QSlider>
#include <QTimer>

namespace varnolux {

TColourRangeController::TColourRangeController(const TControls& controls, QObject* parent)
    : QObject(parent)
    , controls_(controls)
    , quietTimer_(Named(new QTimer(this), "Timer2"))
{
    quietTimer_->setSingleShot(true);
    // A coarse timer may end the quiet time up to 5 % early.
    quietTimer_->setTimerType(Qt::PreciseTimer);
    quietTimer_->setInterval(QuietTime);
    connect(quietTimer_, &QTimer::timeout, this, &TColourRangeController::Settle);
    for (size_t i = 0; i < controls_.TrackBars.size(); ++i) {
        connect(controls_.TrackBars[i], &QSlider::valueChanged, this,
                [this, i] { TrackBarChanged(i); });
        connect(controls_.Edits[i], &QLineEdit::textChanged, this,
                &TColourRangeController::ApplyEditsToTrackBars);
    }
    for (TKVShapeSize* handle : {controls_.HueMaxHandle, controls_.HueMinHandle}) {
        handle->OnMoved = [this](TKVShapeSize& moved) {
            HueHandleMoved(moved);
        };
        handle->OnReleased = [this](TKVShapeSize& released) {
            HueHandleReleased(released);
        };
    }
    DrawColourCircle();
}

TColourRange TColourRangeController::Range() const
{
    TColourRange range{};
    for (size_t i = 0; i < range.size(); ++i)
        range[i] = controls_.TrackBars[i]->value();
    return range;
}

void TColourRangeController::SetRange(const TColourRange& range)
{
    for (size_t i = 0; i < range.size(); ++i)
        controls_.TrackBars[i]->setValue(range[i]);
}

std::array<std::string, 6> TColourRangeController::Texts() const
{
    std::array<std::string, 6> texts;
    for (size_t i = 0; i < texts.size(); ++i)
        texts[i] = controls_.Edits[i]->text().toStdString();
    return texts;
}

void TColourRangeController::SetTexts(const std::array<std::string, 6>& texts)
{
    for (size_t i = 0; i < texts.size(); ++i)
        controls_.Edits[i]->setText(QString::fromStdString(texts[i]));
}

void TColourRangeController::ShowBarsInEdits()
{
    for (size_t i = 0; i < controls_.TrackBars.size(); ++i)
        controls_.Edits[i]->setText(QString::number(controls_.TrackBars[i]->value()));
}

void TColourRangeController::TrackBarChanged(size_t index)
{
    // Restarted by every change: the range settles once it has been quiet.
    quietTimer_->start();
    if (index == HMin || index == HMax)
        hueChanged_ = true;
    ShowBarsInEdits();
    UpdateLineMarkers();
    Q_EMIT RangeChanged(Range());
}

void TColourRangeController::ApplyEditsToTrackBars()
{
    for (size_t i = 0; i < controls_.TrackBars.size(); ++i)
        ApplyEditToTrackBar(i);
}

void TColourRangeController::ApplyEditToTrackBar(size_t index)
{
    QSlider& bar = *controls_.TrackBars[index];
    TLabeledEdit& edit = *controls_.Edits[index];
    int position = bar.value();
    if (ApplyRangeText(edit.text().toStdString(), position)) {
        bar.setValue(position);
        return;
    }
    TReporter& reporter = CurrentReporter();
    reporter.ShowLanguageMessage("LabelInvalidValueTrackBarPositionFromLabeledEdit",
                                 {reporter.LanguageMessageText(RangeFieldLabels[index])});
    edit.setText(QString::number(bar.value()));
}

void TColourRangeController::Settle()
{
    quietTimer_->stop();
    if (hueChanged_)
        PlaceHueHandles(HueAngleOfPosition(controls_.TrackBars[HMax]->value()),
                        HueAngleOfPosition(controls_.TrackBars[HMin]->value()));
    Q_EMIT RangeSettled(Range());
}

bool TColourRangeController::Waiting() const
{
    return quietTimer_->isActive();
}

void TColourRangeController::StopWaiting()
{
    quietTimer_->stop();
}

void TColourRangeController::PlaceHandlesAtBars()
{
    PlaceHueHandles(HueAngleOfPosition(controls_.TrackBars[HMax]->value()),
                    HueAngleOfPosition(controls_.TrackBars[HMin]->value()));
    for (TKVShapeSize* handle : {controls_.HueMaxHandle, controls_.HueMinHandle,
                                 controls_.HueMaxHandle, controls_.HueMinHandle})
        HueHandleMoved(*handle);
}

QPoint TColourRangeController::HandlePositionOnOrbit(const TKVShapeSize& handle, double angle) const
{
    const TImageWidget& image = *controls_.Circle;
    const THueCircle circle = THueCircle::OfImage(image.width(), image.height());
    const double left =
        std::cos(angle) * circle.HandleOrbit - handle.width() * 0.5 + circle.CentreX + image.x();
    const double top =
        std::sin(angle) * circle.HandleOrbit - handle.height() * 0.5 + circle.CentreY + image.y();
    return {static_cast<int>(std::trunc(left)), static_cast<int>(std::trunc(top))};
}

void TColourRangeController::PlaceHueHandles(double maxAngle, double minAngle)
{
    TKVShapeSize& maxHandle = *controls_.HueMaxHandle;
    TKVShapeSize& minHandle = *controls_.HueMinHandle;
    maxHandle.move(HandlePositionOnOrbit(maxHandle, maxAngle));
    minHandle.move(HandlePositionOnOrbit(minHandle, minAngle));
    hueMaxAngle_ = maxAngle;
    hueMinAngle_ = minAngle;
    colourCircle_.HueMarkA = -minAngle;
    colourCircle_.HueMarkB = -maxAngle;
    DrawColourCircle();
    DrawHueRadiusLines();
}

void TColourRangeController::HueHandleMoved(TKVShapeSize& handle)
{
    const TImageWidget& image = *controls_.Circle;
    const THueCircle circle = THueCircle::OfImage(image.width(), image.height());
    const double dx = (handle.x() - image.x()) - circle.CentreX + handle.width() * 0.5;
    const double dy = (handle.y() - image.y()) - circle.CentreY + handle.height() * 0.5;
    const double angle = AngleOf(dx, dy);
    handle.move(HandlePositionOnOrbit(handle, angle));
    const bool isMin = &handle == controls_.HueMinHandle;
    (isMin ? colourCircle_.HueMarkA : colourCircle_.HueMarkB) = -angle;
    DrawColourCircle();
    (isMin ? hueMinAngle_ : hueMaxAngle_) = angle;
    DrawHueRadiusLines();
}

void TColourRangeController::HueHandleReleased(TKVShapeSize& handle)
{
    // A click alone must not move a bar: the trip from position to angle and back can
    // lose one.
    if (!handle.Dragged())
        return;
    if (&handle == controls_.HueMaxHandle)
        controls_.TrackBars[HMax]->setValue(HuePositionOfAngle(hueMaxAngle_));
    else
        controls_.TrackBars[HMin]->setValue(HuePositionOfAngle(hueMinAngle_));
    // The released handle stays where it was dropped, and the range is analysed now,
    // not after the quiet time its bar started.
    quietTimer_->stop();
    Q_EMIT RangeSettled(Range());
}

void TColourRangeController::DrawColourCircle()
{
    TImageWidget& image = *controls_.Circle;
    colourCircle_.Draw(image.Picture(), image.width(), image.height());
    image.PictureChanged();
    hueChanged_ = false;
}

QPoint TColourRangeController::HandleCentre(const TKVShapeSize& handle) const
{
    const TImageWidget& image = *controls_.Circle;
    return {handle.x() + handle.width() / 2 - image.x(),
            handle.y() + handle.height() / 2 - image.y()};
}

void TColourRangeController::DrawHueRadiusLines()
{
    TImageWidget& image = *controls_.Circle;
    TBitmap24& picture = image.Picture();
    if (picture.IsEmpty())
        return;
    const THueCircle circle = THueCircle::OfImage(image.width(), image.height());
    const QPoint centre(static_cast<int>(std::trunc(circle.CentreX)),
                        static_cast<int>(std::trunc(circle.CentreY)));
    QImage canvas(picture.Bits(), picture.Width(), picture.Height(),
                  static_cast<qsizetype>(picture.Stride()), QImage::Format_BGR888);
    {
        QPainter painter(&canvas);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(HandleCentre(*controls_.HueMaxHandle), centre);
        painter.drawLine(HandleCentre(*controls_.HueMinHandle), centre);
    }
    image.PictureChanged();
}

void TColourRangeController::UpdateLineMarkers()
{
    for (size_t i = 0; i < controls_.Markers.size(); ++i)
        controls_.Markers[i]->SetPosition(controls_.TrackBars[i]->value());
}

} // namespace varnolux
