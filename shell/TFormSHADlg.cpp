#include "shell/TFormSHADlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnolux {

namespace {

constexpr int FingerprintEditWidth = 417;

QLineEdit* FingerprintEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setFixedWidth(FingerprintEditWidth);
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
