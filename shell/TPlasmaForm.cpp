#include "shell/TPlasmaForm.h"

#include "imaging/ColourConversion.h"
#include "imaging/TImageView.h"

#include <algorithm>

#include <QTimer>

namespace varnolux {

namespace {

enum { HMin, HMax, SMin, SMax, VMin, VMax };
constexpr int FrameIntervalMs = 100;

} // namespace

TPlasmaForm::TPlasmaForm()
    : Timer2(new QTimer(this))
    , paletteBitmap_(PaletteSize, PaletteSize)
{
    setObjectName("PlasmaForm");
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(FrameIntervalMs);
    connect(Timer2, &QTimer::timeout, this, &TPlasmaForm::DrawPalette);
}

void TPlasmaForm::SetRange(const std::array<int, 6>& range)
{
    // The sweep searches the saturation range, which must lie where it can reach.
    for (size_t i = 0; i < range.size(); ++i)
        range_[i] = std::clamp(range[i], 0, 255);
}

void TPlasmaForm::StartPalette()
{
    if (targetImage_)
        Timer2->start();
}

void TPlasmaForm::StopPalette()
{
    Timer2->stop();
}

bool TPlasmaForm::Running() const
{
    return Timer2->isActive();
}

void TPlasmaForm::StepSweep()
{
    paletteSaturation_ += paletteStep_;
    if (paletteSaturation_ > 255 || paletteSaturation_ < 0) {
        paletteStep_ = -paletteStep_;
        paletteSaturation_ += paletteStep_;
    }
}

void TPlasmaForm::AdjustSweep()
{
    const int sign = paletteStep_ < 0 ? -1 : 1;
    const int width = range_[SMax] - range_[SMin];
    if (width <= 0) {
        paletteStep_ = sign;
        return;
    }
    paletteStep_ = sign * (width / 10 + 1);
    while (paletteSaturation_ < range_[SMin] || paletteSaturation_ > range_[SMax])
        StepSweep();
}

bool TPlasmaForm::InHueRange(int column) const
{
    const int lo = range_[HMin];
    const int hi = range_[HMax];
    if (lo < hi)
        return lo <= column && column <= hi;
    if (hi < lo)
        return column >= lo || column <= hi;
    return false;
}

void TPlasmaForm::DrawPalette()
{
    AdjustSweep();
    const double saturation = paletteSaturation_;
    const bool saturationInRange = range_[SMin] <= saturation && saturation <= range_[SMax];
    for (int y = 0; y < PaletteSize; ++y) {
        const bool rowInRange = saturationInRange && range_[VMin] <= y && y <= range_[VMax];
        auto row = paletteBitmap_.Row(y);
        for (int i = 0; i < PaletteSize; ++i) {
            const int x = PaletteSize - 1 - i;
            std::uint8_t* pixel = &row[static_cast<size_t>(x) * 3];
            if (!rowInRange || !InHueRange(x)) {
                pixel[0] = pixel[1] = pixel[2] = 0;
                continue;
            }
            // Red and blue change places and the hue is offset, so that column x
            // shows hue x.
            const TRgb rgb = HsvToRgb((i + 170) % 255, saturation, y);
            pixel[0] = ChannelByte(rgb.R);
            pixel[1] = ChannelByte(rgb.G);
            pixel[2] = ChannelByte(rgb.B);
        }
    }
    StepSweep();
    if (targetImage_) {
        targetImage_->Picture() = paletteBitmap_;
        targetImage_->PictureChanged();
    }
}

} // namespace varnolux
