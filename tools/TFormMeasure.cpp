#include "tools/TFormMeasure.h"

#include "base/Messages.h"
#include "settings/NumberText.h"
#include "settings/ProgramInfo.h"
#include "settings/SettingsAccess.h"
#include "settings/TOptions.h"
#include "tools/Calibration.h"
#include "tools/EditExitCheck.h"
#include "tools/PictureToolParts.h"
#include "tools/TMeasureDlgForm.h"
#include "tools/TPictureView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace varnolux {

namespace {

constexpr int InitialUnit = 3; // "cm"

constexpr const char* Instructions =
    "Bestimmung des Maßstabs\n"
    "1) Mit der Maus im Bild einen Bereich bekannter Länge markieren (linke Maustaste "
    "drücken, ziehen und loslassen).\n"
    "2) Im daraufhin erscheinenden Dialogfenster den wahren Wert der eingezeichneten "
    "Strecke in mm eingeben.\n"
    "Dieser Vorgang kann beliebig oft wiederholt werden.";

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
    , ScrollBoxImage(Named(new TPictureView(this), "ScrollBoxImage"))
    , ImageMess(Named(ScrollBoxImage->viewport(), "ImageMess"))
    , StatusBar1(Named(new QStatusBar(this), "StatusBar1"))
    , ZoomPanel(new QLabel(StatusBar1))
    , StatusPanel(new QLabel(StatusBar1))
    , Timer1(Named(new QTimer(this), "Timer1"))
    , languageFile_(DefaultLanguageFile())
    , ownLengthDialog_(std::make_unique<TMeasureDlgForm>())
    , lengthDialog_(ownLengthDialog_.get())
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
    for (const char* zoom : MeasuringZoomItems)
        ComboBoxZoom->addItem(zoom);
    ComboBoxZoom->setCurrentIndex(-1);
    ComboBoxZoom->setEditText("100%");
    MemoMeasure->setReadOnly(true);
    MemoMeasure->setStyleSheet("background-color: #ffffe1;");
    BitBtnOk->setDefault(true);

    SetUpMeasuringParts(
        {*ScrollBoxImage, *ComboBoxZoom, *StatusBar1, *ZoomPanel, *StatusPanel, *Timer1});

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

    // The instructions take no more height than the controls beside them: the picture
    // gets the rest.
    MemoMeasure->setFixedHeight(controls->sizeHint().height());
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(MemoMeasure, 1);
    bottom->addLayout(controls);
    auto* window = new QVBoxLayout(this);
    window->addWidget(ScrollBoxImage, 1);
    window->addLayout(bottom);
    window->addWidget(StatusBar1);

    connect(CheckBoxUnits, &QCheckBox::toggled, this, &TFormMeasure::CheckBoxUnitsClick);
    connect(BitBtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Timer1, &QTimer::timeout, this, &TFormMeasure::Timer1Timer);
    connect(ScrollBoxImage, &TPictureView::MousePressed, this,
            [this](QPoint position) { ImageMessMouseDown(position); });
    connect(ScrollBoxImage, &TPictureView::MouseMoved, this, &TFormMeasure::ImageMessMouseMove);
    connect(ScrollBoxImage, &TPictureView::MouseReleased, this,
            [this](QPoint position) { ImageMessMouseUp(position); });
    CheckOnExit(*EditMeasure, *BitBtnCancel, [this] { return IsPositiveNumber(*EditMeasure); });
    CheckBoxUnitsClick();
}

TFormMeasure::~TFormMeasure() = default;

void TFormMeasure::WriteTo(TOptions& options) const
{
    options.lCheckBoxUnits = CheckBoxUnits->isChecked();
    options.ComboBoxUnits = ComboBoxUnits->currentIndex();
    options.ComboBoxZoom = ComboBoxZoom->currentIndex();
    options.EditMeasure = EditMeasure->text().toStdString();
}

void TFormMeasure::ReadFrom(const TOptions& options)
{
    CheckBoxUnits->setChecked(options.lCheckBoxUnits);
    ComboBoxUnits->setCurrentIndex(options.ComboBoxUnits);
    // Choosing the zoom again would replace a zoom typed into the box.
    if (ComboBoxZoom->currentIndex() != options.ComboBoxZoom)
        ComboBoxZoom->setCurrentIndex(options.ComboBoxZoom);
    EditMeasure->setText(QString::fromStdString(options.EditMeasure));
}

