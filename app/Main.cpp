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
#include <exception>
#include <string>
#include <vector>

#include <QFile>
#include <QStringList>

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
        TSingleInstance instance("Varnoluxdemo");
        if (!instance.Start()) {
            instance.AskRunningInstanceToRaise();
            // A calling program without a display waits for a result that never comes.
            if (!TApplication::HasNoDisplay() || argc < 2)
                return 0;
            reporter.ShowMessage("Varnolux already runs for this user; the interface file " +
                                 std::string(argv[1]) + " was not worked on.");
            return 1;
        }
        const TKVFreeImage versionCheck;
        std::vector<std::string> parameters;
        for (const QString& parameter : QCoreApplication::arguments().mid(1))
            parameters.push_back(QFile::encodeName(parameter).toStdString());
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
