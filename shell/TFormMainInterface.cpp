// The main window's side of a calling program's interface file: the start it asks
// for, the automatic run of a robot station, and the result file written back at close.

#include "interface/InterfaceStart.h"
#include "interface/TInterfaceBA.h"
#include "settings/Messages.h"
#include "shell/TApplication.h"
#include "shell/TFormMain.h"
#include "shell/TProgramControl.h"
#include "shell/TStatusBar.h"

#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include <QAction>

namespace varnolux {

namespace {

/// Keeps messages for a reporter that is not chosen yet.
class TKeptMessages final : public TReporter {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

} // namespace

std::vector<std::string> TFormMain::ReadInterfaceFile()
{
    TKeptMessages kept;
    const TScopedReporter keep(kept);
    Interface = std::make_unique<TInterfaceBA>(TInterfaceMode::miReceive, files_.Folder);
    Interface->ReadIni(parameters_);
    return std::move(kept.messages);
}

bool TFormMain::RunsUnattended() const
{
    return Interface &&
           (AsksToEndByItself(*Interface) || (!parameters_.empty() && nobodyWatching_));
}

void TFormMain::StartFromInterface()
{
    ActionOpen->setVisible(!HidesActionOpen(*Interface));
    if (IsRobotRun(*Interface))
        RunForRobot();
    else if (IsInteractiveStart(*Interface))
        OpenHandedOverImage();
    else if (RunsUnattended() && Interface->Count() == 0)
        EndUnattendedRun("The interface file " + parameters_.front() +
                         " cannot be used: " + NoImageReason(parameters_.front()) + ".");
    else if (RunsUnattended())
        EndUnattendedRun("The interface file " + parameters_.front() +
                         " asks for an automatic run by the sender \"" + Interface->Sender() +
                         "\"; only \"" + RobotSender + "\" runs by itself.");
}

void TFormMain::EndUnattendedRun(const std::string& problem)
{
    CurrentReporter().ShowMessage(problem);
    exitStatus_ = 1;
    close();
}

void TFormMain::RunForRobot()
{
    StatusBarMain->SetPanelText(0, "...");
    const structImage image = Interface->GetImage(0);
    bool done = OpenImage(image.ImageFileName) && ProgramControl->State() == StateAnalysed;
    if (done && Interface->ResultImage())
        done = SaveAnalysedImage(
            AnalysedImageFileName(Interface->ResultImageDirectory(), image.ImageFileName), false);
    // The caller learns from the status whether it got what it asked for.
    if (!done)
        exitStatus_ = 1;
    // A caller waits for the program to end, whatever became of the image.
    if (!Interface->StoppAtEnd())
        close();
}

void TFormMain::OpenHandedOverImage()
{
    SubjectText = SubjectStatusText(Interface->Sender(), TApplication::Title,
                                    DateTimeText(std::time(nullptr)), Interface->GetSubject(0));
    StatusBarMain->SetPanelText(0, QString::fromStdString(SubjectText));
    const std::string imageFileName = Interface->GetImage(0).ImageFileName;
    if (!OpenImage(imageFileName))
        CurrentReporter().ShowMessage("Unsupported image type: " + imageFileName);
}

void TFormMain::WriteCallerResultFile(bool analysisFinished)
{
    if (!Interface)
        return;
    if (const std::string fileName = CallerResultFileName(*Interface);
        !fileName.empty() &&
        !Interface->WriteCallerResultFile(fileName, shownResult_.Items, analysisFinished))
        exitStatus_ = 1;
}

} // namespace varnolux
