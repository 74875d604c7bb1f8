// Interface files as a calling program hands them over: any bytes read as one, in
// both layouts, must give bounded records and never touch other files.

#include "FuzzTarget.h"
#include "base/Messages.h"
#include "interface/TInterfaceBA.h"
#include "settings/IniDocument.h"

namespace {

using namespace varnolux;

/// The messages of a read are not the point here; they must only not stop the run.
class TSilentReporter : public TReporter {
public:
    void ShowMessage(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TSilentReporter silent;
    const TScopedReporter scope(silent);
    const TIniDocument document = TIniDocument::Parse(fuzz::Bytes(data, size));
    TInterfaceBA interface(TInterfaceMode::miReceive, "/nonexistent/");
    const bool read = interface.ReadInterfaceDocument(document);
    fuzz::Check(read == (interface.Count() > 0), "the result does not say whether records exist");
    fuzz::Check(interface.Count() <= TInterfaceBA::MaxRecordCount, "more records than allowed");
    fuzz::Check(interface.ResultImageDirectory().ends_with('/'),
                "the image folder does not end with a slash");
    for (int record = 0; record < interface.Count(); ++record)
        fuzz::Check(interface.GetSubject(record).Name.size() <= 3 * size, "a name from nowhere");
    return 0;
}
