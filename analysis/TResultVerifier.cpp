#include "analysis/TResultVerifier.h"

#include "base/Messages.h"
#include "base/TOrderedSlots.h"
#include "imaging/TQStatus.h"
#include "results/ResultJson.h"
#include "results/ShaFingerprint.h"
#include "settings/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace varnolux {

namespace {

/// The items a run writes in the locale's number format.
constexpr std::array<const char*, 9> NumberItems = {
    "AreaPercent",   "AnalysisAreaPixel", "AnalysisArea", "AreaPixel", "Area",
    "MeanSizePixel", "MeanSize",          "Measure",      "MinRegion"};

struct TFindingDescription {
    TFindingCategory Category;
    const char* Format;
};

/// The category and the text of each kind of finding, in the order of the kinds.
constexpr std::array<TFindingDescription, FindingKindCount> FindingDescriptions = {{
    {TFindingCategory::Malformed, "malformed: %s fields instead of %s"},
    {TFindingCategory::Malformed, "malformed: a header line among the values"},
    {TFindingCategory::Malformed, "malformed: an empty line"},
    {TFindingCategory::Malformed, "malformed: longer than %s bytes"},
    {TFindingCategory::Edited, "edited: the values were changed after saving"},
    {TFindingCategory::ImageMissing, "image missing: %s"},
    {TFindingCategory::ImageUnreadable, "image unreadable: %s (%s)"},
    {TFindingCategory::ImageChanged, "image changed: %s is not the image that was analysed"},
    {TFindingCategory::OtherOptions, "other options: not made with the options of %s"},
    {TFindingCategory::NotReproduced, "not reproduced: the image cannot be analysed again: %s"},
    {TFindingCategory::NotReproduced, "not reproduced: %s"},
}};

/// Keeps a run's messages instead of showing them: a verification shows findings.
class TKeepingReporter final : public TStderrReporter {
public:
    std::string Lines() const { return lines_; }

protected:
    void WriteLine(const std::string& line) override
    {
        lines_ += (lines_.empty() ? "" : " ") + line;
    }

private:
    std::string lines_;
};

/// The decimal separator the line's numbers were written with; the locale's when
/// none of them has decimals.
std::string DecimalSeparatorOf(const TResult& stored)
{
    for (const char* item : NumberItems) {
        const std::string text = stored.GetValueText(item);
        if (text.find(',') != std::string::npos)
            return ",";
        if (text.find('.') != std::string::npos)
            return ".";
    }
    return LocaleDecimalSeparator();
}

/// The run's numbers as a run under the line's locale would have written them, and
/// SHAResult made over those texts.
TResult WithDecimalSeparator(const TResult& run, const std::string& separator)
{
    const std::string own = LocaleDecimalSeparator();
    TResult converted = run;
    if (own == separator)
        return converted;
    for (const char* item : NumberItems) {
        std::string text = converted.GetValueText(item);
        if (const std::size_t at = text.find(own); at != std::string::npos) {
            text.replace(at, own.size(), separator);
            converted.AddString(item, text);
        }
    }
    converted.AddString("SHAResult", ResultFingerprint(converted));
    return converted;
}

bool IsMissingFileError(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

std::string ErrorText(int error)
{
    if (error == ENODEV)
        return "not a regular file";
    return std::generic_category().message(error);
}

} // namespace

TFindingCategory CategoryOf(TFindingKind kind)
{
    return FindingDescriptions[std::size_t(kind)].Category;
}

bool TLineVerdict::Has(TFindingCategory category) const
{
    return std::ranges::any_of(Findings, [category](const TFinding& finding) {
        return CategoryOf(finding.Kind) == category;
    });
}

void TVerifySummary::Add(const TLineVerdict& verdict)
{
    ++Lines;
    if (verdict.Ok())
        ++Ok;
    for (std::size_t i = 0; i < FindingCategoryCount; ++i)
        if (verdict.Has(TFindingCategory(i)))
            ++Categories[i];
}

/// An engine of a worker, made when a line is first analysed again.
struct TResultVerifier::TWorkerEngine {
    std::optional<TAnalysis> engine;

