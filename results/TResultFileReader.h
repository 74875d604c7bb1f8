#pragma once

#include "base/TFileDescriptor.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace varnolux {

/// Raised when a result file cannot be opened or read; the text says why.
class TResultFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// One line of a result file split at its tabs, without its line end.
struct TResultFileLine {
    /// 1 for the header line.
    std::size_t Number = 0;
    std::vector<std::string> Fields;
    /// Longer than MaxLineLength: the fields hold nothing, the rest was skipped.
    bool TooLong = false;
    /// The bytes of the file read up to the end of this line.
    std::uint64_t EndOffset = 0;
};

/// Reads a result file line by line in constant memory, whatever its size: CR LF or LF
/// line ends, fields as written (bytes, no decoding of numbers or text).
class TResultFileReader {
public:
    /// No result line comes near this; a longer one is read over, not kept.
    static constexpr std::size_t MaxLineLength = 65536;

    /// Opens the file; throws TResultFileError when it cannot be opened for reading or
    /// is no regular file.
    explicit TResultFileReader(const std::string& fileName);

    /// The next line; nothing at the end of the file. Throws TResultFileError when
    /// reading fails.
    std::optional<TResultFileLine> Next();

    /// The size of the file when it was opened, in bytes.
    std::uint64_t Size() const { return size_; }

private:
    /// Reads the next piece of the file into the empty buffer; false at its end.
    bool FillBuffer();

    std::string fileName_;
    TFileDescriptor file_;
    std::uint64_t size_ = 0;
    std::uint64_t offset_ = 0; // of the buffer's first unread byte
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    std::size_t lineNumber_ = 0;
};

/// The fields of a line split at its tabs: "a\tb" gives two, "" one empty field.
std::vector<std::string> SplitResultFields(std::string_view line);

} // namespace varnolux
