#include "tools/TAboutBox.h"

#include "settings/ProgramInfo.h"

#include <algorithm>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace varnolux {

namespace {

constexpr int FileVersionIndex = 2;
constexpr int VersionLeft = 120;
constexpr int VersionRight = 312;
constexpr int CaptionGap = 4;

template <typename Widget>
Widget* Placed(Widget* widget, const char* name, QRect geometry)
{
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("AboutBox");
    setWindowTitle("Info");
    setFixedSize(336, 183);
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);

    auto* panel2 = Placed(new QFrame(this), "Panel2", {8, 8, 320, 130});
    panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ProgramIcon = Placed(new QLabel(panel2), "ProgramIcon", {8, 8, 56, 56});
    const QIcon programIcon = QApplication::windowIcon();
    ProgramIcon->setPixmap((programIcon.isNull()
                                ? style()->standardIcon(QStyle::SP_MessageBoxInformation)
                                : programIcon)
                               .pixmap(56, 56));

    ProductName = Placed(new QLabel("Kelvara® Varnolux", panel2), "ProductName", {80, 8, 232, 22});
    QFont bold = font;
    bold.setBold(true);
    bold.setPixelSize(16);
    ProductName->setFont(bold);
    ProductName->setStyleSheet("color: blue;");
    ProductName->setWordWrap(true);
    Label1 = Placed(new QLabel("Varnolux", panel2), "Label1", {80, 34, 232, 16});
    LabelVersion = Placed(new QLabel("Build", panel2), "LabelVersion", {80, 52, 40, 16});
    LabelBuild =
        Placed(new QLabel(panel2), "LabelBuild", {VersionLeft, 52, VersionRight - VersionLeft, 16});
    LabelMaker = Placed(new QLabel("Kelvara", panel2), "LabelMaker", {80, 72, 232, 16});
    Label2 = Placed(new QLabel("Internet: ", panel2), "Label2", {80, 100, 56, 16});
    LabelURL = Placed(new QLabel(panel2), "LabelURL", {136, 100, 176, 16});
    LabelURL->setOpenExternalLinks(true);
    LabelURL->setCursor(Qt::PointingHandCursor);

    BitBtn1 = Placed(new QPushButton("OK", this), "BitBtn1", {128, 148, 80, 27});
    QFont boldButton = font;
    boldButton.setBold(true);
    BitBtn1->setFont(boldButton);
    BitBtn1->setDefault(true);
    ButtonUpdate = Placed(new QPushButton("Update", this), "ButtonUpdate", {8, 148, 80, 27});
    ButtonUpdate->hide();
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::showEvent(QShowEvent* event)
{
    ShowVersion();
    ButtonUpdate->hide();
    QDialog::showEvent(event);
}

void TAboutBox::ShowVersion()
{
    LabelBuild->setText(QString::fromStdString(VerInfo().GetVerInfo(FileVersionIndex)));
    // The version follows its caption, however long a language makes that.
    const int left =
        std::max(VersionLeft, LabelVersion->x() + LabelVersion->sizeHint().width() + CaptionGap);
    LabelBuild->setGeometry(left, LabelBuild->y(), VersionRight - left, LabelBuild->height());
    const QString address = webPage_.toString().toHtmlEscaped();
    LabelURL->setText(QString("<a href=\"%1\" style=\"color: blue;\">%1</a>").arg(address));
    Label2->setVisible(!webPage_.isEmpty());
    LabelURL->setVisible(!webPage_.isEmpty());
}

void TAboutBox::SetWebPage(const QUrl& address)
{
    webPage_ = address;
}

} // namespace varnolux
