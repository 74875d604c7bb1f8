// varnolux-batch: analyses images without a display and prints one result line each.

#include "analysis/TAnalysis.h"
#include "app/BatchJobs.h"
#include "app/BatchRangeFromMask.h"
#include "app/BatchVerify.h"
#include "app/TBatchProgress.h"
#include "app/TBatchReporter.h"
#include "base/Files.h"
#include "base/Messages.h"
#include "base/Paths.h"
#include "base/TOrderedSlots.h"
#include "imaging/KernelThreads.h"
#include "input/AvailableMemory.h"
#include "input/TKVFreeImage.h"
#include "report/ReportTemplate.h"
#include "report/TReport.h"
#include "results/ResultJson.h"
#include "settings/ProgramInfo.h"
#include "settings/TOptions.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <map>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <variant>
#include <vector>

#include <QGuiApplication>

namespace varnolux {
namespace {

enum TExitStatus { ExitAllAnalysed = 0, ExitSomeFailed = 1, ExitUsage = 2 };

enum class TOutputFormat { Tsv, Json };

constexpr const char* UsageText =
    "usage: varnolux-batch [--options FILE] [--result FILE] [--regions FILE]\n"
    "                      [--report DIR [--template FILE]]\n"
    "                      [--format tsv|json] [--jobs N] [--timings] IMAGE...\n"
    "       varnolux-batch --verify RESULTFILE [--options FILE [--reanalyse]]\n"
    "                      [--format tsv|json] [--jobs N]\n"
    "       varnolux-batch --range-from-mask MASK IMAGE [--spread K]\n"
    "       varnolux-batch --help | --version\n"
    "\n"
    "Analyses each IMAGE and prints a tab-separated header line, then one result line\n"
    "per analysed image, in the order the images are given.\n"
    "  --options FILE  analysis options (an options file; a relative name is in the\n"
    "                  working folder); without it the range is 0..255 in every\n"
    "                  channel, no area limits, minimum size 10.0.\n"
    "                  Every image starts from these options: a correction (borders\n"
    "                  that do not fit, an invalid minimum size) holds for that image\n"
    "                  only\n"
    "  --result FILE   also append each result line to FILE (a result file)\n"
    "  --regions FILE  append a line per kept region of each analysed image to FILE:\n"
    "                  its area, pixel count, centre, bounding box, axes, orientation\n"
    "                  and mean colour, by the rules of the result file\n"
    "  --report DIR    write the printed report of each analysed image into DIR (made\n"
    "                  when missing) as a one-page PDF file named after the image\n"
    "                  (photo.jpg gives photo.pdf; a second image of that name in\n"
    "                  the same run gives photo-2.pdf): the report the desktop program\n"
    "                  prints, from the template the program settings name\n"
    "  --template FILE with --report: the report template (HTML) to use instead\n"
    "  --format json   print JSON Lines instead: one object per analysed image, the\n"
    "                  items in table order, numbers as numbers; no header line. The\n"
    "                  regions file, too, gets one JSON object per region and line\n"
    "  --jobs N        analyse N images at once (default: one per core, as many as\n"
    "                  the memory holds); the output is the same as with --jobs 1\n"
    "  --timings       per image, print on standard error\n"
    "                  \"timings NAME: read=MS convert=MS run=MS fingerprints=MS\":\n"
    "                  reading the file into the planes, the conversion to hue,\n"
    "                  saturation and brightness, the run without the fingerprints, and\n"
    "                  the fingerprints, in milliseconds\n"
    "  --verify FILE   check each line of a result file instead: its values against\n"
    "                  SHAResult, its image file against SHAImageFile and, with\n"
    "                  --options, its options against SHAOptions. Prints \"LINE: ok\" or\n"
    "                  the findings per line, then a summary\n"
    "  --reanalyse     with --verify and --options: analyse each line whose image and\n"
    "                  options match again; every item but DateTime must come out as\n"
    "                  stored\n"
    "  --range-from-mask MASK IMAGE\n"
    "                  instead of analysing: derive the colour range from the pixels\n"
    "                  of IMAGE where the picture MASK (of the same size) is not black,\n"
    "                  as Set color does, and print it as the six LabeledEditHMin= ...\n"
    "                  LabeledEditVMax= lines of an options file's [FormMain] section\n"
    "  --spread K      with --range-from-mask: the range reaches K standard deviations\n"
    "                  around the mean (default 2.0)\n"
    "  --help          print this text and end\n"
    "  --version       print the version and end\n"
    "\n"
    "Exit status: 0 when every image was analysed and written, 1 when at least one was\n"
    "not, 2 for a usage error or an options file that cannot be read. With --verify:\n"
    "0 when every line is ok, 1 when one is not, 2 when the result file cannot be read.\n"
    "With --range-from-mask: 0 when the range was printed, 1 when it cannot be set\n"
    "(fewer than two selected pixels, a mask of another size, a file that cannot be\n"
    "read; the reason goes to standard error).\n";

struct TBatchArguments {
    std::optional<std::string> optionsFile;
    std::optional<std::string> resultFile;
    std::optional<std::string> regionsFile;
    std::optional<std::string> reportFolder;
    std::optional<std::string> templateFile;
    TOutputFormat format = TOutputFormat::Tsv;
    int jobs = 0; // 0: one per core
    bool timings = false;
    std::vector<std::string> images;
    std::optional<std::string> verifyFile;
    bool reanalyse = false;
    std::optional<TRangeFromMaskCommand> rangeFromMask;
    std::optional<double> spread;
};

struct TUsageError {
    std::string message;
};

/// --help or --version: answered without analysing anything.
enum class TInformationRequest { Help, Version };

std::optional<int> ParseJobs(const std::string& text)
{
    int jobs = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, jobs);
    if (error != std::errc() || stop != end || jobs < 1)
        return std::nullopt;
    return jobs;
}

/// A spread of at least 0 standard deviations, written with a decimal point.
std::optional<double> ParseSpread(const std::string& text)
{
    double spread = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, spread);
    if (error != std::errc() || stop != end || !std::isfinite(spread) || spread < 0.0)
        return std::nullopt;
    return spread;
}

