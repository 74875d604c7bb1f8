// varnolux: the desktop program.

#include "base/Messages.h"
#include "input/TKVFreeImage.h"
#include "settings/ProgramInfo.h"
#include "shell/TApplication.h"
#include "shell/TFormMain.h"
#include "shell/TMessageBoxReporter.h"
#include "shell/TProgramWindows.h"
#include "shell/TQuestions.h"
#include "shell/TSingleInstance.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

constexpr const char* UsageText =
    "usage: varnolux [IMAGE]\n"
    "       varnolux [INTERFACEFILE [CAMERARECORD...]]\n"
    "       varnolux --help | --version\n"
    "\n"
    "Measures coloured areas in images: opens the main window, where you open an image,\n"
    "choose a colour range and read the areas, counts and percentages.\n"
    "\n"
    "IMAGE is opened and analysed as File -> Open does; while the program runs already,\n"
    "its window opens the image instead (the exit status is 1 when it cannot).\n"
    "INTERFACEFILE is the interface file of a calling program (an INI file naming the\n"
    "images and subjects, and whether to analyse by itself and end); further parameters\n"
    "are camera record files. Without a display (QT_QPA_PLATFORM=offscreen) messages go\n"
    "to standard error and a run that ends by itself exits with 0 when everything was\n"
    "analysed and written, 1 otherwise.\n"
    "\n"
    "  --help     print this text and end\n"
    "  --version  print the version and end\n"
    "\n"
    "Only one program runs per user; a second start brings its window to the front.\n"
    "The default options VXDefault.ini and the program settings Varnolux.ini are in the\n"
    "program's folder, or for an installed program in ~/.config/varnolux (or\n"
    "$XDG_CONFIG_HOME/varnolux). For analysing images without a window see\n"
    "varnolux-batch(1); the user manual is manual.pdf (Help -> Manual).\n";

/// --help and --version are answered before any window exists, so that they work
/// without a display; nothing when the command line asks for the program itself.
std::optional<int> AnswerInformationRequest(int argc, char** argv)
{
    if (argc < 2)
        return std::nullopt;
    const std::string_view request = argv[1];
    if (request == "--help" || request == "-h") {
        std::fputs(UsageText, stdout);
    } else if (request == "--version") {
        std::printf("varnolux %s\n", varnolux::ProgramVersionText().c_str());
    } else {
        return std::nullopt;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

/// Hands an image to the running window, which opens it unless it is busy (then it says
/// why); exit status 1 when it does not.
int HandOverImage(varnolux::TSingleInstance& instance, const std::string& image)
{
    using THandOver = varnolux::TSingleInstance::THandOver;
    const QString path = QFileInfo(QFile::decodeName(image.c_str())).absoluteFilePath();
    switch (instance.AskRunningInstanceToOpen(path)) {
    case THandOver::Opened:
        return 0;
    case THandOver::Refused:
        std::fprintf(stderr,
                     "varnolux: the program already runs for this user and cannot open %s "
                     "now (it is busy, waits for an answer, or works for a calling "
                     "program); its window says so.\n",
                     image.c_str());
        return 1;
    case THandOver::NoAnswer:
        break;
    }
    std::fprintf(stderr,
                 "varnolux: the program already runs for this user (%s) but does not "
                 "answer; %s was not opened.\n",
                 qPrintable(instance.LockFileName()), image.c_str());
    return 1;
}

/// A later start while the user's program runs. Without parameters the running window
/// comes to the front; an image is opened there. Work a calling program hands over is
/// not taken up by that window, and the calling program must know: exit status 1, as
/// when the running window cannot be reached.
int SecondStart(varnolux::TSingleInstance& instance, const std::vector<std::string>& parameters)
{
    if (!parameters.empty() && varnolux::IsImageFile(parameters.front()))
        return HandOverImage(instance, parameters.front());
    if (!parameters.empty()) {
        std::fprintf(stderr,
                     "varnolux: the program already runs for this user; %s was not "
                     "processed. Start it again once that program has ended.\n",
                     parameters.front().c_str());
        return 1;
    }
    if (!instance.AskRunningInstanceToRaise()) {
        std::fprintf(stderr,
                     "varnolux: the program already runs for this user (%s) but does not "
                     "answer.\n",
                     qPrintable(instance.LockFileName()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace varnolux;
    if (const auto answered = AnswerInformationRequest(argc, argv))
        return *answered;
    // A save that reaches a file-size limit must fail and be reported, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName("varnolux");
    TApplication application(argc, argv);
    // Without a display nobody could answer a message box: messages go to standard error.
    TMessageBoxReporter messageBoxes;
    TStderrReporter standardError;
    TReporter& reporter =
        TApplication::HasNoDisplay() ? static_cast<TReporter&>(standardError) : messageBoxes;
    const TScopedReporter reportToUser(reporter);
    // Without a display nobody could answer a question: it is reported and answered at once.
    std::optional<TScopedQuestions> askUser;
    if (!TApplication::HasNoDisplay())
        askUser.emplace(messageBoxes);
    try {
        std::vector<std::string> parameters;
        for (const QString& parameter : QCoreApplication::arguments().mid(1))
            parameters.push_back(QFile::encodeName(parameter).toStdString());
        TSingleInstance instance("Varnoluxdemo");
        if (!instance.Enforced())
            std::fputs("varnolux: no runtime folder of this user (XDG_RUNTIME_DIR) to keep "
                       "the program to one window; it starts all the same\n",
                       stderr);
        if (!instance.Start())
            return SecondStart(instance, parameters);
        // The first reader checks the FreeImage version; the user decides whether to go on.
        if (const TKVFreeImage versionCheck;
            !versionCheck.VersionWarning().empty() &&
            CurrentQuestions().AskAbort(versionCheck.VersionWarning()))
            return 1;
        // An installed program keeps the user's settings in the configuration folder.
        if (const std::string problem = TProgramFolders::Current().PrepareSettings();
            !problem.empty())
            std::fprintf(stderr, "varnolux: %s; settings are not kept\n", problem.c_str());
        TProgramWindows windows(TProgramFiles::Installed(), parameters);
        QObject::connect(&instance, &TSingleInstance::RaiseRequested, windows.FormMain.get(),
                         &TFormMain::BringToFront);
        instance.SetOpenHandler([&main = *windows.FormMain](const QString& image) {
            return main.OpenImageOfLaterStart(QFile::encodeName(image).toStdString());
        });
        windows.FormMain->SetNobodyWatching(TApplication::HasNoDisplay());
        windows.FormMain->show();
        const int status = application.exec();
        return std::max(status, windows.FormMain->ExitStatus());
    } catch (const std::exception& error) {
        reporter.ShowMessage(error.what());
    }
    return 1;
}
