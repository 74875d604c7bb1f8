#pragma once

#include "imaging/TColour.h"
#include "settings/TOptions.h"

#include <string>

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace varnolux {

/// The options dialog. It shows the minimum object size, the background colour, the
/// result file and the regions file, and keeps the analysis-area options that the analysis-area
/// editor sets. Other windows read and set them as an options value (WriteTo, ReadFrom);
/// Cancel puts back what the dialog held when it was shown.
class TFormOptions : public QDialog {
    Q_OBJECT

public:
    /// The dialog's state is saved to the settings file when it closes with OK.
    explicit TFormOptions(std::string settingsFile, QWidget* parent = nullptr);

    /// The colour of PanelColorBack.
    TColour ColorBack() const { return colorBack_; }
    void SetColorBack(TColour colour);

    /// The dialog's part of an options value.
    void WriteTo(TOptions& options) const;
    void ReadFrom(const TOptions& options);

    /// The caption of the minimum size, which names the calibration's unit.
    void SetMinSizeCaption(const QString& caption);

    /// Whether the minimum size is a number of 0 or more; shows "Invalid number" and
    /// puts the focus back on the edit when it is not.
    bool CheckMinRegion();

    /// OK closes only with a valid minimum size, whether clicked or pressed with Enter;
    /// Cancel puts the options back.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The analysis-area options.
    int iInclCircleX = 0;
    int iInclCircleY = 0;
    int iInclCircleDiam = 0;
    int iExclRectLeft = 0;
    int iExclRectUp = 0;
    int iExclRectRight = 0;
    int iExclRectDown = 0;
    int colColorInclCircle = 0;
    int colColorExclRect = 0;
    bool lUseInclCircle = false;
    bool lUseExclRect = false;

    QLineEdit* EditResultFile;
    QPushButton* ButtonResultFile;
    /// Empty: no regions file, Save regions is off.
    QLineEdit* EditRegionFile;
    QPushButton* ButtonRegionFile;
    QLabel* LabelMinSize;
    QLineEdit* EditMinRegion;
    QFrame* PanelColorBack;
    QPushButton* ButtonColorBack;
    QPushButton* BitBtnOk;
    QPushButton* BitBtnCancel;

    void EditMinRegionExit(QWidget* newFocus);
    /// Lets the user choose a file to append to, for the edit.
    void ChooseFile(QLineEdit& edit, const QString& title);
    void ButtonColorBackClick();

    std::string settingsFile_;
    TColour colorBack_ = 0;
    bool checkingMinRegion_ = false;
    /// The options as the dialog was shown with them.
    TOptions shownWith_;
};

} // namespace varnolux
