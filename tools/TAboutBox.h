#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace varnolux {

/// The about box: product, version, maker and web page.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Label1;
    QLabel* LabelVersion;
    QLabel* LabelBuild;
    QLabel* LabelMaker;
    QLabel* Label2;
    QLabel* LabelURL;
    QPushButton* BitBtn1;
    QPushButton* ButtonUpdate;

protected:
    void showEvent(QShowEvent* event) override;

private:
    /// The version and the web page come from the build, whatever a language file says;
    /// the labels are empty until the box is shown.
    void ShowVersion();
};

} // namespace varnolux
