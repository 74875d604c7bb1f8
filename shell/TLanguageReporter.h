#pragma once

#include "base/Messages.h"
#include "shell/TFormLanguage.h"

#include <string_view>

#include <QString>

namespace varnolux {

/// A reporter that takes the texts of language messages from the language form,
/// so that the core's messages appear translated, and shows every message through
/// another reporter (the message boxes of the desktop program).
/// A file-dialog filter, "Text files (*.txt)": the name is the text of a message label
/// in the current language.
QString FileFilter(std::string_view nameLabel, const QString& patterns);

class TLanguageReporter : public TReporter {
public:
    TLanguageReporter(const TFormLanguage& form, TReporter& display);

    void ShowMessage(const std::string& text) override;
    bool AskAbort(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    TAnswer AskYesNoCancel(const std::string& text) override;
    std::string LanguageMessageText(std::string_view label) override;

private:
    const TFormLanguage& form_;
    TReporter& display_;
};

/// Sends the messages of the calling thread to standard error, in the user's language,
/// while it lives: for a run that nobody attends.
struct TUnattendedReporting {
    explicit TUnattendedReporting(const TFormLanguage& language)
        : translated(language, display)
        , scope(translated)
    {
    }
    TStderrReporter display;
    TLanguageReporter translated;
    TScopedReporter scope;
};

} // namespace varnolux
