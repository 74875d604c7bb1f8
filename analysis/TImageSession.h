#pragma once

#include "analysis/TAnalysisTimings.h"
#include "imaging/TBitmap24.h"
#include "imaging/TGreyBitmap.h"
#include "imaging/TQROIRGB.h"

#include <memory>
#include <string>
#include <vector>

namespace varnolux {

class TMemoryReservation;

/// An image opened for analysis: its colours as read, whose mask takes the selection
/// of each run, and its copy in hue, saturation and brightness, whose mask is the
/// working mask of a run. Only the planes a run reads are there: no value or grey
/// planes. They stay, with the picture buffers handed back, for the runs on this
/// image, and for the next image of the same size, which reuse them instead of
/// allocating image-sized memory again.
class TImageSession {
public:
    TImageSession();
    ~TImageSession();
    TImageSession(const TImageSession&) = delete;
    TImageSession& operator=(const TImageSession&) = delete;

    /// Reads an image file into the planes (those there when they have its size); with
    /// sourcePicture the source is painted once as a picture to show. False after a
    /// message when it cannot be opened: the planes are untouched when the file could
    /// not be decoded, and hold no image when reading it back failed after that. The
    /// phases of the open go into timings, also those an open that fails reached.
    bool Open(const std::string& fileName, bool sourcePicture, TAnalysisTimings& timings);

    const std::string& FileName() const { return fileName_; }
    /// SHA-256 of the bytes the image was decoded from.
    const std::string& Fingerprint() const { return fingerprint_; }
    int Width() const { return colours_.Width(); }
    int Height() const { return colours_.Height(); }

    /// The image as read in Red, Green and Blue; its mask is the selection of the
    /// last run.
    TQROIRGB& Colours() { return colours_; }
    const TQROIRGB& Colours() const { return colours_; }
    /// The image in hue (Red), saturation (Green) and brightness (Blue); its mask is the
    /// working mask of a run.
    TQROIRGB& Hsv() { return hsv_; }
    const TQROIRGB& Hsv() const { return hsv_; }

    /// Paints every pixel of the image as read, whatever the masks.
    void PaintSource(TBitmap24& picture) const;
    /// The plain source as a picture, when the open painted one; never changed.
    const std::shared_ptr<const TBitmap24>& SourcePicture() const { return sourcePicture_; }

    /// How long reading, fingerprinting and converting the image took.
    const TAnalysisTimings& OpenTimings() const { return openTimings_; }

    /// A picture of the image's size to paint over completely: one handed back before,
    /// or a new one.
    TBitmap24 TakePicture();
    /// Keeps a picture for a later TakePicture.
    void Recycle(TBitmap24&& picture);
    /// The same for grey pictures.
    TGreyBitmap TakeGreyPicture();
    void Recycle(TGreyBitmap&& picture);
    /// Makes one new spare picture while there are fewer than count; false when there
    /// are enough.
    bool AddSparePicture(std::size_t count);

    /// Gives back the memory promised to the image, which stays usable.
    void ReleaseMemoryReservation();

private:
    /// Reads the temporary bitmap file into the colour planes and converts them.
    void ReadPlanes(const std::string& bitmapFileName, TAnalysisTimings& timings);

    std::string fileName_;
    std::string fingerprint_;
    TQROIRGB colours_;
    TQROIRGB hsv_;
    std::shared_ptr<const TBitmap24> sourcePicture_;
    std::vector<TBitmap24> sparePictures_;
    std::vector<TGreyBitmap> spareGreyPictures_;
    TAnalysisTimings openTimings_;
    std::unique_ptr<TMemoryReservation> memoryReservation_;
};

} // namespace varnolux
