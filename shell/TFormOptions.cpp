#include "shell/TFormOptions.h"

#include "base/Messages.h"
#include "shell/FormState.h"
#include "shell/TFormMain.h"
#include "shell/TLanguageReporter.h"
#include "tools/Named.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace varnolux {

namespace {

QColor ToQColor(TColour colour)
{
    return {RedOf(colour), GreenOf(colour), BlueOf(colour)};
}

TColour FromQColor(const QColor& colour)
{
    return MakeColour(static_cast<std::uint8_t>(colour.red()),
                      static_cast<std::uint8_t>(colour.green()),
                      static_cast<std::uint8_t>(colour.blue()));
}

} // namespace

TFormOptions::TFormOptions(std::string settingsFile, QWidget* parent)
    : QDialog(parent)
    , settingsFile_(std::move(settingsFile))
{
    setObjectName("FormOptions");
    setWindowTitle("Options");
    setWindowFlag(Qt::Tool);

    // Created in the order the dialog's state is saved: the result file first.
    auto* groupBoxSave = Named(new QGroupBox("Result file", this), "GroupBoxSave");
    EditResultFile = Named(new QLineEdit(groupBoxSave), "EditResultFile");
    ButtonResultFile = Named(new QPushButton("...", groupBoxSave), "ButtonResultFile");
    auto* groupBoxSaveRegions = Named(new QGroupBox("Regions file", this), "GroupBoxSaveRegions");
    EditRegionFile = Named(new QLineEdit(groupBoxSaveRegions), "EditRegionFile");
    ButtonRegionFile = Named(new QPushButton("...", groupBoxSaveRegions), "ButtonRegionFile");
    auto* groupBoxAnalysis = Named(new QGroupBox("Analysis", this), "GroupBoxAnalysis");
    LabelMinSize = Named(new QLabel("Minimum object size [mm²]", groupBoxAnalysis), "LabelMinSize");
    EditMinRegion = Named(new QLineEdit("10.0", groupBoxAnalysis), "EditMinRegion");
    auto* groupBoxBack = Named(new QGroupBox("Background color", this), "GroupBoxBackground");
    auto* labelColorBack = Named(new QLabel("Background color", groupBoxBack), "LabelColorBack");
    PanelColorBack = Named(new QFrame(groupBoxBack), "PanelColorBack");
    ButtonColorBack = Named(new QPushButton("...", groupBoxBack), "ButtonColorBack");
    BitBtnOk = Named(new QPushButton("OK", this), "BitBtnOk");
    BitBtnCancel = Named(new QPushButton("Cancel", this), "BitBtnCancel");

    PanelColorBack->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelColorBack->setFixedSize(41, 21);
    PanelColorBack->setAutoFillBackground(true);
    ButtonColorBack->setFixedWidth(25);
    ButtonResultFile->setFixedWidth(25);
    ButtonRegionFile->setFixedWidth(25);
    EditMinRegion->setFixedWidth(80);
    EditResultFile->setMinimumWidth(300);
    BitBtnOk->setDefault(true);
    SetColorBack(TOptions::Initial().ColorBack);

    auto* analysis = new QHBoxLayout(groupBoxAnalysis);
    analysis->addWidget(LabelMinSize);
    analysis->addStretch();
    analysis->addWidget(EditMinRegion);
    auto* background = new QHBoxLayout(groupBoxBack);
    background->addWidget(labelColorBack);
    background->addStretch();
    background->addWidget(PanelColorBack);
    background->addWidget(ButtonColorBack);
    auto* result = new QHBoxLayout(groupBoxSave);
    result->addWidget(EditResultFile);
    result->addWidget(ButtonResultFile);
    auto* regions = new QHBoxLayout(groupBoxSaveRegions);
    regions->addWidget(EditRegionFile);
    regions->addWidget(ButtonRegionFile);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtnOk);
    buttons->addWidget(BitBtnCancel);
    auto* dialog = new QVBoxLayout(this);
    dialog->addWidget(groupBoxAnalysis);
    dialog->addWidget(groupBoxBack);
    dialog->addWidget(groupBoxSave);
    dialog->addWidget(groupBoxSaveRegions);
    dialog->addLayout(buttons);

    connect(BitBtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ButtonResultFile, &QPushButton::clicked, this,
            [this, groupBoxSave] { ChooseFile(*EditResultFile, groupBoxSave->title()); });
    connect(ButtonRegionFile, &QPushButton::clicked, this, [this, groupBoxSaveRegions] {
        ChooseFile(*EditRegionFile, groupBoxSaveRegions->title());
    });
    connect(ButtonColorBack, &QPushButton::clicked, this, &TFormOptions::ButtonColorBackClick);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (old == EditMinRegion)
            EditMinRegionExit(now);
    });
}

