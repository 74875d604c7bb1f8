#include "shell/TFormMain.h"

#include "base/Messages.h"
#include "base/Paths.h"
#include "chart/Tsp_LineMarker.h"
#include "chart/Tsp_XYLine.h"
#include "chart/Tsp_XYPlot.h"
#include "results/NumberFormat.h"
#include "settings/ProgramInfo.h"
#include "settings/SettingsAccess.h"
#include "shell/FitToPanel.h"
#include "shell/TApplication.h"
#include "shell/TCallerStart.h"
#include "shell/TColourRangeController.h"
#include "shell/TFormLanguage.h"
#include "shell/TImageWidget.h"
#include "shell/TLabeledEdit.h"
#include "shell/TLanguageReporter.h"
#include "shell/TPanel.h"
#include "shell/TPlasmaForm.h"
#include "shell/TProgramControl.h"
#include "shell/TRegionsPage.h"
#include "shell/TResultActions.h"
#include "shell/TStatusBar.h"
#include "shell/TStatusProgressBar.h"
#include "tools/Named.h"
#include "tools/TFormMeasure.h"
#include "tools/TKVShapeSize.h"

#include <filesystem>
#include <optional>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProxyStyle>
#include <QSlider>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace varnolux {

namespace {

constexpr int ImagePanelGap = 12;
constexpr int ImageMargin = 2;
constexpr int HueHandleSize = 10;
constexpr int StartupDelayMs = 10;
constexpr int TrackBarLeft = 57;
constexpr int TrackBarRight = 207;
constexpr int CaptionGap = 4;
constexpr int ResultFieldWidth = 99;
constexpr int ResultFieldGap = 21; // between the left column's fields and the right column
constexpr int ResultPanelWidth = 235;
constexpr int ResultPanelMargin = 6;
const QSize DesignMinimumSize(740, 536);
const std::vector<int> StatusPanelWidths = {250, 130, 70, 80, 200, 50};

const QColor Silver(192, 192, 192);
const QColor ResultFieldColour(225, 225, 205);

/// The application's style with tabs that leave less room beside their texts.
class TCompactTabStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_TabBarTabHSpace ? value / 2 : value;
    }
};

int LabelWidth(const TLabeledEdit& field)
{
    return field.EditLabel()->sizeHint().width();
}

} // namespace

TFormMain::TFormMain(const TProgramFiles& files, std::vector<std::string> parameters)
    : files_(files)
    , parameters_(std::move(parameters))
{
    setObjectName("FormMain");
    setWindowTitle(TApplication::Title);
    setMinimumSize(DesignMinimumSize);
    // The fixed layout of the bottom panel is made for a small font.
    QFont smallFont = font();
    smallFont.setPointSize(8);
    setFont(smallFont);

    CreateActions();
    CreateMenusAndToolBar();
    auto* client = new QWidget(this);
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);
    PanelTop = new TPanel(client, "PanelTop");
    clientLayout->addWidget(PanelTop, 1);
    PanelBottom = new TPanel(client, "PanelBottom");
    PanelBottom->setFixedHeight(193);
    clientLayout->addWidget(PanelBottom);
    StatusBarMain = new TStatusBar(client, "StatusBarMain", StatusPanelWidths);
    clientLayout->addWidget(StatusBarMain);
    setCentralWidget(client);
    CreateImagePanels();
    CreateBottomPanel();
    CreateDialogs();
    Timer1 = Named(new QTimer(this), "Timer1");
    Timer1->setInterval(StartupDelayMs);

    StatusProgressBar = new TStatusProgressBar(StatusBarMain, "StatusProgressBar");
    StatusBarMain->SetPanelWidget(StatusPanelProgress, StatusProgressBar);

    TOptionsFiles::TParts optionsParts;
    optionsParts.StatusBar = StatusBarMain;
    optionsParts.OpenDialog = OpenDialog1;
    optionsParts.SaveDialog = SaveDialog1;
    optionsParts.Save = ActionSaveOptions;
    optionsParts.SaveAs = ActionSaveOptionsAs;
    TOptionsHolder& optionsHolder = *this;
    optionsFiles_ = new TOptionsFiles(files_, optionsHolder, optionsParts, this);

    ProgramControl = std::make_unique<TProgramControl>(*this);
    connect(ProgramControl.get(), &TProgramControl::NoImage, this, &TFormMain::ClearImageFileInfo);
    connect(ProgramControl.get(), &TProgramControl::Closing, this, &TFormMain::StopTimers);
    connect(ProgramControl.get(), &TProgramControl::OptionsChanged, optionsFiles_,
            &TOptionsFiles::MarkChanged);
    ProgramControl->SetState(StateStart);

    CreateAnalysisController();

    move(0, 0);
    resize(1024, 750);
    CreateColourRangeController();
    ImagePlasma->Picture().SetSize(TPlasmaForm::PaletteSize, TPlasmaForm::PaletteSize);
    for (TLabeledEdit* field : {LabeledEditAnaArea, LabeledEditAnaAreaCM, LabeledEditAreaPixel,
                                LabeledEditAreaCM, LabeledEditMeanSize, LabeledEditMeanSizeCM,
                                LabeledEditCount, LabeledEditPercent, LabeledEditMeasure}) {
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, ResultFieldColour);
        field->setPalette(palette);
    }
    ConnectEvents();
}

