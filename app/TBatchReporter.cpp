#include "app/TBatchReporter.h"

#include "app/TBatchProgress.h"

#include <utility>

namespace varnolux {

std::vector<std::string> TBatchReporter::TakeLines()
{
    return std::exchange(lines_, {});
}

void TBatchReporter::WriteLine(const std::string& line)
{
    if (collect_)
        lines_.push_back(line);
    else
        progress_.WriteLine(line);
}

} // namespace varnolux
