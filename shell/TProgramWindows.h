#pragma once

#include "shell/TProgramFiles.h"

#include <memory>

class QDialog;
class QWidget;

namespace varnolux {

class TAboutBox;
class TFormMain;
class TFormMeasure;
class TFormOptions;
class TFormSHADlg;
class TPlasmaForm;

/// The program-wide windows, created once in this order and kept until the program
/// ends; the first is the main window.
class TProgramWindows {
public:
    explicit TProgramWindows(const TProgramFiles& files = TProgramFiles::Installed());
    ~TProgramWindows();
    TProgramWindows(const TProgramWindows&) = delete;
    TProgramWindows& operator=(const TProgramWindows&) = delete;

    std::unique_ptr<TFormMain> FormMain;
    std::unique_ptr<TAboutBox> AboutBox;
    std::unique_ptr<QDialog> MeasureDlgForm;
    std::unique_ptr<TFormMeasure> FormMeasure;
    std::unique_ptr<TFormOptions> FormOptions;
    std::unique_ptr<TPlasmaForm> PlasmaForm;
    std::unique_ptr<QDialog> FormSelectionByMouse;
    std::unique_ptr<QWidget> FormLanguage;
    std::unique_ptr<TFormSHADlg> FormSHADlg;
};

} // namespace varnolux
