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
    void ShowVersion();
};

} // namespace varnolux