std::variant<TBatchArguments, TUsageError, TInformationRequest> ParseArguments(int argc,
                                                                               char** argv)
{
    TBatchArguments arguments;
    bool onlyImages = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (onlyImages) {
            arguments.images.push_back(argument);
        } else if (argument == "--help" || argument == "-h") {
            return TInformationRequest::Help;
        } else if (argument == "--version") {
            return TInformationRequest::Version;
        } else if (argument == "--") {
            onlyImages = true;
        } else if (argument == "--timings") {
            arguments.timings = true;
        } else if (argument == "--reanalyse") {
            arguments.reanalyse = true;
        } else if (argument == "--options" || argument == "--result" || argument == "--regions" ||
                   argument == "--verify" || argument == "--template") {
            if (!hasValue)
                return TUsageError{argument + " needs a file name"};
            (argument == "--options"    ? arguments.optionsFile
             : argument == "--result"   ? arguments.resultFile
             : argument == "--regions"  ? arguments.regionsFile
             : argument == "--template" ? arguments.templateFile
                                        : arguments.verifyFile) = argv[++i];
        } else if (argument == "--report") {
            if (!hasValue)
                return TUsageError{"--report needs a folder"};
            arguments.reportFolder = argv[++i];
        } else if (argument == "--format") {
            const std::string format = hasValue ? argv[++i] : "";
            if (format != "tsv" && format != "json")
                return TUsageError{"--format needs tsv or json"};
            arguments.format = format == "json" ? TOutputFormat::Json : TOutputFormat::Tsv;
        } else if (argument == "--range-from-mask") {
            if (i + 2 >= argc)
                return TUsageError{"--range-from-mask needs a mask and an image file"};
            arguments.rangeFromMask = TRangeFromMaskCommand{argv[i + 1], argv[i + 2]};
            i += 2;
        } else if (argument == "--spread") {
            arguments.spread = hasValue ? ParseSpread(argv[++i]) : std::nullopt;
            if (!arguments.spread)
                return TUsageError{"--spread needs a number of at least 0, such as 2.5"};
        } else if (argument == "--jobs") {
            const auto jobs = hasValue ? ParseJobs(argv[++i]) : std::nullopt;
            if (!jobs)
                return TUsageError{"--jobs needs a whole number of at least 1"};
            arguments.jobs = *jobs;
        } else if (argument.starts_with("--")) {
            return TUsageError{"unknown option " + argument};
        } else {
            arguments.images.push_back(argument);
        }
    }
    if (arguments.rangeFromMask) {
        if (!arguments.images.empty() || arguments.optionsFile || arguments.resultFile ||
            arguments.verifyFile || arguments.timings || arguments.reanalyse ||
            arguments.reportFolder)
            return TUsageError{"--range-from-mask takes no other option but --spread"};
        if (arguments.spread)
            arguments.rangeFromMask->spread = *arguments.spread;
        return arguments;
    }
    if (arguments.spread)
        return TUsageError{"--spread goes with --range-from-mask"};
    if (arguments.templateFile && !arguments.reportFolder)
        return TUsageError{"--template goes with --report"};
    if (arguments.verifyFile) {
        if (!arguments.images.empty() || arguments.resultFile || arguments.regionsFile ||
            arguments.timings || arguments.reportFolder)
            return TUsageError{
                "--verify takes no images, --result, --regions, --report or --timings"};
        if (arguments.reanalyse && !arguments.optionsFile)
            return TUsageError{"--reanalyse needs --options"};
    } else if (arguments.reanalyse) {
        return TUsageError{"--reanalyse goes with --verify"};
    } else if (arguments.images.empty()) {
        return TUsageError{"no image given"};
    }
    // A name typed on the command line is the working folder's, not the program's.
    if (arguments.optionsFile && arguments.optionsFile->find('/') == std::string::npos)
        arguments.optionsFile->insert(0, "./");
    return arguments;
}

