#pragma once

#include "shell/TQuestions.h"

#include <string>
#include <vector>

namespace varnolux::test {

/// Collects the questions meant for the user and gives the answers the test chose;
/// installed for the calling thread while it lives.
class RecordingQuestions : public TQuestions {
public:
    RecordingQuestions()
        : scope_(*this)
    {
    }

    bool AskAbort(const std::string& text) override
    {
        asked.push_back(text);
        return abortAnswer;
    }
    bool AskYesNo(const std::string& text) override
    {
        asked.push_back(text);
        return yesNoAnswer;
    }
    TAnswer AskYesNoCancel(const std::string& text) override
    {
        asked.push_back(text);
        return yesNoCancelAnswer;
    }

    std::vector<std::string> asked;
    bool abortAnswer = false;
    bool yesNoAnswer = false;
    TAnswer yesNoCancelAnswer = TAnswer::No;

private:
    TScopedQuestions scope_;
};

} // namespace varnolux::test
