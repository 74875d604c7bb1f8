#pragma once

#include <string>
#include <string_view>

namespace varnolux {

/// The line end of result files.
inline constexpr std::string_view ResultLineEnd = "\r\n";

/// Appends whole lines (each ending in ResultLineEnd) to a file, with the header first
/// when the file is new or empty. The text is written whole or not at all. Any number
/// of processes on one machine may append to one file at once: each append holds an
/// advisory lock on the file while it looks at its end and writes, so lines never mix
/// and the header is always the first line. False when the file cannot be created or
/// written; why then says what failed ("Permission denied", "No space left on
/// device", "Is a directory").
bool AppendToResultFile(const std::string& fileName, std::string_view header,
                        std::string_view lines, std::string* why = nullptr);

} // namespace varnolux