TFormMain::~TFormMain()
{
    analysis_.reset();
    ProgramControl.reset();
}

void TFormMain::ConnectWindows(const TWindows& windows)
{
    windows_ = windows;
    connect(windows_.FormMeasure, &TFormMeasure::UnitCaptionsChanged, this,
            &TFormMain::ApplyUnitCaptions);
    CreateMenuControllers();
}

int TFormMain::ExitStatus() const
{
    return callerStart_->ExitStatus();
}

void TFormMain::SetNobodyWatching(bool nobodyWatching)
{
    callerStart_->SetNobodyWatching(nobodyWatching);
}

void TFormMain::CreateImagePanels()
{
    PanelTopLeft = new TPanel(PanelTop, "PanelTopLeft", TPanel::TBevel::Lowered);
    PanelTopRight = new TPanel(PanelTop, "PanelTopRight", TPanel::TBevel::Lowered);
    PanelTopLeft->setGeometry(0, 0, 342, 500);
    PanelTopRight->setGeometry(350, 0, 440, 500);
    ImageOriginal =
        new TImageWidget(PanelTopLeft, "ImageOriginal", TImageWidget::TPictureFit::Stretch);
    ImageAnalyse =
        new TImageWidget(PanelTopRight, "ImageAnalyse", TImageWidget::TPictureFit::Stretch);
    for (TPanel* panel : {PanelTopLeft, PanelTopRight})
        panel->SetColour(Silver);
    for (TImageWidget* image : {ImageOriginal, ImageAnalyse})
        image->setCursor(Qt::PointingHandCursor);
}

