#include "shell/TCallerStart.h"

#include "base/Messages.h"
#include "input/TKVFreeImage.h"
#include "interface/InterfaceStart.h"
#include "interface/TInterfaceBA.h"
#include "shell/TAnalysisController.h"
#include "shell/TApplication.h"
#include "shell/TFormMain.h"
#include "shell/TProgramControl.h"
#include "shell/TResultActions.h"
#include "shell/TStatusBar.h"

#include <ctime>
#include <filesystem>
#include <utility>

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

TCallerStart::TCallerStart(const TProgramFiles& files, std::vector<std::string> parameters,
                           TAnalysisController& analysis, TProgramControl& programControl,
                           TResultActions& results, const TParts& parts, QObject* parent)
    : QObject(parent)
    , files_(files)
    , parameters_(std::move(parameters))
    , analysis_(analysis)
    , programControl_(programControl)
    , results_(results)
    , parts_(parts)
{
    // An image (the desktop's "Open with") opens as File -> Open would; anything
    // else is a calling program's interface file.
    if (!parameters_.empty() && IsImageFile(parameters_.front())) {
        std::error_code error;
        const std::filesystem::path image = std::filesystem::absolute(parameters_.front(), error);
        startImage_ = error ? parameters_.front() : image.string();
        parameters_.clear();
    }
}

TCallerStart::~TCallerStart() = default;

std::vector<std::string> TCallerStart::ReadInterfaceFile()
{
    TKeptMessages kept;
    const TScopedReporter keep(kept);
    interface_ = std::make_unique<TInterfaceBA>(TInterfaceMode::miReceive, files_.Folder,
                                                files_.CameraTableFile);
    interface_->ReadIni(parameters_);
    return std::move(kept.messages);
}

bool TCallerStart::RunsUnattended() const
{
    return interface_ &&
           (AsksToEndByItself(*interface_) || (!parameters_.empty() && nobodyWatching_));
}

bool TCallerStart::Start()
{
    parts_.ActionOpen->setVisible(!HidesActionOpen(*interface_));
    if (!startImage_.empty())
        return OpenStartImage();
    if (IsRobotRun(*interface_))
        return RunForRobot();
    if (IsInteractiveStart(*interface_))
        return OpenHandedOverImage();
    if (RunsUnattended() && interface_->Count() == 0)
        EndUnattendedRun("LInterfaceFileUnusable",
                         {parameters_.front(), NoImageReason(parameters_.front())});
    else if (RunsUnattended())
        EndUnattendedRun("LInterfaceNotRobot",
                         {parameters_.front(), interface_->Sender(), RobotSender});
    return false;
}

void TCallerStart::EndUnattendedRun(std::string_view problem, const std::vector<std::string>& args)
{
    CurrentReporter().ShowLanguageMessage(problem, args);
    exitStatus_ = 1;
    Q_EMIT CloseRequested();
}

bool TCallerStart::RunForRobot()
{
    parts_.StatusBar->SetPanelText(0, "...");
    analysis_.Open(interface_->GetImage(0).ImageFileName);
    connect(&analysis_, &TAnalysisController::WorkFinished, this, &TCallerStart::RobotRunFinished,
            Qt::SingleShotConnection);
    return true;
}

void TCallerStart::RobotRunFinished()
{
    const structImage image = interface_->GetImage(0);
    bool done = programControl_.State() == StateAnalysed;
    if (done && interface_->ResultImage())
        done = results_.SaveAnalysedImage(
            AnalysedImageFileName(interface_->ResultImageDirectory(), image.ImageFileName), false);
    // The caller learns from the status whether it got what it asked for.
    if (!done)
        exitStatus_ = 1;
    // A caller waits for the program to end, whatever became of the image.
    if (!interface_->StoppAtEnd())
        Q_EMIT CloseRequested();
    Q_EMIT Finished();
}

bool TCallerStart::OpenHandedOverImage()
{
    subjectText_ =
        SubjectStatusText(interface_->Sender(), TApplication::Title,
                          TFormMain::DateTimeText(std::time(nullptr)), interface_->GetSubject(0));
    parts_.StatusBar->SetPanelText(0, QString::fromStdString(subjectText_));
    const std::string imageFileName = interface_->GetImage(0).ImageFileName;
    analysis_.Open(imageFileName);
    connect(
        &analysis_, &TAnalysisController::WorkFinished, this,
        [this, imageFileName] {
            if (!analysis_.HasImage())
                CurrentReporter().ShowLanguageMessage("LUnsupportedImageType", {imageFileName});
            Q_EMIT Finished();
        },
        Qt::SingleShotConnection);
    return true;
}

bool TCallerStart::OpenStartImage()
{
    if (!analysis_.Open(startImage_))
        return false;
    connect(&analysis_, &TAnalysisController::WorkFinished, this, &TCallerStart::Finished,
            Qt::SingleShotConnection);
    return true;
}

void TCallerStart::Forget()
{
    interface_.reset();
}

void TCallerStart::WriteCallerResultFile(bool analysisFinished)
{
    if (!interface_)
        return;
    if (const std::string fileName = CallerResultFileName(*interface_);
        !fileName.empty() && !interface_->WriteCallerResultFile(
                                 fileName, analysis_.ShownResult().Items, analysisFinished))
        exitStatus_ = 1;
}

} // namespace varnolux
