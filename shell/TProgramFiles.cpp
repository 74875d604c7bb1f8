#include "shell/TProgramFiles.h"

#include "settings/ProgramInfo.h"

namespace varnolux {

TProgramFiles TProgramFiles::Installed()
{
    TProgramFiles files = InFolder(ProgramFolder());
    files.SettingsFile = ProgramSettingsFile();
    return files;
}

TProgramFiles TProgramFiles::InFolder(const std::string& folder)
{
    return {folder + "VXDefault.ini", folder + FileNamePart(ProgramSettingsFile()),
            folder + "manual.pdf"};
}

} // namespace varnolux
