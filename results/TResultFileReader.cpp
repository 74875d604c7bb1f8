#include "results/TResultFileReader.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace varnolux {

namespace {

constexpr std::size_t BufferSize = 1 << 16;

std::string ErrorText(int error)
{
    return std::generic_category().message(error);
}

} // namespace

TResultFileReader::TResultFileReader(const std::string& fileName)
    : fileName_(fileName)
    , file_(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
    , buffer_(BufferSize)
{
    if (!file_.IsOpen())
        throw TResultFileError(ErrorText(errno));
    struct stat status {};
    if (::fstat(file_.Get(), &status) != 0)
        throw TResultFileError(ErrorText(errno));
    if (!S_ISREG(status.st_mode))
        throw TResultFileError(S_ISDIR(status.st_mode) ? ErrorText(EISDIR) : "not a regular file");
    size_ = std::uint64_t(status.st_size);
}

bool TResultFileReader::FillBuffer()
{
    if (atEnd_)
        return false;
    for (;;) {
        const ssize_t count = ::read(file_.Get(), buffer_.data(), buffer_.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw TResultFileError(ErrorText(errno));
        atEnd_ = count == 0;
        begin_ = 0;
        end_ = std::size_t(count);
        return !atEnd_;
    }
}

std::optional<TResultFileLine> TResultFileReader::Next()
{
    TResultFileLine line;
    std::string text;
    bool found = false;
    for (;;) {
        const auto first = buffer_.begin() + std::ptrdiff_t(begin_);
        const auto last = buffer_.begin() + std::ptrdiff_t(end_);
        const auto lineEnd = std::find(first, last, '\n');
        const std::size_t length = std::size_t(lineEnd - first);
        found = found || length > 0 || lineEnd != last;
        // One byte more for a carriage return before the line feed.
        if (!line.TooLong && text.size() + length <= MaxLineLength + 1)
            text.append(first, lineEnd);
        else
            line.TooLong = true;
        const std::size_t consumed = length + (lineEnd != last ? 1 : 0);
        begin_ += consumed;
        offset_ += consumed;
        if (lineEnd != last)
            break;
        // A long line is read in pieces, the buffer refilled each time.
        if (!FillBuffer())
            break;
    }
    if (!found)
        return std::nullopt;
    if (text.ends_with('\r'))
        text.pop_back();
    line.TooLong = line.TooLong || text.size() > MaxLineLength;
    if (line.TooLong)
        text.clear();
    line.Number = ++lineNumber_;
    line.Fields = SplitResultFields(text);
    line.EndOffset = offset_;
    return line;
}

std::vector<std::string> SplitResultFields(std::string_view line)
{
    std::vector<std::string> fields;
    for (;;) {
        const std::size_t tab = line.find('\t');
        fields.emplace_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            return fields;
        line.remove_prefix(tab + 1);
    }
}

} // namespace varnolux
