#include "shell/TQuestions.h"

#include "base/Messages.h"

namespace varnolux {

namespace {

thread_local TQuestions* threadQuestions = nullptr;

} // namespace

bool TUnansweredQuestions::AskAbort(const std::string& text)
{
    CurrentReporter().ShowMessage(text);
    return false;
}

bool TUnansweredQuestions::AskYesNo(const std::string& text)
{
    CurrentReporter().ShowMessage(text);
    return false;
}

TQuestions::TAnswer TUnansweredQuestions::AskYesNoCancel(const std::string& text)
{
    CurrentReporter().ShowMessage(text);
    return TAnswer::No;
}

TQuestions& CurrentQuestions()
{
    static TUnansweredQuestions unanswered;
    return threadQuestions ? *threadQuestions : unanswered;
}

TScopedQuestions::TScopedQuestions(TQuestions& questions)
    : previous_(threadQuestions)
{
    threadQuestions = &questions;
}

TScopedQuestions::~TScopedQuestions()
{
    threadQuestions = previous_;
}

} // namespace varnolux