void TFormMain::CreateBottomPanel()
{
    auto* bottomLayout = new QHBoxLayout(PanelBottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    PanelBottomLeft = new TPanel(PanelBottom, "PanelBottomLeft", TPanel::TBevel::Lowered);
    bottomLayout->addWidget(PanelBottomLeft);
    auto* row = new QHBoxLayout(PanelBottomLeft);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(0);

    PanelColorCircle = new TPanel(PanelBottomLeft, "PanelColorCircle");
    PanelColorCircle->setFixedWidth(177);
    ImageColorCircle =
        new TImageWidget(PanelColorCircle, "ImageColorCircle", TImageWidget::TPictureFit::Natural);
    ImageColorCircle->setGeometry(5, 8, 166, 166);
    ImageColorCircle->SetTransparent(true);
    Panel1 = new TPanel(PanelBottomLeft, "Panel1");
    Panel1->setFixedWidth(284);
    CreateRangeControls(*Panel1);
    Panel2 = new TPanel(PanelBottomLeft, "Panel2");
    Panel2->setFixedWidth(235);
    CreateResultFields(*Panel2);
    PanelImagePlasma = new TPanel(PanelBottomLeft, "PanelImagePlasma");
    CreatePageControl(*PanelImagePlasma);
    for (QWidget* panel : {PanelColorCircle, Panel1, Panel2})
        row->addWidget(panel);
    row->addWidget(PanelImagePlasma, 1);
}

void TFormMain::CreateRangeControls(QWidget& panel)
{
    static constexpr std::array<int, 6> barTops = {9, 36, 74, 101, 138, 160};
    static constexpr std::array<int, 6> editTops = {10, 35, 73, 98, 137, 161};
    static constexpr std::array<std::pair<const char*, const char*>, 3> rowCaptions = {
        {{"LabelHue", "Hue"},
         {"LabelSaturation", "Saturation"},
         {"LabelBrightness", "Brightness"}}};
    for (size_t row = 0; row < rowCaptions.size(); ++row) {
        auto* caption = Named(new QLabel(rowCaptions[row].second, &panel), rowCaptions[row].first);
        caption->move(4, (barTops[2 * row] + barTops[2 * row + 1] + 21) / 2 - 8);
        RangeCaptions[row] = caption;
    }
    for (size_t i = 0; i < TrackBars.size(); ++i) {
        QSlider* bar =
            Named(new QSlider(Qt::Horizontal, &panel), TColourRangeController::TrackBarNames[i]);
        bar->setRange(0, 255);
        bar->setTickInterval(26);
        bar->setTickPosition(QSlider::TicksBelow);
        bar->setPageStep(26);
        bar->setGeometry(TrackBarLeft, barTops[i], TrackBarRight - TrackBarLeft, 21);
        bar->setValue(InitialColourRange[i]);
        TrackBars[i] = bar;
        auto* edit =
            new TLabeledEdit(&panel, TColourRangeController::EditNames[i],
                             i % 2 == 0 ? "Min" : "Max", TLabeledEdit::TLabelPosition::lpLeft);
        edit->setGeometry(235, editTops[i], 41, 19);
        edit->setText(QString::number(InitialColourRange[i]));
        RangeEdits[i] = edit;
    }
    ArrangeRangeControls();
}

void TFormMain::ArrangeRangeControls()
{
    int captionsRight = 0;
    for (const QLabel* caption : RangeCaptions)
        captionsRight = std::max(captionsRight, caption->x() + caption->sizeHint().width());
    const int left = std::max(TrackBarLeft, captionsRight + CaptionGap);
    for (QSlider* bar : TrackBars)
        bar->setGeometry(left, bar->y(), TrackBarRight - left, bar->height());
}

void TFormMain::CreateResultFields(QWidget& panel)
{
    struct TField {
        TLabeledEdit*& Edit;
        const char* Name;
        const char* Label;
        int Left;
        int Top;
    };
    const TField fields[] = {
        {LabeledEditAnaArea, "LabeledEditAnaArea", "Analysis area", 10, 20},
        {LabeledEditAnaAreaCM, "LabeledEditAnaAreaCM", "Analysis area", 130, 20},
        {LabeledEditAreaPixel, "LabeledEditAreaPixel", "Object area", 10, 57},
        {LabeledEditAreaCM, "LabeledEditAreaCM", "Object area", 130, 57},
        {LabeledEditMeanSize, "LabeledEditMeanSize", "Mean size", 10, 94},
        {LabeledEditMeanSizeCM, "LabeledEditMeanSizeCM", "Mean size", 130, 94},
        {LabeledEditCount, "LabeledEditCount", "Object count", 10, 131},
        {LabeledEditPercent, "LabeledEditPercent", "Area in %", 10, 168},
        {LabeledEditMeasure, "LabeledEditMeasure", "Measure", 130, 168},
    };
    for (const TField& field : fields) {
        field.Edit = new TLabeledEdit(&panel, field.Name, field.Label);
        field.Edit->setGeometry(field.Left, field.Top, ResultFieldWidth, 18);
        field.Edit->setReadOnly(true);
        field.Edit->setFocusPolicy(Qt::NoFocus);
    }
    ArrangeResultFields();
}

void TFormMain::ArrangeResultFields()
{
    int leftWidth = ResultFieldWidth;
    for (const TLabeledEdit* field : {LabeledEditAnaArea, LabeledEditAreaPixel, LabeledEditMeanSize,
                                      LabeledEditCount, LabeledEditPercent})
        leftWidth = std::max(leftWidth, LabelWidth(*field));
    int rightWidth = ResultFieldWidth;
    const std::array rightColumn = {LabeledEditAnaAreaCM, LabeledEditAreaCM, LabeledEditMeanSizeCM,
                                    LabeledEditMeasure};
    for (const TLabeledEdit* field : rightColumn)
        rightWidth = std::max(rightWidth, LabelWidth(*field));
    const int rightLeft = LabeledEditAnaArea->x() + leftWidth + ResultFieldGap;
    for (TLabeledEdit* field : rightColumn)
        field->move(rightLeft, field->y());
    Panel2->setFixedWidth(std::max(ResultPanelWidth, rightLeft + rightWidth + ResultPanelMargin));
}

void TFormMain::UpdateMinimumSize()
{
    // The panels beside the page control keep their widths, and its tabs show whole.
    QLayout& row = *PanelBottomLeft->layout();
    row.invalidate();
    setMinimumWidth(std::max(DesignMinimumSize.width(), row.minimumSize().width()));
}

void TFormMain::CreatePageControl(QWidget& panel)
{
    auto* layout = new QVBoxLayout(&panel);
    layout->setContentsMargins(0, 0, 0, 0);
    PageControlPlasma = Named(new QTabWidget(&panel), "PageControlPlasma");
    // Five tabs share a narrow page control: less room around their texts.
    auto* tabStyle = new TCompactTabStyle;
    tabStyle->setParent(PageControlPlasma);
    PageControlPlasma->tabBar()->setStyle(tabStyle);
    // Every tab shows its whole caption; the window is kept wide enough for them.
    PageControlPlasma->setUsesScrollButtons(false);
    PageControlPlasma->setElideMode(Qt::ElideNone);
    layout->addWidget(PageControlPlasma);
    const auto addSheet = [this](const char* name, const QString& caption) {
        QWidget* sheet = Named(new QWidget, name);
        auto* sheetLayout = new QVBoxLayout(sheet);
        sheetLayout->setContentsMargins(0, 0, 0, 0);
        PageControlPlasma->addTab(sheet, caption);
        return sheet;
    };
    TabSheetChart = addSheet("TabSheetChart", "Chart");
    TabSheetPlasma = addSheet("TabSheetPlasma", "Colors");
    TabSheetH = addSheet("TabSheetH", "H-image");
    TabSheetS = addSheet("TabSheetS", "S-image");
    TabSheetV = addSheet("TabSheetV", "V-image");
    TabSheetRegions = new TRegionsPage(*ImageAnalyse);
    PageControlPlasma->addTab(TabSheetRegions, "Regions");
    CreateChart(*TabSheetChart);
    ImagePlasma =
        new TImageWidget(TabSheetPlasma, "ImagePlasma", TImageWidget::TPictureFit::Stretch);
    TabSheetPlasma->layout()->addWidget(ImagePlasma);
    const auto proportional = TImageWidget::TPictureFit::ProportionalCentre;
    ImageH = new TImageWidget(TabSheetH, "ImageH", proportional);
    ImageS = new TImageWidget(TabSheetS, "ImageS", proportional);
    ImageV = new TImageWidget(TabSheetV, "ImageV", proportional);
    TabSheetH->layout()->addWidget(ImageH);
    TabSheetS->layout()->addWidget(ImageS);
    TabSheetV->layout()->addWidget(ImageV);
    PageControlPlasma->setCurrentWidget(TabSheetH);
}

void TFormMain::CreateChart(QWidget& tabSheet)
{
    sp_XYPlot = Named(new Tsp_XYPlot(&tabSheet), "sp_XYPlot");
    tabSheet.layout()->addWidget(sp_XYPlot);
    sp_XYPlot->SetBufferedDisplay(true);
    sp_XYPlot->SetFieldColor(Tsp_Colors::White);
    sp_XYPlot->SetBorderStyle(Tsp_BorderStyle::bs_None);
    sp_XYPlot->LeftAxis().SetMax(10);
    sp_XYPlot->BottomAxis().SetMax(256);
    for (Tsp_Axis* axis : {&sp_XYPlot->LeftAxis(), &sp_XYPlot->BottomAxis()}) {
        axis->GridAttr().SetVisible(true);
        axis->SetLabelFormat("###0.##");
    }
    // A plain drag zooms and a plain click un-zooms; Ctrl-drag pans.
    sp_XYPlot->SetZoomShiftKeys(0);

    static constexpr std::array<const char*, 3> lineNames = {"sp_XYLineH", "sp_XYLineS",
                                                             "sp_XYLineV"};
    static constexpr std::array<Tsp_Color, 3> lineColours = {Tsp_Colors::Maroon, Tsp_Colors::Green,
                                                             Tsp_Colors::Navy};
    for (size_t c = 0; c < lineNames.size(); ++c) {
        auto* line = Named(new Tsp_XYLine(sp_XYPlot), lineNames[c]);
        line->LineAttr().SetColor(lineColours[c]);
        line->PointAttr().SetVisible(false);
        line->SetPlot(sp_XYPlot);
        sp_XYLines[c] = line;
    }
    static constexpr std::array<const char*, 6> markerNames = {
        "sp_LineMarkerHMin", "sp_LineMarkerHMax", "sp_LineMarkerSMin",
        "sp_LineMarkerSMax", "sp_LineMarkerVMin", "sp_LineMarkerVMax"};
    static constexpr std::array<Tsp_Color, 3> markerColours = {Tsp_Colors::Red, Tsp_Colors::Lime,
                                                               Tsp_Colors::Blue};
    for (size_t i = 0; i < markerNames.size(); ++i) {
        auto* marker = Named(new Tsp_LineMarker(sp_XYPlot), markerNames[i]);
        marker->SetPen({markerColours[i / 2], Tsp_PenStyle::psDot, 1, Tsp_PenMode::pmCopy});
        sp_XYPlot->AddMarker(*marker, Tsp_WhenDrawMarker::dmBeforeSeries);
        marker->SetPosition(InitialColourRange[i]);
        sp_LineMarkers[i] = marker;
    }
}

void TFormMain::CreateDialogs()
{
    const auto fileDialog = [this](const char* name, QFileDialog::AcceptMode mode,
                                   const QStringList& filters, const char* suffix) {
        auto* dialog = Named(new QFileDialog(this), name);
        dialog->setAcceptMode(mode);
        dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                            : QFileDialog::AnyFile);
        dialog->setNameFilters(filters);
        dialog->setDefaultSuffix(suffix);
        return dialog;
    };
    OpenPictureDialog1 = fileDialog("OpenPictureDialog1", QFileDialog::AcceptOpen, {}, "");
    SavePictureDialog1 = fileDialog("SavePictureDialog1", QFileDialog::AcceptSave,
                                    {"Bitmap (*.bmp)", "JPEG (*.jpg)"}, "bmp");
    // A name typed without extension gets the one of the chosen format.
    connect(SavePictureDialog1, &QFileDialog::filterSelected, this, [this](const QString& filter) {
        SavePictureDialog1->setDefaultSuffix(filter.startsWith("JPEG") ? "jpg" : "bmp");
    });
    OpenDialog1 = fileDialog("OpenDialog1", QFileDialog::AcceptOpen, {}, "ini");
    // Their file types are named in the user's language at start-up.
    SaveDialog1 = fileDialog("SaveDialog1", QFileDialog::AcceptSave, {}, "ini");
}

