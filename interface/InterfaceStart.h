#pragma once

#include "interface/TInterfaceBA.h"

#include <string>

namespace varnolux {

/// The sender whose automatic run loads, analyses and saves without the user.
inline constexpr const char* RobotSender = "Robot";
/// The sender whose subject line is the program title and the time of the start.
inline constexpr const char* OptivaneSender = "Optivane";

/// Whether the user works only on the handed-over image (ActionOpen hidden).
bool HidesActionOpen(const TInterfaceBA& handedOver);

/// Whether the start-up step performs the automatic robot run on image record 0.
bool IsRobotRun(const TInterfaceBA& handedOver);

/// Whether the interface file asks for the robot's automatic run that ends the
/// program by itself (StoppAtEnd 0), whether or not it names an image to analyse.
bool AsksToEndByItself(const TInterfaceBA& handedOver);

/// Why an interface file gives no image to work on, in a few words for a message
/// ("it is empty", "it cannot be read: Permission denied"); for a start nobody attends.
std::string NoImageReason(const std::string& interfaceFileName);

/// Whether the start-up step loads image record 0 for the user to work on.
bool IsInteractiveStart(const TInterfaceBA& handedOver);

/// Where the calling program wants its result file: image record 0's ResultFileDB,
/// empty when there is none (then no file is written at close).
std::string CallerResultFileName(const TInterfaceBA& handedOver);

/// The analysed image saved for the calling program: the folder, "Lamivex_", the
/// image's file name with its extension, ".bmp".
std::string AnalysedImageFileName(const std::string& resultImageDirectory,
                                  const std::string& imageFileName);

/// The subject line of the interactive start. dateTimeText is the moment in the
/// locale's short date and long time format, used for the "Optivane" sender only.
std::string SubjectStatusText(const std::string& sender, const std::string& applicationTitle,
                              const std::string& dateTimeText, const structSubject& subject);

} // namespace varnolux
