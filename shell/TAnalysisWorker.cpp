#include "shell/TAnalysisWorker.h"

#include "imaging/TQStatus.h"

namespace varnolux {

namespace {

/// The range from the planes of the open, which no run changes: no second conversion
/// of the whole image.
TMaskRange ColourRangeOfSelection(const TAnalysis& engine, const TPlane<std::uint8_t>& selection)
{
    const TImageSession* session = engine.Session();
    if (!session)
        return {.Failure = TMaskRange::TFailure::OtherSize};
    return ColourRangeFromMask(session->Hsv(), selection, ColourRangeSpread);
}

} // namespace

TAnalysisWorker::TAnalysisWorker(QObject* parent)
    : QThread(parent)
{
    start();
}

TAnalysisWorker::~TAnalysisWorker()
{
    {
        const QMutexLocker lock(&mutex_);
        ending_ = true;
        cancelled_ = true;
        wake_.wakeOne();
    }
    wait();
}

void TAnalysisWorker::RequestOpen(std::uint64_t id, const std::string& fileName)
{
    Request({id, TWork::Open, fileName, {}, {}, {}});
}

void TAnalysisWorker::RequestRun(std::uint64_t id, const TAnalysisSettings& settings,
                                 const TPictureRequest& pictures)
{
    Request({id, TWork::Run, {}, settings, pictures, {}});
}

void TAnalysisWorker::RequestChannels(std::uint64_t id, const TAnalysisSettings& settings,
                                      const TChannelRequest& channels)
{
    TPictureRequest pictures;
    pictures.Channels = channels;
    Request({id, TWork::Channels, {}, settings, pictures, {}});
}

void TAnalysisWorker::RequestColourRange(std::uint64_t id,
                                         std::shared_ptr<const TPlane<std::uint8_t>> selection)
{
    Request({id, TWork::ColourRange, {}, {}, {}, std::move(selection)});
}

void TAnalysisWorker::Request(TRequest request)
{
    const QMutexLocker lock(&mutex_);
    pending_ = std::move(request);
    // The work in progress is out of date: it stops at its next progress report.
    if (working_)
        cancelled_ = true;
    wake_.wakeOne();
}

void TAnalysisWorker::Recycle(TAnalysisPictures&& pictures)
{
    const QMutexLocker lock(&mutex_);
    recycled_.push_back(std::move(pictures));
}

void TAnalysisWorker::run()
{
    TAnalysis engine;
    const TQStatus::TCancelScope cancelScope(&cancelled_);
    bool afterOpen = false; // no run on the opened image has completed yet
    for (;;) {
        TRequest request;
        {
            QMutexLocker lock(&mutex_);
            working_ = false;
            while (!pending_ && !ending_)
                wake_.wait(&mutex_);
            if (ending_)
                return;
            request = std::move(*pending_);
            pending_.reset();
            for (TAnalysisPictures& pictures : recycled_)
                engine.Recycle(std::move(pictures));
            recycled_.clear();
            // Cleared together with taking the newest request: a cancel set since is
            // meant for this one.
            cancelled_ = false;
            working_ = true;
        }
        auto outcome = std::make_shared<TWorkOutcome>(Work(engine, request));
        const bool firstRun = outcome->Run && afterOpen && outcome->Run->Complete;
        if (outcome->Open)
            afterOpen = outcome->Open->Loaded;
        else if (firstRun)
            afterOpen = false;
        Q_EMIT Finished(std::move(outcome));
        if (firstRun)
            PrepareSparePictures(engine, request.Pictures);
    }
}

bool TAnalysisWorker::NewRequestWaiting()
{
    const QMutexLocker lock(&mutex_);
    return pending_ || ending_;
}

void TAnalysisWorker::PrepareSparePictures(TAnalysis& engine, const TPictureRequest& pictures)
{
    // The pictures of the first run on an image stay on screen while the next run
    // paints: that one would wait for fresh memory. A spare analysed picture is made now,
    // while the user looks; the source with its outline is painted again only when the
    // analysis area or the view's size changes, which a change of the range does not.
    while (!NewRequestWaiting() && engine.AddSparePicture(std::size_t(pictures.Analysed))) {
    }
}

TWorkOutcome TAnalysisWorker::Work(TAnalysis& engine, const TRequest& request)
{
    // The engine's messages wait with its outcome for the user interface's thread.
    TMessageList messages;
    const TScopedReporter collect(messages);
    TWorkOutcome outcome;
    outcome.Id = request.Id;
    switch (request.Work) {
    case TWork::Open:
        outcome.Open = engine.LoadImage(request.FileName, true);
        break;
    case TWork::Run:
        outcome.Run = engine.Run(request.Settings, request.Pictures);
        break;
    case TWork::Channels:
        outcome.Channels = engine.PaintChannelImages(request.Settings, request.Pictures.Channels);
        break;
    case TWork::ColourRange:
        outcome.ColourRange = ColourRangeOfSelection(engine, *request.Selection);
        break;
    }
    outcome.Messages = messages.Take();
    return outcome;
}

} // namespace varnolux
