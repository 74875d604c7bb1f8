#pragma once

#include "analysis/ColourRangeFromMask.h"
#include "analysis/TAnalysis.h"
#include "shell/TResultDisplay.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <QObject>

namespace varnolux {

class TAnalysisWorker;
class TImageWidget;
class TLabeledEdit;
class TProgramControl;
class TStatusProgressBar;
class Tsp_XYLine;
class Tsp_XYPlot;
struct TWorkOutcome;

/// Where the analysis controller reads the settings of each analysis, and where the
/// corrections of a run that is shown go back to.
class TSettingsHolder {
public:
    virtual ~TSettingsHolder() = default;
    /// The settings in force now.
    virtual TAnalysisSettings AnalysisSettings() const = 0;
    /// The settings a shown run went by, corrections made.
    virtual void TakeCorrections(const TAnalysisSettings& settings) = 0;
};

/// Runs the engine's opens and analyses on one worker thread and shows their results.
/// The newest request wins: a change of the range during an analysis cancels it at its
/// next progress step and starts the new one, and a result of a request that a newer
/// one replaced is never shown, kept or saved. Opens and analyses set the program
/// states (loading 3, then 4 or no image 2; analysing 5, then 6 or 4).
class TAnalysisController : public QObject {
    Q_OBJECT

public:
    /// The controls a result is shown in.
    struct TViews {
        TImageWidget* Source = nullptr;
        TImageWidget* Analysed = nullptr;
        std::array<TImageWidget*, 3> Channels{}; // H, S, V
        /// AnaArea, AreaPixel, Count, MeanSize, Percent, AreaCM, AnaAreaCM, MeanSizeCM.
        std::array<TLabeledEdit*, 8> Fields{};
        Tsp_XYPlot* Chart = nullptr;
        std::array<Tsp_XYLine*, 3> Curves{}; // H, S, V
        TStatusProgressBar* Progress = nullptr;
    };

    TAnalysisController(TProgramControl& programControl, const TViews& views,
                        TSettingsHolder& settings);
    /// With a worker of the caller's.
    TAnalysisController(TProgramControl& programControl, const TViews& views,
                        TSettingsHolder& settings, std::unique_ptr<TAnalysisWorker> worker);
    ~TAnalysisController() override;

    /// Opens the image and analyses it with the settings in force at the end of the
    /// open. False, doing nothing, while work runs.
    bool Open(const std::string& fileName);
    /// Analyses the loaded image with the settings in force. False, doing nothing,
    /// while work runs or without an image.
    bool Analyse();
    /// Analyses with the settings in force, cancelling an analysis that runs. Nothing
    /// without an image, nor during an open: its analysis takes the settings then.
    void AnalyseLatest();

    /// Derives a colour range from the opened image's pixels that the selection marks,
    /// on the worker: ColourRangeFound follows, unless a newer request replaces this one.
    /// False, doing nothing, while work runs or without an image.
    bool FindColourRange(const TPlane<std::uint8_t>& selection);

    /// Whether an open or an analysis runs or waits.
    bool Busy() const { return busy_; }
    bool HasImage() const { return hasImage_; }
    /// The result on screen: what Save result writes and the fingerprint dialog shows.
    /// Nothing analysed holds an empty "Path" and "Name".
    const TAnalysisResult& ShownResult() const { return shownResult_; }
    /// Hands the regions table of the result shown over, once: it may hold millions of
    /// rows, which are not copied.
    TRegionTable TakeRegionTable() { return std::exchange(shownResult_.RegionTable, {}); }
    /// The last image opened.
    const TOpenResult& OpenedImage() const { return opened_; }
    /// Shows no result: fields, curves and channel images empty.
    void ClearResult();

Q_SIGNALS:
    /// An open or an analysis starts while nothing ran.
    void WorkStarted();
    /// An analysis was handed to the worker (state 5).
    void AnalysisStarted();
    /// An open succeeded: both image views show the source.
    void ImageOpened(const std::string& fileName);
    /// A result is shown, complete or not.
    void AnalysisFinished();
    /// The colour range of a selection, or why there is none.
    void ColourRangeFound(const varnolux::TMaskRange& range);
    /// Nothing runs or waits any more.
    void WorkFinished();
    /// No result is shown any more.
    void ResultCleared();

private:
    /// What the outline on the source picture depends on: the analysis area, its
    /// colours and the size it is shown at.
    using TOutlineKey = std::array<int, 13>;
    static TOutlineKey OutlineKey(const TOptions& options, const TPictureRequest& pictures);

    void StartWork();
    void StartRun();
    void Finished(const std::shared_ptr<TWorkOutcome>& outcome);
    void OpenFinished(const TWorkOutcome& outcome);
    void RunFinished(TWorkOutcome& outcome);
    void ShowResult(TAnalysisResult&& result);
    void ShowPictures(TAnalysisPictures& pictures);
    /// The channel images in view: only those are painted.
    TChannelRequest WatchedChannels() const;
    /// Asks for the channel images in view that the result shown lacks.
    void RequestMissingChannels();
    void ChannelsFinished(TWorkOutcome& outcome);
    void ColourRangeFinished(const TWorkOutcome& outcome);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void EndWork();

    TProgramControl& programControl_;
    TViews views_;
    TResultDisplay display_;
    TSettingsHolder& settings_;
    std::unique_ptr<TAnalysisWorker> worker_;
    std::uint64_t lastRequest_ = 0;
    std::uint64_t runRequest_ = 0; // the analysis whose result is to be shown
    bool busy_ = false;
    bool opening_ = false;
    bool hasImage_ = false;
    TOpenResult opened_;
    TAnalysisResult shownResult_;
    /// The outline of the source picture in view, if a run painted it, and that of the
    /// newest run requested.
    std::optional<TOutlineKey> shownOutline_;
    TOutlineKey requestedOutline_{};
};

} // namespace varnolux
