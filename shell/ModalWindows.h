#pragma once

#include "shell/TPlasmaForm.h"

class QDialog;
class QWidget;

namespace varnolux {

/// Stops the palette animation while it lives: work and modal windows do not compete
/// with its repaint.
class TPalettePause {
public:
    explicit TPalettePause(TPlasmaForm* palette)
        : palette_(palette)
    {
        if (palette_)
            palette_->StopPalette();
    }
    ~TPalettePause()
    {
        if (palette_)
            palette_->StartPalette();
    }
    TPalettePause(const TPalettePause&) = delete;
    TPalettePause& operator=(const TPalettePause&) = delete;

private:
    TPlasmaForm* palette_;
};

/// Shows a dialog modally in the middle of the window, at the size its contents need.
int ShowModal(QDialog& dialog, const QWidget& over);

/// Shows a tool window modally in the middle of the window, at the size it has.
int ShowTool(QDialog& tool, const QWidget& over);

} // namespace varnolux
