// Options files: any file reads, is checked, and saving what was read reads back the same.

#include "FuzzTarget.h"
#include "settings/TOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace varnolux;
    static const fuzz::TScratchFile scratch(".ini");
    const std::string& file = scratch.Write(fuzz::Bytes(data, size));
    CheckOptionsFile(file);
    const TOptions loaded = TOptions::Load(file);
    loaded.Save(file);
    fuzz::Check(TOptions::Load(file) == loaded, "saving the options read changes them");
    return 0;
}
