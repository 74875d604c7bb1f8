#pragma once

#include <QApplication>

namespace varnolux {

/// The application object: an error escaping an event handler is shown to the user,
/// and the program goes on.
class TApplication : public QApplication {
    Q_OBJECT

public:
    /// The title of the program's windows and message boxes.
    static constexpr const char* Title = "Varnolux Demo";

    TApplication(int& argc, char** argv);

    /// Whether there is no screen anybody looks at (QT_QPA_PLATFORM=offscreen or
    /// minimal): no message box may wait for an answer then.
    static bool HasNoDisplay();

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace varnolux
