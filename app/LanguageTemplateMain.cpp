// varnolux-language-template: prints every translatable text of the desktop program's
// windows as a language file, with the texts they are laid out with as values.

#include "shell/TApplication.h"
#include "shell/TProgramWindows.h"

#include <cstdio>
#include <string>

#include <QTemporaryDir>

int main(int argc, char** argv)
{
    using namespace varnolux;
    if (argc != 1) {
        std::fputs("usage: varnolux-language-template > VXLang-xx.ini\n", stderr);
        return 2;
    }
    TApplication application(argc, argv);
    // The windows are made but never shown; their files stay out of the program's folder.
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fputs("varnolux-language-template: no temporary folder\n", stderr);
        return 1;
    }
    const TProgramWindows windows(TProgramFiles::InFolder(folder.path().toStdString() + "/"));
    const std::string text = windows.LanguageKeys();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
