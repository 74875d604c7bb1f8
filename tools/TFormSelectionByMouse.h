#pragma once

#include "imaging/TPlane.h"

#include <cstdint>
#include <optional>
#include <vector>

#include <QDialog>
#include <QImage>
#include <QPoint>

class QComboBox;
class QLabel;
class QPushButton;
class QStatusBar;
class QTimer;

namespace varnolux {

class TPictureView;

/// The colour selection window: the user outlines regions of the colour to measure
/// with the mouse; the union of the outlines is the selection mask. Each completed
/// outline inverts the pixels it covers on screen, so a second outline over the first
/// shows their overlap in its own colour again (it stays selected).
class TFormSelectionByMouse : public QDialog {
    Q_OBJECT

public:
    using TMask = TPlane<std::uint8_t>;

    explicit TFormSelectionByMouse(QWidget* parent = nullptr);

    /// What the next showing outlines on, loaded 50 ms after the window is on screen.
    void SetPicture(QImage picture);

    /// Shows the picture again at 100 % and starts an empty mask of its size.
    void LoadImage();
    /// Turns the outline drawn into mask pixels.
    void CompletePolygon();
    /// Scrolls the view on while an outline is drawn at its edge (a picture position).
    void AutoScroll(QPoint position);

    /// The mask as the last OK (or the last showing) left it: 1 where selected. None,
    /// before the first showing, is 0 × 0.
    const TMask& CommittedMask() const { return committed_; }
    const TMask& CurrentMask() const { return current_; }
    /// Whether the picture of this showing is in place; OK waits for it.
    bool Loaded() const { return loaded_; }
    /// The corners of the outline being drawn.
    const std::vector<QPoint>& Vertices() const { return vertices_; }

    /// OK is ignored until the picture is loaded; it commits the current mask, Cancel
    /// brings back the committed one.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* LabelZoom;
    QComboBox* ComboBoxZoom;
    QPushButton* ButtonClear;
    QPushButton* BitBtnOk;
    QPushButton* BitBtnCancel;
    TPictureView* ScrollBoxImage;
    QWidget* ImageMess; // the view's drawing area
    QStatusBar* StatusBar1;
    QLabel* ZoomPanel;
    QLabel* StatusPanel;
    QTimer* Timer1;

    void Timer1Timer();
    void ButtonClearClick();
    void ImageMessMouseDown(QPoint position);
    void ImageMessMouseMove(QPoint position, Qt::MouseButtons buttons);
    /// The outline ends where the button was released (or the pointer first moved
    /// with the button up).
    void EndOutline(QPoint position);
    bool InsidePicture(QPoint position) const;
    void ShowOutline();

    QImage picture_;
    bool loaded_ = false;
    QPoint start_;
    /// The pointer's last position while drawing; none before the first segment.
    std::optional<QPoint> last_;
    bool drawing_ = false;
    std::vector<QPoint> vertices_;
    TMask current_;
    TMask committed_;
};

} // namespace varnolux
