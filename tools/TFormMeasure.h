#pragma once

#include <memory>
#include <string>

#include <QDialog>
#include <QImage>
#include <QPoint>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTimer;

namespace varnolux {

class TMeasureDlgForm;
class TPictureView;
struct TOptions;

/// The captions that carry the calibration's unit on the other windows.
struct TUnitCaptions {
    std::string MeasureLabel;  // label of the main window's LabeledEditMeasure
    std::string MeasureValue;  // text of LabeledEditMeasure
    std::string MinSizeLabel;  // options dialog's LabelMinSize
    std::string AreaLabel;     // LabeledEditAreaCM
    std::string AnaAreaLabel;  // LabeledEditAnaAreaCM
    std::string MeanSizeLabel; // LabeledEditMeanSizeCM

    bool operator==(const TUnitCaptions&) const = default;
};

/// The length calibration window. Its controls hold the calibration: whether areas are
/// reported in square units, the scale in pixels per unit, the unit and the zoom. A
/// line drawn on the picture with the mouse and its true length, typed into the length
/// dialog, give the scale.
class TFormMeasure : public QDialog {
    Q_OBJECT

public:
    /// What the window's controls hold, zoom text included: what Cancel puts back.
    struct TCalibration {
        bool UseUnits = false;
        QString Measure;
        int ZoomIndex = -1;
        int UnitIndex = -1;
        QString ZoomText;
    };

    explicit TFormMeasure(QWidget* parent = nullptr);
    ~TFormMeasure() override;

    /// The window's part of an options value.
    void WriteTo(TOptions& options) const;
    void ReadFrom(const TOptions& options);
    TCalibration Calibration() const;
    void SetCalibration(const TCalibration& calibration);
    /// The unit as the unit box names it.
    std::string UnitText() const;

    /// The dialog that asks for the true length; the window's own until set.
    void SetLengthDialog(TMeasureDlgForm& dialog);
    TMeasureDlgForm& LengthDialog() const { return *lengthDialog_; }

    /// What the next showing measures on: the picture, loaded 50 ms after the window is
    /// on screen, and the image file's name for the status bar.
    void SetPicture(QImage picture);
    void SetStatusText(const QString& text);

    /// Shows the picture at the zoom of the zoom box.
    void LoadImage();
    /// Whether mouse input measures: from the first load of a picture on.
    bool Armed() const { return armed_; }
    /// Units per pixel of the last measurement of this showing; 0 before one.
    double UnitsPerPixel() const { return unitsPerPixel_; }

    /// OK also sends the unit captions for the calibration in force.
    void done(int result) override;

    /// The language file whose texts begin the unit captions; the program's own until set.
    void SetLanguageFile(std::string languageFile);

    /// The captions for the current unit, with or without units.
    TUnitCaptions UnitCaptions(bool useUnits) const;
    /// Sends the captions to the windows that show them.
    void SetUnitCaptions(bool useUnits);

Q_SIGNALS:
    void UnitCaptionsChanged(const varnolux::TUnitCaptions& captions);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QCheckBox* CheckBoxUnits;
    QLineEdit* EditMeasure;
    QComboBox* ComboBoxUnits;
    QComboBox* ComboBoxZoom;
    QLabel* LabelZoom;
    QLabel* LabelMeasureCaption;
    QLabel* LabelPixelPer;
    QPlainTextEdit* MemoMeasure;
    QPushButton* BitBtnOk;
    QPushButton* BitBtnCancel;
    TPictureView* ScrollBoxImage;
    QWidget* ImageMess; // the view's drawing area
    QStatusBar* StatusBar1;
    QLabel* ZoomPanel;
    QLabel* StatusPanel;
    QTimer* Timer1;

    void Timer1Timer();
    void ImageMessMouseDown(QPoint position);
    void ImageMessMouseMove(QPoint position, Qt::MouseButtons buttons);
    void ImageMessMouseUp(QPoint position);
    /// Asks for the true length of a line of that many pixels and takes the scale.
    void AskTrueLength(double pixels);

    /// The unit controls are usable only while units are on.
    void CheckBoxUnitsClick();
    /// A caption of the language file; the layout's text while the file does not name it.
    std::string Caption(const char* section, const char* key, const char* layoutText) const;

    std::string languageFile_;
    std::unique_ptr<TMeasureDlgForm> ownLengthDialog_;
    TMeasureDlgForm* lengthDialog_;
    QImage picture_;
    QString statusText_;
    bool armed_ = false;
    double unitsPerPixel_ = 0.0;
    /// Where the button went down: the line's start.
    QPoint start_;
};

} // namespace varnolux
