#pragma once

#include "shell/TProgramFiles.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QObject>

class QAction;

namespace varnolux {

class TAnalysisController;
class TInterfaceBA;
class TProgramControl;
class TResultActions;
class TStatusBar;

/// What the command line asks the desktop program to start with: an image to open (the
/// desktop's "Open with"), or a calling program's interface file with its images and
/// subject — opened for the user, or for a robot station analysed, saved and, when it
/// asks, ended — and the result file written back for it at closing.
class TCallerStart : public QObject {
    Q_OBJECT

public:
    /// The main window's parts it uses.
    struct TParts {
        TStatusBar* StatusBar = nullptr;
        QAction* ActionOpen = nullptr;
    };

    /// parameters are the command-line parameters after the program name.
    TCallerStart(const TProgramFiles& files, std::vector<std::string> parameters,
                 TAnalysisController& analysis, TProgramControl& programControl,
                 TResultActions& results, const TParts& parts, QObject* parent = nullptr);
    ~TCallerStart() override;

    /// Reads the interface file of the parameters; the messages of the reading are
    /// kept and returned, for it is not known yet who reads them.
    std::vector<std::string> ReadInterfaceFile();
    /// Nobody is there to answer a message box: the run ends the program by itself, or
    /// there is no display.
    bool RunsUnattended() const;
    /// Starts what the command line asks for; false when nothing runs afterwards.
    /// Otherwise Finished follows once what it started has ended.
    bool Start();
    /// Writes the calling program's result file when it asked for one; the result
    /// sections only after an analysis.
    void WriteCallerResultFile(bool analysisFinished);
    /// The interface is gone (the window closes).
    void Forget();

    /// What the calling program handed over; none before the start-up step and after
    /// closing.
    const TInterfaceBA* Interface() const { return interface_.get(); }
    /// The calling program's subject for the status bar; empty without one.
    const std::string& SubjectText() const { return subjectText_; }
    /// 1 when the calling program's automatic run could not do what it asked (no image,
    /// no analysis, no saved image or result file), else 0.
    int ExitStatus() const { return exitStatus_; }
    void SetNobodyWatching(bool nobodyWatching) { nobodyWatching_ = nobodyWatching; }

Q_SIGNALS:
    /// What the start began has ended; the start-up step goes on.
    void Finished();
    /// The calling program's run ends the program.
    void CloseRequested();

private:
    /// Reports why a run nobody attends cannot go on (the language message with its
    /// arguments) and ends the program with status 1.
    void EndUnattendedRun(std::string_view problem, const std::vector<std::string>& args);
    bool RunForRobot();
    void RobotRunFinished();
    bool OpenHandedOverImage();
    /// Opens the image given on the command line.
    bool OpenStartImage();

    TProgramFiles files_;
    std::vector<std::string> parameters_;
    /// The image given as the first command-line parameter, with its full path.
    std::string startImage_;
    TAnalysisController& analysis_;
    TProgramControl& programControl_;
    TResultActions& results_;
    TParts parts_;
    std::unique_ptr<TInterfaceBA> interface_;
    std::string subjectText_;
    int exitStatus_ = 0;
    bool nobodyWatching_ = false;
};

} // namespace varnolux
