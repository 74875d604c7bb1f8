#pragma once

#include "base/Messages.h"

#include <string>
#include <vector>

namespace varnolux {

class TBatchProgress;

/// The batch's reporter: each message one line naming the image. A worker's reporter
/// keeps its lines, so that they can be written in the order of the images.
class TBatchReporter final : public TStderrReporter {
public:
    /// Writes the lines above the progress line at once, or keeps them when collect.
    TBatchReporter(TBatchProgress& progress, bool collect)
        : progress_(progress)
        , collect_(collect)
    {
    }

    /// The lines kept since the last call.
    std::vector<std::string> TakeLines();

protected:
    void WriteLine(const std::string& line) override;

private:
    TBatchProgress& progress_;
    bool collect_;
    std::vector<std::string> lines_;
};

} // namespace varnolux
