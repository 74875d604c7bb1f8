#include "app/BatchVerify.h"

#include "analysis/TResultVerifier.h"
#include "base/Messages.h"
#include "imaging/KernelThreads.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

namespace varnolux {

namespace {

enum TVerifyStatus { AllOk = 0, NotAllOk = 1, Unreadable = 2 };

/// The options as a run applies them; their messages name the file.
TAnalysisSettings LoadOptions(const std::string& optionsFile)
{
    TStderrReporter reporter;
    reporter.SetContext(optionsFile);
    const TScopedReporter reportToStderr(reporter);
    TAnalysisSettings settings;
    ApplyOptions(settings, TOptions::Load(optionsFile));
    return settings;
}

/// Writes a line to standard output; false once a write has failed (a full disk, a
/// reader that went away).
bool WriteLine(const std::string& line)
{
    return std::fputs((line + "\n").c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
}

} // namespace

int RunVerify(const TVerifyCommand& command)
{
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    TVerifySettings settings;
    if (command.optionsFile) {
        settings.Options = LoadOptions(*command.optionsFile);
        settings.OptionsName = *command.optionsFile;
    }
    settings.Reanalyse = command.reanalyse;
    settings.Jobs = command.jobs > 0 ? command.jobs : cores;
    // The cores that the jobs leave free speed up the kernels of each new analysis.
    SetKernelThreadCount(std::max(1, cores / settings.Jobs));

    const auto cannotRead = [&](const TResultFileError& error) {
        std::fprintf(stderr, "varnolux-batch: the result file %s cannot be verified: %s\n",
                     command.resultFile.c_str(), error.what());
        return Unreadable;
    };
    std::optional<TResultVerifier> verifier;
    try {
        verifier.emplace(command.resultFile, std::move(settings));
    } catch (const TResultFileError& error) {
        return cannotRead(error);
    }

    std::atomic<bool> outputFailed = false;
    const auto print = [&](const std::string& line) {
        if (!outputFailed && !WriteLine(line)) {
            outputFailed = true;
            std::fprintf(stderr, "varnolux-batch: cannot write standard output (%s)\n",
                         std::strerror(errno));
        }
    };
    TVerifySummary summary;
    try {
        // Nobody reads on once standard output fails: the verification stops.
        summary = verifier->Run(
            [&](const TLineVerdict& verdict, double) {
                print(command.json ? VerdictJson(verdict) : VerdictText(verdict));
            },
            &outputFailed);
    } catch (const TResultFileError& error) {
        return cannotRead(error);
    }
    print(command.json ? SummaryJson(summary) : SummaryText(summary));
    return summary.AllOk() && !outputFailed ? AllOk : NotAllOk;
}

} // namespace varnolux
