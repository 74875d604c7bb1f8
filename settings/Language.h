#pragma once

#include <string>

namespace varnolux {

/// A text of the language file looked up directly by section and key.
std::string LanguageText(const std::string& section, const std::string& key,
                         const std::string& defaultValue = {});

} // namespace varnolux
