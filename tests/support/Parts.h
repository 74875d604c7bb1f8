#pragma once

#include <QLabel>
#include <QObject>
#include <QString>

namespace varnolux::test {

/// The window's component of that name: tests reach a window's widgets by name, as the
/// language file does, not through its fields.
template <typename T>
T& Part(const QObject& window, const char* name)
{
    T* part = window.findChild<T*>(name);
    if (!part)
        qFatal("No component %s", name);
    return *part;
}

/// The text of a status bar's panel, counted from the left: its labels in the order the
/// window made them.
inline QString PanelText(const QObject& window, const char* statusBar, int panel)
{
    const auto labels =
        Part<QObject>(window, statusBar).findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    if (panel >= labels.size())
        qFatal("No panel %d in %s", panel, statusBar);
    return labels[panel]->text();
}

} // namespace varnolux::test
