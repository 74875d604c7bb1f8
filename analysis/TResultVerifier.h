#pragma once

#include "analysis/TAnalysis.h"
#include "results/TResultFileReader.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnolux {

/// What the verification found wrong with a line of a result file.
enum class TFindingKind {
    FieldCount,      // Arguments: the fields found, the fields of the header
    HeaderLine,      // a header line among the value lines
    EmptyLine,       //
    LineTooLong,     // Arguments: the longest line read, in bytes
    Edited,          // SHAResult is not that of the line's values
    ImageMissing,    // Arguments: the image file
    ImageUnreadable, // Arguments: the image file, why
    ImageChanged,    // Arguments: the image file
    OtherOptions,    // Arguments: the options file
    NotAnalysed,     // Arguments: why the image could not be analysed again
    NotReproduced,   // Differences: the items that came out otherwise
};
inline constexpr std::size_t FindingKindCount = 11;

/// The kinds of finding the summary counts, in its order.
enum class TFindingCategory {
    Edited,
    ImageChanged,
    ImageMissing,
    OtherOptions,
    NotReproduced,
    ImageUnreadable,
    Malformed,
};
inline constexpr std::size_t FindingCategoryCount = 7;

TFindingCategory CategoryOf(TFindingKind kind);

/// An item whose new analysis does not give the stored text.
struct TItemDifference {
    std::string Item;
    std::string Stored;
    std::string Found;
};

struct TFinding {
    TFindingKind Kind;
    std::vector<std::string> Arguments;
    std::vector<TItemDifference> Differences;
};

/// The outcome of one value line.
struct TLineVerdict {
    /// The line's number in the file; the header is line 1.
    std::size_t Line = 0;
    /// Path + Name of the line; empty for a malformed line.
    std::string ImageFile;
    std::vector<TFinding> Findings;

    bool Ok() const { return Findings.empty(); }
    bool Has(TFindingCategory category) const;
};

/// How many lines were verified, how many were ok, and how many had a finding of
/// each category (a line with several counts in each).
struct TVerifySummary {
    std::size_t Lines = 0;
    std::size_t Ok = 0;
    std::array<std::size_t, FindingCategoryCount> Categories{};

    void Add(const TLineVerdict& verdict);
    std::size_t Count(TFindingCategory category) const { return Categories[std::size_t(category)]; }
    bool AllOk() const { return Ok == Lines; }
};

struct TVerifySettings {
    /// The options the lines should have been made with, applied as for a run
    /// (ApplyOptions); without them the options are not checked.
    std::optional<TAnalysisSettings> Options;
    /// The options file's name, for the findings.
    std::string OptionsName;
    /// Analyse again each line whose image and options match (needs Options).
    bool Reanalyse = false;
    /// Lines verified at once, each on its own thread.
    int Jobs = 1;
};

/// Checks every value line of a result file: that its values are those SHAResult was
/// made of, that the image file still has the bytes of SHAImageFile, optionally that
/// the options give SHAOptions and that a new analysis gives every item but DateTime
/// as stored. Lines are read as they are verified, so memory does not grow with the
/// file; with several jobs the lines are verified in parallel and still delivered in
/// file order.
class TResultVerifier {
public:
    /// Opens the file and reads its header line. Throws TResultFileError when it
    /// cannot be read or its first line is not the header of a result file.
    TResultVerifier(const std::string& resultFile, TVerifySettings settings);
    ~TResultVerifier();
    TResultVerifier(const TResultVerifier&) = delete;
    TResultVerifier& operator=(const TResultVerifier&) = delete;

    /// Called on the thread that runs the verification, in file order, with the part
    /// of the file read so far (0..1).
    using TDeliver = std::function<void(const TLineVerdict& verdict, double progress)>;

    /// Verifies the lines and hands each verdict over; stops early, after the lines in
    /// work, once cancel is set. Throws TResultFileError when reading fails midway and
    /// std::bad_alloc when memory runs out, after delivering the lines before.
    TVerifySummary Run(const TDeliver& deliver, const std::atomic<bool>* cancel = nullptr);

private:
    class TLineChecker;
    struct TWorkerEngine;

    TVerifySummary RunInOrder(const TDeliver& deliver, const std::atomic<bool>* cancel);
    TVerifySummary RunInParallel(const TDeliver& deliver, const std::atomic<bool>* cancel,
                                 int jobs);
    double Progress(const TResultFileLine& line) const;

    TResultFileReader reader_;
    TVerifySettings settings_;
    std::unique_ptr<TLineChecker> checker_;
};

/// The English text of a finding as the batch command prints it:
/// "edited: the values were changed after saving".
std::string FindingText(const TFinding& finding);
/// The format of that text, "%s" standing for the finding's arguments in order.
std::string FindingFormat(TFindingKind kind);
/// The texts that fill the format; for differences each is written with
/// differenceFormat (item, stored text, new text) and they are joined by ", ".
std::vector<std::string> FindingArguments(const TFinding& finding,
                                          std::string_view differenceFormat = "%s %s (now %s)");

/// The word for a category in the summary: "image changed".
std::string CategoryName(TFindingCategory category);

/// "LINE: ok", or "LINE: " and the findings' texts joined by "; ".
std::string VerdictText(const TLineVerdict& verdict);
/// "N lines: N ok, N edited, N image changed, N image missing, N other options,
/// N not reproduced, N image unreadable, N malformed".
std::string SummaryText(const TVerifySummary& summary);

/// A verdict as one JSON object on one line: line, image, ok, and the findings with
/// their category, text and, for items that came out otherwise, stored and new text.
std::string VerdictJson(const TLineVerdict& verdict);
/// {"summary":{"lines":N,"ok":N,"edited":N,…}}
std::string SummaryJson(const TVerifySummary& summary);

} // namespace varnolux
