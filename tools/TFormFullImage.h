#pragma once

#include <QImage>
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QStatusBar;

namespace varnolux {

class TPictureView;

/// A window of its own that shows a copy of a picture at a chosen zoom; dragging the
/// picture with the mouse moves it. It frees itself when closed.
class TFormFullImage : public QWidget {
    Q_OBJECT

public:
    explicit TFormFullImage(QWidget* parent = nullptr);

    void SetPicture(const QImage& picture);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* PanelTop;
    QLabel* Label1Zoom;
    QComboBox* ComboBoxZoom;
    QPushButton* ButtonClose;
    TPictureView* ScrollBoxImage;
    QWidget* Image; // the view's drawing area
    QStatusBar* StatusBar;
    QLabel* StatusText;
};

} // namespace varnolux
