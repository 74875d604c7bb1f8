// The reader of dcmdump's text: any text reads, nested lines never count, and a
// top-level line at the end always does.

#include "FuzzTarget.h"
#include "input/DicomImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace varnolux;
    const std::string dump(fuzz::Bytes(data, size));
    const TDicomDumpValues values = ReadDicomDumpValues(dump);

    const TDicomDumpValues nested = ReadDicomDumpValues(
        "  (0028,0002) US 9\n    (0028,0008) IS [7]\n" + dump + "\n  (0028,0002) US 8\n");
    fuzz::Check(nested.SamplesPerPixel == values.SamplesPerPixel && nested.Frames == values.Frames,
                "an indented line counts");

    const TDicomDumpValues last =
        ReadDicomDumpValues(dump + "\n(0028,0002) US 3\n(0028,0008) IS [12]");
    fuzz::Check(last.SamplesPerPixel == 3 && last.Frames == 12, "the last top-level line is lost");
    return 0;
}
