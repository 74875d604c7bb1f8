#include "results/TResult.h"

#include "results/NumberFormat.h"
#include "results/ResultFileAppend.h"

#include <algorithm>

namespace varnolux {

namespace {

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

bool TResult::SaveToFile(const std::string& fileName, std::string* why) const
{
    if (items_.empty())
        return AppendToResultFile(fileName, "", "", why);
    const std::string lineEnd(ResultLineEnd);
    return AppendToResultFile(fileName, HeaderLine() + lineEnd, ValueLine() + lineEnd, why);
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
