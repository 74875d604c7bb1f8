// Options files: any file reads, is checked, and saving what was read reads back the same.

#include "FuzzTarget.h"
#include "base/Messages.h"
#include "settings/TOptions.h"

namespace {

/// Reports of invalid values are not the point here; they must only not stop the run.
class TSilentReporter : public varnolux::TReporter {
public:
    void ShowMessage(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace varnolux;
    TSilentReporter silent;
    const TScopedReporter scope(silent);
    static const fuzz::TScratchFile scratch(".ini");
    const std::string& file = scratch.Write(fuzz::Bytes(data, size));
    CheckOptionsFile(file);
    const TOptions loaded = TOptions::Load(file);
    loaded.Save(file);
    fuzz::Check(TOptions::Load(file) == loaded, "saving the options read changes them");
    return 0;
}