/// Why an options file cannot be read as given; empty when it can.
std::string OptionsFileProblem(const std::string& fileName)
{
    std::error_code error;
    const auto status = std::filesystem::status(fileName, error);
    if (error)
        return error.message();
    if (!std::filesystem::is_regular_file(status))
        return "not a regular file";
    if (::access(fileName.c_str(), R_OK) != 0)
        return std::generic_category().message(errno);
    return CheckOptionsFile(fileName);
}

/// Loads the options file as the desktop program does before an analysis.
TAnalysisSettings LoadSettings(const std::optional<std::string>& optionsFile,
                               TStderrReporter& reporter)
{
    TAnalysisSettings settings;
    if (!optionsFile)
        return settings;
    reporter.SetContext(*optionsFile);
    ApplyOptions(settings, TOptions::Load(*optionsFile));
    return settings;
}

/// Standard output, one line at a time, every write checked. After a failure (a
/// full disk, a reader that went away) nothing more goes there: the batch goes on for
/// its result file and ends with status 1.
class TStandardOutput {
public:
    explicit TStandardOutput(TBatchProgress& progress)
        : progress_(progress)
    {
    }

    void WriteLine(const std::string& line)
    {
        if (error_ != 0)
            return;
        const std::string text = line + "\n";
        for (std::string_view rest = text; !rest.empty();) {
            const ssize_t written = ::write(STDOUT_FILENO, rest.data(), rest.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                error_ = written < 0 ? errno : EIO;
                progress_.WriteLine("varnolux-batch: " +
                                    FormatMessage(DefaultMessageText("LBatchOutputFailed"),
                                                  {std::generic_category().message(error_)}));
                return;
            }
            rest.remove_prefix(std::size_t(written));
        }
    }

    bool Failed() const { return error_ != 0; }

private:
    TBatchProgress& progress_;
    int error_ = 0;
};

std::string HeaderLine()
{
    std::string header;
    for (const char* name : ResultItemNames())
        header += (header.empty() ? "" : "\t") + std::string(name);
    return header;
}

/// Milliseconds with one decimal and a point, whatever the locale.
std::string Milliseconds(double value)
{
    char text[32];
    const auto [end, error] =
        std::to_chars(std::begin(text), std::end(text), value, std::chars_format::fixed, 1);
    return error == std::errc() ? std::string(text, end) : "0.0";
}

std::string TimingsLine(const std::string& image, const TAnalysisTimings& timings)
{
    return "timings " + FileNamePart(image) + ": read=" + Milliseconds(timings.Read) +
           " convert=" + Milliseconds(timings.Convert) + " run=" + Milliseconds(timings.Run) +
           " fingerprints=" + Milliseconds(timings.Fingerprint + timings.Fingerprints);
}

/// What a worker hands back for one image.
struct TImageOutcome {
    bool analysed = false;
    std::vector<std::string> messages;
    TResult results;
    TRegionTable regions;
    TAnalysisTimings timings;
    /// What the report shows, when one is asked for.
    std::optional<TReportData> report;
};

