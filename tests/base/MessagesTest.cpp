#include "base/Messages.h"

#include <gtest/gtest.h>

namespace varnolux {
namespace {

TEST(FormatMessage, ReplacesEachPlaceholderByTheNextArgument)
{
    const struct {
        const char* format;
        std::vector<std::string> args;
        const char* expected;
    } cases[] = {
        {"", {}, ""},
        {"", {"unused"}, ""},
        {"Invalid number", {}, "Invalid number"},
        {"Invalid number", {"unused"}, "Invalid number"},
        {"File %s not found.", {"a.ini"}, "File a.ini not found."},
        {"%s", {"x"}, "x"},
        {"%s and %s", {"one", "two"}, "one and two"},
        {"%s%s", {"a", "b", "c"}, "ab"},
        {"%s and %s", {"only"}, "only and "},
        {"File %s not found.", {}, "File  not found."},
        {"100%", {}, "100%"},
        {"%d %i %f %", {"x"}, "%d %i %f %"},
        {"50% of %s", {"cells"}, "50% of cells"},
        {"%%s", {"x"}, "%x"},
        {"%S is not %s", {"x"}, "%S is not x"},
        {"%s", {"%s"}, "%s"},
        {"%s", {""}, ""},
        {"Fehler: \"%s\" existiert nicht", {"/Größe/"}, "Fehler: \"/Größe/\" existiert nicht"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatMessage(c.format, c.args), c.expected) << c.format;
}

TEST(FormatMessage, LongTextsAreNotCut)
{
    const std::string head(5000, 'h');
    const std::string argument(10000, 'a');
    const std::string tail(5000, 't');
    EXPECT_EQ(FormatMessage(head + "%s" + tail + "%s", {argument, argument}),
              head + argument + tail + argument);
}

TEST(Messages, DefaultTextsByLabel)
{
    EXPECT_EQ(DefaultMessageText("FileNotFound"), "File %s not found.");
    EXPECT_EQ(DefaultMessageText("MessageInvalidNumber"), "Invalid number");
    EXPECT_EQ(DefaultMessageText("NoSuchLabel"), "NoSuchLabel");
    EXPECT_EQ(DefaultMessageText(""), "");
}

class TRecordingReporter : public TReporter {
public:
    void ShowMessage(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

TEST(Messages, ScopedReportersNestPerThread)
{
    TReporter& processReporter = CurrentReporter();
    TRecordingReporter outer;
    {
        const TScopedReporter outerScope(outer);
        EXPECT_EQ(&CurrentReporter(), &outer);
        TRecordingReporter inner;
        {
            const TScopedReporter innerScope(inner);
            EXPECT_EQ(&CurrentReporter(), &inner);
            CurrentReporter().ShowLanguageMessage("FileNotFound", {"VXDefault.ini"});
        }
        EXPECT_EQ(&CurrentReporter(), &outer);
        EXPECT_EQ(inner.shown, std::vector<std::string>{"File VXDefault.ini not found."});
        CurrentReporter().ShowMessage("outer");
    }
    EXPECT_EQ(&CurrentReporter(), &processReporter);
    EXPECT_EQ(outer.shown, std::vector<std::string>{"outer"});
}

TEST(Messages, StderrReporterWritesOneLinePerMessage)
{
    TStderrReporter reporter;
    testing::internal::CaptureStderr();
    reporter.ShowMessage("first\r\nsecond\n\nthird\n");
    reporter.SetContext("cells.tif");
    reporter.ShowMessage("Invalid number");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "first second third\ncells.tif: Invalid number\n");
}

} // namespace
} // namespace varnolux
