// varnolux: the desktop program.

#include "input/TKVFreeImage.h"
#include "settings/Messages.h"
#include "shell/TApplication.h"
#include "shell/TFormMain.h"
#include "shell/TMessageBoxReporter.h"
#include "shell/TProgramWindows.h"
#include "shell/TSingleInstance.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include <QFile>
#include <QStringList>

namespace {

/// A later start while the user's program runs. Without parameters the running window
/// comes to the front. Work handed over on the command line is not taken up by that
/// window, and the calling program must know: exit status 1, as when the running
/// window cannot be reached.
int SecondStart(varnolux::TSingleInstance& instance, const std::vector<std::string>& parameters)
{
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
    // A save that reaches a file-size limit must fail and be reported, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    TApplication application(argc, argv);
    // Without a display nobody could answer a message box: messages go to standard error.
    TMessageBoxReporter messageBoxes;
    TStderrReporter standardError;
    TReporter& reporter =
        TApplication::HasNoDisplay() ? static_cast<TReporter&>(standardError) : messageBoxes;
    const TScopedReporter reportToUser(reporter);
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
        const TKVFreeImage versionCheck;
        TProgramWindows windows(TProgramFiles::Installed(), parameters);
        QObject::connect(&instance, &TSingleInstance::RaiseRequested, windows.FormMain.get(),
                         &TFormMain::BringToFront);
        windows.FormMain->SetNobodyWatching(TApplication::HasNoDisplay());
        windows.FormMain->show();
        const int status = application.exec();
        return std::max(status, windows.FormMain->ExitStatus());
    } catch (const std::exception& error) {
        reporter.ShowMessage(error.what());
    }
    return 1;
}