int CoreCount()
{
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

/// What the workers share; everything but the slots and the counters is read-only.
struct TBatchWork {
    const std::vector<std::string>& images;
    const TAnalysisSettings& settings;
    /// The pictures a report shows; none without a report.
    const TPictureRequest pictures;
    TBatchProgress& progress;
    const std::size_t jobs;
    std::atomic<std::size_t> next{0};
    std::atomic<int> running{0};
    TOrderedSlots<TImageOutcome> outcomes;
};

/// A job that finds no image left gives its cores to the kernels of those still
/// analysing, so that the last images of a batch do not run on one core.
void LeaveBatch(TBatchWork& work)
{
    const int stillRunning = --work.running;
    if (stillRunning > 0)
        SetKernelThreadCount(CoreCount() / stillRunning);
}

/// What the report of an analysed image shows, its pictures scaled down already.
TReportData MakeReportData(const std::string& image, const TOpenResult& open,
                           const TAnalysisResult& result)
{
    TReportData data;
    data.ImageFile = image;
    std::error_code error;
    data.ImageFileBytes = std::filesystem::file_size(image, error);
    data.ImageWidth = open.Width;
    data.ImageHeight = open.Height;
    data.Items = result.Items;
    data.Settings = result.Settings;
    data.SourcePicture = ReportPicture(result.Pictures.Source);
    data.AnalysedPicture = ReportPicture(result.Pictures.Analysed);
    return data;
}

/// The report files of one run: one per image, named after it, none written twice.
class TReportFiles {
public:
    /// The reports are filled from the template, in the words of the language file.
    TReportFiles(const std::string& folder, QString templateHtml, const std::string& languageFile)
        : folder_(folder.ends_with('/') ? folder : folder + "/")
        , template_(std::move(templateHtml))
        , texts_(ReadReportTexts(languageFile))
    {
        // A folder that cannot be made is reported with each report that fails.
        CreateFoldersIfMissing(folder_);
    }

    /// Writes the report of the image; false after a message when it cannot.
    bool Write(const std::string& image, TReportData& data, TReporter& reporter)
    {
        data.Texts = texts_;
        const std::string fileName = folder_ + UniqueName(image) + ".pdf";
        std::string why;
        if (WriteReportPdf(template_, data, fileName, &why))
            return true;
        reporter.ShowLanguageMessage("LBatchReportNotWritten", {fileName, why});
        return false;
    }

private:
    /// The image's name without its extension; a later image of the same name in this
    /// run gets "-2", "-3" …, so that no report replaces another one's.
    std::string UniqueName(const std::string& image)
    {
        const std::string name = FileNamePart(image);
        const std::string extension = ExtensionPart(image);
        const std::string stem =
            extension.size() < name.size() ? name.substr(0, name.size() - extension.size()) : name;
        std::string unique = stem;
        for (int count = 2; !used_.insert(unique).second; ++count)
            unique = stem + "-" + std::to_string(count);
        return unique;
    }

    std::string folder_;
    QString template_;
    std::map<std::string, std::string> texts_;
    std::set<std::string> used_;
};

/// The template the report is filled from: the one given, else the program's.
QString ReportTemplate(const std::optional<std::string>& templateFile)
{
    return LoadReportTemplate(templateFile ? TReportTemplateFile{*templateFile, true}
                                           : ReportTemplateFile(ProgramSettingsFile()));
}

/// Lets the engine's image go unless the next image is of its size: the open of one
/// of the same size takes its planes over instead of touching fresh memory, while for
/// another size they would only lie beside the new ones.
void MakeRoomFor(TAnalysis& engine, const std::string& image)
{
    const TImageSession* session = engine.Session();
    if (!session)
        return;
    const auto next = DeclaredImageSize(image);
    if (!next || *next != TImageDimensions{session->Width(), session->Height()})
        engine.CloseImage();
}

/// A job: one engine, kept from image to image, and one reporter; images taken from
/// the shared counter, so that one job decodes while another analyses. Its messages
/// wait with the result, so standard error, too, follows the input order.
void AnalyseImages(TBatchWork& work)
{
    TBatchReporter reporter(work.progress, true);
    const TScopedReporter reportToStderr(reporter);
    // Nobody looks at the pictures of a batch: the engine is asked for none.
    std::optional<TAnalysis> engine;
    ++work.running;
    for (;;) {
        const std::size_t index = work.next.fetch_add(1);
        if (index >= work.images.size()) {
            LeaveBatch(work);
            return;
        }
        // The file this job is likely to open next is read while it works on this one.
        if (index + work.jobs < work.images.size())
            ReadAhead(work.images[index + work.jobs]);
        const std::string& image = work.images[index];
        reporter.SetContext(image);
        TImageOutcome outcome;
        try {
            if (engine)
                MakeRoomFor(*engine, image);
            else
                engine.emplace();
            // A failed open or run has already said why. Every image starts from the
            // options as loaded, whichever worker takes it.
            const TOpenResult open = engine->LoadImage(image);
            outcome.timings = open.Timings;
            if (open.Loaded) {
                TAnalysisResult result = engine->Run(work.settings, work.pictures);
                outcome.analysed = result.Complete;
                outcome.timings = result.Timings;
                if (outcome.analysed && work.pictures.Count() > 0)
                    outcome.report = MakeReportData(image, open, result);
                outcome.results = std::move(result.Items);
                outcome.regions = std::move(result.RegionTable);
            }
        } catch (const std::exception& error) {
            engine.reset();
            outcome = {};
            // With no memory left even the message may fail; the image still fails.
            try {
                reporter.ShowLanguageMessage("LCannotAnalyseImage", {image, error.what()});
            } catch (const std::bad_alloc&) {
            }
        }
        outcome.messages = reporter.TakeLines();
        work.outcomes.Put(index, std::move(outcome));
    }
}

/// Qt's own warnings (a runtime folder it would like, fonts it falls back from) are
/// nothing the user of a batch can act on, and would mix into its message lines.
void QtMessagesToStderr(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "varnolux-batch: %s\n", qPrintable(message));
}

