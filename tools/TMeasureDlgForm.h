#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varnolux {

/// The length dialog of the calibration: shows the length of the line drawn in
/// pixels and asks for its true length and unit.
class TMeasureDlgForm : public QDialog {
    Q_OBJECT

public:
    explicit TMeasureDlgForm(QWidget* parent = nullptr);

    /// The line's length in pixels, shown with two decimals. OK refuses a true length
    /// under which one unit would be less than SmallestScale pixels.
    void SetPixelLength(double pixels);
    /// The unit, as an index of the unit list the calibration window shares.
    int UnitIndex() const;
    void SetUnitIndex(int index);
    /// The true length as typed.
    QString LengthText() const;

    /// Closes unless OK is refused: a true length below 0 (or no number), or one that
    /// gives too small a scale. A length of 0 passes.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* GroupBox1;
    QLabel* Label1;
    QLabel* LabelPixel;
    QLabel* Label3;
    QLabel* Label2;
    QLineEdit* EditLaenge;
    QComboBox* ComboBoxUnits;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    /// Whether OK may close the dialog with the length typed; says why not.
    bool FormCloseQuery();

    double pixels_ = 0.0;
};

} // namespace varnolux
