#include "interface/InterfaceStart.h"

#include "settings/ProgramInfo.h"

namespace varnolux {

bool HidesActionOpen(const TInterfaceBA& handedOver)
{
    return handedOver.Count() > 0;
}

bool IsRobotRun(const TInterfaceBA& handedOver)
{
    return handedOver.Automatic() && handedOver.Count() > 0 && handedOver.Sender() == RobotSender;
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
