#include "shell/TLanguageReporter.h"

namespace varnolux {

TLanguageReporter::TLanguageReporter(const TFormLanguage& form, TReporter& display)
    : form_(form)
    , display_(display)
{
}

void TLanguageReporter::ShowMessage(const std::string& text)
{
    display_.ShowMessage(text);
}

bool TLanguageReporter::AskAbort(const std::string& text)
{
    return display_.AskAbort(text);
}

bool TLanguageReporter::AskYesNo(const std::string& text)
{
    return display_.AskYesNo(text);
}

std::string TLanguageReporter::LanguageMessageText(std::string_view label)
{
    return form_.MessageText(label);
}

} // namespace varnolux