/// Messages about the whole run, named after the program.
TStderrReporter& ProgramReporter()
{
    static TStderrReporter reporter = [] {
        TStderrReporter named;
        named.SetContext("varnolux-batch");
        return named;
    }();
    return reporter;
}

int RunBatch(const TBatchArguments& arguments)
{
    const int imageCount = int(arguments.images.size());
    TBatchProgress progress(imageCount, imageCount > 1 && TBatchProgress::StderrIsTerminal());
    TBatchReporter reporter(progress, false);
    const TScopedReporter reportToStderr(reporter);
    TAnalysisSettings settings = LoadSettings(arguments.optionsFile, reporter);
    settings.MeasureRegionTable = arguments.regionsFile.has_value();
    std::optional<TReportFiles> reports;
    // Nobody sees a chart of the batch's channel curves.
    TPictureRequest pictures;
    pictures.Curves = false;
    if (arguments.reportFolder) {
        reporter.SetContext("varnolux-batch");
        reports.emplace(*arguments.reportFolder, ReportTemplate(arguments.templateFile),
                        DefaultLanguageFile());
        // The outline of the analysis area is drawn for the size the report shows.
        pictures = {true, true, {}, ReportPictureBox.width(), ReportPictureBox.height(), false};
    }

    const int jobs =
        std::min(arguments.jobs > 0
                     ? arguments.jobs
                     : DefaultJobCount({CoreCount(), arguments.images.size(), AvailableMemory(),
                                        LargestEstimatedPixels(arguments.images)}),
                 imageCount);
    // The cores that the jobs leave free speed up the kernels of each analysis.
    SetKernelThreadCount(std::max(1, CoreCount() / jobs));

    TBatchWork work{arguments.images,
                    settings,
                    pictures,
                    progress,
                    std::size_t(jobs),
                    {},
                    {},
                    TOrderedSlots<TImageOutcome>(std::size_t(imageCount))};
    std::vector<std::jthread> workers;
    for (int i = 0; i < jobs; ++i) {
        try {
            workers.emplace_back(AnalyseImages, std::ref(work));
        } catch (const std::system_error& error) {
            reporter.SetContext("varnolux-batch");
            reporter.ShowLanguageMessage("LBatchJobsNotStarted",
                                         {std::to_string(i), std::to_string(jobs),
                                          error.code().message(), std::to_string(std::max(i, 1))});
            break;
        }
    }
    // Without a single worker this thread analyses every image, then prints.
    if (workers.empty())
        AnalyseImages(work);

    TStandardOutput output(progress);
    if (arguments.format == TOutputFormat::Tsv)
        output.WriteLine(HeaderLine());
    bool allAnalysed = true;
    for (int index = 0; index < imageCount; ++index) {
        const std::string& image = arguments.images[size_t(index)];
        TImageOutcome outcome = work.outcomes.Take(size_t(index));
        for (const std::string& message : outcome.messages)
            progress.WriteLine(message);
        if (!outcome.analysed && outcome.messages.empty()) {
            reporter.SetContext(image);
            reporter.ShowLanguageMessage("LNoMemoryToAnalyse", {image});
        }
        if (outcome.analysed) {
            const bool json = arguments.format == TOutputFormat::Json;
            output.WriteLine(json ? ResultJsonObject(outcome.results)
                                  : outcome.results.ValueLine());
            std::string why;
            if (arguments.resultFile && !outcome.results.SaveToFile(*arguments.resultFile, &why)) {
                reporter.SetContext(image);
                reporter.ShowLanguageMessage("LBatchResultNotAppended",
                                             {*arguments.resultFile, why});
                allAnalysed = false;
            }
            if (arguments.regionsFile &&
                !outcome.regions.AppendToFile(*arguments.regionsFile, json, &why)) {
                reporter.SetContext(image);
                reporter.ShowLanguageMessage("LBatchRegionsNotAppended",
                                             {*arguments.regionsFile, why});
                allAnalysed = false;
            }
            if (reports && outcome.report) {
                reporter.SetContext(image);
                allAnalysed = reports->Write(image, *outcome.report, reporter) && allAnalysed;
            }
        } else {
            allAnalysed = false;
        }
        if (arguments.timings)
            progress.WriteLine(TimingsLine(image, outcome.timings));
        progress.Advance(FileNamePart(image));
    }
    return allAnalysed && !output.Failed() ? ExitAllAnalysed : ExitSomeFailed;
}

} // namespace
} // namespace varnolux

