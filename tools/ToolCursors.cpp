#include "tools/ToolCursors.h"

#include <QPixmap>

namespace varnolux {

std::optional<QCursor> LoadCursorResource(const std::string& name)
{
    const QPixmap picture(":/cursors/" + QString::fromStdString(name) + ".xpm");
    if (picture.isNull())
        return std::nullopt;
    const QPoint hotSpot = name == MeasureCursorName ? QPoint(15, 16) : QPoint(0, 0);
    return QCursor(picture, hotSpot.x(), hotSpot.y());
}

std::string MissingCursorMessage(const std::string& name)
{
    return "LoadCursor " + name + " failed. Programmer, please include ressource file!";
}

} // namespace varnolux
