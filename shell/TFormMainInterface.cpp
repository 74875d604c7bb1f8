// The main window's side of a calling program's interface file: the start it asks
// for, the automatic run of a robot station, and the result file written back at close.

#include "base/Messages.h"
#include "interface/InterfaceStart.h"
#include "interface/TInterfaceBA.h"
#include "shell/TApplication.h"
#include "shell/TFormMain.h"
#include "shell/TLanguageReporter.h"
#include "shell/TProgramControl.h"
#include "shell/TResultActions.h"
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
    Interface = std::make_unique<TInterfaceBA>(TInterfaceMode::miReceive, files_.Folder,
                                               files_.CameraTableFile);
    Interface->ReadIni(parameters_);
    return std::move(kept.messages);
}

bool TFormMain::RunsUnattended() const
{
    return Interface &&
           (AsksToEndByItself(*Interface) || (!parameters_.empty() && nobodyWatching_));
}

bool TFormMain::StartFromInterface()
{
    ActionOpen->setVisible(!HidesActionOpen(*Interface));
    if (!startImage_.empty())
        return OpenStartImage();
    if (IsRobotRun(*Interface))
        return RunForRobot();
    if (IsInteractiveStart(*Interface))
        return OpenHandedOverImage();
    if (RunsUnattended() && Interface->Count() == 0)
        EndUnattendedRun("LInterfaceFileUnusable",
                         {parameters_.front(), NoImageReason(parameters_.front())});
    else if (RunsUnattended())
        EndUnattendedRun("LInterfaceNotRobot",
                         {parameters_.front(), Interface->Sender(), RobotSender});
    return false;
}

void TFormMain::EndUnattendedRun(std::string_view problem, const std::vector<std::string>& args)
{
    CurrentReporter().ShowLanguageMessage(problem, args);
    exitStatus_ = 1;
    close();
}

bool TFormMain::RunForRobot()
{
    StatusBarMain->SetPanelText(0, "...");
    OpenImage(Interface->GetImage(0).ImageFileName);
    connect(this, &TFormMain::WorkFinished, this, &TFormMain::RobotRunFinished,
            Qt::SingleShotConnection);
    return true;
}

void TFormMain::RobotRunFinished()
{
    const structImage image = Interface->GetImage(0);
    bool done = ProgramControl->State() == StateAnalysed;
    if (done && Interface->ResultImage())
        done = resultActions_->SaveAnalysedImage(
            AnalysedImageFileName(Interface->ResultImageDirectory(), image.ImageFileName), false);
    // The caller learns from the status whether it got what it asked for.
    if (!done)
        exitStatus_ = 1;
    // A caller waits for the program to end, whatever became of the image.
    if (!Interface->StoppAtEnd())
        close();
    FinishStartup();
}

bool TFormMain::OpenHandedOverImage()
{
    SubjectText = SubjectStatusText(Interface->Sender(), TApplication::Title,
                                    DateTimeText(std::time(nullptr)), Interface->GetSubject(0));
    StatusBarMain->SetPanelText(0, QString::fromStdString(SubjectText));
    const std::string imageFileName = Interface->GetImage(0).ImageFileName;
    OpenImage(imageFileName);
    connect(
        this, &TFormMain::WorkFinished, this,
        [this, imageFileName] {
            if (!analysis_->HasImage())
                CurrentReporter().ShowLanguageMessage("LUnsupportedImageType", {imageFileName});
            FinishStartup();
        },
        Qt::SingleShotConnection);
    return true;
}

bool TFormMain::OpenStartImage()
{
    if (!OpenImage(startImage_))
        return false;
    connect(this, &TFormMain::WorkFinished, this, &TFormMain::FinishStartup,
            Qt::SingleShotConnection);
    return true;
}

void TFormMain::WriteCallerResultFile(bool analysisFinished)
{
    if (!Interface)
        return;
    if (const std::string fileName = CallerResultFileName(*Interface);
        !fileName.empty() &&
        !Interface->WriteCallerResultFile(fileName, ShownResult().Items, analysisFinished))
        exitStatus_ = 1;
}

} // namespace varnolux
