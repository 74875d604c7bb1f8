#pragma once

namespace varnolux {

struct TViewPlacement {
    int Left = 0;
    int Top = 0;
    int Width = 1;
    int Height = 1;
};

/// Places an image view in a panel so that the picture keeps its proportions, with
/// a margin on the longer side; a picture of no width or height gives a 1 × 1 view.
TViewPlacement FitToPanel(int pictureWidth, int pictureHeight, int panelWidth, int panelHeight,
                          int margin);

} // namespace varnolux
