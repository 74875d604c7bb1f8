#include "analysis/ColourRange.h"

#include "settings/NumberText.h"

namespace varnolux {

bool ApplyRangeText(const std::string& text, int& limit)
{
    const auto value = ParseDecimalInteger(text);
    if (!value)
        return false;
    limit = ClampRangeLimit(*value);
    return true;
}

} // namespace varnolux
