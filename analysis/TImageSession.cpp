#include "analysis/TImageSession.h"

#include "base/Files.h"
#include "base/Messages.h"
#include "imaging/BmpFile.h"
#include "imaging/ColourConversion.h"
#include "imaging/TQError.h"
#include "imaging/TQStatus.h"
#include "imaging/TileOrder.h"
#include "input/AvailableMemory.h"
#include "input/TImageFileBytes.h"
#include "input/TKVFreeImage.h"
#include "input/TScopedFile.h"
#include "input/TempFolder.h"
#include "results/ShaFingerprint.h"

#include <algorithm>
#include <optional>

namespace varnolux {

namespace {

constexpr int ProgressSlot = 3;

/// Puts a band of bitmap rows into the colour planes, tile by tile.
void StoreBand(const TBitmap24& rows, int top, TQROIRGB& colours)
{
    ForEachTile(0, rows.Width(), top, top + rows.Height(), 6,
                [&](int xBegin, int xEnd, int yBegin, int yEnd) {
                    for (int x = xBegin; x < xEnd; ++x) {
                        std::uint8_t* red = colours.Red()[x];
                        std::uint8_t* green = colours.Green()[x];
                        std::uint8_t* blue = colours.Blue()[x];
                        for (int y = yBegin; y < yEnd; ++y) {
                            const std::uint8_t* bgr =
                                rows.Row(y - top).data() + std::ptrdiff_t(x) * 3;
                            blue[y] = bgr[0];
                            green[y] = bgr[1];
                            red[y] = bgr[2];
                        }
                    }
                });
}

/// Reads a bitmap file into the colour planes, reallocating only planes of another
/// size. Failures carry the texts of an image that cannot load its file.
void ReadColourPlanes(const std::string& fileName, TQROIRGB& colours)
{
    TQStatus& status = TQStatus::Instance();
    try {
        ReadBmpFileBands(
            fileName, TileHeight,
            [&](int width, int height) {
                colours.SetColourSize(width, height);
                status.StartProgress(ProgressSlot, 0, height, 0);
            },
            [&, rowsRead = 0](int top, const TBitmap24& rows) mutable {
                StoreBand(rows, top, colours);
                rowsRead += rows.Height();
                status.StepProgress(ProgressSlot, rowsRead);
            });
    } catch (const TImageFileError&) {
        throw TQError("Internal error: TQROIU::LoadFromFile (AnsiString pFileName) - "
                      "pFileName: '" +
                      fileName + "'");
    }
}

/// Converts the colours into hue, saturation and brightness in the other image's
/// planes, in one pass that reads each colour and writes each result once.
void ConvertToHsv(const TQROIRGB& colours, TQROIRGB& hsv)
{
    hsv.SetColourSize(colours.Width(), colours.Height());
    ConvertRgbToHsv(colours.Red().Elements(), colours.Green().Elements(), colours.Blue().Elements(),
                    hsv.Red().Elements(), hsv.Green().Elements(), hsv.Blue().Elements());
}

} // namespace

TImageSession::TImageSession() = default;

TImageSession::~TImageSession() = default;

bool TImageSession::Open(const std::string& fileName, bool sourcePicture, TAnalysisTimings& timings)
{
    if (!FileExists(fileName)) {
        CurrentReporter().ShowLanguageMessage("FileNotFound", {fileName});
        return false;
    }
    // Everything of the open but the fingerprint and the conversion counts as reading.
    std::optional<TPhaseTimer> readTimer(timings.Read);
    std::string fingerprint;
    const TScopedFile bitmapFile(MakeTempFileName("KVVXTMP", "bmp"));
    {
        TKVFreeImage reader;
        // The bytes fingerprinted are the bytes decoded; they go once decoded, and the
        // decoder's bitmap once it is in the bitmap file.
        const TImageFileBytes file = TImageFileBytes::Read(fileName);
        readTimer.reset();
        {
            const TPhaseTimer fingerprintTimer(timings.Fingerprint);
            fingerprint = Sha256TextHex(file.Text());
        }
        readTimer.emplace(timings.Read);
        if (!reader.DecodeToBmpFile(file, bitmapFile.Name()))
            return false;
        memoryReservation_ = std::make_unique<TMemoryReservation>(reader.TakeMemoryReservation());
    }
    // From here on the planes are the new image's.
    fileName_.clear();
    fingerprint_.clear();
    sourcePicture_.reset();
    ReadPlanes(bitmapFile.Name(), timings);
    readTimer.reset();
    if (sourcePicture) {
        const TPhaseTimer timer(timings.Read);
        auto picture = std::make_shared<TBitmap24>(Width(), Height());
        PaintSource(*picture);
        sourcePicture_ = std::move(picture);
    }
    // Pictures of another size would only be allocated anew.
    const auto otherSize = [&](const auto& picture) {
        return picture.Width() != Width() || picture.Height() != Height();
    };
    std::erase_if(sparePictures_, otherSize);
    std::erase_if(spareGreyPictures_, otherSize);
    fileName_ = fileName;
    fingerprint_ = std::move(fingerprint);
    openTimings_ = timings;
    return true;
}

void TImageSession::ReadPlanes(const std::string& bitmapFileName, TAnalysisTimings& timings)
{
    {
        const TPhaseTimer timer(timings.Read);
        ReadColourPlanes(bitmapFileName, colours_);
    }
    const TPhaseTimer timer(timings.Convert);
    ConvertToHsv(colours_, hsv_);
}

void TImageSession::PaintSource(TBitmap24& picture) const
{
    picture.SetSize(Width(), Height());
    ForEachTile(0, Width(), 0, Height(), 6, [&](int xBegin, int xEnd, int yBegin, int yEnd) {
        const std::uint8_t* columns[3][TileWidth];
        for (int x = xBegin; x < xEnd; ++x) {
            columns[0][x - xBegin] = colours_.Blue()[x];
            columns[1][x - xBegin] = colours_.Green()[x];
            columns[2][x - xBegin] = colours_.Red()[x];
        }
        for (int y = yBegin; y < yEnd; ++y) {
            std::uint8_t* bgr = picture.Row(y).data() + std::ptrdiff_t(xBegin) * 3;
            for (int i = 0; i < xEnd - xBegin; ++i, bgr += 3) {
                bgr[0] = columns[0][i][y];
                bgr[1] = columns[1][i][y];
                bgr[2] = columns[2][i][y];
            }
        }
    });
}

TBitmap24 TImageSession::TakePicture()
{
    if (sparePictures_.empty())
        return TBitmap24(Width(), Height());
    TBitmap24 picture = std::move(sparePictures_.back());
    sparePictures_.pop_back();
    picture.SetSize(Width(), Height());
    return picture;
}

void TImageSession::Recycle(TBitmap24&& picture)
{
    // Only pictures of this image's size save an allocation.
    if (picture.Width() == Width() && picture.Height() == Height())
        sparePictures_.push_back(std::move(picture));
}

TGreyBitmap TImageSession::TakeGreyPicture()
{
    if (spareGreyPictures_.empty())
        return TGreyBitmap(Width(), Height());
    TGreyBitmap picture = std::move(spareGreyPictures_.back());
    spareGreyPictures_.pop_back();
    picture.SetSize(Width(), Height());
    return picture;
}

void TImageSession::Recycle(TGreyBitmap&& picture)
{
    if (picture.Width() == Width() && picture.Height() == Height())
        spareGreyPictures_.push_back(std::move(picture));
}

bool TImageSession::AddSparePicture(std::size_t count)
{
    if (sparePictures_.size() >= count)
        return false;
    sparePictures_.emplace_back(Width(), Height());
    return true;
}

void TImageSession::ReleaseMemoryReservation()
{
    memoryReservation_.reset();
}

} // namespace varnolux
