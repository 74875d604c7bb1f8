#include "shell/TLanguageReporter.h"

#include "shell/TStatusBar.h"

namespace varnolux {

QString FileFilter(std::string_view nameLabel, const QString& patterns)
{
    return QString::fromStdString(CurrentReporter().LanguageMessageText(nameLabel)) + " (" +
           patterns + ")";
}

void ConfirmSaved(TStatusBar& statusBar, std::string_view label,
                  const std::vector<std::string>& args)
{
    statusBar.ShowMessage(
        QString::fromStdString(FormatMessage(CurrentReporter().LanguageMessageText(label), args)));
}

TLanguageReporter::TLanguageReporter(const TFormLanguage& form, TReporter& display)
    : form_(form)
    , display_(display)
{
}

void TLanguageReporter::ShowMessage(const std::string& text)
{
    display_.ShowMessage(text);
}

std::string TLanguageReporter::LanguageMessageText(std::string_view label)
{
    return form_.MessageText(label);
}

} // namespace varnolux