void TFormMain::SetFileFilters()
{
    OpenPictureDialog1->setNameFilters(
        {FileFilter("LFilterAllImages", "*.jpg *.bmp *.png *.tga *.pcx *.pgm *.pbm *.tif"),
         "JPEG (*.jpg)", "Bitmap (*.bmp)", "PNG (*.png)", "Targa (*.tga)", "PCX (*.pcx)",
         "PGM (*.pgm)", "PBM (*.pbm)", "TIFF (*.tif)", FileFilter("LFilterAllFiles", "*")});
    for (QFileDialog* dialog : {OpenDialog1, SaveDialog1})
        dialog->setNameFilters({FileFilter("LFilterOptionFiles", "*.ini")});
}

TKVShapeSize* TFormMain::CreateHueHandle(const char* name, QPoint position)
{
    auto* handle = Named(new TKVShapeSize(PanelColorCircle), name);
    handle->SetShape(TKVShapeSize::TShapeType::stCircle);
    handle->SetShowFrame(true);
    handle->SetSelected(false);
    handle->SetShowHandles(false);
    handle->SetPen(QPen(Qt::black, 1));
    handle->SetBoundControl(ImageColorCircle);
    handle->SetKeepInside(true);
    handle->SetBounds({position, QSize(HueHandleSize, HueHandleSize)});
    return handle;
}

