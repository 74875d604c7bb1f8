#pragma once

#include "analysis/TAnalysisResult.h"
#include "analysis/TAnalysisSettings.h"
#include "analysis/TImageSession.h"

#include <memory>
#include <string>

namespace varnolux {

struct TRegionWorkspace;

/// What an open gives back.
struct TOpenResult {
    bool Loaded = false;
    /// Stopped by a cancel request (TQStatus), without a message.
    bool Cancelled = false;
    std::string FileName;
    int Width = 0;
    int Height = 0;
    /// The image as read, to show and for tools that work on the plain source; only
    /// when asked for.
    std::shared_ptr<const TBitmap24> SourcePicture;
    TAnalysisTimings Timings;
};

/// The analysis engine: opens an image into pixel planes and analyses it. Plain values
/// go in and come out; it knows nothing of windows, and it keeps the opened image
/// (TImageSession) with its planes and picture buffers for the runs on it. Opens and
/// runs report their progress to slot 3 of TQStatus, and stop there when the calling
/// thread's work is cancelled.
class TAnalysis {
public:
    /// The item names a run stores, in table order.
    static const std::array<const char*, 23>& ResultItemNames();

    TAnalysis();
    ~TAnalysis();
    TAnalysis(const TAnalysis&) = delete;
    TAnalysis& operator=(const TAnalysis&) = delete;

    /// Reads an image file into the planes, and with sourcePicture paints the source to
    /// show. Not loaded after a message when it cannot be opened: the previous image's
    /// planes then stay, but nothing can run until an open succeeds.
    TOpenResult LoadImage(const std::string& fileName, bool sourcePicture = false);

    /// Analyses the loaded image with the settings and paints the pictures asked for.
    /// Incomplete, after a message, when the run could not complete; incomplete without
    /// one when no image is loaded or the run was cancelled.
    TAnalysisResult Run(const TAnalysisSettings& settings, const TPictureRequest& pictures = {});

    /// Paints the channel pictures asked for as the run with these settings (those a
    /// complete run gave back) painted them, for pictures that run was not asked for;
    /// the other pictures stay empty. Nothing when no image is loaded, or cancelled.
    TAnalysisPictures PaintChannelImages(const TAnalysisSettings& settings,
                                         const TChannelRequest& channels);

    /// Lets go of the image and the memory promised to it. For a caller that opens
    /// images on several engines at once.
    void CloseImage();

    /// Whether the last LoadImage succeeded, so that Run can analyse.
    bool HasImage() const { return imageLoaded_; }

    /// The image of the last successful open (it stays after a failed one); none
    /// before the first and after CloseImage.
    const TImageSession* Session() const { return session_.get(); }

    /// Takes pictures of an earlier result back, for later runs to paint into.
    void Recycle(TAnalysisPictures&& pictures);
    /// Makes one new picture for later runs to paint into while the image has fewer
    /// than count spare ones: work for idle time, as fresh memory is slow to touch.
    /// False when there are enough or no image.
    bool AddSparePicture(std::size_t count);

private:
    std::unique_ptr<TImageSession> session_;
    /// The labelling's and region statistics' arrays, kept for the next run.
    std::unique_ptr<TRegionWorkspace> regionWorkspace_;
    bool imageLoaded_ = false;
};

} // namespace varnolux
