#include "tools/TFormMeasure.h"

#include "settings/ProgramInfo.h"
#include "settings/SettingsAccess.h"
#include "settings/TOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

namespace varnolux {

namespace {

constexpr const char* ZoomItems[] = {"400%", "200%", "150%", "100%", "75%", "50%", "10%"};
constexpr int InitialUnit = 3; // "cm"

constexpr const char* Instructions =
    "Bestimmung des Maßstabs\n"
    "1) Mit der Maus im Bild einen Bereich bekannter Länge markieren (linke Maustaste "
    "drücken, ziehen und loslassen).\n"
    "2) Im daraufhin erscheinenden Dialogfenster den wahren Wert der eingezeichneten "
    "Strecke in mm eingeben.\n"
    "Dieser Vorgang kann beliebig oft wiederholt werden.";

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

TFormMeasure::TFormMeasure(QWidget* parent)
    : QDialog(parent)
    , CheckBoxUnits(Named(new QCheckBox("Use units", this), "CheckBoxUnits"))
    , EditMeasure(Named(new QLineEdit(this), "EditMeasure"))
    , ComboBoxUnits(Named(new QComboBox(this), "ComboBoxUnits"))
    , ComboBoxZoom(Named(new QComboBox(this), "ComboBoxZoom"))
    , LabelZoom(Named(new QLabel("Zoom", this), "LabelZoom"))
    , LabelMeasureCaption(Named(new QLabel("Measure", this), "LabelMeasureCaption"))
    , LabelPixelPer(Named(new QLabel("Pixel/", this), "LabelPixelPer"))
    , MemoMeasure(Named(new QPlainTextEdit(Instructions, this), "MemoMeasure"))
    , BitBtnOk(Named(new QPushButton("OK", this), "BitBtnOk"))
    , BitBtnCancel(Named(new QPushButton("Cancel", this), "BitBtnCancel"))
    , languageFile_(DefaultLanguageFile())
{
    setObjectName("FormMeasure");
    setWindowTitle("Measure");
    setWindowFlag(Qt::Tool);
    setMinimumSize(550, 180);
    resize(726, 502);

    for (const char* unit : UnitNames)
        ComboBoxUnits->addItem(QString::fromUtf8(unit));
    ComboBoxUnits->setCurrentIndex(InitialUnit);
    ComboBoxZoom->setEditable(true);
    for (const char* zoom : ZoomItems)
        ComboBoxZoom->addItem(zoom);
    ComboBoxZoom->setCurrentIndex(-1);
    ComboBoxZoom->setEditText("100%");
    MemoMeasure->setReadOnly(true);
    MemoMeasure->setStyleSheet("background-color: #ffffe1;");
    BitBtnOk->setDefault(true);

    auto* scrollBoxImage = Named(new QScrollArea(this), "ScrollBoxImage");
    scrollBoxImage->setBackgroundRole(QPalette::Mid);
    auto* statusBar = Named(new QStatusBar(this), "StatusBar1");
    statusBar->setSizeGripEnabled(false);
    statusBar->showMessage("Zoom: 100%");

    auto* controls = new QGridLayout;
    controls->addWidget(CheckBoxUnits, 0, 0, 1, 3);
    controls->addWidget(LabelZoom, 1, 0);
    controls->addWidget(ComboBoxZoom, 1, 1, 1, 2);
    controls->addWidget(LabelMeasureCaption, 2, 0);
    controls->addWidget(EditMeasure, 2, 1);
    auto* unit = new QHBoxLayout;
    unit->addWidget(LabelPixelPer);
    unit->addWidget(ComboBoxUnits);
    controls->addLayout(unit, 2, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtnOk);
    buttons->addWidget(BitBtnCancel);
    controls->addLayout(buttons, 3, 0, 1, 3);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(MemoMeasure, 1);
    bottom->addLayout(controls);
    auto* window = new QVBoxLayout(this);
    window->addWidget(scrollBoxImage, 1);
    window->addLayout(bottom);
    window->addWidget(statusBar);

    connect(CheckBoxUnits, &QCheckBox::toggled, this, &TFormMeasure::CheckBoxUnitsClick);
    connect(BitBtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    CheckBoxUnitsClick();
}

void TFormMeasure::CheckBoxUnitsClick()
{
    const bool units = CheckBoxUnits->isChecked();
    ComboBoxUnits->setEnabled(units);
    LabelMeasureCaption->setEnabled(units);
    EditMeasure->setEnabled(units);
}

void TFormMeasure::SetLanguageFile(std::string languageFile)
{
    languageFile_ = std::move(languageFile);
}

std::string TFormMeasure::Caption(const char* section, const char* key,
                                  const char* layoutText) const
{
    return ReadConfigString(languageFile_, section, key, layoutText);
}

TUnitCaptions TFormMeasure::UnitCaptions(bool useUnits) const
{
    const std::string unit = ComboBoxUnits->currentText().toStdString();
    const std::string areaSuffix = useUnits ? " [" + unit + "²]" : " []";
    TUnitCaptions captions;
    captions.MeasureLabel = Caption("FormOptions", "FormOptions.LabelMeasure.Caption", "Measure") +
                            (useUnits ? " [pixel/" + unit + "]" : " []");
    captions.MeasureValue = useUnits ? EditMeasure->text().toStdString() : std::string();
    captions.MinSizeLabel =
        Caption("FormOptions", "FormOptions.LabelMinSize.Caption", "Minimum object size") +
        (useUnits ? areaSuffix : "[pixel]");
    captions.AreaLabel =
        Caption("FormMain", "FormMain.LabeledEditAreaCM.EditLabel.Caption", "Object area") +
        areaSuffix;
    captions.AnaAreaLabel =
        Caption("FormMain", "FormMain.LabeledEditAnaAreaCM.EditLabel.Caption", "Analysis area") +
        areaSuffix;
    captions.MeanSizeLabel =
        Caption("FormMain", "FormMain.LabeledEditMeanSizeCM.EditLabel.Caption", "Mean size") +
        areaSuffix;
    return captions;
}

void TFormMeasure::SetUnitCaptions(bool useUnits)
{
    Q_EMIT UnitCaptionsChanged(UnitCaptions(useUnits));
}

} // namespace varnolux
