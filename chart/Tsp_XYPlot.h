#pragma once

#include "chart/Tsp_CustomXYPlot.h"

#include <QImage>
#include <QString>
#include <QWidget>

namespace varnolux {

/// The XY plot as a widget: the plot painted on screen, optionally through an
/// off-screen buffer that keeps the unchanged layer, and zoomed and panned with the
/// mouse. A new plot is 180 × 120 pixels.
class Tsp_XYPlot : public QWidget, public Tsp_CustomXYPlot {
    Q_OBJECT
    Q_PROPERTY(QString BottomAxisCaption READ BottomAxisCaption WRITE SetBottomAxisCaption)

public:
    explicit Tsp_XYPlot(QWidget* parent = nullptr);
    ~Tsp_XYPlot() override;

    QString BottomAxisCaption() const;
    void SetBottomAxisCaption(const QString& caption);

    /// Painting through an off-screen buffer, so that a change of data or markers
    /// redraws only the field.
    bool BufferedDisplay() const { return buffered_; }
    void SetBufferedDisplay(bool buffered);
    /// The pointer's shape while panning.
    Qt::CursorShape PanCursor() const { return panCursor_; }
    void SetPanCursor(Qt::CursorShape shape) { panCursor_ = shape; }

    /// The whole plot drawn at the given size (more than 9 × 9).
    QImage PlotImage(int width, int height);
    /// Puts the plot at its size on the clipboard as a picture.
    void CopyToClipboardBitmap();

    void RepaintNow() override;
    void DrawIncrement(const std::function<void(Tsp_Canvas&)>& draw) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void RequestRepaint() override;
    void MouseModeChanged() override;

private:
    /// A buffer of the widget's size; false when none can be had.
    bool EnsureBuffer();
    void ShowScreenCursor(std::optional<Qt::CursorShape> shape);

    bool buffered_ = false;
    QImage buffer_;
    Qt::CursorShape panCursor_ = Qt::SizeAllCursor;
    bool screenCursorSet_ = false;
};

} // namespace varnolux