int main(int argc, char** argv)
{
    using namespace varnolux;
    std::setlocale(LC_ALL, "");
    // A file-size limit must fail the write and be reported, not kill the run.
    std::signal(SIGXFSZ, SIG_IGN);
    // A reader that stops early (… | head) must not end the analysis or the result
    // file's lines; the write fails instead, and is reported.
    std::signal(SIGPIPE, SIG_IGN);
    const auto parsed = ParseArguments(argc, argv);
    if (const auto* request = std::get_if<TInformationRequest>(&parsed)) {
        if (*request == TInformationRequest::Help)
            std::fputs(UsageText, stdout);
        else
            std::printf("varnolux-batch %s\n", ProgramVersionText().c_str());
        return std::fflush(stdout) == 0 ? ExitAllAnalysed : ExitSomeFailed;
    }
    if (const auto* error = std::get_if<TUsageError>(&parsed)) {
        std::fprintf(stderr, "varnolux-batch: %s\n\n%s", error->message.c_str(), UsageText);
        return ExitUsage;
    }
    const auto& arguments = std::get<TBatchArguments>(parsed);
    // Analysing with other options than the ones asked for would be a failure
    // reported as success.
    if (arguments.optionsFile) {
        if (const std::string problem = OptionsFileProblem(*arguments.optionsFile);
            !problem.empty()) {
            ProgramReporter().ShowLanguageMessage("LBatchOptionsFileUnusable",
                                                  {*arguments.optionsFile, problem});
            return ExitUsage;
        }
    }
    // Reports are painted with Qt's fonts, which need a (headless) application.
    std::optional<QGuiApplication> application;
    if (arguments.reportFolder) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QtMessagesToStderr);
        application.emplace(argc, argv);
    }
    // The first reader checks the FreeImage version; a batch goes on, as Ignore would.
    if (const TKVFreeImage versionCheck; !versionCheck.VersionWarning().empty())
        ProgramReporter().ShowMessage(versionCheck.VersionWarning());
    try {
        if (arguments.rangeFromMask)
            return RunRangeFromMask(*arguments.rangeFromMask);
        if (arguments.verifyFile)
            return RunVerify({*arguments.verifyFile, arguments.optionsFile, arguments.reanalyse,
                              arguments.format == TOutputFormat::Json, arguments.jobs});
        return RunBatch(arguments);
    } catch (const std::bad_alloc&) {
        // With no memory left even the message may fail; the run still fails.
        try {
            ProgramReporter().ShowLanguageMessage("LBatchNoMemory", {});
        } catch (const std::bad_alloc&) {
        }
        return ExitSomeFailed;
    }
}
