#include "tools/TFormSelectionByMouse.h"

#include "tools/PictureToolParts.h"
#include "tools/TPictureView.h"

#include <algorithm>

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace varnolux {

namespace {

/// The scroll bar moves one step toward the pointer when it is at the edge.
void ScrollTowards(QScrollBar& bar, qint64 inView, int visible)
{
    if (inView >= visible - 1 && bar.value() < bar.maximum())
        bar.setValue(bar.value() + bar.singleStep());
    else if (inView <= 0 && bar.value() > 0)
        bar.setValue(bar.value() - bar.singleStep());
}

} // namespace

TFormSelectionByMouse::TFormSelectionByMouse(QWidget* parent)
    : QDialog(parent)
    , LabelZoom(Named(new QLabel("Zoom", this), "LabelZoom"))
    , ComboBoxZoom(Named(new QComboBox(this), "ComboBoxZoom"))
    , ButtonClear(Named(new QPushButton("Reset", this), "ButtonClear"))
    , BitBtnOk(Named(new QPushButton("OK", this), "BitBtnOk"))
    , BitBtnCancel(Named(new QPushButton("Cancel", this), "BitBtnCancel"))
    , ScrollBoxImage(Named(new TPictureView(this), "ScrollBoxImage"))
    , ImageMess(Named(ScrollBoxImage->viewport(), "ImageMess"))
    , StatusBar1(Named(new QStatusBar(this), "StatusBar1"))
    , ZoomPanel(new QLabel(StatusBar1))
    , StatusPanel(new QLabel(StatusBar1))
    , Timer1(Named(new QTimer(this), "Timer1"))
{
    setObjectName("FormSelectionByMouse");
    setWindowTitle("Color selection");
    setWindowFlag(Qt::Tool);
    setMinimumSize(550, 180);
    resize(726, 491);

    ComboBoxZoom->setEditable(true);
    for (const char* zoom : MeasuringZoomItems)
        ComboBoxZoom->addItem(zoom);
    ComboBoxZoom->setCurrentIndex(-1);
    ComboBoxZoom->setEditText("100%");
    BitBtnOk->setDefault(true);
    SetUpMeasuringParts(
        {*ScrollBoxImage, *ComboBoxZoom, *StatusBar1, *ZoomPanel, *StatusPanel, *Timer1});

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(LabelZoom);
    bottom->addWidget(ComboBoxZoom);
    bottom->addWidget(ButtonClear);
    bottom->addStretch();
    bottom->addWidget(BitBtnOk);
    bottom->addWidget(BitBtnCancel);
    auto* window = new QVBoxLayout(this);
    window->addWidget(ScrollBoxImage, 1);
    window->addLayout(bottom);
    window->addWidget(StatusBar1);

    connect(BitBtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButtonClear, &QPushButton::clicked, this, &TFormSelectionByMouse::ButtonClearClick);
    connect(Timer1, &QTimer::timeout, this, &TFormSelectionByMouse::Timer1Timer);
    connect(ScrollBoxImage, &TPictureView::MousePressed, this,
            [this](QPoint position) { ImageMessMouseDown(position); });
    connect(ScrollBoxImage, &TPictureView::MouseMoved, this,
            &TFormSelectionByMouse::ImageMessMouseMove);
    connect(ScrollBoxImage, &TPictureView::MouseReleased, this, [this](QPoint position) {
        if (drawing_)
            EndOutline(position);
    });
}

void TFormSelectionByMouse::SetPicture(QImage picture)
{
    picture_ = std::move(picture);
}

void TFormSelectionByMouse::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    loaded_ = false;
    Timer1->start();
}

void TFormSelectionByMouse::hideEvent(QHideEvent* event)
{
    // A load after closing would replace the mask the opener is about to read.
    Timer1->stop();
    loaded_ = false;
    drawing_ = false;
    picture_ = QImage();
    ScrollBoxImage->SetPicture(QImage());
    ScrollBoxImage->SetOverlay({});
    QDialog::hideEvent(event);
}

void TFormSelectionByMouse::Timer1Timer()
{
    committed_ = current_;
    ButtonClearClick();
    StatusPanel->clear();
    loaded_ = true;
}

