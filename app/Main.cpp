// varnolux: the desktop program.

#include "input/TKVFreeImage.h"
#include "settings/Messages.h"
#include "shell/TApplication.h"
#include "shell/TFormMain.h"
#include "shell/TMessageBoxReporter.h"
#include "shell/TProgramWindows.h"
#include "shell/TSingleInstance.h"

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
    TMessageBoxReporter reporter;
    const TScopedReporter reportInMessageBoxes(reporter);
    try {
        TSingleInstance instance("Varnoluxdemo");
        if (!instance.Start()) {
            instance.AskRunningInstanceToRaise();
            return 0;
        }
        const TKVFreeImage versionCheck;
        std::vector<std::string> parameters;
        for (const QString& parameter : QCoreApplication::arguments().mid(1))
            parameters.push_back(QFile::encodeName(parameter).toStdString());
        TProgramWindows windows(TProgramFiles::Installed(), parameters);
        QObject::connect(&instance, &TSingleInstance::RaiseRequested, windows.FormMain.get(),
                         &TFormMain::BringToFront);
        windows.FormMain->show();
        return application.exec();
    } catch (const std::exception& error) {
        reporter.ShowMessage(error.what());
    }
    return 0;
}
