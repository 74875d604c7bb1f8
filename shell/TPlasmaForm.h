#pragma once

#include "imaging/TBitmap24.h"

#include <array>

#include <QWidget>

class QTimer;

namespace varnolux {

class TImageView;

/// The hidden painter of the colour palette: a 256 × 256 plane of hue (left to right)
/// and brightness (top to bottom) that shows only the colours inside the range and
/// sweeps through the saturation range, ten frames a second.
class TPlasmaForm : public QWidget {
    Q_OBJECT

public:
    static constexpr int PaletteSize = 256;

    TPlasmaForm();

    TImageView* TargetImage() const { return targetImage_; }
    void SetTargetImage(TImageView* target) { targetImage_ = target; }

    /// Hue, saturation and brightness minimum and maximum, in this order.
    void SetRange(const std::array<int, 6>& range);
    const std::array<int, 6>& Range() const { return range_; }

    /// Runs the animation once a target image is set.
    void StartPalette();
    void StopPalette();
    bool Running() const;

    /// Paints one frame and moves the sweep on.
    void DrawPalette();

    const TBitmap24& PaletteBitmap() const { return paletteBitmap_; }
    double PaletteSaturation() const { return paletteSaturation_; }
    int PaletteStep() const { return paletteStep_; }

private:
    QTimer* Timer2;

    void AdjustSweep();
    void StepSweep();
    bool InHueRange(int column) const;

    TBitmap24 paletteBitmap_;
    TImageView* targetImage_ = nullptr;
    std::array<int, 6> range_{};
    double paletteSaturation_ = 0.0;
    int paletteStep_ = 1;
};

} // namespace varnolux