    TAnalysis& Get()
    {
        if (!engine)
            engine.emplace();
        return *engine;
    }
};

/// The checks of one line; shared by the workers, read-only after construction.
class TResultVerifier::TLineChecker {
public:
    TLineChecker(std::vector<std::string> header, const TVerifySettings& settings)
        : header_(std::move(header))
        , settings_(settings)
    {
        if (settings_.Options)
            CollectOptionsFingerprints();
    }

    TLineVerdict Verify(const TResultFileLine& line, TWorkerEngine& engine) const
    {
        TLineVerdict verdict;
        verdict.Line = line.Number;
        if (std::optional<TFinding> malformed = Malformation(line)) {
            verdict.Findings.push_back(*std::move(malformed));
            return verdict;
        }
        TResult stored;
        for (std::size_t i = 0; i < header_.size(); ++i)
            stored.AddString(header_[i], line.Fields[i]);
        verdict.ImageFile = stored.GetValueText("Path") + stored.GetValueText("Name");
        std::vector<TFinding>& findings = verdict.Findings;

        if (ResultFingerprint(stored) != stored.GetValueText("SHAResult"))
            findings.push_back({TFindingKind::Edited, {}, {}});
        const bool sameImage = CheckImage(verdict.ImageFile, stored, findings);
        if (!settings_.Options)
            return verdict;

        std::optional<TResult> run;
        const TOptionsMatch options =
            MatchOptions(stored, verdict.ImageFile, sameImage, engine, run, findings);
        if (options == TOptionsMatch::Other)
            findings.push_back({TFindingKind::OtherOptions, {settings_.OptionsName}, {}});
        if (settings_.Reanalyse && sameImage && options == TOptionsMatch::Same) {
            if (!run)
                run = Analyse(verdict.ImageFile, engine, findings);
            if (run)
                CompareItems(stored, *run, findings);
        }
        return verdict;
    }

private:
    enum class TOptionsMatch { Same, Other, Undecided };

    /// Whether the line was made with the options. A run that had to correct them for
    /// its image stored the corrected ones: only an analysis of the image can tell
    /// (kept in run, for analysing again). Undecided when the image is not the one
    /// analysed or cannot be analysed.
    TOptionsMatch MatchOptions(const TResult& stored, const std::string& imageFile, bool sameImage,
                               TWorkerEngine& engine, std::optional<TResult>& run,
                               std::vector<TFinding>& findings) const
    {
        const std::string fingerprint = stored.GetValueText("SHAOptions");
        if (fingerprint == plainFingerprint_)
            return TOptionsMatch::Same;
        if (!IsCorrectedFingerprint(fingerprint))
            return TOptionsMatch::Other;
        if (!sameImage)
            return TOptionsMatch::Undecided;
        run = Analyse(imageFile, engine, findings);
        if (!run)
            return TOptionsMatch::Undecided;
        return run->GetValueText("SHAOptions") == fingerprint ? TOptionsMatch::Same
                                                              : TOptionsMatch::Other;
    }

    std::optional<TFinding> Malformation(const TResultFileLine& line) const
    {
        if (line.TooLong)
            return TFinding{
                TFindingKind::LineTooLong, {std::to_string(TResultFileReader::MaxLineLength)}, {}};
        if (line.Fields.size() == 1 && line.Fields[0].empty())
            return TFinding{TFindingKind::EmptyLine, {}, {}};
        if (line.Fields == header_)
            return TFinding{TFindingKind::HeaderLine, {}, {}};
        if (line.Fields.size() != header_.size())
            return TFinding{TFindingKind::FieldCount,
                            {std::to_string(line.Fields.size()), std::to_string(header_.size())},
                            {}};
        return std::nullopt;
    }