void TFormMain::CreateColourRangeController()
{
    TColourRangeController::TControls controls;
    controls.TrackBars = TrackBars;
    controls.Edits = RangeEdits;
    controls.Markers = sp_LineMarkers;
    controls.Circle = ImageColorCircle;
    // Placed on the circle by the start-up step.
    controls.HueMaxHandle = CreateHueHandle("HueMaxHandle", {20, 20});
    controls.HueMinHandle = CreateHueHandle("HueMinHandle", {20, 100});
    colourRange_ = new TColourRangeController(controls, this);
    connect(colourRange_, &TColourRangeController::RangeChanged, this,
            &TFormMain::ShowChangedRange);
    // The newest range wins: an analysis that runs with an older one stops.
    connect(colourRange_, &TColourRangeController::RangeSettled, analysis_.get(),
            &TAnalysisController::AnalyseLatest);
}

void TFormMain::ShowChangedRange(const TColourRange& range)
{
    windows_.PlasmaForm->SetRange(range);
    MarkOptionsChanged();
}

void TFormMain::MarkOptionsChanged()
{
    const TProgramState state = ProgramControl->State();
    ProgramControl->SetState(StateOptionsChanged);
    ProgramControl->SetState(state);
}

void TFormMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
}

void TFormMain::FormShow()
{
    optionsFiles_->RestoreFormPosition(*this);
    analysis_->ClearResult();
    colourRange_->ShowBarsInEdits();
    ProgramControl->SetState(StateNoImage);
    FormResize();
    Timer1->start();
}

