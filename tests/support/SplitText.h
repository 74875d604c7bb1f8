#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace varnolux::test {

/// The parts of a text between separators (a last empty part is dropped, as a
/// trailing line end gives none).
inline std::vector<std::string> SplitText(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    return parts;
}

} // namespace varnolux::test
