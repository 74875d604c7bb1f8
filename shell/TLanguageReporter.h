#pragma once

#include "base/Messages.h"
#include "shell/TFormLanguage.h"
#include "shell/TQuestions.h"

#include <string_view>
#include <vector>

#include <QString>

namespace varnolux {

/// A file-dialog filter, "Text files (*.txt)": the name is the text of a message label
/// in the current language.
QString FileFilter(std::string_view nameLabel, const QString& patterns);

class TStatusBar;

/// A short confirmation of what was written where, in the status bar: the text of a
/// message label in the current language with its arguments.
void ConfirmSaved(TStatusBar& statusBar, std::string_view label,
                  const std::vector<std::string>& args);

/// A reporter that takes the texts of language messages from the language form,
/// so that the core's messages appear translated, and shows every message through
/// another reporter (the message boxes of the desktop program).
class TLanguageReporter : public TReporter {
public:
    TLanguageReporter(const TFormLanguage& form, TReporter& display);

    void ShowMessage(const std::string& text) override;
    std::string LanguageMessageText(std::string_view label) override;

private:
    const TFormLanguage& form_;
    TReporter& display_;
};

/// Sends the messages of the calling thread to standard error, in the user's language,
/// and answers its questions without asking, while it lives: for a run that nobody
/// attends.
struct TUnattendedReporting {
    explicit TUnattendedReporting(const TFormLanguage& language)
        : translated(language, display)
        , scope(translated)
        , questionsScope(unanswered)
    {
    }
    TStderrReporter display;
    TLanguageReporter translated;
    TScopedReporter scope;
    TUnansweredQuestions unanswered;
    TScopedQuestions questionsScope;
};

} // namespace varnolux