void TFormMain::Timer1Timer()
{
    Timer1->stop();
    LanguageFile = files_.LanguageFile;
    // Read before anything can show a message: a run that nobody watches must not
    // wait for a message box.
    const std::vector<std::string> interfaceMessages = callerStart_->ReadInterfaceFile();
    // Until what the calling program started has ended.
    if (callerStart_->RunsUnattended())
        unattended_ = std::make_unique<TUnattendedReporting>(*windows_.FormLanguage);
    for (const std::string& message : interfaceMessages)
        CurrentReporter().ShowMessage(message);

    // This step runs once per main window, so once per program run. Nothing before it
    // may show a message: it would not be in the user's language.
    TFormLanguage::ApplyStartUpLanguageFile(LanguageFile, windows_.All);
    ArrangeRangeControls();
    SetFileFilters();
    windows_.FormMeasure->SetLanguageFile(LanguageFile);
    optionsFiles_->LoadStored();
    windows_.FormMeasure->SetUnitCaptions(
        ReadConfigBool(optionsFiles_->File(), "FormMeasure", "lCheckBoxUnits", false));
    UpdateMinimumSize();
    setWindowTitle(windowTitle() + " " + QString::fromStdString(ProgramVersionText()));
    if (!callerStart_->Start())
        FinishStartup();
}

