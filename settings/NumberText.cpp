#include "settings/NumberText.h"

#include <clocale>

namespace varnolux {

std::string LocaleDecimalSeparator()
{
    const std::lconv* conventions = std::localeconv();
    if (!conventions || !conventions->decimal_point || !*conventions->decimal_point)
        return ".";
    return conventions->decimal_point;
}

} // namespace varnolux
