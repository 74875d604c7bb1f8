#include "tools/TFormFullImage.h"

#include "tools/PictureToolParts.h"
#include "tools/TPictureView.h"
#include "tools/ToolCursors.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace varnolux {

namespace {

constexpr const char* ZoomItems[] = {"10%", "25%", "50%", "66%", "100%", "150%", "200%", "400%"};
constexpr int FullSizeItem = 4; // "100%"

} // namespace

TFormFullImage::TFormFullImage(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , PanelTop(Named(new QWidget(this), "PanelTop"))
    , Label1Zoom(Named(new QLabel("Zoom", PanelTop), "Label1Zoom"))
    , ComboBoxZoom(Named(new QComboBox(PanelTop), "ComboBoxZoom"))
    , ButtonClose(Named(new QPushButton("Close", PanelTop), "ButtonClose"))
    , ScrollBoxImage(Named(new TPictureView(this), "ScrollBoxImage"))
    , Image(Named(ScrollBoxImage->viewport(), "Image"))
    , StatusBar(Named(new QStatusBar(this), "StatusBar"))
    , StatusText(new QLabel(StatusBar))
{
    setObjectName("FormFullImage");
    setWindowTitle("Full image");
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(600, 400);
    resize(757, 604);

    PanelTop->setAutoFillBackground(true);
    QPalette panel = PanelTop->palette();
    panel.setColor(QPalette::Window, QColor(0xDD, 0xDD, 0xDD));
    PanelTop->setPalette(panel);
    QPalette grey = ScrollBoxImage->palette();
    grey.setColor(QPalette::Window, QColor(0xCC, 0xCC, 0xCC));
    ScrollBoxImage->setPalette(grey);
    ComboBoxZoom->setEditable(true);
    for (const char* zoom : ZoomItems)
        ComboBoxZoom->addItem(zoom);
    ComboBoxZoom->setCurrentIndex(FullSizeItem);
    // Without the cursor there is no dragging.
    ScrollBoxImage->SetDragCursor(LoadCursorResource(MoveCursorName));

    auto* top = new QHBoxLayout(PanelTop);
    top->addWidget(Label1Zoom);
    top->addWidget(ComboBoxZoom);
    top->addStretch();
    top->addWidget(ButtonClose);
    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->setSpacing(0);
    window->addWidget(PanelTop);
    window->addWidget(ScrollBoxImage, 1);
    window->addWidget(StatusBar);

    StatusBar->addWidget(StatusText, 1);
    ConnectZoomBox(*ComboBoxZoom, *ScrollBoxImage);
    connect(ScrollBoxImage, &TPictureView::ZoomChanged, this,
            [this](int zoom) { StatusText->setText(ZoomStatusText(zoom)); });
    connect(ButtonClose, &QPushButton::clicked, this, &QWidget::close);
    StatusText->setText(ZoomStatusText(ScrollBoxImage->Zoom()));
}

void TFormFullImage::SetPicture(const QImage& picture)
{
    ScrollBoxImage->SetPicture(picture);
}

void TFormFullImage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    ComboBoxZoom->setCurrentIndex(FullSizeItem);
    ScrollBoxImage->SetZoom(ZoomFromText(ComboBoxZoom->currentText()));
}

} // namespace varnolux
