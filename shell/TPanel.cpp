#include "shell/TPanel.h"

namespace varnolux {

TPanel::TPanel(QWidget* parent, const char* name, TBevel bevel)
    : QFrame(parent)
{
    setObjectName(name);
    if (bevel == TBevel::Lowered)
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void TPanel::SetColour(const QColor& colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    setPalette(palette);
    setAutoFillBackground(true);
}

void TPanel::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    Q_EMIT Resized();
}

} // namespace varnolux