void TFormOptions::SetColorBack(TColour colour)
{
    colorBack_ = colour;
    QPalette palette = PanelColorBack->palette();
    palette.setColor(QPalette::Window, ToQColor(colour));
    PanelColorBack->setPalette(palette);
}

void TFormOptions::WriteTo(TOptions& options) const
{
    options.iInclCircleX = iInclCircleX;
    options.iInclCircleY = iInclCircleY;
    options.iInclCircleDiam = iInclCircleDiam;
    options.iExclRectLeft = iExclRectLeft;
    options.iExclRectUp = iExclRectUp;
    options.iExclRectRight = iExclRectRight;
    options.iExclRectDown = iExclRectDown;
    options.colColorInclCircle = colColorInclCircle;
    options.colColorExclRect = colColorExclRect;
    options.lUseInclCircle = lUseInclCircle;
    options.lUseExclRect = lUseExclRect;
    options.ColorBack = static_cast<int>(colorBack_);
    options.EditMinRegion = EditMinRegion->text().toStdString();
    options.EditResultFile = EditResultFile->text().toStdString();
    options.EditRegionFile = EditRegionFile->text().toStdString();
}

void TFormOptions::ReadFrom(const TOptions& options)
{
    iInclCircleX = options.iInclCircleX;
    iInclCircleY = options.iInclCircleY;
    iInclCircleDiam = options.iInclCircleDiam;
    iExclRectLeft = options.iExclRectLeft;
    iExclRectUp = options.iExclRectUp;
    iExclRectRight = options.iExclRectRight;
    iExclRectDown = options.iExclRectDown;
    colColorInclCircle = options.colColorInclCircle;
    colColorExclRect = options.colColorExclRect;
    lUseInclCircle = options.lUseInclCircle;
    lUseExclRect = options.lUseExclRect;
    SetColorBack(static_cast<TColour>(options.ColorBack));
    EditMinRegion->setText(QString::fromStdString(options.EditMinRegion));
    EditResultFile->setText(QString::fromStdString(options.EditResultFile));
    EditRegionFile->setText(QString::fromStdString(options.EditRegionFile));
}

void TFormOptions::SetMinSizeCaption(const QString& caption)
{
    LabelMinSize->setText(caption);
}

void TFormOptions::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        WriteTo(shownWith_);
    QDialog::showEvent(event);
}

bool TFormOptions::CheckMinRegion()
{
    if (TFormMain::ParseFloat(EditMinRegion->text().toStdString(), false) >= 0)
        return true;
    // The message takes the focus away from the edit; that is no second exit.
    checkingMinRegion_ = true;
    CurrentReporter().ShowLanguageMessage("MessageInvalidNumber", {});
    EditMinRegion->setFocus();
    checkingMinRegion_ = false;
    return false;
}

void TFormOptions::EditMinRegionExit(QWidget* newFocus)
{
    // Cancel needs no valid value, and OK checks it itself.
    if (checkingMinRegion_ || !isVisible() || newFocus == BitBtnCancel || newFocus == BitBtnOk ||
        !newFocus || newFocus->window() != this)
        return;
    CheckMinRegion();
}

void TFormOptions::done(int result)
{
    if (result == QDialog::Accepted) {
        if (!CheckMinRegion())
            return;
        SaveFormState(*this, settingsFile_);
    }
    QDialog::done(result);
    if (result != QDialog::Accepted)
        ReadFrom(shownWith_);
}

void TFormOptions::ChooseFile(QLineEdit& edit, const QString& title)
{
    // A result file is written, and usually appended to: a save dialog that does not
    // warn about a file that exists.
    QFileDialog dialog(this, title);
    dialog.setObjectName("SaveDialogResultFile");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix("txt");
    dialog.setNameFilters(
        {FileFilter("LFilterTextFiles", "*.txt"), FileFilter("LFilterAllFiles", "*")});
    dialog.setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Writable);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        edit.setText(dialog.selectedFiles().constFirst());
}

void TFormOptions::ButtonColorBackClick()
{
    QColorDialog dialog(ToQColor(colorBack_), this);
    dialog.setObjectName("ColorDialog1");
    if (dialog.exec() != QDialog::Accepted)
        return;
    SetColorBack(FromQColor(dialog.selectedColor()));
}

} // namespace varnolux