    /// Whether the image file has the bytes the line was analysed from.
    static bool CheckImage(const std::string& imageFile, const TResult& stored,
                           std::vector<TFinding>& findings)
    {
        int error = 0;
        const std::optional<std::string> fingerprint = Sha256FileHex(imageFile, &error);
        if (!fingerprint) {
            if (IsMissingFileError(error))
                findings.push_back({TFindingKind::ImageMissing, {imageFile}, {}});
            else
                findings.push_back(
                    {TFindingKind::ImageUnreadable, {imageFile, ErrorText(error)}, {}});
            return false;
        }
        if (*fingerprint == stored.GetValueText("SHAImageFile"))
            return true;
        findings.push_back({TFindingKind::ImageChanged, {imageFile}, {}});
        return false;
    }

    /// The fingerprints a run can store with these options: as applied, and with the
    /// corrections a run makes for some images only (exclusion borders that do not
    /// fit, a measure under which the image's area overflows).
    void CollectOptionsFingerprints()
    {
        TKeepingReporter quiet;
        const TScopedReporter keepMessages(quiet);
        TAnalysisSettings settings = *settings_.Options;
        TOptions& options = settings.Options;
        for (std::size_t i = 0; i < options.rangeTexts.size(); ++i)
            options.rangeTexts[i] = std::to_string(settings.Range[i]);
        ReadMinRegion(options);
        ReadMeasure(settings, 1.0);
        plainFingerprint_ = OptionsFingerprint(options, settings.MeasureText);

        const bool bordersMayNotFit =
            options.lUseExclRect && (options.iExclRectLeft != 0 || options.iExclRectUp != 0 ||
                                     options.iExclRectRight != 0 || options.iExclRectDown != 0);
        const bool measureMayOverflow = options.lCheckBoxUnits && settings.MeasureText != "1";
        for (const bool zeroBorders : {false, true})
            for (const bool measureOne : {false, true}) {
                if ((!zeroBorders && !measureOne) || (zeroBorders && !bordersMayNotFit) ||
                    (measureOne && !measureMayOverflow))
                    continue;
                TOptions corrected = options;
                if (zeroBorders)
                    corrected.iExclRectLeft = corrected.iExclRectUp = corrected.iExclRectRight =
                        corrected.iExclRectDown = 0;
                correctedFingerprints_.push_back(
                    OptionsFingerprint(corrected, measureOne ? "1" : settings.MeasureText));
            }
    }

    bool IsCorrectedFingerprint(const std::string& fingerprint) const
    {
        return std::ranges::find(correctedFingerprints_, fingerprint) !=
               correctedFingerprints_.end();
    }

    /// A new analysis of the image with the options; nothing, and a finding, when the
    /// image cannot be analysed.
    std::optional<TResult> Analyse(const std::string& imageFile, TWorkerEngine& worker,
                                   std::vector<TFinding>& findings) const
    {
        TKeepingReporter messages;
        const TScopedReporter keepMessages(messages);
        // Nobody watches these analyses: the main window's progress bar is not theirs.
        const TQStatus::TCancelScope silent(nullptr, true);
        std::optional<TResult> results;
        try {
            TAnalysis& engine = worker.Get();
            // Only the items are compared: no pictures, no curves.
            TPictureRequest itemsOnly;
            itemsOnly.Curves = false;
            if (engine.LoadImage(imageFile).Loaded)
                if (TAnalysisResult run = engine.Run(*settings_.Options, itemsOnly); run.Complete)
                    results = std::move(run.Items);
            engine.CloseImage();
        } catch (const std::exception& error) {
            // The engine may be half way through anything: the next line gets a new one.
            worker.engine.reset();
            messages.ShowMessage(error.what());
        }
        if (!results)
            findings.push_back({TFindingKind::NotAnalysed, {messages.Lines()}, {}});
        return results;
    }

