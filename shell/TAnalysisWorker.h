#pragma once

#include "analysis/ColourRangeFromMask.h"
#include "analysis/TAnalysis.h"
#include "base/Messages.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

namespace varnolux {

/// What the worker hands back for one request.
struct TWorkOutcome {
    std::uint64_t Id = 0;
    /// An open's outcome, a run's, or the channel pictures painted for a shown run.
    std::optional<TOpenResult> Open;
    std::optional<TAnalysisResult> Run;
    std::optional<TAnalysisPictures> Channels;
    /// The colour range of a selection.
    std::optional<TMaskRange> ColourRange;
    /// What the engine had to tell the user while it worked, in order.
    std::vector<TMessage> Messages;
};

/// The thread that owns the analysis engine and does one request at a time: opens and
/// analyses. A newer request cancels the one running at its next progress report, and
/// replaces one that waits; outcomes come back through a queued signal.
class TAnalysisWorker : public QThread {
    Q_OBJECT

public:
    explicit TAnalysisWorker(QObject* parent = nullptr);
    /// Cancels what runs and waits for the thread.
    ~TAnalysisWorker() override;

    void RequestOpen(std::uint64_t id, const std::string& fileName);
    void RequestRun(std::uint64_t id, const TAnalysisSettings& settings,
                    const TPictureRequest& pictures);
    /// Paints channel pictures a complete run with these settings was not asked for.
    void RequestChannels(std::uint64_t id, const TAnalysisSettings& settings,
                         const TChannelRequest& channels);
    /// Derives the colour range of the opened image's pixels that the selection marks,
    /// from the hue, saturation and brightness the open computed.
    void RequestColourRange(std::uint64_t id,
                            std::shared_ptr<const TPlane<std::uint8_t>> selection);
    /// Pictures that are no longer shown, for later runs to paint into.
    void Recycle(TAnalysisPictures&& pictures);

Q_SIGNALS:
    /// The outcome of a request that was not replaced before it started.
    void Finished(std::shared_ptr<varnolux::TWorkOutcome> outcome);

protected:
    void run() override;

private:
    enum class TWork { Open, Run, Channels, ColourRange };
    struct TRequest {
        std::uint64_t Id = 0;
        TWork Work = TWork::Run;
        std::string FileName;
        TAnalysisSettings Settings;
        TPictureRequest Pictures;
        std::shared_ptr<const TPlane<std::uint8_t>> Selection;
    };

    void Request(TRequest request);
    bool NewRequestWaiting();
    void PrepareSparePictures(TAnalysis& engine, const TPictureRequest& pictures);
    TWorkOutcome Work(TAnalysis& engine, const TRequest& request);

    QMutex mutex_;
    QWaitCondition wake_;
    std::optional<TRequest> pending_;
    std::vector<TAnalysisPictures> recycled_;
    bool working_ = false;
    bool ending_ = false;
    std::atomic<bool> cancelled_{false};
};

} // namespace varnolux
