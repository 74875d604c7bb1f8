#pragma once

#include "settings/Messages.h"
#include "shell/TFormLanguage.h"

namespace varnolux {

/// A reporter that takes the texts of language messages from the language form,
/// so that the core's messages appear translated, and shows every message through
/// another reporter (the message boxes of the desktop program).
class TLanguageReporter : public TReporter {
public:
    TLanguageReporter(const TFormLanguage& form, TReporter& display);

    void ShowMessage(const std::string& text) override;
    bool AskAbort(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    std::string LanguageMessageText(std::string_view label) override;

private:
    const TFormLanguage& form_;
    TReporter& display_;
};

} // namespace varnolux
