#pragma once

#include <string>

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace varnolux {

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
/// reported in square units, the scale in pixels per unit, the unit and the zoom.
class TFormMeasure : public QDialog {
    Q_OBJECT

public:
    explicit TFormMeasure(QWidget* parent = nullptr);

    /// The language file whose texts begin the unit captions; the program's own until set.
    void SetLanguageFile(std::string languageFile);

    /// The captions for the current unit, with or without units.
    TUnitCaptions UnitCaptions(bool useUnits) const;
    /// Sends the captions to the windows that show them.
    void SetUnitCaptions(bool useUnits);

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

Q_SIGNALS:
    void UnitCaptionsChanged(const varnolux::TUnitCaptions& captions);

private:
    /// The unit controls are usable only while units are on.
    void CheckBoxUnitsClick();
    /// A caption of the language file; the layout's text while the file does not name it.
    std::string Caption(const char* section, const char* key, const char* layoutText) const;

    std::string languageFile_;
};

} // namespace varnolux
