#pragma once

#include <optional>
#include <string>

namespace varnolux {

/// What varnolux-batch --verify is asked to do.
struct TVerifyCommand {
    std::string resultFile;
    std::optional<std::string> optionsFile;
    bool reanalyse = false;
    bool json = false;
    int jobs = 0; // 0: one per core
};

/// Verifies the result file and prints a line per value line, then the summary.
/// The exit status: 0 when every line is ok, 1 when one is not (or standard output
/// fails), 2 when the result file cannot be read.
int RunVerify(const TVerifyCommand& command);

} // namespace varnolux
