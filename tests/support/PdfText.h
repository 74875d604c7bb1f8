#pragma once

// What a PDF file says, through poppler-utils' pdfinfo and pdftotext.

#include "input/ConsoleProgram.h"

#include <string>

namespace varnolux::test {

/// The number of pages of a PDF file; 0 when it is none.
inline int PdfPageCount(const std::string& fileName)
{
    const TConsoleResult info = RunConsoleProgram({"/usr/bin/pdfinfo", fileName});
    const std::string key = "Pages:";
    const auto at = info.Output.find(key);
    if (info.ExitCode != 0 || at == std::string::npos)
        return 0;
    return std::stoi(info.Output.substr(at + key.size()));
}

/// The text of a PDF file as laid out (the cells of a table row on one line), every
/// run of blanks and line ends made one space.
inline std::string PdfText(const std::string& fileName)
{
    const TConsoleResult text = RunConsoleProgram({"/usr/bin/pdftotext", "-layout", fileName, "-"});
    std::string flat;
    for (const char c : text.Output) {
        const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f';
        if (!blank)
            flat += c;
        else if (!flat.empty() && flat.back() != ' ')
            flat += ' ';
    }
    return flat;
}

} // namespace varnolux::test
