#include "shell/TAnalysisController.h"

#include "base/Messages.h"
#include "imaging/TQStatus.h"
#include "shell/TAnalysisWorker.h"
#include "shell/TImageWidget.h"
#include "shell/TProgramControl.h"
#include "shell/TStatusProgressBar.h"

#include <QEvent>

namespace varnolux {

namespace {

// The engine reports opens and runs here.
constexpr int ProgressSlot = 3;

} // namespace

TAnalysisController::TAnalysisController(TProgramControl& programControl, const TViews& views,
                                         TSettingsHolder& settings)
    : TAnalysisController(programControl, views, settings, std::make_unique<TAnalysisWorker>())
{
}

TAnalysisController::TAnalysisController(TProgramControl& programControl, const TViews& views,
                                         TSettingsHolder& settings,
                                         std::unique_ptr<TAnalysisWorker> worker)
    : programControl_(programControl)
    , views_(views)
    , display_({views.Fields, views.Chart, views.Curves})
    , settings_(settings)
    , worker_(std::move(worker))
{
    TQStatus::Instance().SetBar(ProgressSlot, views_.Progress);
    // A channel image that comes into view is painted then.
    for (TImageWidget* view : views_.Channels)
        view->installEventFilter(this);
    connect(worker_.get(), &TAnalysisWorker::Finished, this, &TAnalysisController::Finished,
            Qt::QueuedConnection);
}

TAnalysisController::~TAnalysisController()
{
    worker_.reset();
    TQStatus::Instance().SetBar(ProgressSlot, nullptr);
}

bool TAnalysisController::Open(const std::string& fileName)
{
    if (busy_)
        return false;
    StartWork();
    opening_ = true;
    hasImage_ = false;
    // Nothing of the previous image stays in view while this one loads.
    ClearResult();
    for (TImageWidget* view : {views_.Source, views_.Analysed})
        view->ExchangePicture({});
    shownOutline_.reset();
    views_.Progress->SetPosition(0);
    programControl_.SetState(StateLoading);
    worker_->RequestOpen(++lastRequest_, fileName);
    return true;
}

bool TAnalysisController::Analyse()
{
    if (busy_ || !hasImage_)
        return false;
    StartWork();
    StartRun();
    return true;
}

void TAnalysisController::AnalyseLatest()
{
    if (!hasImage_ || opening_)
        return;
    if (!busy_)
        StartWork();
    StartRun();
}

bool TAnalysisController::FindColourRange(const TPlane<std::uint8_t>& selection)
{
    if (busy_ || !hasImage_)
        return false;
    StartWork();
    programControl_.ShowWaitCursor(true);
    worker_->RequestColourRange(++lastRequest_,
                                std::make_shared<const TPlane<std::uint8_t>>(selection));
    return true;
}

TAnalysisController::TOutlineKey TAnalysisController::OutlineKey(const TOptions& options,
                                                                 const TPictureRequest& pictures)
{
    return {options.lUseExclRect,       options.iExclRectLeft,    options.iExclRectUp,
            options.iExclRectRight,     options.iExclRectDown,    options.lUseInclCircle,
            options.iInclCircleX,       options.iInclCircleY,     options.iInclCircleDiam,
            options.colColorInclCircle, options.colColorExclRect, pictures.SourceShownWidth,
            pictures.SourceShownHeight};
}

void TAnalysisController::StartWork()
{
    busy_ = true;
    Q_EMIT WorkStarted();
}

void TAnalysisController::StartRun()
{
    runRequest_ = ++lastRequest_;
    programControl_.SetState(StateAnalysing);
    const TAnalysisSettings settings = settings_.AnalysisSettings();
    TPictureRequest pictures = TPictureRequest::All();
    pictures.Channels = WatchedChannels();
    pictures.SourceShownWidth = views_.Source->width();
    pictures.SourceShownHeight = views_.Source->height();
    // The source with the outline of the analysis area in view stays right while the
    // area and the view's size do: a change of the range paints no new one.
    requestedOutline_ = OutlineKey(settings.Options, pictures);
    pictures.Source = shownOutline_ != requestedOutline_;
    // Before the request: whatever this signal leads to comes before the outcome.
    Q_EMIT AnalysisStarted();
    worker_->RequestRun(runRequest_, settings, pictures);
}

void TAnalysisController::Finished(const std::shared_ptr<TWorkOutcome>& outcome)
{
    if (outcome->Open)
        OpenFinished(*outcome);
    else if (outcome->Run)
        RunFinished(*outcome);
    else if (outcome->ColourRange)
        ColourRangeFinished(*outcome);
    else
        ChannelsFinished(*outcome);
}

TChannelRequest TAnalysisController::WatchedChannels() const
{
    TChannelRequest watched{};
    for (size_t channel = 0; channel < watched.size(); ++channel)
        watched[channel] = views_.Channels[channel]->isVisible();
    return watched;
}

bool TAnalysisController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show)
        RequestMissingChannels();
    return QObject::eventFilter(watched, event);
}

