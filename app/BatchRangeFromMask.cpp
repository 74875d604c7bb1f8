#include "app/BatchRangeFromMask.h"

#include "analysis/ColourRangeFromMask.h"
#include "base/Messages.h"
#include "input/TKVFreeImage.h"
#include "settings/TOptions.h"

#include <cstdio>
#include <memory>

namespace varnolux {

namespace {

enum TRangeStatus { Printed = 0, NotSet = 1 };

/// The picture of an image file, or nothing after a message naming the file.
std::unique_ptr<TBitmap24> ReadPicture(const std::string& fileName)
{
    TStderrReporter reporter;
    reporter.SetContext(fileName);
    const TScopedReporter reportToStderr(reporter);
    return TKVFreeImage().LoadToBitmap(fileName);
}

std::string SizeText(const TBitmap24& picture)
{
    return std::to_string(picture.Width()) + " × " + std::to_string(picture.Height());
}

int NotSetBecause(const std::string& why)
{
    std::fprintf(stderr, "varnolux-batch: %s: %s\n",
                 DefaultMessageText("LabelColorRegionsNotSet").c_str(), why.c_str());
    return NotSet;
}

} // namespace

int RunRangeFromMask(const TRangeFromMaskCommand& command)
{
    const std::unique_ptr<TBitmap24> mask = ReadPicture(command.maskFile);
    if (!mask)
        return NotSetBecause("the mask " + command.maskFile + " cannot be read");
    const std::unique_ptr<TBitmap24> image = ReadPicture(command.imageFile);
    if (!image)
        return NotSetBecause("the image " + command.imageFile + " cannot be read");
    const TMaskRange range = ColourRangeFromMask(*image, *mask, command.spread);
    if (range.Failure == TMaskRange::TFailure::OtherSize)
        return NotSetBecause("the mask " + command.maskFile + " is " + SizeText(*mask) +
                             " pixels, the image " + command.imageFile + " " + SizeText(*image));
    if (!range)
        return NotSetBecause(range.FailureText() + (" in " + command.maskFile));
    std::string lines;
    for (std::size_t i = 0; i < RangeTextKeys.size(); ++i)
        lines += std::string(RangeTextKeys[i]) + "=" + std::to_string(range.Range[i]) + "\n";
    return std::fputs(lines.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? Printed : NotSet;
}

} // namespace varnolux
