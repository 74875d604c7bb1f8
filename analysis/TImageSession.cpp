#include "analysis/TImageSession.h"

#include "base/Files.h"
#include "base/Messages.h"
#include "imaging/BmpFile.h"
#include "input/AvailableMemory.h"
#include "input/TImageFileBytes.h"
#include "input/TKVFreeImage.h"
#include "input/TScopedFile.h"
#include "input/TempFolder.h"
#include "results/ShaFingerprint.h"

#include <optional>

namespace varnolux {

std::unique_ptr<TImageSession> TImageSession::Open(const std::string& fileName, bool sourcePicture,
                                                   TAnalysisTimings& timings)
{
    if (!FileExists(fileName)) {
        CurrentReporter().ShowLanguageMessage("FileNotFound", {fileName});
        return nullptr;
    }
    std::unique_ptr<TImageSession> session(new TImageSession);
    session->fileName_ = fileName;
    // Everything of the open but the fingerprint and the conversion counts as reading.
    std::optional<TPhaseTimer> readTimer(timings.Read);
    auto source = std::make_unique<TQROIRGB>();
    {
        TKVFreeImage reader;
        std::unique_ptr<TBitmap24> bitmap;
        {
            // The bytes fingerprinted are the bytes decoded; they go once decoded.
            const TImageFileBytes file = TImageFileBytes::Read(fileName);
            readTimer.reset();
            {
                const TPhaseTimer fingerprintTimer(timings.Fingerprint);
                session->fingerprint_ = Sha256TextHex(file.Text());
            }
            readTimer.emplace(timings.Read);
            bitmap = reader.LoadToBitmap(file);
        }
        if (!bitmap)
            return nullptr;
        session->memoryReservation_ =
            std::make_unique<TMemoryReservation>(reader.TakeMemoryReservation());
        const TScopedFile bitmapFile(MakeTempFileName("KVVXTMP", "bmp"));
        WriteBmpFile(*bitmap, bitmapFile.Name());
        bitmap.reset();
        source->LoadFromFile(bitmapFile.Name(), 0, false);
    }
    if (sourcePicture) {
        auto picture = std::make_shared<TBitmap24>(source->Width(), source->Height());
        source->Draw(*picture);
        session->sourcePicture_ = std::move(picture);
    }
    session->result_ = std::make_unique<TQROIRGB>(*source);
    session->hsv_ = std::make_unique<TQROIRGB>(*source);
    readTimer.reset();
    {
        const TPhaseTimer convertTimer(timings.Convert);
        session->hsv_->ConvertColourSpace(TConversionCode::Hsv);
    }
    session->source_ = std::move(source);
    session->openTimings_ = timings;
    return session;
}

TImageSession::~TImageSession() = default;

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
