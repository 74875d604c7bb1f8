#include "shell/TProgramWindows.h"

#include "base/Messages.h"
#include "shell/LanguageTemplate.h"
#include "shell/TFormLanguage.h"
#include "shell/TFormMain.h"
#include "shell/TFormOptions.h"
#include "shell/TFormReportTemplate.h"
#include "shell/TFormSHADlg.h"
#include "shell/TFormVerify.h"
#include "shell/TLanguageReporter.h"
#include "shell/TPlasmaForm.h"
#include "tools/Regionselectioncore.h"
#include "tools/TAboutBox.h"
#include "tools/TFormFullImage.h"
#include "tools/TFormMeasure.h"
#include "tools/TFormSelectionByMouse.h"
#include "tools/TMeasureDlgForm.h"

namespace varnolux {

TProgramWindows::TProgramWindows(const TProgramFiles& files, std::vector<std::string> parameters)
    : FormMain(std::make_unique<TFormMain>(files, std::move(parameters)))
    , AboutBox(std::make_unique<TAboutBox>())
    , MeasureDlgForm(std::make_unique<TMeasureDlgForm>())
    , FormMeasure(std::make_unique<TFormMeasure>())
    , FormOptions(std::make_unique<TFormOptions>(files.SettingsFile))
    , PlasmaForm(std::make_unique<TPlasmaForm>())
    , FormSelectionByMouse(std::make_unique<TFormSelectionByMouse>())
    , FormLanguage(std::make_unique<TFormLanguage>())
    , FormSHADlg(std::make_unique<TFormSHADlg>())
    , FormVerify(std::make_unique<TFormVerify>())
    , languageReporter_(std::make_unique<TLanguageReporter>(*FormLanguage, CurrentReporter()))
    , reportTranslated_(std::make_unique<TScopedReporter>(*languageReporter_))
{
    FormMeasure->SetLengthDialog(*MeasureDlgForm);
    TFormMain::TWindows windows;
    windows.AboutBox = AboutBox.get();
    windows.FormMeasure = FormMeasure.get();
    windows.FormOptions = FormOptions.get();
    windows.FormSelectionByMouse = FormSelectionByMouse.get();
    windows.PlasmaForm = PlasmaForm.get();
    windows.FormLanguage = FormLanguage.get();
    windows.FormSHADlg = FormSHADlg.get();
    windows.FormVerify = FormVerify.get();
    windows.All = InCreationOrder();
    FormMain->ConnectWindows(windows);
}

TProgramWindows::~TProgramWindows() = default;

std::vector<QWidget*> TProgramWindows::InCreationOrder() const
{
    return {FormMain.get(),    AboutBox.get(),   MeasureDlgForm.get(),       FormMeasure.get(),
            FormOptions.get(), PlasmaForm.get(), FormSelectionByMouse.get(), FormLanguage.get(),
            FormSHADlg.get(),  FormVerify.get()};
}

std::string TProgramWindows::LanguageKeys() const
{
    std::vector<QWidget*> windows = InCreationOrder();
    TFormFullImage fullImage;
    TFormRegionSelection regionSelection;
    windows.push_back(&fullImage);
    windows.push_back(&regionSelection);
    TFormReportTemplate reportTemplate;
    windows.push_back(&reportTemplate);
    return LanguageTemplate(windows);
}

} // namespace varnolux
