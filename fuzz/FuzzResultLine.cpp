// Result values: the number formats read back to themselves, and every line keeps
// one column per item whatever the texts hold.

#include "FuzzTarget.h"
#include "results/NumberFormat.h"
#include "results/TResult.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using namespace varnolux;
using fuzz::Check;

double ReadBack(const std::string& text)
{
    return std::strtod(text.c_str(), nullptr);
}

void CheckNumberFormats(double value, int decimals)
{
    const std::string general = FormatGeneral(value, ".");
    std::string withComma = general;
    std::replace(withComma.begin(), withComma.end(), '.', ',');
    Check(FormatGeneral(value, ",") == withComma, "the separator changes more than itself");
    if (!std::isfinite(value))
        return;
    // Near the largest double the rounded text lies beyond it and reads as infinite.
    const auto checkReadBack = [](const std::string& text, auto format, const char* what) {
        const double readBack = ReadBack(text);
        if (std::isfinite(readBack))
            Check(format(readBack) == text, what);
    };
    checkReadBack(general, [](double v) { return FormatGeneral(v, "."); },
                  "a general number reads back otherwise");
    checkReadBack(FormatFixed(value, decimals, "."),
                  [decimals](double v) { return FormatFixed(v, decimals, "."); },
                  "a fixed number reads back otherwise");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 9)
        return 0;
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    CheckNumberFormats(value, data[8] % 12);

    // The rest: names and texts, separated by NUL bytes.
    const std::string_view rest = fuzz::Bytes(data + 9, size - 9);
    TResult table;
    std::size_t start = 0;
    for (int index = 0; start <= rest.size(); ++index) {
        const std::size_t end = std::min(rest.find('\0', start), rest.size());
        const std::string part(rest.substr(start, end - start));
        table.AddString(part, part);
        table.AddInteger(part + "#", index);
        table.AddDouble(part + "%", value);
        start = end + 1;
    }
    for (const std::string& line : {table.HeaderLine(), table.ValueLine()}) {
        Check(line.find_first_of("\r\n") == std::string::npos, "a line holds a line break");
        Check(int(std::count(line.begin(), line.end(), '\t')) + 1 == table.Count(),
              "a line has another number of columns");
    }
    return 0;
}