    void CompareItems(const TResult& stored, const TResult& run,
                      std::vector<TFinding>& findings) const
    {
        const TResult again = WithDecimalSeparator(run, DecimalSeparatorOf(stored));
        TFinding finding{TFindingKind::NotReproduced, {}, {}};
        for (const std::string& item : header_) {
            if (item == "DateTime")
                continue;
            const std::string storedText = stored.GetValueText(item);
            const std::string foundText = again.GetValueText(item);
            if (storedText != foundText)
                finding.Differences.push_back({item, storedText, foundText});
        }
        if (!finding.Differences.empty())
            findings.push_back(std::move(finding));
    }

    const std::vector<std::string> header_;
    const TVerifySettings& settings_;
    std::string plainFingerprint_;
    std::vector<std::string> correctedFingerprints_;
};

TResultVerifier::TResultVerifier(const std::string& resultFile, TVerifySettings settings)
    : reader_(resultFile)
    , settings_(std::move(settings))
{
    std::optional<TResultFileLine> header = reader_.Next();
    if (!header)
        throw TResultFileError("the file is empty");
    const auto& names = TAnalysis::ResultItemNames();
    if (!std::ranges::equal(header->Fields, names))
        throw TResultFileError("its first line is not the header line of a result file");
    checker_ = std::make_unique<TLineChecker>(header->Fields, settings_);
}

TResultVerifier::~TResultVerifier() = default;

double TResultVerifier::Progress(const TResultFileLine& line) const
{
    if (reader_.Size() == 0)
        return 1.0;
    return std::min(1.0, double(line.EndOffset) / double(reader_.Size()));
}

TVerifySummary TResultVerifier::Run(const TDeliver& deliver, const std::atomic<bool>* cancel)
{
    const int jobs = std::max(settings_.Jobs, 1);
    return jobs == 1 ? RunInOrder(deliver, cancel) : RunInParallel(deliver, cancel, jobs);
}

TVerifySummary TResultVerifier::RunInOrder(const TDeliver& deliver, const std::atomic<bool>* cancel)
{
    TVerifySummary summary;
    TWorkerEngine engine;
    while (!(cancel && *cancel)) {
        const std::optional<TResultFileLine> line = reader_.Next();
        if (!line)
            break;
        const TLineVerdict verdict = checker_->Verify(*line, engine);
        summary.Add(verdict);
        deliver(verdict, Progress(*line));
    }
    return summary;
}

TVerifySummary TResultVerifier::RunInParallel(const TDeliver& deliver,
                                              const std::atomic<bool>* cancel, int jobs)
{
    // A slot without a verdict marks where the lines ended (or reading failed, or the
    // verification was cancelled).
    struct TOutcome {
        std::optional<TLineVerdict> verdict;
        double progress = 1.0;
    };
    TOrderedSlots<TOutcome> outcomes(std::size_t(jobs) * 4);
    std::mutex readerMutex;
    std::size_t nextIndex = 0;
    bool ended = false;
    std::exception_ptr failure;

    const auto work = [&] {
        TWorkerEngine engine;
        for (;;) {
            std::optional<TResultFileLine> line;
            std::size_t index = 0;
            {
                const std::lock_guard lock(readerMutex);
                if (ended)
                    return;
                index = nextIndex++;
                try {
                    if (!(cancel && *cancel))
                        line = reader_.Next();
                } catch (...) {
                    failure = std::current_exception();
                }
                ended = !line;
            }
            TOutcome outcome;
            if (line) {
                try {
                    outcome = {checker_->Verify(*line, engine), Progress(*line)};
                } catch (...) {
                    const std::lock_guard lock(readerMutex);
                    if (!failure)
                        failure = std::current_exception();
                    ended = true;
                }
            }
            outcomes.Put(index, std::move(outcome));
        }
    };

    std::vector<std::jthread> workers;
    for (int i = 0; i < jobs; ++i) {
        try {
            workers.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }
    if (workers.empty())
        return RunInOrder(deliver, cancel);

    TVerifySummary summary;
    std::size_t index = 0;
    while (!(cancel && *cancel)) {
        TOutcome outcome = outcomes.Take(index++);
        if (!outcome.verdict)
            break;
        summary.Add(*outcome.verdict);
        deliver(*outcome.verdict, outcome.progress);
    }
    // Lines taken by workers after the end are finished and dropped, so that no worker
    // waits for room in the slots.
    std::size_t assigned = 0;
    {
        const std::lock_guard lock(readerMutex);
        ended = true;
        assigned = nextIndex;
    }
    for (; index < assigned; ++index)
        outcomes.Take(index);
    workers.clear();
    if (failure)
        std::rethrow_exception(failure);
    return summary;
}

namespace {

std::string FormatDifferences(const std::vector<TItemDifference>& differences,
                              std::string_view format)
{
    std::string text;
    for (const TItemDifference& difference : differences)
        text += (text.empty() ? "" : ", ") +
                FormatMessage(format, {difference.Item, difference.Stored, difference.Found});
    return text;
}

} // namespace

std::string FindingFormat(TFindingKind kind)
{
    return FindingDescriptions[std::size_t(kind)].Format;
}

std::vector<std::string> FindingArguments(const TFinding& finding,
                                          std::string_view differenceFormat)
{
    if (finding.Kind == TFindingKind::NotReproduced)
        return {FormatDifferences(finding.Differences, differenceFormat)};
    return finding.Arguments;
}

std::string FindingText(const TFinding& finding)
{
    return FormatMessage(FindingFormat(finding.Kind), FindingArguments(finding));
}

std::string CategoryName(TFindingCategory category)
{
    static constexpr std::array<const char*, FindingCategoryCount> names = {
        "edited",         "image changed",    "image missing", "other options",
        "not reproduced", "image unreadable", "malformed"};
    return names[std::size_t(category)];
}

std::string VerdictText(const TLineVerdict& verdict)
{
    std::string text = std::to_string(verdict.Line) + ": ";
    if (verdict.Ok())
        return text + "ok";
    for (const TFinding& finding : verdict.Findings)
        text += (&finding == &verdict.Findings.front() ? "" : "; ") + FindingText(finding);
    return text;
}

std::string SummaryText(const TVerifySummary& summary)
{
    std::string text =
        std::to_string(summary.Lines) + " lines: " + std::to_string(summary.Ok) + " ok";
    for (std::size_t i = 0; i < FindingCategoryCount; ++i)
        text +=
            ", " + std::to_string(summary.Categories[i]) + " " + CategoryName(TFindingCategory(i));
    return text;
}

std::string VerdictJson(const TLineVerdict& verdict)
{
    std::string json = "{\"line\":" + std::to_string(verdict.Line) +
                       ",\"image\":" + JsonString(verdict.ImageFile) +
                       ",\"ok\":" + (verdict.Ok() ? "true" : "false") + ",\"findings\":[";
    for (const TFinding& finding : verdict.Findings) {
        if (&finding != &verdict.Findings.front())
            json += ',';
        json += "{\"category\":" + JsonString(CategoryName(CategoryOf(finding.Kind))) +
                ",\"text\":" + JsonString(FindingText(finding));
        if (!finding.Differences.empty()) {
            json += ",\"items\":[";
            for (const TItemDifference& difference : finding.Differences)
                json += std::string(&difference == &finding.Differences.front() ? "" : ",") +
                        "{\"item\":" + JsonString(difference.Item) +
                        ",\"stored\":" + JsonString(difference.Stored) +
                        ",\"found\":" + JsonString(difference.Found) + "}";
            json += ']';
        }
        json += '}';
    }
    return json + "]}";
}

std::string SummaryJson(const TVerifySummary& summary)
{
    std::string json = "{\"summary\":{\"lines\":" + std::to_string(summary.Lines) +
                       ",\"ok\":" + std::to_string(summary.Ok);
    for (std::size_t i = 0; i < FindingCategoryCount; ++i)
        json += "," + JsonString(CategoryName(TFindingCategory(i))) + ":" +
                std::to_string(summary.Categories[i]);
    return json + "}}";
}

} // namespace varnolux
