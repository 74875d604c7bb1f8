#pragma once

#include <string>

namespace varnolux {

/// What varnolux-batch --range-from-mask is asked to do.
struct TRangeFromMaskCommand {
    std::string maskFile;
    std::string imageFile;
    double spread = 2.0;
};

/// Prints the colour range of the image's pixels that the mask selects as the six
/// range lines of an options file's [FormMain] section. The exit status: 0 when
/// printed, 1 after a message on standard error when the range cannot be set.
int RunRangeFromMask(const TRangeFromMaskCommand& command);

} // namespace varnolux
