#include "interface/InterfaceStart.h"

#include "base/Paths.h"
#include "base/TFileDescriptor.h"
#include "settings/IniDocument.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>

namespace varnolux {

bool HidesActionOpen(const TInterfaceBA& handedOver)
{
    return handedOver.Count() > 0;
}

bool IsRobotRun(const TInterfaceBA& handedOver)
{
    return handedOver.Automatic() && handedOver.Count() > 0 && handedOver.Sender() == RobotSender;
}

bool AsksToEndByItself(const TInterfaceBA& handedOver)
{
    return handedOver.Automatic() && handedOver.Sender() == RobotSender && !handedOver.StoppAtEnd();
}

std::string NoImageReason(const std::string& interfaceFileName)
{
    if (interfaceFileName.empty())
        return "no interface file was given";
    const TFileDescriptor file(::open(interfaceFileName.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!file.IsOpen() || ::fstat(file.Get(), &status) != 0)
        return "it cannot be read: " + std::generic_category().message(errno);
    if (!S_ISREG(status.st_mode))
        return "it is not a file";
    if (status.st_size == 0)
        return "it is empty";
    const auto document = TIniDocument::Load(interfaceFileName);
    if (!document)
        return "it cannot be read";
    for (const TIniDocument::TProblem& problem : document->Problems())
        if (problem.kind == TIniDocument::TProblemKind::BinaryData)
            return "it holds binary data (line " + std::to_string(problem.line) + ")";
    return "it names no image: [General] Count must be a number from 1 to " +
           std::to_string(TInterfaceBA::MaxRecordCount);
}

bool IsInteractiveStart(const TInterfaceBA& handedOver)
{
    return !handedOver.Automatic() && handedOver.Count() > 0;
}

std::string CallerResultFileName(const TInterfaceBA& handedOver)
{
    return handedOver.Count() > 0 ? handedOver.GetImage(0).ResultFileDB : std::string();
}

std::string AnalysedImageFileName(const std::string& resultImageDirectory,
                                  const std::string& imageFileName)
{
    std::string folder = resultImageDirectory;
    if (!folder.empty() && !folder.ends_with('/'))
        folder += '/';
    return folder + "Lamivex_" + FileNamePart(imageFileName) + ".bmp";
}

std::string SubjectStatusText(const std::string& sender, const std::string& applicationTitle,
                              const std::string& dateTimeText, const structSubject& subject)
{
    if (sender == OptivaneSender)
        return applicationTitle + " " + dateTimeText;
    return subject.Name + ", " + subject.Firstname + ", *" + subject.Birthdate;
}

} // namespace varnolux
