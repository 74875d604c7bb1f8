#pragma once

#include <string>

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace varnolux {

/// Shows the three fingerprints of the last analysis, to be selected and copied.
class TFormSHADlg : public QDialog {
    Q_OBJECT

public:
    explicit TFormSHADlg(QWidget* parent = nullptr);

    void SetFingerprints(const std::string& imageFile, const std::string& options,
                         const std::string& result);

private:
    QLabel* LabelSHAFile;
    QLineEdit* EditSHAFile;
    QLabel* LabelSHAOptions;
    QLineEdit* EditSHAOptions;
    QLabel* LabelSHAResult;
    QLineEdit* EditSHAResult;
    QPushButton* BitBtnOk;
};

} // namespace varnolux
