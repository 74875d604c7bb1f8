#include "shell/THelpActions.h"

#include "base/Messages.h"
#include "settings/SettingsAccess.h"
#include "shell/ModalWindows.h"
#include "tools/TAboutBox.h"

#include <filesystem>

#include <QDesktopServices>
#include <QUrl>

namespace varnolux {

namespace {

/// The web page of the settings as an address to open; empty for anything but an http
/// or https address, for a setting must not start whatever program takes a scheme.
QUrl WebPageUrl(const std::string& address)
{
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    const bool web = url.scheme() == "https" || url.scheme() == "http";
    return url.isValid() && web && !url.host().isEmpty() ? url : QUrl();
}

} // namespace

THelpActions::THelpActions(const TProgramFiles& files, QWidget& window, TAboutBox& aboutBox,
                           TPlasmaForm* palette, QObject* parent)
    : QObject(parent)
    , files_(files)
    , window_(window)
    , aboutBox_(aboutBox)
    , palette_(palette)
{
}

void THelpActions::ShowManual()
{
    std::error_code error;
    if (std::filesystem::is_regular_file(files_.ManualFile, error)) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(files_.ManualFile)));
        return;
    }
    const std::string text =
        ReadConfigString(files_.LanguageFile, "FormLanguage", "FormLanguage.NoManual", "");
    if (text.empty())
        CurrentReporter().ShowLanguageMessage("LManualNotInstalled", {files_.ManualFile});
    else
        CurrentReporter().ShowMessage(text);
}

std::string THelpActions::WebPageAddress() const
{
    return QString::fromStdString(
               ReadConfigString(files_.SettingsFile, WebPageSection, WebPageKey, ""))
        .trimmed()
        .toStdString();
}

void THelpActions::ShowWebPage()
{
    const std::string address = WebPageAddress();
    if (address.empty()) {
        ShowManual();
        return;
    }
    const QUrl url = WebPageUrl(address);
    if (url.isEmpty()) {
        CurrentReporter().ShowLanguageMessage("LWebPageInvalid", {address, files_.SettingsFile});
        return;
    }
    QDesktopServices::openUrl(url);
}

void THelpActions::ShowInfo()
{
    aboutBox_.SetWebPage(WebPageUrl(WebPageAddress()));
    const TPalettePause pause(palette_);
    ShowModal(aboutBox_, window_);
}

} // namespace varnolux
