#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace varnolux {

/// What a console program did.
struct TConsoleResult {
    /// False when the program could not be started; StartError then says why.
    bool Started = false;
    std::string StartError;
    /// True when the program was still running at the time limit and was killed.
    bool TimedOut = false;
    /// The exit status; -1 when the program did not exit normally.
    int ExitCode = -1;
    std::string Output;
    std::string ErrorOutput;
};

/// How long a conversion tool may run.
inline constexpr std::chrono::milliseconds ConsoleProgramTimeLimit{90000};

/// Runs arguments[0] with the further arguments as they are, without a shell, its
/// standard input empty, and collects its standard output and standard error (each
/// up to MaxConsoleOutput bytes; the rest is read and dropped, so the program never
/// blocks). A program still running at the time limit is killed.
TConsoleResult RunConsoleProgram(const std::vector<std::string>& arguments,
                                 std::chrono::milliseconds timeLimit = ConsoleProgramTimeLimit);

inline constexpr std::size_t MaxConsoleOutput = 16 << 20;

} // namespace varnolux
