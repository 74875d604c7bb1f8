#include "results/TResult.h"

#include "results/NumberFormat.h"
#include "settings/TFileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace varnolux {

namespace {

constexpr std::string_view LineEnd = "\r\n";

/// One write of the whole text; false unless every byte was written.
bool WriteAll(int fd, std::string_view text)
{
    ssize_t written = 0;
    do {
        written = ::write(fd, text.data(), text.size());
    } while (written < 0 && errno == EINTR);
    return written == ssize_t(text.size());
}

/// Creates the file with the header line when it does not exist yet; a header that
/// cannot be written whole removes the new file again. The header is appended too,
/// so a line another program appends at the same moment is never overwritten.
bool CreateWithHeader(const std::string& fileName, std::string_view header)
{
    const TFileDescriptor file(
        ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666));
    if (!file.IsOpen())
        return errno == EEXIST;
    if (header.empty() || (WriteAll(file.Get(), header) && ::fsync(file.Get()) == 0))
        return true;
    ::unlink(fileName.c_str());
    return false;
}

/// Whether a file that is not empty ends without a line break (edited by hand, or
/// written by another program), so that a new line would join its last one.
bool EndsInsideALine(int fd, off_t size)
{
    char last = '\n';
    return size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n';
}

/// Appends the line with one write; on any failure cuts the file back to its old
/// length, so earlier lines stay intact and no partial line remains.
bool AppendLine(const std::string& fileName, std::string_view line)
{
    const TFileDescriptor file(::open(fileName.c_str(), O_RDWR | O_APPEND | O_CLOEXEC));
    struct stat before {};
    if (!file.IsOpen() || ::fstat(file.Get(), &before) != 0)
        return false;
    if (line.empty())
        return true;
    const std::string text =
        (EndsInsideALine(file.Get(), before.st_size) ? std::string(LineEnd) : std::string()) +
        std::string(line);
    if (WriteAll(file.Get(), text) && ::fsync(file.Get()) == 0)
        return true;
    [[maybe_unused]] const int ignored = ::ftruncate(file.Get(), before.st_size);
    return false;
}

/// One field of every item, tab-separated.
std::string JoinedFields(const std::vector<TResultItem>& items, std::string TResultItem::*field)
{
    std::string line;
    for (const TResultItem& item : items) {
        if (&item != &items.front())
            line += '\t';
        line += ResultFieldText(item.*field);
    }
    return line;
}

} // namespace

void TResult::AddString(const std::string& name, const std::string& text)
{
    TResultItem item;
    item.Kind = TResultItem::KindText;
    item.Name = name;
    item.ValueText = text;
    AddItem(item);
}

void TResult::AddInteger(const std::string& name, std::int32_t value)
{
    TResultItem item;
    item.Kind = TResultItem::KindInteger;
    item.Name = name;
    item.ValueText = std::to_string(value);
    item.IntValue = value;
    AddItem(item);
}

void TResult::AddDouble(const std::string& name, double value)
{
    TResultItem item;
    item.Kind = TResultItem::KindFloat;
    item.Name = name;
    item.ValueText = FormatGeneral(value);
    item.DoubleValue = value;
    AddItem(item);
}

bool TResult::AddItem(const TResultItem& item)
{
    const auto existing = std::find_if(items_.begin(), items_.end(), [&](const TResultItem& old) {
        return old.Name == item.Name;
    });
    if (existing == items_.end()) {
        items_.push_back(item);
        return true;
    }
    *existing = item;
    return false;
}

bool TResult::Exists(const std::string& name) const
{
    return Find(name) != nullptr;
}

const TResultItem* TResult::Find(const std::string& name) const
{
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [&](const TResultItem& item) { return item.Name == name; });
    return found == items_.end() ? nullptr : &*found;
}

std::string TResult::GetValueText(const std::string& name) const
{
    const TResultItem* item = Find(name);
    return item ? item->ValueText : std::string();
}

void TResult::Clear()
{
    items_.clear();
}

std::string TResult::HeaderLine() const
{
    return JoinedFields(items_, &TResultItem::Name);
}

std::string TResult::ValueLine() const
{
    return JoinedFields(items_, &TResultItem::ValueText);
}

bool TResult::SaveToFile(const std::string& fileName) const
{
    if (items_.empty())
        return CreateWithHeader(fileName, {}) && AppendLine(fileName, {});
    const std::string lineEnd(LineEnd);
    return CreateWithHeader(fileName, HeaderLine() + lineEnd) &&
           AppendLine(fileName, ValueLine() + lineEnd);
}

std::string ResultFieldText(const std::string& text)
{
    std::string field = text;
    std::replace_if(
        field.begin(), field.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; },
        ' ');
    return field;
}

} // namespace varnolux
