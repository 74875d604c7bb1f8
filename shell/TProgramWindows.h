#pragma once

#include "shell/TProgramFiles.h"

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace varnolux {

class TAboutBox;
class TFormLanguage;
class TFormMain;
class TFormMeasure;
class TFormSelectionByMouse;
class TFormOptions;
class TFormSHADlg;
class TFormVerify;
class TLanguageReporter;
class TMeasureDlgForm;
class TPlasmaForm;
class TScopedReporter;

/// The program-wide windows, created once in this order and kept until the program
/// ends; the first is the main window. While they live, the messages meant for the
/// user take their texts from the language form and go to the reporter that was
/// current when the windows were made.
class TProgramWindows {
public:
    /// parameters are the command-line parameters after the program name (an
    /// interface file and more camera record files).
    explicit TProgramWindows(const TProgramFiles& files = TProgramFiles::Installed(),
                             std::vector<std::string> parameters = {});
    ~TProgramWindows();
    TProgramWindows(const TProgramWindows&) = delete;
    TProgramWindows& operator=(const TProgramWindows&) = delete;

    /// The windows in creation order.
    std::vector<QWidget*> InCreationOrder() const;

    /// Every key a language file can set, with the texts as laid out: these windows
    /// and those made per use (the full-size viewer, the print template editor).
    std::string LanguageKeys() const;

    std::unique_ptr<TFormMain> FormMain;
    std::unique_ptr<TAboutBox> AboutBox;
    std::unique_ptr<TMeasureDlgForm> MeasureDlgForm;
    std::unique_ptr<TFormMeasure> FormMeasure;
    std::unique_ptr<TFormOptions> FormOptions;
    std::unique_ptr<TPlasmaForm> PlasmaForm;
    std::unique_ptr<TFormSelectionByMouse> FormSelectionByMouse;
    std::unique_ptr<TFormLanguage> FormLanguage;
    std::unique_ptr<TFormSHADlg> FormSHADlg;
    std::unique_ptr<TFormVerify> FormVerify;

private:
    // Declared after the windows: the language form outlives its reporter.
    std::unique_ptr<TLanguageReporter> languageReporter_;
    std::unique_ptr<TScopedReporter> reportTranslated_;
};

} // namespace varnolux
