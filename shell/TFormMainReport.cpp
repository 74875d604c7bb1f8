// The main window's printed report and the editor of its template.

#include "base/Messages.h"
#include "base/Paths.h"
#include "report/ReportTemplate.h"
#include "report/TReport.h"
#include "shell/TFormLanguage.h"
#include "shell/TFormMain.h"
#include "shell/TFormReportTemplate.h"
#include "shell/TImageWidget.h"
#include "shell/TPlasmaForm.h"

#include <filesystem>

#include <QPrintDialog>
#include <QPrinter>

namespace varnolux {

TReportData TFormMain::ReportData() const
{
    const TAnalysisResult& shown = ShownResult();
    TReportData data;
    // The file the result names, so that the report cannot claim another image.
    data.ImageFile = shown.Items.GetValueText("Path") + shown.Items.GetValueText("Name");
    std::error_code error;
    data.ImageFileBytes = std::filesystem::file_size(data.ImageFile, error);
    data.ImageWidth = ImageOriginal->Picture().Width();
    data.ImageHeight = ImageOriginal->Picture().Height();
    data.Items = shown.Items;
    data.Settings = shown.Settings;
    data.SourcePicture = ReportPicture(ImageOriginal->PictureImage());
    data.AnalysedPicture = ReportPicture(ImageAnalyse->PictureImage());
    data.Texts = ReadReportTexts(LanguageFile);
    return data;
}

QPrinter& TFormMain::ReportPrinter()
{
    if (!printer_)
        printer_ = std::make_shared<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool TFormMain::PrintReport(QPrinter& printer)
{
    const QString html = LoadReportTemplate(ReportTemplateFile(files_.SettingsFile));
    if (PaintReport(html, ReportData(), printer))
        return true;
    const QString target =
        printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    CurrentReporter().ShowLanguageMessage("LPrintError", {target.toStdString()});
    return false;
}

void TFormMain::ActionPrintExecute()
{
    if (Busy() || !ShownResult().Complete)
        return;
    windows_.PlasmaForm->StopPalette();
    QPrinter& printer = ReportPrinter();
    // The name the dialog proposes for a PDF file.
    const std::string name = ShownResult().Items.GetValueText("Name");
    printer.setDocName(
        QString::fromStdString(name.substr(0, name.size() - ExtensionPart(name).size())));
    // Made for each print: the dialog takes the printer's settings when it is made.
    QPrintDialog PrintDialog1(&printer, this);
    PrintDialog1.setObjectName("PrintDialog1");
    if (PrintDialog1.exec() == QDialog::Accepted)
        PrintReport(printer);
    windows_.PlasmaForm->StartPalette();
}

void TFormMain::ActionEditRoportExecute()
{
    windows_.PlasmaForm->StopPalette();
    TFormReportTemplate editor(this);
    // The language file the program's windows were translated with.
    if (const auto language = TFormLanguage::OpenLanguageFile(LanguageFile))
        TFormLanguage::TranslateForm(editor, *language);
    editor.Open(ReportTemplateFile(files_.SettingsFile));
    ShowModal(editor);
    windows_.PlasmaForm->StartPalette();
}

} // namespace varnolux
