#include "analysis/ColourRange.h"

#include "settings/NumberText.h"

namespace varnolux {

bool ApplyEditToTrackBar(const std::string& text, int& position)
{
    const auto value = ParseDecimalInteger(text);
    if (!value)
        return false;
    position = ClampTrackBarPosition(*value);
    return true;
}

} // namespace varnolux