void TFormMain::FinishStartup()
{
    unattended_.reset();
    // A robot run may have closed the window: nothing may draw on it or start again.
    if (ProgramControl->State() != StateClosing) {
        colourRange_->PlaceHandlesAtBars();
        windows_.PlasmaForm->SetTargetImage(ImagePlasma);
        windows_.PlasmaForm->StartPalette();
    }
    startupDone_ = true;
    Q_EMIT StartupFinished();
}

bool TFormMain::OpenImage(const std::string& fileName)
{
    return analysis_->Open(fileName);
}

void TFormMain::FormResize()
{
    if (!ProgramControl || ProgramControl->State() == StateClosing)
        return;
    const int width = (PanelTop->width() - ImagePanelGap) / 2;
    const int height = PanelTop->height();
    PanelTopLeft->setGeometry(0, 0, width, height);
    PanelTopRight->setGeometry(PanelTop->width() - width, 0, width, height);
    const auto fit = [](TImageWidget& image, const QWidget& panel) {
        const TBitmap24& picture = std::as_const(image).Picture();
        const TViewPlacement placement = FitToPanel(picture.Width(), picture.Height(),
                                                    panel.width(), panel.height(), ImageMargin);
        image.setGeometry(placement.Left, placement.Top, placement.Width, placement.Height);
    };
    fit(*ImageOriginal, *PanelTopLeft);
    fit(*ImageAnalyse, *PanelTopRight);
    PanelTopLeft->update();
}

TFormMain::TFileInfo TFormMain::GetFileInfo(const std::string& fileName)
{
    std::error_code error;
    const std::filesystem::path file(fileName);
    if (!std::filesystem::is_regular_file(file, error))
        return {};
    const double size = static_cast<double>(std::filesystem::file_size(file, error));
    if (error)
        return {};
    std::string sizeText = FormatFixed(size, 0) + " Byte";
    if (size > 1048576)
        sizeText = FormatFixed(size / 1048576, 1) + " MB";
    else if (size > 1024)
        sizeText = FormatFixed(size / 1024, 1) + " KB";
    const auto modified = static_cast<std::time_t>(
        QFileInfo(QString::fromStdString(fileName)).lastModified().toSecsSinceEpoch());
    return {DateTimeText(modified), sizeText};
}

std::string TFormMain::DateTimeText(std::time_t time)
{
    std::tm local{};
    localtime_r(&time, &local);
    char text[128];
    const size_t length = std::strftime(text, sizeof text, "%x %X", &local);
    return {text, length};
}

void TFormMain::ShowImageFileInfo(const std::string& fileName)
{
    const TFileInfo info = GetFileInfo(fileName);
    const std::string& subject = callerStart_->SubjectText();
    const std::string name = subject.empty() ? FileNamePart(fileName) : subject;
    StatusBarMain->SetPanelText(0, QString::fromStdString(name));
    StatusBarMain->SetPanelText(1, QString::fromStdString(info.DateText));
    StatusBarMain->SetPanelText(2, QString::fromStdString(info.SizeText));
    const TBitmap24& picture = std::as_const(*ImageOriginal).Picture();
    StatusBarMain->SetPanelText(3, QString("%1 x %2").arg(picture.Width()).arg(picture.Height()));
    StatusBarMain->repaint();
}

