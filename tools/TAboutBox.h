#pragma once

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;

namespace varnolux {

/// The about box: product, version, maker and web page.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    /// The web page the box links to; with none (an empty address) the box shows no
    /// Internet line.
    void SetWebPage(const QUrl& address);

protected:
    void showEvent(QShowEvent* event) override;

private:
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

    /// The version comes from the build and the web page from the settings, whatever a
    /// language file says; the labels are empty until the box is shown.
    void ShowVersion();

    QUrl webPage_;
};

} // namespace varnolux
