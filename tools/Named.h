#pragma once

namespace varnolux {

/// The object with its object name, by which language files, the form-state writer and
/// tests find it.
template <typename Object>
Object* Named(Object* object, const char* name)
{
    object->setObjectName(name);
    return object;
}

} // namespace varnolux
