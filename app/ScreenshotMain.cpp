// varnolux-screenshot: opens an image in the desktop program's main window, as a user
// would, and writes a picture of the window after the analysis.

#include "app/ToolScreenshots.h"
#include "base/Messages.h"
#include "base/Paths.h"
#include "shell/TApplication.h"
#include "shell/TFormMain.h"
#include "shell/TFormOptions.h"
#include "shell/TFormVerify.h"
#include "shell/TProgramWindows.h"
#include "shell/TRegionsPage.h"
#include "tools/Named.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include <QCheckBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr const char* UsageText =
    "usage: varnolux-screenshot IMAGE OPTIONS OUTPUT.png [TAB [SIZE [LANGUAGEFILE]]]\n"
    "       varnolux-screenshot IMAGE OPTIONS OUTPUT.png --verify RESULTFILE [LANGUAGEFILE]\n"
    "       varnolux-screenshot IMAGE OPTIONS OUTPUT.png\n"
    "                           --tool measure|selection|viewer|region|template\n"
    "                                  [LANGUAGEFILE [SIZE]]\n"
    "\n"
    "Loads the options file, opens IMAGE in the main window and writes a picture of\n"
    "the window after the analysis. TAB names the page shown below the results:\n"
    "Chart (the default), Colors, H-image, S-image, V-image or Regions. SIZE is the\n"
    "window's size, WIDTHxHEIGHT or \"min\" for its minimum size (default: as it\n"
    "opens).\n"
    "LANGUAGEFILE replaces the program's VXLang.ini. With --verify, the picture is of\n"
    "Analysis > Verify result file on RESULTFILE, compared with the options and\n"
    "analysed again. With --tool, it is of a tool window on the image: the calibration\n"
    "with a measured line, the colour selection with two outlines, a full-size\n"
    "viewer at 200%, the analysis-area editor with a circle and the borders (at\n"
    "SIZE, WIDTHxHEIGHT or min, when given), or the print template editor.\n";

/// Runs the event loop for a while, so that timers (the palette) can fire.
void Wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

/// The window size of a SIZE argument; nothing when it is not one.
std::optional<QSize> WindowSize(const std::string& text, const QWidget& window)
{
    if (text == "min")
        return window.minimumSize();
    int width = 0;
    int height = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &end) != 2 || width <= 0 ||
        height <= 0)
        return std::nullopt;
    return QSize(width, height);
}

/// The page by its English name, whatever the language file calls it.
bool ShowPage(QTabWidget& pages, const std::string& name)
{
    const std::pair<const char*, const char*> sheets[] = {
        {"Chart", "TabSheetChart"}, {"Colors", "TabSheetPlasma"}, {"H-image", "TabSheetH"},
        {"S-image", "TabSheetS"},   {"V-image", "TabSheetV"},     {"Regions", "TabSheetRegions"}};
    for (const auto& [pageName, sheet] : sheets)
        if (name == pageName)
            if (QWidget* page = pages.findChild<QWidget*>(sheet)) {
                pages.setCurrentWidget(page);
                return true;
            }
    return false;
}

/// Verifies the result file in the Verify result file window, as Analysis > Verify
/// result file does, with the options compared and every image analysed again, and
/// writes a picture of the window.
int PictureOfVerification(varnolux::TProgramWindows& windows, const std::string& optionsFile,
                          const std::string& resultFile, const std::string& output,
                          const std::string& folder)
{
    using namespace varnolux;
    TFormMain& window = *windows.FormMain;
    TFormVerify& verifyWindow = *windows.FormVerify;
    bool finished = false;
    QObject::connect(&verifyWindow, &TFormVerify::VerificationFinished,
                     [&finished] { finished = true; });
    NamedPart<QLineEdit>(*windows.FormOptions, "EditResultFile")
        .setText(QString::fromStdString(resultFile));
    // The findings name the options file; the window's position, written into the
    // options file at the end, goes into a copy.
    const std::string optionsCopy = folder + "/" + FileNamePart(optionsFile);
    std::filesystem::copy_file(optionsFile, optionsCopy);
    window.OptionsFiles().SetFile(optionsCopy);
    NamedPart<QCheckBox>(verifyWindow, "CheckBoxOptions").setChecked(true);
    NamedPart<QCheckBox>(verifyWindow, "CheckBoxReanalyse").setChecked(true);
    window.ActionByName("ActionVerifyResultFile")->trigger();
    while (!finished)
        Wait(10);
    Wait(200);
    if (!verifyWindow.grab().save(QString::fromStdString(output), "PNG")) {
        std::fprintf(stderr, "varnolux-screenshot: cannot write %s\n", output.c_str());
        return 1;
    }
    window.close();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace varnolux;
    const bool verify = argc >= 6 && std::string(argv[4]) == "--verify";
    const bool tool = argc >= 6 && std::string(argv[4]) == "--tool";
    if (argc < 4 || argc > (tool ? 8 : 7) || (tool && !IsToolPicture(argv[5]))) {
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
    // The texts are the program's, from the language file next to it unless another
    // is given.
    TProgramFiles files = TProgramFiles::InFolder(folder.path().toStdString() + "/");
    files.LanguageFile = argc >= 7 ? argv[6] : TProgramFiles::Installed().LanguageFile;
    TProgramWindows windows(files);
    TFormMain& window = *windows.FormMain;
    bool started = false;
    QObject::connect(&window, &TFormMain::StartupFinished, [&started] { started = true; });
    window.show();
    while (!started)
        Wait(10);

    if (!window.OptionsFiles().Load(argv[2]))
        return 1;
    window.OpenImage(argv[1]);
    while (window.Busy())
        Wait(10);
    if (!window.ShownResult().Complete) {
        std::fputs("varnolux-screenshot: the image was not analysed\n", stderr);
        return 1;
    }
    if (verify)
        return PictureOfVerification(windows, argv[2], argv[5], argv[3],
                                     folder.path().toStdString());
    if (tool)
        return PictureOfTool(windows, argv[5], argv[3], argc == 8 ? argv[7] : "");
    auto& pages = *window.findChild<QTabWidget*>("PageControlPlasma");
    if (!ShowPage(pages, argc >= 5 ? argv[4] : "Chart")) {
        std::fprintf(stderr, "varnolux-screenshot: no page %s\n", argv[4]);
        return 2;
    }
    if (argc >= 6) {
        const std::optional<QSize> size = WindowSize(argv[5], window);
        if (!size) {
            std::fprintf(stderr, "varnolux-screenshot: no window size %s\n", argv[5]);
            return 2;
        }
        window.resize(*size);
    }
    // The Regions page coming up has the image analysed again for its table.
    while (window.Busy())
        Wait(10);
    Wait(700); // a few palette frames
    if (auto* regions = qobject_cast<TRegionsPage*>(pages.currentWidget())) {
        // As a user finds the largest object: sorted by area, its row clicked.
        auto& table = NamedPart<QTableView>(*regions, "TableViewRegions");
        table.sortByColumn(TRegionTable::ColumnAreaPixel - TRegionTable::ColumnRegion,
                           Qt::DescendingOrder);
        table.selectRow(0);
        Wait(100);
    }
    if (!window.grab().save(argv[3], "PNG")) {
        std::fprintf(stderr, "varnolux-screenshot: cannot write %s\n", argv[3]);
        return 1;
    }
    window.close();
    return 0;
}
