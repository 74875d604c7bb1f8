#include "shell/FitToPanel.h"

namespace varnolux {

TViewPlacement FitToPanel(int pictureWidth, int pictureHeight, int panelWidth, int panelHeight,
                          int margin)
{
    TViewPlacement view;
    if (pictureWidth == 0 || pictureHeight == 0)
        return view;
    const double ratio = double(pictureHeight) / pictureWidth;
    if (double(pictureWidth) * panelHeight < double(pictureHeight) * panelWidth) {
        view.Height = panelHeight - 2 * margin;
        view.Width = int(view.Height / ratio);
    } else {
        view.Width = panelWidth - 2 * margin;
        view.Height = int(ratio * view.Width);
    }
    view.Left = (panelWidth - view.Width) / 2;
    view.Top = (panelHeight - view.Height) / 2;
    return view;
}

} // namespace varnolux
