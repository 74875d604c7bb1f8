#pragma once

#include "base/Messages.h"
#include "shell/TQuestions.h"

namespace varnolux {

/// Shows the messages meant for the user in message boxes over the active window, and
/// asks its questions there.
class TMessageBoxReporter : public TReporter, public TQuestions {
public:
    void ShowMessage(const std::string& text) override;
    bool AskAbort(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    TAnswer AskYesNoCancel(const std::string& text) override;
};

} // namespace varnolux
