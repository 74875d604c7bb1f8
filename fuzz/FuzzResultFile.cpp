// Result files: whatever the bytes, the reader gives the lines and fields a plain split
// at line feeds and tabs gives, and memory stays bounded for overlong lines.

#include "FuzzTarget.h"
#include "results/TResultFileReader.h"

#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace varnolux;
    using fuzz::Check;
    static const fuzz::TScratchFile scratch(".txt");
    const std::string_view bytes = fuzz::Bytes(data, size);
    TResultFileReader reader(scratch.Write(bytes));

    std::size_t start = 0;
    std::size_t number = 0;
    while (start < bytes.size()) {
        const std::size_t lineFeed = bytes.find('\n', start);
        const std::size_t end = lineFeed == std::string_view::npos ? bytes.size() : lineFeed;
        std::string_view text = bytes.substr(start, end - start);
        if (text.ends_with('\r'))
            text.remove_suffix(1);
        start = lineFeed == std::string_view::npos ? bytes.size() : lineFeed + 1;

        const std::optional<TResultFileLine> line = reader.Next();
        Check(line.has_value(), "a line is missing");
        Check(line->Number == ++number, "the lines are numbered otherwise");
        Check(line->EndOffset == start, "a line ends elsewhere");
        const bool tooLong = text.size() > TResultFileReader::MaxLineLength;
        Check(line->TooLong == tooLong, "a line is taken for too long, or not");
        const std::vector<std::string> fields = SplitResultFields(tooLong ? "" : text);
        Check(line->Fields == fields, "the fields differ from a plain split");
    }
    Check(!reader.Next(), "a line more than the file holds");
    return 0;
}
