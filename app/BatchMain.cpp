// varnolux-batch: analyses images without a display and prints one result line each.

#include "analysis/TAnalysis.h"
#include "settings/Messages.h"
#include "settings/ProgramInfo.h"
#include "settings/TOptions.h"

#include <clocale>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace varnolux {
namespace {

enum TExitStatus { ExitAllAnalysed = 0, ExitSomeFailed = 1, ExitUsage = 2 };

constexpr const char* UsageText =
    "usage: varnolux-batch [--options FILE] [--result FILE] IMAGE...\n"
    "\n"
    "Analyses each IMAGE and prints a tab-separated header line, then one result line\n"
    "per analysed image.\n"
    "  --options FILE  analysis options (an options file); without it the range is\n"
    "                  0..255 in every channel, no area limits, minimum size 10.0\n"
    "  --result FILE   also append each result line to FILE (a result file)\n";

struct TBatchArguments {
    std::optional<std::string> optionsFile;
    std::optional<std::string> resultFile;
    std::vector<std::string> images;
};

struct TUsageError {
    std::string message;
};

std::variant<TBatchArguments, TUsageError, bool> ParseArguments(int argc, char** argv)
{
    TBatchArguments arguments;
    bool onlyImages = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (onlyImages) {
            arguments.images.push_back(argument);
        } else if (argument == "--help" || argument == "-h") {
            return true;
        } else if (argument == "--") {
            onlyImages = true;
        } else if (argument == "--options" || argument == "--result") {
            if (i + 1 >= argc)
                return TUsageError{argument + " needs a file name"};
            (argument == "--options" ? arguments.optionsFile : arguments.resultFile) = argv[++i];
        } else if (argument.starts_with("--")) {
            return TUsageError{"unknown option " + argument};
        } else {
            arguments.images.push_back(argument);
        }
    }
    if (arguments.images.empty())
        return TUsageError{"no image given"};
    if (arguments.optionsFile && !std::filesystem::is_regular_file(*arguments.optionsFile))
        return TUsageError{"options file " + *arguments.optionsFile + " not found"};
    return arguments;
}

/// Loads the options file as the desktop program does before an analysis.
TAnalysisSettings LoadSettings(const std::optional<std::string>& optionsFile,
                               TStderrReporter& reporter)
{
    TAnalysisSettings settings;
    if (!optionsFile)
        return settings;
    reporter.SetContext(*optionsFile);
    const std::string problem = CheckOptionsFile(*optionsFile);
    if (!problem.empty())
        reporter.ShowMessage("not a valid options file (" + problem +
                             "); the values that could be read are used");
    ApplyOptions(settings, TOptions::Load(*optionsFile));
    return settings;
}

void PrintLine(const std::string& line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string HeaderLine()
{
    std::string header;
    for (const char* name : TAnalysis::ResultItemNames())
        header += (header.empty() ? "" : "\t") + std::string(name);
    return header;
}

int RunBatch(const TBatchArguments& arguments)
{
    TStderrReporter reporter;
    const TScopedReporter reportToStderr(reporter);
    TAnalysisSettings settings = LoadSettings(arguments.optionsFile, reporter);

    TAnalysis engine({}, TColour(settings.Options.ColorBack));
    PrintLine(HeaderLine());
    bool allAnalysed = true;
    for (const std::string& image : arguments.images) {
        reporter.SetContext(image);
        // A failed open or run has already said why.
        if (!engine.LoadImage(image) || !engine.Run(settings)) {
            allAnalysed = false;
            continue;
        }
        PrintLine(engine.Results.ValueLine());
        if (arguments.resultFile && !engine.Results.SaveToFile(*arguments.resultFile)) {
            reporter.ShowMessage("the result could not be appended to " + *arguments.resultFile);
            allAnalysed = false;
        }
    }
    return allAnalysed ? ExitAllAnalysed : ExitSomeFailed;
}

} // namespace
} // namespace varnolux

int main(int argc, char** argv)
{
    using namespace varnolux;
    std::setlocale(LC_ALL, "");
    // A file-size limit must fail the write and be reported, not kill the run.
    std::signal(SIGXFSZ, SIG_IGN);
    const auto parsed = ParseArguments(argc, argv);
    if (std::holds_alternative<bool>(parsed)) {
        std::fputs(UsageText, stdout);
        return ExitAllAnalysed;
    }
    if (const auto* error = std::get_if<TUsageError>(&parsed)) {
        std::fprintf(stderr, "varnolux-batch: %s\n\n%s", error->message.c_str(), UsageText);
        return ExitUsage;
    }
    return RunBatch(std::get<TBatchArguments>(parsed));
}
