#include "settings/Language.h"

#include "settings/ProgramInfo.h"
#include "settings/SettingsAccess.h"

namespace varnolux {

std::string LanguageText(const std::string& section, const std::string& key,
                         const std::string& defaultValue)
{
    return ReadConfigString(DefaultLanguageFile(), section, key, defaultValue);
}

} // namespace varnolux
