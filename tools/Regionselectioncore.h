#pragma once

#include "imaging/TColour.h"

#include <array>
#include <memory>
#include <set>

#include <QDialog>
#include <QPoint>
#include <QPointF>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSlider;
class QStatusBar;
class QTimer;

namespace varnolux {

class TBitmap24;
class TColorBox;
class TMyCAD;
class TMyShape;
struct TOptions;

/// The analysis-area editor: the source image under an inclusion circle and the inner
/// rectangle that excluded borders leave, both drawn as shapes that the mouse moves
/// and resizes, and both given as numbers in edits. The shapes and the edits follow
/// each other; the edits, colour boxes and check boxes are what the editor gives back.
class TFormRegionSelection : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* InclusionName = "Inclusion";
    static constexpr const char* ExclusionName = "Exclusion";

    explicit TFormRegionSelection(QWidget* parent = nullptr);
    ~TFormRegionSelection() override;

    /// Shows the picture under the shapes, shared: the editor keeps it alive and never
    /// changes it. Applies the zoom of the track bar.
    void LoadBackground(std::shared_ptr<const TBitmap24> picture);
    /// Moves the shape of that name to the values of its edits; nothing without one.
    void ApplyEdits(const QString& shapeName);
    /// The pen colour of the shape of that name; nothing without one.
    void SetShapeColour(const QString& shapeName, TColour colour);

    /// Sets the controls from the analysis-area options (ticked groups get their shapes,
    /// in their colours).
    void ReadFrom(const TOptions& options);
    /// The analysis-area options as the controls hold them; an edit that holds no whole
    /// number gives 0.
    void WriteTo(TOptions& options) const;

    /// The zoom track bar's position, which the main window keeps from one use to the next.
    int ZoomPosition() const;
    void SetZoomPosition(int position);
    /// The zoom factor of the track bar: 10 ^ (position / 100).
    double ZoomFactor() const;

    /// OK first writes a pending shape change into the edits.
    void done(int result) override;

protected:
    /// The window is never smaller than its controls need in the language in use.
    void showEvent(QShowEvent* event) override;
    /// Enter in an edit moves its shape; elsewhere it presses the default button.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QFrame* Bevel1;
    QCheckBox* CheckBoxInclusion;
    TColorBox* ColorBoxInclusion;
    QLabel* LabelInclDiameter;
    QLineEdit* EditInclDiameter;
    QLabel* LabelInclCenterX;
    QLineEdit* EditInclCenterX;
    QLabel* LabelInclCenterY;
    QLineEdit* EditInclCenterY;
    QFrame* Bevel2;
    QCheckBox* CheckBoxExclusion;
    TColorBox* ColorBoxExclusion;
    QLabel* LabelExclLeft;
    QLineEdit* EditExclLeft;
    QLabel* LabelExclRight;
    QLineEdit* EditExclRight;
    QLabel* LabelExclTop;
    QLineEdit* EditExclTop;
    QLabel* LabelExclBottom;
    QLineEdit* EditExclBottom;
    QFrame* Bevel4;
    QLabel* Label1;
    QSlider* TrackBarZoom;
    QPushButton* BitBtnOk;
    QPushButton* BitBtn1;
    QScrollArea* ScrollBoxDraw;
    TMyCAD* MyCADSelection;
    QStatusBar* StatusBar1;
    QTimer* TimerRefresh;
    QLabel* ZoomPanel; // the status bar's text

    void CheckBoxInclusionClick();
    void CheckBoxExclusionClick();
    void TrackBarZoomChange();
    void TimerRefreshTimer();
    void ShapeMouseResizing(TMyShape& shape, QPoint fromPoint, QPoint& toPoint);
    void ShapeMouseResized(TMyShape& shape, QPoint fromPoint, QPoint& toPoint);
    /// Keeps the inclusion circle round while one of its corners is dragged.
    void ConstrainSquare(const TMyShape& shape, QPoint& toPoint) const;
    void ShapeChanged(int id);
    /// Writes the shape's position into its group's edits.
    void RefreshEdits(const TMyShape& shape);
    /// Adds the shape of that name where its edits put it, or removes it.
    void ShowShape(const QString& name, bool shown);
    /// The corners (image pixels: top-left, top-right, bottom-right, bottom-left) that
    /// the group's edits give the shape of that name.
    std::array<QPointF, 4> EditCorners(const QString& shapeName) const;

    std::shared_ptr<const TBitmap24> picture_;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    /// The shapes moved or resized since the last refresh of the edits.
    std::set<int> changedShapes_;
    bool resizing_ = false;
};

} // namespace varnolux
