#include "analysis/TAnalysis.h"

#include "analysis/AnalysisSteps.h"
#include "analysis/MeasureShape.h"
#include "imaging/BmpFile.h"
#include "imaging/TQError.h"
#include "input/AvailableMemory.h"
#include "input/TImageFileBytes.h"
#include "input/TKVFreeImage.h"
#include "results/NumberFormat.h"
#include "results/ShaFingerprint.h"
#include "settings/Messages.h"
#include "settings/NumberText.h"
#include "settings/ProgramInfo.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <new>
#include <optional>

namespace varnolux {

namespace {

constexpr int ColourCircleViewSize = 166;

bool IsExistingFile(const std::string& fileName)
{
    std::error_code error;
    return std::filesystem::is_regular_file(fileName, error);
}

/// Deletes a temporary file when it goes out of scope.
class TTemporaryFile {
public:
    explicit TTemporaryFile(std::string fileName)
        : fileName_(std::move(fileName))
    {
    }
    ~TTemporaryFile()
    {
        std::error_code ignored;
        std::filesystem::remove(fileName_, ignored);
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;
    const std::string& Name() const { return fileName_; }

private:
    std::string fileName_;
};

std::string CurrentDateTimeText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[128];
    const size_t length = std::strftime(text, sizeof text, "%x %X", &local);
    return {text, length};
}

void ReportFailure(const std::string& what, const std::string& fileName,
                   const std::exception& error)
{
    CurrentReporter().ShowMessage(what + " " + fileName + ": " + error.what());
}

void ReportOutOfMemory(const std::string& what, const std::string& fileName)
{
    CurrentReporter().ShowMessage("Not enough memory " + what + " " + fileName +
                                  ". Close other programs or use a smaller image.");
}

// A scale of 0 or below would divide by zero or turn areas negative; one whose square
// is no normal double, or under which the image's area overflows, would put 0 or INF
// into the areas in square units. No area exceeds the image's pixel count.
bool IsUsableMeasure(double measure, double imagePixels)
{
    const double square = measure * measure;
    return measure > 0 && std::isnormal(square) && std::isfinite(imagePixels / square);
}

std::string MeasureAreaText(double value, double measure, int decimals)
{
    return FormatFixed(value / (measure * measure), decimals);
}

} // namespace

const std::array<const char*, 23>& TAnalysis::ResultItemNames()
{
    static const std::array<const char*, 23> names = {
        "Path",         "Name",       "DateTime", "AreaPercent",   "AnalysisAreaPixel",
        "AnalysisArea", "AreaPixel",  "Area",     "MeanSizePixel", "MeanSize",
        "Measure",      "Unit",       "Count",    "MinRegion",     "HMin",
        "HMax",         "VMin",       "VMax",     "SMin",          "SMax",
        "SHAImageFile", "SHAOptions", "SHAResult"};
    return names;
}

void ApplyOptions(TAnalysisSettings& settings, const TOptions& options)
{
    settings.Options = options;
    for (size_t i = 0; i < RangeControls.size(); ++i)
        if (!ApplyEditToTrackBar(options.rangeTexts[i], settings.TrackBars[i]))
            CurrentReporter().ShowLanguageMessage(
                "LabelInvalidValueTrackBarPositionFromLabeledEdit",
                {CurrentReporter().LanguageMessageText(RangeControls[i].FieldLabel)});
    settings.MeasureText = options.lCheckBoxUnits ? options.EditMeasure : std::string();
    settings.UnitText = UnitName(options.ComboBoxUnits);
}

TAnalysis::TAnalysis(TAnalysisViews views, TColour backgroundColour, TAnalysisHost* host,
                     TQProgressBar* progressBar)
    : views_(views)
    , host_(host)
    , progressBar_(progressBar)
{
    std::array<TImageView**, 6> slots = {&views_.Original, &views_.Analysed, &views_.ChannelH,
                                         &views_.ChannelS, &views_.ChannelV, &views_.ColourCircle};
    for (size_t i = 0; i < slots.size(); ++i)
        if (!*slots[i]) {
            const bool circle = slots[i] == &views_.ColourCircle;
            ownedViews_[i] =
                circle ? std::make_unique<TImageBox>(ColourCircleViewSize, ColourCircleViewSize)
                       : std::make_unique<TImageBox>();
            *slots[i] = ownedViews_[i].get();
        }
    SourceSurface.SetImage(views_.Original);
    AnalysedSurface.SetImage(views_.Analysed);
    SetBackgroundColour(backgroundColour);
    DrawColourCircle();
}

TAnalysis::~TAnalysis() = default;

TImageView& TAnalysis::ChannelView(int channel)
{
    return *std::array{views_.ChannelH, views_.ChannelS, views_.ChannelV}.at(size_t(channel));
}

void TAnalysis::SetBackgroundColour(TColour colour)
{
    SourceSurface.BackgroundColour = colour;
    AnalysedSurface.BackgroundColour = colour;
}

void TAnalysis::SetState(TProgramState state)
{
    state_ = state;
    if (host_)
        host_->ProgramStateChanged(state);
}

void TAnalysis::ResetProgress()
{
    if (progressBar_)
        progressBar_->SetPosition(0);
}

void TAnalysis::Reset()
{
    SourceSurface.Clear();
    AnalysedSurface.Clear();
    ResetProgress();
    Results.Clear();
    Regions = {};
    Results.AddString("Path", "");
    Results.AddString("Name", "");
}

bool TAnalysis::LoadImage(const std::string& fileName)
{
    Reset();
    SetState(StateLoading);
    SourceSurface.ResetBitmap();
    AnalysedSurface.ResetBitmap();
    imageLoaded_ = false;
    Timings = {};
    try {
        imageLoaded_ = LoadImageSteps(fileName);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory("to open", fileName);
    } catch (const std::exception& error) {
        ReportFailure("Cannot open", fileName, error);
    }
    ResetProgress();
    if (!imageLoaded_) {
        // The previous image copies stay, but nothing is shown and nothing can run.
        SourceSurface.ResetBitmap();
        AnalysedSurface.ResetBitmap();
        SourceSurface.Repaint();
        AnalysedSurface.Repaint();
    }
    SetState(imageLoaded_ ? StateImageLoaded : StateNoImage);
    return imageLoaded_;
}

bool TAnalysis::LoadImageSteps(const std::string& fileName)
{
    if (!IsExistingFile(fileName)) {
        CurrentReporter().ShowLanguageMessage("FileNotFound", {fileName});
        return false;
    }
    ImageFileName = fileName;
    TQStatus::Instance().SetBar(3, progressBar_);

    // Everything of the open but the fingerprint and the conversion counts as reading.
    std::optional<TPhaseTimer> readTimer(Timings.Read);
    // The old copies stay until the new ones exist; what they hold is in use, and
    // counts as such for the new image.
    memoryReservation_.reset();
    auto source = std::make_unique<TQROIRGB>();
    std::string fingerprint;
    auto reservation = std::make_unique<TMemoryReservation>();
    {
        TKVFreeImage reader;
        std::unique_ptr<TBitmap24> bitmap;
        {
            // The bytes fingerprinted are the bytes decoded; they go once decoded.
            const TImageFileBytes file = TImageFileBytes::Read(fileName);
            readTimer.reset();
            {
                const TPhaseTimer fingerprintTimer(Timings.Fingerprint);
                fingerprint = Sha256TextHex(file.Text());
            }
            readTimer.emplace(Timings.Read);
            bitmap = reader.LoadToBitmap(file);
        }
        if (!bitmap)
            return false;
        *reservation = reader.TakeMemoryReservation();
        const TTemporaryFile bitmapFile(MakeTempFileName("KVVXTMP", "bmp"));
        WriteBmpFile(*bitmap, bitmapFile.Name());
        bitmap.reset();
        source->LoadFromFile(bitmapFile.Name(), 0, false);
    }
    if (views_.Original->IsWatched()) {
        source->SetImage(&SourceSurface);
        source->Show(false);
    }
    if (host_)
        host_->SourceShown(fileName);

    // The new copies replace the old ones only when all three exist.
    auto result = std::make_unique<TQROIRGB>(*source);
    auto hsv = std::make_unique<TQROIRGB>(*source);
    readTimer.reset();
    {
        const TPhaseTimer convertTimer(Timings.Convert);
        hsv->ConvertColourSpace(6);
    }
    readTimer.emplace(Timings.Read);
    SourceImage = std::move(source);
    ResultImage = std::move(result);
    HsvImage = std::move(hsv);
    imageFingerprint_ = std::move(fingerprint);
    memoryReservation_ = std::move(reservation);
    if (views_.Analysed->IsWatched()) {
        ResultImage->SetImage(&AnalysedSurface);
        ResultImage->Show(false);
        HsvImage->SetImage(&AnalysedSurface);
    }
    if (host_)
        host_->ImageLoaded();
    return true;
}

void TAnalysis::CloseImage()
{
    SourceImage.reset();
    ResultImage.reset();
    HsvImage.reset();
    memoryReservation_.reset();
    imageLoaded_ = false;
    SetState(StateNoImage);
}

void TAnalysis::AddFileResults()
{
    // A name relative to the working folder would leave the result without its folder.
    std::error_code error;
    const auto absolute = std::filesystem::absolute(ImageFileName, error).lexically_normal();
    Results.AddString("Path", FolderPart(error ? ImageFileName : absolute.string()));
    Results.AddString("Name", FileNamePart(ImageFileName));
}

bool TAnalysis::Run(TAnalysisSettings& settings)
{
    if (!imageLoaded_)
        return false;
    SetState(StateAnalysing);
    Timings.ClearRun();
    Regions = {};
    try {
        RunSteps(settings);
        SetState(StateAnalysed);
        return true;
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory("to analyse", ImageFileName);
    } catch (const std::exception& error) {
        ReportFailure("Cannot analyse", ImageFileName, error);
    }
    ResetProgress();
    SetState(StateImageLoaded);
    return false;
}

void TAnalysis::RunSteps(TAnalysisSettings& settings)
{
    std::optional<TPhaseTimer> runTimer(Timings.Run);
    TOptions& options = settings.Options;
    AddFileResults();

    {
        const TPhaseTimer timer(Timings.Area);
        HsvImage->SetMask(1);
        if (options.lUseExclRect)
            ApplyExclusionBorders(*HsvImage, options);
        if (options.lUseInclCircle)
            ApplyInclusionCircle(*HsvImage, options);
    }

    {
        const TPhaseTimer timer(Timings.Curves);
        Curves = ComputeChannelCurves(*HsvImage);
        if (host_)
            host_->CurvesChanged();
        const std::array channelViews = {views_.ChannelH, views_.ChannelS, views_.ChannelV};
        if (std::ranges::any_of(channelViews, &TImageView::IsWatched))
            DrawChannelImages(*HsvImage, channelViews);
    }

    double analysisArea = 0.0;
    {
        const TPhaseTimer timer(Timings.Area);
        if (views_.Original->IsWatched())
            DrawAreaOutline(*HsvImage, SourceSurface, options);
        analysisArea = Area(*HsvImage);
    }

    const TTrackBarPositions limits = settings.TrackBars;
    for (size_t i = 0; i < limits.size(); ++i)
        options.rangeTexts[i] = std::to_string(limits[i]);
    Results.AddString("DateTime", CurrentDateTimeText());

    {
        const TPhaseTimer timer(Timings.Classification);
        ClassifyPixels(*HsvImage, limits);
    }
    // The selection goes to the result image; the analysed picture is drawn once, with
    // the kept regions only, after the labelling.
    ResultImage->TQROIL::Assign(*HsvImage);

    const double minRegion = ReadMinRegion(options);
    const double measure =
        ReadMeasure(settings, double(HsvImage->Width()) * double(HsvImage->Height()));
    const double threshold = (minRegion * measure) * measure;
    TRegionStatistics statistics =
        MeasureRegions(*ResultImage, threshold, AnalysedSurface, &Timings,
                       settings.MeasureRegionTable ? HsvImage.get() : nullptr);

    StoreResults(settings, analysisArea, minRegion, measure, statistics);
    runTimer.reset();
    {
        const TPhaseTimer timer(Timings.Fingerprints);
        StoreFingerprints(settings);
    }
    if (settings.MeasureRegionTable)
        Regions = {Results.GetValueText("Path"), Results.GetValueText("Name"), measure, ShaResult,
                   std::move(statistics.Regions)};
}

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

void TAnalysis::StoreResults(const TAnalysisSettings& settings, double analysisArea,
                             double minRegion, double measure, const TRegionStatistics& statistics)
{
    const bool units = settings.Options.lCheckBoxUnits;
    const double sum = statistics.Sum;
    const std::int32_t count = statistics.Count;
    const bool hasObjects = count != 0 && sum != 0;

    TResultFields& fields = ResultFields;
    fields.AnaArea = FormatFixed(analysisArea, 0);
    fields.AreaPixel = FormatFixed(sum, 0);
    fields.Count = std::to_string(count);
    fields.MeanSize = hasObjects ? FormatFixed(sum / count, 0) : "0";
    fields.Percent = sum != 0 && analysisArea != 0 ? FormatFixed(sum * 100 / analysisArea, 2) : "0";
    fields.AreaCM = !units ? "" : sum != 0 ? MeasureAreaText(sum, measure, 2) : "0";
    fields.AnaAreaCM = !units ? "" : MeasureAreaText(analysisArea, measure, 2);
    fields.MeanSizeCM = !units       ? ""
                        : hasObjects ? FormatFixed(sum / (measure * measure) / count, 2)
                                     : "0";

    const double squareMeasure = measure * measure;
    Results.AddString("AreaPercent", fields.Percent);
    Results.AddDouble("AnalysisAreaPixel", analysisArea);
    Results.AddDouble("AnalysisArea", analysisArea / squareMeasure);
    Results.AddDouble("AreaPixel", sum);
    Results.AddDouble("Area", sum / squareMeasure);
    if (hasObjects) {
        Results.AddDouble("MeanSizePixel", sum / count);
        Results.AddDouble("MeanSize", sum / squareMeasure / count);
    } else {
        Results.AddInteger("MeanSizePixel", 0);
        Results.AddInteger("MeanSize", 0);
    }
    Results.AddDouble("Measure", measure);
    Results.AddString("Unit", settings.UnitText);
    Results.AddInteger("Count", count);
    Results.AddDouble("MinRegion", minRegion);
    const auto& texts = settings.Options.rangeTexts;
    Results.AddString("HMin", texts[HMin]);
    Results.AddString("HMax", texts[HMax]);
    Results.AddString("VMin", texts[VMin]);
    Results.AddString("VMax", texts[VMax]);
    Results.AddString("SMin", texts[SMin]);
    Results.AddString("SMax", texts[SMax]);
}

void TAnalysis::StoreFingerprints(const TAnalysisSettings& settings)
{
    ShaImageFile = imageFingerprint_;
    ShaOptions = OptionsFingerprint(settings.Options, settings.MeasureText);
    ShaResult = ResultFingerprint(Results);
    Results.AddString("SHAImageFile", ShaImageFile);
    Results.AddString("SHAOptions", ShaOptions);
    Results.AddString("SHAResult", ShaResult);
}

void TAnalysis::DrawColourCircle()
{
    TImageView& view = *views_.ColourCircle;
    if (!view.IsWatched())
        return;
    const int width = view.ControlWidth();
    const int height = view.ControlHeight();
    const int halfSize = std::min(width, height) / 2;
    const TCircleGeometry circle{width * 0.5, height * 0.5, int(halfSize * 0.7)};

    if (!CircleImage) {
        CircleImage = std::make_unique<TQROIRGB>(2 * halfSize, 2 * halfSize);
        circleShadingsPending_ = true;
    }
    if (!CircleBright)
        CircleBright = std::make_unique<TQROIRGB>(*CircleImage);
    if (!CircleDim)
        CircleDim = std::make_unique<TQROIRGB>(*CircleImage);
    CircleImage->SetMask(1);
    if (circleShadingsPending_) {
        circleShadingsPending_ = false;
        ShadeColourCircle(circle, *CircleImage, *CircleBright, *CircleDim);
    }
    CombineColourCircle(circle, -HueMarkA, -HueMarkB, *CircleImage, *CircleBright, *CircleDim);

    TQImage surface(&view);
    CircleImage->ShowOn(&surface, false);
    if (host_)
        host_->ColourCircleDrawn();
}

} // namespace varnolux
