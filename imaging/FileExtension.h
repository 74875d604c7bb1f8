#pragma once

#include <string>

namespace varnolux {

/// The extension of a file name from its last "." on, upper-cased (ASCII only);
/// empty when the name part has no ".".
std::string UpperCaseExtension(const std::string& fileName);

} // namespace varnolux