void TFormMain::ClearImageFileInfo()
{
    for (int panel = 0; panel <= 3; ++panel)
        StatusBarMain->SetPanelText(panel, {});
}

void TFormMain::BringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

bool TFormMain::OpenImageOfLaterStart(const std::string& fileName)
{
    BringToFront();
    const bool free = startupDone_ && !Busy() && ActionOpen->isVisible() &&
                      ActionOpen->isEnabled() && !QApplication::activeModalWidget() &&
                      ProgramControl->State() != StateClosing;
    if (free)
        return OpenImage(fileName);
    // Said once the later start has its answer: a message box here would keep it waiting.
    QTimer::singleShot(0, this, [fileName] {
        CurrentReporter().ShowLanguageMessage("LImageNotOpenedNow", {fileName});
    });
    return false;
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    const TProgramState state = ProgramControl->State();
    if (analysis_->Busy() || state == StateLoading || state == StateAnalysing ||
        !SaveChangedOptionsBeforeClosing()) {
        event->ignore();
        return;
    }
    ProgramControl->SetState(StateClosing);
    FormClose(state == StateAnalysed);
    event->accept();
}

bool TFormMain::SaveChangedOptionsBeforeClosing()
{
    // A run that ends by itself has nobody to ask, and a window closed once has asked.
    return callerStart_->RunsUnattended() || ProgramControl->State() == StateClosing ||
           optionsFiles_->SaveChangesOnRequest();
}

void TFormMain::FormClose(bool analysisFinished)
{
    if (!ActionClose->isEnabled())
        return;
    ActionClose->setEnabled(false);
    callerStart_->WriteCallerResultFile(analysisFinished);
    callerStart_->Forget();
    optionsFiles_->SaveFormPosition(*this);
}

void TFormMain::StopTimers()
{
    Timer1->stop();
    colourRange_->StopWaiting();
    if (windows_.PlasmaForm)
        windows_.PlasmaForm->StopPalette();
}

QAction* TFormMain::ActionByName(const char* name) const
{
    return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void TFormMain::CreateAnalysisController()
{
    TAnalysisController::TViews views;
    views.Source = ImageOriginal;
    views.Analysed = ImageAnalyse;
    views.Channels = {ImageH, ImageS, ImageV};
    views.Fields = {LabeledEditAnaArea,   LabeledEditAreaPixel, LabeledEditCount,
                    LabeledEditMeanSize,  LabeledEditPercent,   LabeledEditAreaCM,
                    LabeledEditAnaAreaCM, LabeledEditMeanSizeCM};
    views.Chart = sp_XYPlot;
    views.Curves = sp_XYLines;
    views.Progress = StatusProgressBar;
    TSettingsHolder& settings = *this;
    analysis_ = std::make_unique<TAnalysisController>(*ProgramControl, views, settings);
    TAnalysisController& analysis = *analysis_;
    connect(&analysis, &TAnalysisController::ImageOpened, this, &TFormMain::ShowOpenedImage);
    // The palette does not compete with an open or an analysis for the processor.
    connect(&analysis, &TAnalysisController::WorkStarted, this, [this] {
        if (windows_.PlasmaForm)
            windows_.PlasmaForm->StopPalette();
    });
    connect(&analysis, &TAnalysisController::AnalysisStarted, this, &TFormMain::AnalysisStarted);
    connect(&analysis, &TAnalysisController::AnalysisFinished, this, [this] {
        colourRange_->UpdateLineMarkers();
        resultActions_->ShowRegionTable();
        Q_EMIT AnalysisFinished();
    });
    connect(&analysis, &TAnalysisController::WorkFinished, this, [this] {
        if (windows_.PlasmaForm && ProgramControl->State() != StateClosing)
            windows_.PlasmaForm->StartPalette();
        Q_EMIT WorkFinished();
    });
}

void TFormMain::ShowOpenedImage(const std::string& fileName)
{
    FormResize();
    ShowImageFileInfo(fileName);
}

} // namespace varnolux
