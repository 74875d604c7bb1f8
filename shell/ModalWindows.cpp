#include "shell/ModalWindows.h"

#include <QDialog>

namespace varnolux {

int ShowModal(QDialog& dialog, const QWidget& over)
{
    dialog.adjustSize();
    return ShowTool(dialog, over);
}

int ShowTool(QDialog& tool, const QWidget& over)
{
    tool.move(over.frameGeometry().center() - tool.rect().center());
    tool.setWindowModality(Qt::ApplicationModal);
    return tool.exec();
}

} // namespace varnolux
