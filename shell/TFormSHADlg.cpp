#include "shell/TFormSHADlg.h"

#include <algorithm>

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

namespace varnolux {

namespace {

constexpr int FingerprintEditWidth = 417;
constexpr int FingerprintDigits = 64;
// What a line edit keeps free beside its text: 2 pixels at each side and the cursor.
constexpr int LineEditTextSpace = 2 * 2 + 1;

/// The width of an edit that shows the text whole, frame and margins included.
int WidthShowingWhole(const QLineEdit& edit, const QString& text)
{
    QStyleOptionFrame option;
    option.initFrom(&edit);
    option.lineWidth = edit.hasFrame()
                           ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit)
                           : 0;
    const QMargins margins = edit.textMargins() + edit.contentsMargins();
    const QSize contents(edit.fontMetrics().horizontalAdvance(text) + LineEditTextSpace +
                             margins.left() + margins.right(),
                         edit.fontMetrics().height());
    return edit.style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, &edit).width();
}

QLineEdit* FingerprintEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    // Digits of one width: the 64 of a fingerprint always fit, and read in columns.
    edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    edit->setFixedWidth(
        std::max(FingerprintEditWidth, WidthShowingWhole(*edit, QString(FingerprintDigits, u'0'))));
    edit->setStyleSheet("background-color: #eeeeee;");
    return edit;
}

QLabel* Label(QWidget* parent, const char* name, const char* text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TFormSHADlg::TFormSHADlg(QWidget* parent)
    : QDialog(parent)
    , LabelSHAFile(Label(this, "LabelSHAFile", "SHA value image file"))
    , EditSHAFile(FingerprintEdit(this, "EditSHAFile"))
    , LabelSHAOptions(Label(this, "LabelSHAOptions", "SHA value options"))
    , EditSHAOptions(FingerprintEdit(this, "EditSHAOptions"))
    , LabelSHAResult(Label(this, "LabelSHAResult", "SHA value result"))
    , EditSHAResult(FingerprintEdit(this, "EditSHAResult"))
    , BitBtnOk(new QPushButton("OK", this))
{
    setObjectName("FormSHADlg");
    setWindowTitle("SHA values");
    setWindowFlag(Qt::Tool);
    BitBtnOk->setObjectName("BitBtnOk");
    BitBtnOk->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{LabelSHAFile, EditSHAFile, LabelSHAOptions, EditSHAOptions,
                                         LabelSHAResult, EditSHAResult})
        layout->addWidget(widget);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtnOk);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(BitBtnOk, &QPushButton::clicked, this, &QDialog::accept);
    BitBtnOk->setFocus();
}

void TFormSHADlg::SetFingerprints(const std::string& imageFile, const std::string& options,
                                  const std::string& result)
{
    EditSHAFile->setText(QString::fromStdString(imageFile));
    EditSHAOptions->setText(QString::fromStdString(options));
    EditSHAResult->setText(QString::fromStdString(result));
}

} // namespace varnolux
