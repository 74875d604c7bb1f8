#include "shell/TProgramFiles.h"

#include "settings/ProgramInfo.h"

namespace varnolux {

namespace {

constexpr const char* ManualFileName = "manual.pdf";
constexpr const char* CameraTableFileName = "Camera.ini";

} // namespace

TProgramFiles TProgramFiles::Installed()
{
    const TProgramFolders folders = TProgramFolders::Current();
    TProgramFiles files = InFolder(folders.Settings);
    files.ManualFile = folders.FindFile(ManualFileName);
    files.LanguageFile = folders.FindFile(LanguageFileName);
    files.CameraTableFile = folders.FindFile(CameraTableFileName);
    return files;
}

TProgramFiles TProgramFiles::InFolder(const std::string& folder)
{
    return {folder,
            folder + DefaultOptionsFileName,
            folder + ProgramSettingsFileName(),
            folder + ManualFileName,
            folder + LanguageFileName,
            folder + CameraTableFileName};
}

} // namespace varnolux
