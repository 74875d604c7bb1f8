#include "shell/TResultActions.h"

#include "base/Files.h"
#include "base/Messages.h"
#include "base/Paths.h"
#include "imaging/BmpFile.h"
#include "imaging/JpegFile.h"
#include "report/ReportTemplate.h"
#include "report/TReport.h"
#include "shell/ModalWindows.h"
#include "shell/TAnalysisController.h"
#include "shell/TFormLanguage.h"
#include "shell/TFormReportTemplate.h"
#include "shell/TFormSHADlg.h"
#include "shell/TFormVerify.h"
#include "shell/TImageWidget.h"
#include "shell/TLanguageReporter.h"
#include "shell/TOptionsFiles.h"
#include "shell/TProgramControl.h"
#include "shell/TQuestions.h"
#include "shell/TRegionsPage.h"

#include <filesystem>
#include <utility>

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>

namespace varnolux {

TResultActions::TResultActions(TAnalysisController& analysis, const TProgramControl& programControl,
                               const TOptionsHolder& options, const TOptionsFiles& optionsFiles,
                               const TProgramFiles& files, const TParts& parts,
                               const TWindows& windows, QObject* parent)
    : QObject(parent)
    , analysis_(analysis)
    , programControl_(programControl)
    , options_(options)
    , optionsFiles_(optionsFiles)
    , files_(files)
    , parts_(parts)
    , windows_(windows)
{
}

TResultActions::~TResultActions() = default;

void TResultActions::SaveImage()
{
    if (analysis_.Busy())
        return;
    const TPalettePause pause(windows_.PlasmaForm);
    QFileDialog& dialog = *parts_.SavePictureDialog;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const std::string fileName = dialog.selectedFiles().constFirst().toStdString();
    // The chosen filter decides the format, whatever the name ends in.
    const bool jpeg = dialog.selectedNameFilter() == JpegFilter;
    if (SaveAnalysedImage(fileName, jpeg))
        ConfirmSaved(*parts_.StatusBar, "LImageSaved", {fileName, jpeg ? "JPEG" : "BMP"});
}

bool TResultActions::SaveAnalysedImage(const std::string& fileName, bool jpeg)
{
    try {
        if (jpeg)
            WriteJpegFile(parts_.Analysed->Picture(), fileName);
        else
            WriteBmpFile(parts_.Analysed->Picture(), fileName);
        return true;
    } catch (const std::exception& error) {
        CurrentReporter().ShowLanguageMessage("LSaveImageError", {fileName, error.what()});
        return false;
    }
}

void TResultActions::SaveResult()
{
    if (analysis_.Busy())
        return;
    const TPalettePause pause(windows_.PlasmaForm);
    const std::string fileName = options_.CurrentOptions().EditResultFile;
    const std::string folder = FolderPart(fileName);
    if (fileName.empty() || folder.empty()) {
        CurrentReporter().ShowLanguageMessage("LabelDefineResultFile", {});
    } else if (FolderExists(folder)) {
        SaveResultTo(fileName);
    } else if (CurrentQuestions().AskYesNo(FormatMessage(
                   CurrentReporter().LanguageMessageText("LabelDefineResultFilePath"), {folder}))) {
        if (const std::string problem = CreateFoldersIfMissing(folder); !problem.empty())
            CurrentReporter().ShowLanguageMessage("LResultFolderNotCreated", {folder, problem});
        else
            SaveResultTo(fileName);
    }
}

void TResultActions::SaveResultTo(const std::string& fileName)
{
    std::string why;
    if (analysis_.ShownResult().Items.SaveToFile(fileName, &why))
        ConfirmSaved(*parts_.StatusBar, "LResultSaved", {fileName});
    else
        CurrentReporter().ShowMessage(
            FormatMessage(CurrentReporter().LanguageMessageText("LSaveResult"), {fileName}) + "\n" +
            why);
}

bool TResultActions::RegionFileNamed() const
{
    return !options_.CurrentOptions().EditRegionFile.empty();
}

bool TResultActions::RegionTableWanted() const
{
    return parts_.Pages->currentWidget() == parts_.RegionsPage || RegionFileNamed();
}

bool TResultActions::RegionTableShown() const
{
    const TResultItem* count = analysis_.ShownResult().Items.Find("Count");
    return count && parts_.RegionsPage->Regions().RowCount() == count->IntValue;
}

void TResultActions::ShowRegionTable()
{
    const TAnalysisResult& shown = analysis_.ShownResult();
    if (!shown.Complete) {
        parts_.RegionsPage->Clear();
        saveRegionsWhenMeasured_ = false;
        return;
    }
    parts_.RegionsPage->ShowRegions(analysis_.TakeRegionTable(), shown.RegionSelection);
    if (std::exchange(saveRegionsWhenMeasured_, false) && RegionTableShown())
        SaveRegionTable();
}

void TResultActions::MeasureRegionsWhenShown()
{
    if (parts_.Pages->currentWidget() == parts_.RegionsPage &&
        programControl_.State() == StateAnalysed && !RegionTableShown())
        analysis_.Analyse();
}

void TResultActions::SaveRegions()
{
    if (analysis_.Busy() || !RegionFileNamed())
        return;
    if (RegionTableShown())
        SaveRegionTable();
    else
        // The result shown was analysed without the table: it is saved once measured.
        saveRegionsWhenMeasured_ = analysis_.Analyse();
}

void TResultActions::SaveRegionTable()
{
    const std::string fileName = options_.CurrentOptions().EditRegionFile;
    const TRegionTable& table = parts_.RegionsPage->Regions();
    std::string why;
    if (table.AppendToFile(fileName, false, &why))
        ConfirmSaved(*parts_.StatusBar, "LRegionsSaved",
                     {std::to_string(table.RowCount()), fileName});
    else
        CurrentReporter().ShowMessage(
            FormatMessage(CurrentReporter().LanguageMessageText("LSaveRegions"), {fileName}) +
            "\n" + why);
}

void TResultActions::VerifyResultFile()
{
    TFormVerify& window = *windows_.FormVerify;
    const TOptions options = options_.CurrentOptions();
    window.Verify(options.EditResultFile, options, optionsFiles_.ShownName());
    window.show();
    window.raise();
    window.activateWindow();
}

void TResultActions::ShowFingerprints()
{
    const TResult& items = analysis_.ShownResult().Items;
    windows_.FormSHADlg->SetFingerprints(items.GetValueText("SHAImageFile"),
                                         items.GetValueText("SHAOptions"),
                                         items.GetValueText("SHAResult"));
    const TPalettePause pause(windows_.PlasmaForm);
    ShowModal(*windows_.FormSHADlg, *parts_.Window);
}

TReportData TResultActions::ReportData() const
{
    const TAnalysisResult& shown = analysis_.ShownResult();
    TReportData data;
    // The file the result names, so that the report cannot claim another image.
    data.ImageFile = shown.Items.GetValueText("Path") + shown.Items.GetValueText("Name");
    std::error_code error;
    data.ImageFileBytes = std::filesystem::file_size(data.ImageFile, error);
    data.ImageWidth = parts_.Source->Picture().Width();
    data.ImageHeight = parts_.Source->Picture().Height();
    data.Items = shown.Items;
    data.Settings = shown.Settings;
    data.SourcePicture = ReportPicture(parts_.Source->PictureImage());
    data.AnalysedPicture = ReportPicture(parts_.Analysed->PictureImage());
    data.Texts = ReadReportTexts(files_.LanguageFile);
    return data;
}

QPrinter& TResultActions::ReportPrinter()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool TResultActions::PrintReport(QPrinter& printer)
{
    const QString html = LoadReportTemplate(ReportTemplateFile(files_.SettingsFile));
    if (PaintReport(html, ReportData(), printer))
        return true;
    const QString target =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    CurrentReporter().ShowLanguageMessage("LPrintError", {target.toStdString()});
    return false;
}

void TResultActions::Print()
{
    if (analysis_.Busy() || !analysis_.ShownResult().Complete)
        return;
    const TPalettePause pause(windows_.PlasmaForm);
    QPrinter& printer = ReportPrinter();
    // The name the dialog proposes for a PDF file.
    const std::string name = analysis_.ShownResult().Items.GetValueText("Name");
    printer.setDocName(
        QString::fromStdString(name.substr(0, name.size() - ExtensionPart(name).size())));
    // Made for each print: the dialog takes the printer's settings when it is made.
    QPrintDialog PrintDialog1(&printer, parts_.Window);
    PrintDialog1.setObjectName("PrintDialog1");
    if (PrintDialog1.exec() == QDialog::Accepted)
        PrintReport(printer);
}

void TResultActions::EditReportTemplate()
{
    const TPalettePause pause(windows_.PlasmaForm);
    TFormReportTemplate editor(parts_.Window);
    // The language file the program's windows were translated with.
    if (const auto language = TFormLanguage::OpenLanguageFile(files_.LanguageFile))
        TFormLanguage::TranslateForm(editor, *language);
    editor.Open(ReportTemplateFile(files_.SettingsFile));
    ShowModal(editor, *parts_.Window);
}

} // namespace varnolux
