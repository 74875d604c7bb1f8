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

#include <QAction>

namespace varnolux {

void TFormMain::ReadInterfaceFile()
{
    Interface = std::make_unique<TInterfaceBA>(TInterfaceMode::miReceive, files_.Folder);
    Interface->ReadIni(parameters_);
}

bool TFormMain::RunsUnattended() const
{
    return Interface && IsRobotRun(*Interface) && !Interface->StoppAtEnd();
}

void TFormMain::StartFromInterface()
{
    ActionOpen->setVisible(!HidesActionOpen(*Interface));
    if (IsRobotRun(*Interface))
        RunForRobot();
    else if (IsInteractiveStart(*Interface))
        OpenHandedOverImage();
}

void TFormMain::RunForRobot()
{
    StatusBarMain->SetPanelText(0, "...");
    const structImage image = Interface->GetImage(0);
    if (OpenImage(image.ImageFileName) && Interface->ResultImage() &&
        ProgramControl->State() == StateAnalysed)
        SaveAnalysedImage(
            AnalysedImageFileName(Interface->ResultImageDirectory(), image.ImageFileName), false);
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
    if (const std::string fileName = CallerResultFileName(*Interface); !fileName.empty())
        Interface->WriteCallerResultFile(fileName, Analysis->Results, analysisFinished);
}

} // namespace varnolux
