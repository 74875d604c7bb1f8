#include "input/ConsoleProgram.h"

#include "support/TempFolder.h"

#include <csignal>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace varnolux {
namespace {

using namespace std::chrono_literals;

TConsoleResult Shell(const std::string& script, std::chrono::milliseconds limit = 60s)
{
    return RunConsoleProgram({"/bin/sh", "-c", script}, limit);
}

TEST(ConsoleProgram, KeepsOutputErrorsAndExitCodeApart)
{
    const TConsoleResult run = Shell("printf 'out\\nput'; printf 'error' >&2; exit 3");
    EXPECT_TRUE(run.Started);
    EXPECT_FALSE(run.TimedOut);
    EXPECT_EQ(run.ExitCode, 3);
    EXPECT_EQ(run.Output, "out\nput");
    EXPECT_EQ(run.ErrorOutput, "error");

    const TConsoleResult quiet = Shell("exit 0");
    EXPECT_EQ(quiet.ExitCode, 0);
    EXPECT_EQ(quiet.Output, "");
    EXPECT_EQ(quiet.ErrorOutput, "");
}

TEST(ConsoleProgram, HandsArgumentsOverAsTheyAreWithoutAShell)
{
    const std::vector<std::string> arguments = {
        "with space", "quote\"d", "it's", "semi;colon", "$(touch /tmp/x)", "`id`", "*", "", "a\tb"};
    std::vector<std::string> command = {"/usr/bin/printf", "[%s]"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const TConsoleResult run = RunConsoleProgram(command);
    std::string expected;
    for (const auto& argument : arguments)
        expected += "[" + argument + "]";
    EXPECT_EQ(run.Output, expected);
    EXPECT_EQ(run.ExitCode, 0);
}

TEST(ConsoleProgram, ReadsLongOutputWholeWhileTheProgramRuns)
{
    // Far more than a pipe holds: the program would block if nobody read.
    const TConsoleResult run = Shell("head -c 3000000 /dev/zero | tr '\\0' x; "
                                     "head -c 200000 /dev/zero | tr '\\0' e >&2");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, std::string(3000000, 'x'));
    EXPECT_EQ(run.ErrorOutput, std::string(200000, 'e'));
}

TEST(ConsoleProgram, KeepsAtMostTheLimitAndStillLetsTheProgramFinish)
{
    const TConsoleResult run =
        Shell("head -c " + std::to_string(MaxConsoleOutput + 100000) + " /dev/zero; echo done >&2");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output.size(), MaxConsoleOutput);
    EXPECT_EQ(run.ErrorOutput, "done\n");
}

TEST(ConsoleProgram, StandardInputIsEmpty)
{
    const TConsoleResult run = RunConsoleProgram({"/bin/cat"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Output, "");
}

TEST(ConsoleProgram, ProgramsThatCannotStartSaySo)
{
    const test::TempFolder folder;
    const std::string notExecutable = folder.File("script");
    test::WriteFile(notExecutable, "#!/bin/sh\necho hello\n");
    for (const std::string& program :
         {folder.File("missing"), notExecutable, folder.Path().string()}) {
        const TConsoleResult run = RunConsoleProgram({program});
        EXPECT_FALSE(run.Started) << program;
        EXPECT_FALSE(run.StartError.empty()) << program;
        EXPECT_EQ(run.ExitCode, -1);
    }
    EXPECT_FALSE(RunConsoleProgram({}).Started);
}

TEST(ConsoleProgram, AProgramKilledBySignalHasNoExitCode)
{
    const TConsoleResult run = Shell("kill -9 $$");
    EXPECT_TRUE(run.Started);
    EXPECT_FALSE(run.TimedOut);
    EXPECT_EQ(run.ExitCode, -1);
}

TEST(ConsoleProgram, StopsAProgramAtTheTimeLimit)
{
    const TConsoleResult talking = Shell("echo started; exec sleep 60", 200ms);
    EXPECT_TRUE(talking.TimedOut);
    EXPECT_EQ(talking.ExitCode, -1);
    EXPECT_EQ(talking.Output, "started\n");

    // Closing its streams does not let a program run on past the limit.
    const TConsoleResult silent = Shell("exec >&- 2>&-; exec sleep 60", 200ms);
    EXPECT_TRUE(silent.TimedOut);
}

/// Whether a process has ended (gone, or a zombie nobody has reaped yet), waiting up to
/// two seconds for the kill to take effect.
bool HasEnded(pid_t pid)
{
    for (int i = 0; i < 200; ++i) {
        const std::string stat = test::ReadFile("/proc/" + std::to_string(pid) + "/stat");
        const auto state = stat.rfind(')');
        if (stat.empty() || (state != std::string::npos && stat.substr(state + 2, 1) == "Z"))
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

TEST(ConsoleProgram, WhatAToolStartedEndsWithIt)
{
    // A tool that times out while a program it started still holds its output.
    const TConsoleResult stopped = Shell("sleep 60 & echo $!; wait", 300ms);
    EXPECT_TRUE(stopped.TimedOut);
    ASSERT_FALSE(stopped.Output.empty());
    EXPECT_TRUE(HasEnded(pid_t(std::stoi(stopped.Output))));

    // A tool that ends and leaves a program behind.
    const TConsoleResult ended = Shell("sleep 60 >/dev/null 2>&1 & echo $!");
    EXPECT_FALSE(ended.TimedOut);
    EXPECT_EQ(ended.ExitCode, 0);
    ASSERT_FALSE(ended.Output.empty());
    EXPECT_TRUE(HasEnded(pid_t(std::stoi(ended.Output))));
}

TEST(ConsoleProgram, ToolsDoNotInheritIgnoredSignals)
{
    // SIGXFSZ ignored here must not let a tool write past a file-size limit unnoticed.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    const TConsoleResult run = RunConsoleProgram({"/bin/grep", "^SigIgn", "/proc/self/status"});
    std::signal(SIGXFSZ, previous);
    ASSERT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    const unsigned long long ignored =
        std::stoull(run.Output.substr(run.Output.find(':') + 1), nullptr, 16);
    EXPECT_EQ(ignored & (1ull << (SIGXFSZ - 1)), 0u) << run.Output;
    EXPECT_EQ(ignored & (1ull << (SIGPIPE - 1)), 0u) << run.Output;
}

} // namespace
} // namespace varnolux
