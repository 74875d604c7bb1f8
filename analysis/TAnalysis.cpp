#include "analysis/TAnalysis.h"

#include "analysis/AnalysisSteps.h"
#include "analysis/MeasureShape.h"
#include "base/Messages.h"
#include "imaging/TImageView.h"
#include "imaging/TQImage.h"
#include "imaging/TQStatus.h"
#include "settings/NumberText.h"

#include <cmath>
#include <ctime>
#include <new>
#include <optional>

namespace varnolux {

namespace {

constexpr int ProgressSlot = 3;
constexpr int RunProgressSteps = 6;

std::string CurrentDateTimeText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[128];
    const size_t length = std::strftime(text, sizeof text, "%x %X", &local);
    return {text, length};
}

void ReportFailure(std::string_view label, const std::string& fileName, const std::exception& error)
{
    CurrentReporter().ShowLanguageMessage(label, {fileName, error.what()});
}

// A scale of 0 or below would divide by zero or turn areas negative; one whose square
// is no normal double, or under which the image's area overflows, would put 0 or INF
// into the areas in square units. No area exceeds the image's pixel count.
bool IsUsableMeasure(double measure, double imagePixels)
{
    const double square = measure * measure;
    return measure > 0 && std::isnormal(square) && std::isfinite(imagePixels / square);
}

/// The plain source with the outline of the analysis area, drawn thick enough to stay
/// visible at the size the picture is shown at.
void PaintSourcePicture(TImageSession& session, const TQROIL& area, const TOptions& options,
                        const TPictureRequest& request, TBitmap24& picture)
{
    if (session.SourcePicture())
        picture = *session.SourcePicture();
    else
        session.PaintSource(picture);
    TImageBox shown(request.SourceShownWidth, request.SourceShownHeight);
    std::swap(shown.Picture(), picture);
    TQImage surface(&shown);
    DrawAreaOutline(area, surface, options);
    std::swap(shown.Picture(), picture);
}

/// The grey pictures of the channels asked for, over the mask of the HSV image.
void PaintChannelPictures(TImageSession& session, const TChannelRequest& channels,
                          TAnalysisPictures& pictures)
{
    std::array<TGreyBitmap*, 3> painted{};
    for (size_t channel = 0; channel < channels.size(); ++channel)
        if (channels[channel]) {
            pictures.Channels[channel] = session.TakeGreyPicture();
            painted[channel] = &pictures.Channels[channel];
        }
    if (painted != std::array<TGreyBitmap*, 3>{})
        DrawChannelImages(session.Hsv(), painted);
}

/// The steps of a run in their order; the result's settings take the corrections.
void RunSteps(TImageSession& session, TRegionWorkspace& workspace, const TPictureRequest& request,
              TAnalysisResult& result)
{
    TAnalysisTimings& timings = result.Timings;
    std::optional<TPhaseTimer> runTimer(timings.Run);
    TAnalysisSettings& settings = result.Settings;
    TOptions& options = settings.Options;
    TQROIRGB& hsv = session.Hsv();
    TAnalysisPictures& pictures = result.Pictures;
    TQStatus& status = TQStatus::Instance();
    status.StartProgress(ProgressSlot, 0, RunProgressSteps, 0);

    {
        const TPhaseTimer timer(timings.Area);
        ApplyAnalysisArea(hsv, options);
    }
    status.StepProgress(ProgressSlot, 1);

    {
        const TPhaseTimer timer(timings.Curves);
        if (request.Curves)
            result.Curves = ComputeChannelCurves(hsv);
        PaintChannelPictures(session, request.Channels, pictures);
    }
    status.StepProgress(ProgressSlot, 2);

    double analysisArea = 0.0;
    {
        const TPhaseTimer timer(timings.Area);
        if (request.Source) {
            pictures.Source = session.TakePicture();
            PaintSourcePicture(session, hsv, options, request, pictures.Source);
        }
        analysisArea = Area(hsv);
    }
    status.StepProgress(ProgressSlot, 3);

    const TColourRange limits = settings.Range;
    for (size_t i = 0; i < limits.size(); ++i)
        options.rangeTexts[i] = std::to_string(limits[i]);
    TMeasurement& measurement = result.Measurement;
    measurement.DateTime = CurrentDateTimeText();

    {
        const TPhaseTimer timer(timings.Classification);
        ClassifyPixels(hsv, limits);
    }
    status.StepProgress(ProgressSlot, 4);
    // The selection goes to the result image; the analysed picture is drawn once, with
    // the kept regions only, after the labelling.
    TQROIRGB& selection = session.Colours();
    selection.TQROIL::Assign(hsv);

    const double minRegion = ReadMinRegion(options);
    const double measure = ReadMeasure(settings, double(hsv.Width()) * double(hsv.Height()));
    const double threshold = (minRegion * measure) * measure;
    // The channels are only read to measure every kept region for the table.
    const TQROIRGB* channels = settings.MeasureRegionTable ? &hsv : nullptr;
    TRegionStatistics statistics;
    if (request.Analysed) {
        pictures.Analysed = session.TakePicture();
        TImageBox analysed;
        std::swap(analysed.Picture(), pictures.Analysed);
        TQImage surface(&analysed);
        surface.BackgroundColour = TColour(options.ColorBack);
        statistics = MeasureRegions(selection, threshold, surface, &timings, channels, &workspace);
        std::swap(analysed.Picture(), pictures.Analysed);
    } else {
        statistics = MeasureRegions(selection, threshold, &timings, channels, &workspace);
    }
    result.Regions = std::move(statistics.Kept);
    status.StepProgress(ProgressSlot, 5);

    measurement.ImageFileName = session.FileName();
    measurement.AnalysisArea = analysisArea;
    measurement.ObjectArea = statistics.Sum;
    measurement.Count = statistics.Count;
    measurement.MinRegion = minRegion;
    measurement.Measure = measure;
    measurement.UnitsOn = options.lCheckBoxUnits;
    measurement.Unit = settings.UnitText;
    measurement.Options = options;
    measurement.MeasureText = settings.MeasureText;
    measurement.ImageFingerprint = session.Fingerprint();
    result.Fields = MakeResultFields(measurement);
    runTimer.reset();
    {
        const TPhaseTimer timer(timings.Fingerprints);
        result.Items = MakeResultTable(measurement);
    }
    status.StepProgress(ProgressSlot, RunProgressSteps);
    if (settings.MeasureRegionTable) {
        result.RegionSelection = std::make_shared<const TQROIL>(selection);
        result.RegionTable = {result.Items.GetValueText("Path"), result.Items.GetValueText("Name"),
                              measure, result.Items.GetValueText("SHAResult"),
                              std::move(statistics.Regions)};
    }
}

} // namespace