TFormMeasure::TCalibration TFormMeasure::Calibration() const
{
    return {CheckBoxUnits->isChecked(), EditMeasure->text(), ComboBoxZoom->currentIndex(),
            ComboBoxUnits->currentIndex(), ComboBoxZoom->currentText()};
}

void TFormMeasure::SetCalibration(const TCalibration& calibration)
{
    CheckBoxUnits->setChecked(calibration.UseUnits);
    EditMeasure->setText(calibration.Measure);
    ComboBoxZoom->setCurrentIndex(calibration.ZoomIndex);
    ComboBoxUnits->setCurrentIndex(calibration.UnitIndex);
    ComboBoxZoom->setEditText(calibration.ZoomText);
}

std::string TFormMeasure::UnitText() const
{
    return ComboBoxUnits->currentText().toStdString();
}

void TFormMeasure::SetLengthDialog(TMeasureDlgForm& dialog)
{
    lengthDialog_ = &dialog;
    ownLengthDialog_.reset();
}

void TFormMeasure::SetPicture(QImage picture)
{
    picture_ = std::move(picture);
}

void TFormMeasure::SetStatusText(const QString& text)
{
    statusText_ = text;
}

void TFormMeasure::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The picture is loaded once the window is on screen.
    Timer1->start();
}

void TFormMeasure::hideEvent(QHideEvent* event)
{
    Timer1->stop();
    // The picture is the opener's to give again; its memory is not kept meanwhile.
    picture_ = QImage();
    ScrollBoxImage->SetPicture(QImage());
    ScrollBoxImage->SetOverlay({});
    QDialog::hideEvent(event);
}

void TFormMeasure::Timer1Timer()
{
    unitsPerPixel_ = 0.0;
    LoadImage();
    StatusPanel->setText(statusText_);
    armed_ = true;
}

void TFormMeasure::LoadImage()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ScrollBoxImage->SetPicture(picture_);
    ScrollBoxImage->SetOverlay({});
    QGuiApplication::restoreOverrideCursor();
    ScrollBoxImage->SetZoom(ZoomFromText(ComboBoxZoom->currentText()));
}

void TFormMeasure::ImageMessMouseDown(QPoint position)
{
    if (!armed_)
        return;
    start_ = position;
    ScrollBoxImage->SetOverlay({});
}

void TFormMeasure::ImageMessMouseMove(QPoint position, Qt::MouseButtons buttons)
{
    // Back at the start the last line stays until the pointer moves on.
    if (!armed_ || !(buttons & Qt::LeftButton) || position == start_)
        return;
    ScrollBoxImage->SetOverlay({QPolygon({start_, position})});
}

void TFormMeasure::ImageMessMouseUp(QPoint position)
{
    if (!armed_)
        return;
    ScrollBoxImage->SetOverlay({QPolygon({start_, position})});
    AskTrueLength(LineLength(start_, position));
    ScrollBoxImage->SetOverlay({});
}

void TFormMeasure::AskTrueLength(double pixels)
{
    TMeasureDlgForm& dialog = *lengthDialog_;
    dialog.SetPixelLength(pixels);
    dialog.SetUnitIndex(ComboBoxUnits->currentIndex());
    if (dialog.exec() != QDialog::Accepted)
        return;
    CheckBoxUnits->setChecked(true);
    const TParsedNumber length = ParseNumberStrict(dialog.LengthText().toStdString(), 0.0);
    if (length.success && pixels > 0.0) {
        unitsPerPixel_ = length.value / pixels;
        EditMeasure->setText(unitsPerPixel_ > 0.0
                                 ? QString::fromStdString(ScaleText(1.0 / unitsPerPixel_))
                                 : QString());
    }
    ComboBoxUnits->setCurrentIndex(dialog.UnitIndex());
}

void TFormMeasure::done(int result)
{
    if (result == Accepted)
        SetUnitCaptions(CheckBoxUnits->isChecked());
    QDialog::done(result);
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
