// The settings library's INI reader is not in this build yet, but its message code
// refers to it. This weak stand-in lets the imaging tests link; the real definition
// replaces it as soon as it is linked in, and the imaging code never calls it.
#include <string>

namespace varnolux {

__attribute__((weak)) std::string ReadConfigString(const std::string&, const std::string&,
                                                   const std::string&,
                                                   const std::string& defaultValue, bool*) {
    return defaultValue;
}

} // namespace varnolux
