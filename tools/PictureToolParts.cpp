#include "tools/PictureToolParts.h"

#include "base/Messages.h"
#include "settings/NumberText.h"
#include "tools/TPictureView.h"
#include "tools/ToolCursors.h"

#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace varnolux {

int ZoomFromText(const QString& text)
{
    QString number = text.trimmed();
    if (number.endsWith('%'))
        number.chop(1);
    const std::optional<int> zoom = ParseDecimalInteger(number.toStdString());
    return TPictureView::SaneZoom(zoom ? *zoom : 100);
}

QString ZoomStatusText(int percent)
{
    return "Zoom: " + QString::number(percent) + "%";
}

void ConnectZoomBox(QComboBox& zoomBox, TPictureView& view)
{
    QObject::connect(&zoomBox, &QComboBox::currentTextChanged, &view,
                     [&view](const QString& text) { view.SetZoom(ZoomFromText(text)); });
}

void SetUpMeasuringParts(const TMeasuringParts& parts)
{
    QPalette silver = parts.View.palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    parts.View.setPalette(silver);
    QWidget& image = *parts.View.viewport();
    if (const std::optional<QCursor> cursor = LoadCursorResource(MeasureCursorName)) {
        image.setCursor(*cursor);
    } else {
        CurrentReporter().ShowMessage(MissingCursorMessage(MeasureCursorName));
        image.setCursor(Qt::CrossCursor);
    }
    parts.ZoomPanel.setText(ZoomStatusText(parts.View.Zoom()));
    parts.ZoomPanel.setMinimumWidth(100);
    parts.StatusPanel.setMinimumWidth(150);
    parts.StatusBar.addWidget(&parts.ZoomPanel);
    parts.StatusBar.addWidget(&parts.StatusPanel, 1);
    parts.LoadTimer.setInterval(50);
    parts.LoadTimer.setSingleShot(true);
    ConnectZoomBox(parts.ZoomBox, parts.View);
    QLabel& zoomPanel = parts.ZoomPanel;
    QObject::connect(&parts.View, &TPictureView::ZoomChanged, &zoomPanel,
                     [&zoomPanel](int zoom) { zoomPanel.setText(ZoomStatusText(zoom)); });
}

} // namespace varnolux
