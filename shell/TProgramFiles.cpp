#include "shell/TProgramFiles.h"

#include "settings/ProgramInfo.h"

namespace varnolux {

TProgramFiles TProgramFiles::Installed()
{
    TProgramFiles files = InFolder(ProgramFolder());
    files.SettingsFile = ProgramSettingsFile();
    files.LanguageFile = DefaultLanguageFile();
    return files;
}

TProgramFiles TProgramFiles::InFolder(const std::string& folder)
{
    return {folder, folder + "VXDefault.ini", folder + FileNamePart(ProgramSettingsFile()),
            folder + "manual.pdf", folder + FileNamePart(DefaultLanguageFile())};
}

} // namespace varnolux
