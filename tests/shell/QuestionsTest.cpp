#include "base/Messages.h"
#include "shell/TQuestions.h"
#include "support/RecordingQuestions.h"
#include "support/RecordingReporter.h"

#include <gtest/gtest.h>
#include <thread>

namespace varnolux {
namespace {

using TAnswer = TQuestions::TAnswer;

TEST(Questions, NobodyThereTellsTheQuestionAndAnswersWithoutWaiting)
{
    test::RecordingReporter reporter;
    TQuestions& questions = CurrentQuestions();
    EXPECT_FALSE(questions.AskAbort("abort?"));
    EXPECT_FALSE(questions.AskYesNo("yes?"));
    EXPECT_EQ(questions.AskYesNoCancel("save?"), TAnswer::No);
    EXPECT_EQ(reporter.messages, (std::vector<std::string>{"abort?", "yes?", "save?"}));
}

TEST(Questions, ScopedQuestionsNestPerThread)
{
    TQuestions& unanswered = CurrentQuestions();
    test::RecordingQuestions outer;
    outer.yesNoCancelAnswer = TAnswer::Cancel;
    {
        test::RecordingQuestions inner;
        inner.yesNoAnswer = true;
        EXPECT_TRUE(CurrentQuestions().AskYesNo("inner?"));
        // Another thread has nobody to ask: the question goes to its standard error.
        std::thread([] { EXPECT_FALSE(CurrentQuestions().AskYesNo("worker?")); }).join();
        EXPECT_EQ(inner.asked, std::vector<std::string>{"inner?"});
    }
    EXPECT_EQ(CurrentQuestions().AskYesNoCancel("outer?"), TAnswer::Cancel);
    EXPECT_EQ(outer.asked, std::vector<std::string>{"outer?"});
    EXPECT_NE(&CurrentQuestions(), &unanswered);
}

} // namespace
} // namespace varnolux
