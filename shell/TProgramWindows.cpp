#include "shell/TProgramWindows.h"

#include "shell/TFormMain.h"
#include "shell/TFormOptions.h"
#include "shell/TFormSHADlg.h"
#include "shell/TPlasmaForm.h"
#include "tools/TAboutBox.h"
#include "tools/TFormMeasure.h"

#include <QDialog>

namespace varnolux {

namespace {

/// A window whose contents come with a later version.
template <typename Window>
std::unique_ptr<Window> Placeholder(const char* name, const char* caption)
{
    auto window = std::make_unique<Window>();
    window->setObjectName(name);
    window->setWindowTitle(caption);
    return window;
}

} // namespace

TProgramWindows::TProgramWindows(const TProgramFiles& files)
    : FormMain(std::make_unique<TFormMain>(files))
    , AboutBox(std::make_unique<TAboutBox>())
    , MeasureDlgForm(Placeholder<QDialog>("MeasureDlgForm", "Measure"))
    , FormMeasure(std::make_unique<TFormMeasure>())
    , FormOptions(std::make_unique<TFormOptions>(files.SettingsFile))
    , PlasmaForm(std::make_unique<TPlasmaForm>())
    , FormSelectionByMouse(Placeholder<QDialog>("FormSelectionByMouse", "Color selection"))
    , FormLanguage(Placeholder<QWidget>("FormLanguage", "Sprache"))
    , FormSHADlg(std::make_unique<TFormSHADlg>())
{
    FormMain->ConnectWindows(
        {AboutBox.get(), FormMeasure.get(), FormOptions.get(), PlasmaForm.get(), FormSHADlg.get()});
}

TProgramWindows::~TProgramWindows() = default;

} // namespace varnolux
