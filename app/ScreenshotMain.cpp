// varnolux-screenshot: opens an image in the desktop program's main window, as a user
// would, and writes a picture of the window after the analysis.

#include "settings/Messages.h"
#include "settings/ProgramInfo.h"
#include "shell/TApplication.h"
#include "shell/TFormMain.h"
#include "shell/TFormOptions.h"
#include "shell/TFormVerify.h"
#include "shell/TProgramWindows.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include <QCheckBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr const char* UsageText =
    "usage: varnolux-screenshot IMAGE OPTIONS OUTPUT.png [TAB]\n"
    "       varnolux-screenshot IMAGE OPTIONS OUTPUT.png --verify RESULTFILE\n"
    "\n"
    "Loads the options file, opens IMAGE in the main window and writes a picture of\n"
    "the window after the analysis. TAB names the page shown below the results:\n"
    "Chart (the default), Colors, H-image, S-image or V-image. With --verify, the\n"
    "picture is of Analysis > Verify result file on RESULTFILE, compared with the\n"
    "options and analysed again.\n";

/// Runs the event loop for a while, so that timers (the palette) can fire.
void Wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

/// The page by its English name, whatever the language file calls it.
bool ShowPage(QTabWidget& pages, const std::string& name)
{
    const std::pair<const char*, const char*> sheets[] = {{"Chart", "TabSheetChart"},
                                                          {"Colors", "TabSheetPlasma"},
                                                          {"H-image", "TabSheetH"},
                                                          {"S-image", "TabSheetS"},
                                                          {"V-image", "TabSheetV"}};
    for (const auto& [pageName, sheet] : sheets)
        if (name == pageName)
            if (QWidget* page = pages.findChild<QWidget*>(sheet)) {
                pages.setCurrentWidget(page);
                return true;
            }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace varnolux;
    const bool verify = argc == 6 && std::string(argv[4]) == "--verify";
    if (argc < 4 || argc > 6 || (argc == 6 && !verify)) {
        std::fputs(UsageText, stderr);
        return 2;
    }
    TApplication application(argc, argv);
    TStderrReporter reporter;
    const TScopedReporter reportToStderr(reporter);

    // The program's own files stay untouched: this window keeps its files elsewhere.
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fputs("varnolux-screenshot: no temporary folder\n", stderr);
        return 1;
    }
    // The texts are the program's, from the language file next to it.
    TProgramFiles files = TProgramFiles::InFolder(folder.path().toStdString() + "/");
    files.LanguageFile = TProgramFiles::Installed().LanguageFile;
    TProgramWindows windows(files);
    TFormMain& window = *windows.FormMain;
    bool started = false;
    QObject::connect(&window, &TFormMain::StartupFinished, [&started] { started = true; });
    window.show();
    while (!started)
        Wait(10);

    if (!window.LoadOptions(argv[2]))
        return 1;
    window.OpenImage(argv[1]);
    if (!window.Analysis->Results.Exists("SHAResult")) {
        std::fputs("varnolux-screenshot: the image was not analysed\n", stderr);
        return 1;
    }
    if (verify) {
        TFormVerify& verifyWindow = *windows.FormVerify;
        bool finished = false;
        QObject::connect(&verifyWindow, &TFormVerify::VerificationFinished,
                         [&finished] { finished = true; });
        windows.FormOptions->EditResultFile->setText(argv[5]);
        // The findings name the options file; the window's position, written into the
        // options file at the end, goes into a copy.
        const std::string optionsCopy = folder.path().toStdString() + "/" + FileNamePart(argv[2]);
        std::filesystem::copy_file(argv[2], optionsCopy);
        window.OptionsFile = optionsCopy;
        verifyWindow.CheckBoxOptions->setChecked(true);
        verifyWindow.CheckBoxReanalyse->setChecked(true);
        window.ActionVerifyResultFile->trigger();
        while (!finished)
            Wait(10);
        Wait(200);
        if (!verifyWindow.grab().save(argv[3], "PNG")) {
            std::fprintf(stderr, "varnolux-screenshot: cannot write %s\n", argv[3]);
            return 1;
        }
        window.close();
        return 0;
    }
    if (!ShowPage(*window.PageControlPlasma, argc == 5 ? argv[4] : "Chart")) {
        std::fprintf(stderr, "varnolux-screenshot: no page %s\n", argv[4]);
        return 2;
    }
    Wait(700); // a few palette frames
    if (!window.grab().save(argv[3], "PNG")) {
        std::fprintf(stderr, "varnolux-screenshot: cannot write %s\n", argv[3]);
        return 1;
    }
    window.close();
    return 0;
}