double ReadMinRegion(TOptions& options)
{
    TParsedNumber minRegion = ParseNumberStrict(options.EditMinRegion, 0.0);
    // A size below 0 would keep every region and be saved as the size in force.
    if (!minRegion.success || minRegion.value < 0) {
        options.EditMinRegion = "0";
        CurrentReporter().ShowLanguageMessage("LabelMinimalAreaInvalid", {});
        minRegion = ParseNumberStrict(options.EditMinRegion, 0.0);
    }
    return minRegion.value;
}

double ReadMeasure(TAnalysisSettings& settings, double imagePixels)
{
    TOptions& options = settings.Options;
    if (!options.lCheckBoxUnits)
        return 1.0;
    const TParsedNumber measure = ParseNumberStrict(options.EditMeasure, 0.0);
    if (measure.success && IsUsableMeasure(measure.value, imagePixels))
        return measure.value;
    options.EditMeasure = "1";
    settings.MeasureText = "1";
    CurrentReporter().ShowLanguageMessage("LabelInvalidMeasure", {});
    return 1.0;
}

const std::array<const char*, 23>& TAnalysis::ResultItemNames()
{
    return varnolux::ResultItemNames();
}

void ApplyOptions(TAnalysisSettings& settings, const TOptions& options)
{
    settings.Options = options;
    for (size_t i = 0; i < settings.Range.size(); ++i)
        if (!ApplyRangeText(options.rangeTexts[i], settings.Range[i]))
            CurrentReporter().ShowLanguageMessage(
                "LabelInvalidValueTrackBarPositionFromLabeledEdit",
                {CurrentReporter().LanguageMessageText(RangeFieldLabels[i])});
    settings.MeasureText = options.lCheckBoxUnits ? options.EditMeasure : std::string();
    settings.UnitText = UnitName(options.ComboBoxUnits);
}

