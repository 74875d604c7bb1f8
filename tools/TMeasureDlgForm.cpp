#include "tools/TMeasureDlgForm.h"

#include "base/Messages.h"
#include "settings/NumberText.h"
#include "settings/TOptions.h"
#include "tools/Calibration.h"
#include "tools/EditExitCheck.h"
#include "tools/PictureToolParts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnolux {

namespace {

constexpr int InitialUnit = 3; // "cm"

} // namespace

TMeasureDlgForm::TMeasureDlgForm(QWidget* parent)
    : QDialog(parent)
    , GroupBox1(Named(new QGroupBox("Length of defined area", this), "GroupBox1"))
    , Label1(Named(new QLabel("Length", GroupBox1), "Label1"))
    , LabelPixel(Named(new QLabel("0", GroupBox1), "LabelPixel"))
    , Label3(Named(new QLabel("Pixel", GroupBox1), "Label3"))
    , Label2(Named(new QLabel("Length", GroupBox1), "Label2"))
    , EditLaenge(Named(new QLineEdit("0", GroupBox1), "EditLaenge"))
    , ComboBoxUnits(Named(new QComboBox(GroupBox1), "ComboBoxUnits"))
    , OKBtn(Named(new QPushButton("OK", this), "OKBtn"))
    , CancelBtn(Named(new QPushButton("Cancel", this), "CancelBtn"))
{
    setObjectName("MeasureDlgForm");
    setWindowTitle("Measure");
    for (const char* unit : UnitNames)
        ComboBoxUnits->addItem(QString::fromUtf8(unit));
    ComboBoxUnits->setCurrentIndex(InitialUnit);
    LabelPixel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabelPixel->setMinimumWidth(LabelPixel->fontMetrics().horizontalAdvance("00000000.00"));
    OKBtn->setDefault(true);

    auto* lengths = new QGridLayout(GroupBox1);
    lengths->addWidget(Label1, 0, 0);
    lengths->addWidget(LabelPixel, 0, 1);
    lengths->addWidget(Label3, 0, 2);
    lengths->addWidget(Label2, 1, 0);
    lengths->addWidget(EditLaenge, 1, 1);
    lengths->addWidget(ComboBoxUnits, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* window = new QVBoxLayout(this);
    window->addWidget(GroupBox1);
    window->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    CheckOnExit(*EditLaenge, *CancelBtn, [this] { return IsPositiveNumber(*EditLaenge); });
}

void TMeasureDlgForm::SetPixelLength(double pixels)
{
    pixels_ = pixels;
    LabelPixel->setText(QString::fromStdString(PixelLengthText(pixels)));
}

int TMeasureDlgForm::UnitIndex() const
{
    return ComboBoxUnits->currentIndex();
}

void TMeasureDlgForm::SetUnitIndex(int index)
{
    ComboBoxUnits->setCurrentIndex(index);
}

QString TMeasureDlgForm::LengthText() const
{
    return EditLaenge->text();
}

void TMeasureDlgForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Ready for the length to be typed over.
    EditLaenge->setFocus();
    EditLaenge->selectAll();
}

bool TMeasureDlgForm::FormCloseQuery()
{
    const std::optional<double> length = ParseNumberTolerant(EditLaenge->text().toStdString());
    if (!length)
        CurrentReporter().ShowLanguageMessage("NoFloat", {});
    // A scale under SmallestScale would be written "0.00" and read as no scale.
    const bool tooLong =
        length && *length > 0.0 && pixels_ > 0.0 && pixels_ / *length < SmallestScale;
    if (length.value_or(-1.0) < 0.0 || tooLong) {
        CurrentReporter().ShowLanguageMessage("MessageInvalidNumber", {});
        EditLaenge->setFocus();
        return false;
    }
    return true;
}

void TMeasureDlgForm::done(int result)
{
    if (result == Accepted && !FormCloseQuery())
        return;
    QDialog::done(result);
}

} // namespace varnolux