void TFormSelectionByMouse::ButtonClearClick()
{
    // A typed zoom that is no item of the list goes back to 100 %.
    const int zoomItem = ComboBoxZoom->findText(ComboBoxZoom->currentText(), Qt::MatchExactly);
    LoadImage();
    if (zoomItem != -1) {
        ComboBoxZoom->setCurrentIndex(zoomItem);
        ComboBoxZoom->setEditText(ComboBoxZoom->itemText(zoomItem));
    }
}

void TFormSelectionByMouse::LoadImage()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ComboBoxZoom->setCurrentIndex(-1);
    ComboBoxZoom->setEditText("100%");
    // The view's copy is the one outlines invert; the picture given stays as it was.
    ScrollBoxImage->SetPicture(picture_);
    ScrollBoxImage->SetOverlay({});
    current_.Allocate(picture_.width(), picture_.height());
    std::ranges::fill(current_.Elements(), std::uint8_t(0));
    drawing_ = false;
    vertices_.clear();
    QGuiApplication::restoreOverrideCursor();
}

bool TFormSelectionByMouse::InsidePicture(QPoint position) const
{
    return position.x() >= 0 && position.y() >= 0 && position.x() < current_.Width() &&
           position.y() < current_.Height();
}

void TFormSelectionByMouse::ImageMessMouseDown(QPoint position)
{
    if (!loaded_)
        return;
    last_.reset();
    start_ = position;
}

void TFormSelectionByMouse::ImageMessMouseMove(QPoint position, Qt::MouseButtons buttons)
{
    if (!loaded_)
        return;
    if (!(buttons & Qt::LeftButton)) {
        if (drawing_)
            EndOutline(position);
        return;
    }
    AutoScroll(position);
    if (!drawing_) {
        vertices_.clear();
        drawing_ = true;
    }
    if (position == start_)
        return;
    // The start is no corner: each position becomes one when the pointer moves on.
    if (last_ && InsidePicture(*last_))
        vertices_.push_back(*last_);
    last_ = position;
    ShowOutline();
}

void TFormSelectionByMouse::ShowOutline()
{
    QPolygon outline(vertices_.begin(), vertices_.end());
    if (last_)
        outline << *last_;
    ScrollBoxImage->SetOverlay({outline});
}

void TFormSelectionByMouse::EndOutline(QPoint position)
{
    drawing_ = false;
    if (InsidePicture(position))
        vertices_.push_back(position);
    CompletePolygon();
}

void TFormSelectionByMouse::CompletePolygon()
{
    ScrollBoxImage->SetOverlay({});
    const QPolygon outline(vertices_.begin(), vertices_.end());
    vertices_.clear();
    if (outline.size() < 2)
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // Only the outline's bounding box is rasterised: black inside and on the outline.
    const QRect bounds = outline.boundingRect();
    QImage scratch(bounds.size(), QImage::Format_RGB32);
    scratch.fill(Qt::white);
    {
        QPainter painter(&scratch);
        painter.translate(-bounds.topLeft());
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::black);
        painter.drawPolygon(outline);
    }
    QImage& display = ScrollBoxImage->Picture();
    for (int y = 0; y < bounds.height(); ++y) {
        const auto* stencil = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
        auto* shown = reinterpret_cast<QRgb*>(display.scanLine(bounds.top() + y));
        for (int x = 0; x < bounds.width(); ++x) {
            if (qBlue(stencil[x]) != 0)
                continue;
            shown[bounds.left() + x] ^= 0x00FFFFFF;
            current_[bounds.left() + x][bounds.top() + y] = 1;
        }
    }
    ScrollBoxImage->PictureChanged();
    QGuiApplication::restoreOverrideCursor();
}

void TFormSelectionByMouse::AutoScroll(QPoint position)
{
    const double scale = ScrollBoxImage->Zoom() * 0.01;
    const QSize visible = ScrollBoxImage->viewport()->size();
    QScrollBar& horizontal = *ScrollBoxImage->horizontalScrollBar();
    QScrollBar& vertical = *ScrollBoxImage->verticalScrollBar();
    ScrollTowards(horizontal, qint64(position.x() * scale) - horizontal.value(), visible.width());
    ScrollTowards(vertical, qint64(position.y() * scale) - vertical.value(), visible.height());
}

void TFormSelectionByMouse::done(int result)
{
    // Before the picture is there, the mask is an earlier one.
    if (result == Accepted && !loaded_)
        return;
    if (result == Accepted)
        committed_ = current_;
    else
        current_ = committed_;
    QDialog::done(result);
}

} // namespace varnolux