TAnalysis::TAnalysis()
    : regionWorkspace_(std::make_unique<TRegionWorkspace>())
{
}

TAnalysis::~TAnalysis() = default;

TOpenResult TAnalysis::LoadImage(const std::string& fileName, bool sourcePicture)
{
    imageLoaded_ = false;
    TOpenResult open;
    open.FileName = fileName;
    // What the previous image holds is in use until the new one exists, and counts as
    // such for it; the promise made for it goes.
    if (session_)
        session_->ReleaseMemoryReservation();
    // The planes of the previous image take the next one when it has their size.
    std::unique_ptr<TImageSession> first = session_ ? nullptr : std::make_unique<TImageSession>();
    TImageSession& session = first ? *first : *session_;
    try {
        imageLoaded_ = session.Open(fileName, sourcePicture, open.Timings);
        if (imageLoaded_ && first)
            session_ = std::move(first);
    } catch (const TQCancelled&) {
        open.Cancelled = true;
    } catch (const std::bad_alloc&) {
        CurrentReporter().ShowLanguageMessage("LNoMemoryToOpen", {fileName});
    } catch (const std::exception& error) {
        ReportFailure("LCannotOpenImage", fileName, error);
    }
    if (!imageLoaded_)
        return open;
    open.Loaded = true;
    open.Width = session_->Width();
    open.Height = session_->Height();
    open.SourcePicture = session_->SourcePicture();
    return open;
}

TAnalysisResult TAnalysis::Run(const TAnalysisSettings& settings, const TPictureRequest& pictures)
{
    TAnalysisResult result;
    result.Settings = settings;
    if (!imageLoaded_)
        return result;
    result.Timings = session_->OpenTimings();
    try {
        RunSteps(*session_, *regionWorkspace_, pictures, result);
        result.Complete = true;
        return result;
    } catch (const TQCancelled&) {
        result.Cancelled = true;
    } catch (const std::bad_alloc&) {
        CurrentReporter().ShowLanguageMessage("LNoMemoryToAnalyse", {session_->FileName()});
    } catch (const std::exception& error) {
        ReportFailure("LCannotAnalyseImage", session_->FileName(), error);
    }
    // Nothing of a run that did not complete may be shown or saved.
    TAnalysisResult incomplete;
    incomplete.Cancelled = result.Cancelled;
    incomplete.Settings = std::move(result.Settings);
    incomplete.Timings = result.Timings;
    Recycle(std::move(result.Pictures));
    return incomplete;
}

TAnalysisPictures TAnalysis::PaintChannelImages(const TAnalysisSettings& settings,
                                                const TChannelRequest& channels)
{
    TAnalysisPictures pictures;
    if (!imageLoaded_)
        return pictures;
    try {
        // The working mask is free between runs: the selection lies in the colours.
        TOptions options = settings.Options;
        ApplyAnalysisArea(session_->Hsv(), options);
        PaintChannelPictures(*session_, channels, pictures);
    } catch (const TQCancelled&) {
        Recycle(std::move(pictures));
        return {};
    } catch (const std::bad_alloc&) {
        CurrentReporter().ShowLanguageMessage("LNoMemoryToPaintChannels", {session_->FileName()});
        Recycle(std::move(pictures));
        return {};
    }
    return pictures;
}

void TAnalysis::CloseImage()
{
    session_.reset();
    *regionWorkspace_ = {};
    imageLoaded_ = false;
}

bool TAnalysis::AddSparePicture(std::size_t count)
{
    return session_ && session_->AddSparePicture(count);
}

void TAnalysis::Recycle(TAnalysisPictures&& pictures)
{
    if (!session_)
        return;
    session_->Recycle(std::move(pictures.Source));
    session_->Recycle(std::move(pictures.Analysed));
    for (TGreyBitmap& picture : pictures.Channels)
        session_->Recycle(std::move(picture));
}

} // namespace varnolux
