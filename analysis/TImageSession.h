#pragma once

#include "analysis/TAnalysisTimings.h"
#include "imaging/TBitmap24.h"
#include "imaging/TQROIRGB.h"

#include <memory>
#include <string>
#include <vector>

namespace varnolux {

class TMemoryReservation;

/// An image opened for analysis: the source as read, its copy in hue, saturation and
/// brightness whose mask every run rewrites, and the result image whose mask takes the
/// selection. They stay, with the picture buffers handed back, for the runs on this
/// image, which reuse them instead of allocating image-sized memory again.
class TImageSession {
public:
    /// Reads an image file; nothing after a message when it cannot be opened. With
    /// sourcePicture the source is painted once as a picture to show. The phases of the
    /// open go into timings, also those an open that fails reached.
    static std::unique_ptr<TImageSession> Open(const std::string& fileName, bool sourcePicture,
                                               TAnalysisTimings& timings);
    ~TImageSession();
    TImageSession(const TImageSession&) = delete;
    TImageSession& operator=(const TImageSession&) = delete;

    const std::string& FileName() const { return fileName_; }
    /// SHA-256 of the bytes the image was decoded from.
    const std::string& Fingerprint() const { return fingerprint_; }
    int Width() const { return source_->Width(); }
    int Height() const { return source_->Height(); }

    /// The image as read, red, green and blue.
    TQROIRGB& Source() { return *source_; }
    const TQROIRGB& Source() const { return *source_; }
    /// The image in hue (Red), saturation (Green) and brightness (Blue); its mask is the
    /// working mask of a run.
    TQROIRGB& Hsv() { return *hsv_; }
    const TQROIRGB& Hsv() const { return *hsv_; }
    /// The source colours with the selection of the last run as mask.
    TQROIRGB& Result() { return *result_; }
    const TQROIRGB& Result() const { return *result_; }

    /// The plain source as a picture, when the open painted one; never changed.
    const std::shared_ptr<const TBitmap24>& SourcePicture() const { return sourcePicture_; }

    /// How long reading, fingerprinting and converting the image took.
    const TAnalysisTimings& OpenTimings() const { return openTimings_; }

    /// A picture of the image's size to paint over completely: one handed back before,
    /// or a new one.
    TBitmap24 TakePicture();
    /// Keeps a picture for a later TakePicture.
    void Recycle(TBitmap24&& picture);
    /// Makes one new spare picture while there are fewer than count; false when there
    /// are enough.
    bool AddSparePicture(std::size_t count);

    /// Gives back the memory promised to the image, which stays usable.
    void ReleaseMemoryReservation();

private:
    TImageSession() = default;

    std::string fileName_;
    std::string fingerprint_;
    std::unique_ptr<TQROIRGB> source_;
    std::unique_ptr<TQROIRGB> hsv_;
    std::unique_ptr<TQROIRGB> result_;
    std::shared_ptr<const TBitmap24> sourcePicture_;
    std::vector<TBitmap24> sparePictures_;
    TAnalysisTimings openTimings_;
    std::unique_ptr<TMemoryReservation> memoryReservation_;
};

} // namespace varnolux