void TAnalysisController::RequestMissingChannels()
{
    // An open or a run in progress paints what is in view when it ends.
    if (busy_ || !shownResult_.Complete)
        return;
    TChannelRequest missing = WatchedChannels();
    for (size_t channel = 0; channel < missing.size(); ++channel)
        missing[channel] = missing[channel] && views_.Channels[channel]->GreyPicture().IsEmpty();
    if (missing != TChannelRequest{})
        worker_->RequestChannels(++lastRequest_, shownResult_.Settings, missing);
}

void TAnalysisController::ChannelsFinished(TWorkOutcome& outcome)
{
    TAnalysisPictures& pictures = *outcome.Channels;
    // Painted for the result shown, unless a newer request came since.
    if (outcome.Id == lastRequest_ && shownResult_.Complete)
        for (size_t channel = 0; channel < pictures.Channels.size(); ++channel)
            if (!pictures.Channels[channel].IsEmpty())
                pictures.Channels[channel] = views_.Channels[channel]->ExchangeGreyPicture(
                    std::move(pictures.Channels[channel]));
    worker_->Recycle(std::move(pictures));
}

void TAnalysisController::ColourRangeFinished(const TWorkOutcome& outcome)
{
    // A newer request (an analysis) replaced it, and ends the work itself.
    if (outcome.Id != lastRequest_)
        return;
    programControl_.ShowWaitCursor(false);
    // Ended first: the range found starts an analysis of its own.
    EndWork();
    Q_EMIT ColourRangeFound(*outcome.ColourRange);
}

void TAnalysisController::OpenFinished(const TWorkOutcome& outcome)
{
    opening_ = false;
    views_.Progress->SetPosition(0);
    opened_ = *outcome.Open;
    hasImage_ = opened_.Loaded;
    if (!hasImage_) {
        programControl_.SetState(StateNoImage);
        ShowMessages(CurrentReporter(), outcome.Messages);
        EndWork();
        return;
    }
    // Until the analysis both views show the source as read.
    views_.Source->ShowPicture(opened_.SourcePicture);
    shownOutline_.reset();
    views_.Analysed->ShowPicture(opened_.SourcePicture);
    Q_EMIT ImageOpened(opened_.FileName);
    programControl_.SetState(StateImageLoaded);
    StartRun();
    ShowMessages(CurrentReporter(), outcome.Messages);
}

void TAnalysisController::RunFinished(TWorkOutcome& outcome)
{
    TAnalysisResult& result = *outcome.Run;
    if (outcome.Id != runRequest_) {
        // A newer request replaced it: it is never shown, and it says nothing.
        worker_->Recycle(std::move(result.Pictures));
        return;
    }
    views_.Progress->SetPosition(0);
    const bool complete = result.Complete;
    settings_.TakeCorrections(result.Settings);
    ShowResult(std::move(result));
    programControl_.SetState(complete ? StateAnalysed : StateImageLoaded);
    Q_EMIT AnalysisFinished();
    EndWork();
    RequestMissingChannels();
    ShowMessages(CurrentReporter(), outcome.Messages);
}

void TAnalysisController::EndWork()
{
    busy_ = false;
    // A run that could not complete leaves the image loaded, with nothing running.
    if (programControl_.State() == StateImageLoaded)
        programControl_.ShowWaitCursor(false);
    Q_EMIT WorkFinished();
}

void TAnalysisController::ShowResult(TAnalysisResult&& result)
{
    if (!result.Complete) {
        ClearResult();
        return;
    }
    ShowPictures(result.Pictures);
    shownResult_ = std::move(result);
    display_.Show(shownResult_);
}

void TAnalysisController::ShowPictures(TAnalysisPictures& pictures)
{
    // The pictures shown so far go back to the engine, to be painted over next time.
    if (!pictures.Source.IsEmpty()) {
        pictures.Source = views_.Source->ExchangePicture(std::move(pictures.Source));
        shownOutline_ = requestedOutline_;
    }
    pictures.Analysed = views_.Analysed->ExchangePicture(std::move(pictures.Analysed));
    for (size_t channel = 0; channel < views_.Channels.size(); ++channel)
        pictures.Channels[channel] =
            views_.Channels[channel]->ExchangeGreyPicture(std::move(pictures.Channels[channel]));
    worker_->Recycle(std::move(pictures));
}

void TAnalysisController::ClearResult()
{
    shownResult_ = {};
    display_.Clear();
    TAnalysisPictures shown;
    for (size_t channel = 0; channel < views_.Channels.size(); ++channel)
        shown.Channels[channel] = views_.Channels[channel]->ExchangeGreyPicture({});
    worker_->Recycle(std::move(shown));
    Q_EMIT ResultCleared();
}

} // namespace varnolux
