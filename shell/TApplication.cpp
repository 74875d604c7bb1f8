#include "shell/TApplication.h"

#include "base/Messages.h"

#include <exception>

#include <QIcon>

namespace varnolux {

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // No display name: the platform would append it to every window caption.
    setApplicationName("Varnolux");
    // Installed, the desktop's icon theme has ours; from a build folder, the drawing.
    setWindowIcon(QIcon::fromTheme("varnolux", QIcon(":/icons/varnolux.svg")));
}

bool TApplication::HasNoDisplay()
{
    const QString platform = QGuiApplication::platformName();
    return platform == "offscreen" || platform == "minimal";
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        CurrentReporter().ShowMessage(error.what());
    } catch (...) {
        CurrentReporter().ShowMessage("Internal error: unknown exception");
    }
    return false;
}

} // namespace varnolux
