#pragma once

// Runs varnolux-batch as a child process, optionally under limits or as another user.

#include "input/ConsoleProgram.h"
#include "support/SplitText.h"

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace varnolux::test {

enum class TBatchUser {
    Same,
    /// nobody when the tests run as root (permission bits do not stop root).
    Unprivileged,
};

/// Runs the program with the arguments; environment holds NAME=value settings on
/// top of LC_ALL=C.UTF-8 and the inherited ones, limits prlimit options such as
/// "--fsize=1000" or "--as=200000000".
inline TConsoleResult RunBatch(const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment = {},
                               const std::vector<std::string>& limits = {},
                               TBatchUser user = TBatchUser::Same,
                               const std::string& program = VARNOLUX_BATCH)
{
    std::vector<std::string> command = {"/usr/bin/env", "LC_ALL=C.UTF-8"};
    command.insert(command.end(), environment.begin(), environment.end());
    if (user == TBatchUser::Unprivileged && ::geteuid() == 0)
        command.insert(command.end(), {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                                       "--clear-groups", "--"});
    if (!limits.empty()) {
        command.push_back("/usr/bin/prlimit");
        command.insert(command.end(), limits.begin(), limits.end());
        command.push_back("--");
    }
    command.push_back(program);
    command.insert(command.end(), arguments.begin(), arguments.end());
    return RunConsoleProgram(command, std::chrono::minutes(5));
}

/// The value of an item in a result line, by the header line's names.
inline std::string Field(const std::string& output, int line, const std::string& name)
{
    const auto lines = SplitText(output, '\n');
    const auto names = SplitText(lines.at(0), '\t');
    const auto values = SplitText(lines.at(size_t(line)), '\t');
    for (size_t i = 0; i < names.size() && i < values.size(); ++i)
        if (names[i] == name)
            return values[i];
    return "(no " + name + ")";
}

/// What runs that have ended left in a TEMP folder: everything but the user's own
/// (empty) folder the program keeps its temporary files in.
inline std::vector<std::string> LeftInTempFolder(const std::filesystem::path& temp)
{
    const std::filesystem::path userFolder = temp / ("varnolux-" + std::to_string(::geteuid()));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(temp))
        if (entry.path() != userFolder)
            left.push_back(entry.path().string());
    return left;
}

} // namespace varnolux::test
