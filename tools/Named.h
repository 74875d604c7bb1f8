#pragma once

#include <QObject>

namespace varnolux {

/// The object with its object name, by which language files, the form-state writer and
/// tests find it.
template <typename Object>
Object* Named(Object* object, const char* name)
{
    object->setObjectName(name);
    return object;
}

/// The component of that name that a window owns: the way programs that drive a window
/// as a user would (the screenshot tool) reach its controls. A name the window does not
/// have is a fault of the caller and ends the program.
template <typename Object>
Object& NamedPart(const QObject& window, const char* name)
{
    auto* part = window.findChild<Object*>(name);
    if (!part)
        qFatal("No component %s in %s", name, qPrintable(window.objectName()));
    return *part;
}

} // namespace varnolux
