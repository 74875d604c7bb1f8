#include "results/TRegionTable.h"

#include "results/NumberFormat.h"
#include "results/ResultFileAppend.h"
#include "results/ResultJson.h"

namespace varnolux {

const std::array<const char*, TRegionTable::ColumnCount>& TRegionTable::ColumnNames()
{
    static const std::array<const char*, ColumnCount> names = {
        "Path",        "Name",  "Region", "AreaPixel", "Area",     "Pixels",    "CentreX",
        "CentreY",     "Left",  "Top",    "Right",     "Bottom",   "MajorAxis", "MinorAxis",
        "Orientation", "HMean", "SMean",  "VMean",     "SHAResult"};
    return names;
}

std::uint8_t TRegionTable::ColumnKind(int column)
{
    switch (column) {
    case ColumnPath:
    case ColumnName:
    case ColumnSHAResult:
        return TResultItem::KindText;
    case ColumnRegion:
    case ColumnPixels:
    case ColumnLeft:
    case ColumnTop:
    case ColumnRight:
    case ColumnBottom:
        return TResultItem::KindInteger;
    default:
        return TResultItem::KindFloat;
    }
}

double TRegionTable::Number(std::size_t row, int column) const
{
    const TRegionMeasurement& region = Regions.at(row);
    switch (column) {
    case ColumnRegion:
        return double(row + 1);
    case ColumnAreaPixel:
        return region.AreaPixel;
    case ColumnArea:
        return region.AreaPixel / (Measure * Measure);
    case ColumnPixels:
        return region.Pixels;
    case ColumnCentreX:
        return region.CentreX;
    case ColumnCentreY:
        return region.CentreY;
    case ColumnLeft:
        return region.Left;
    case ColumnTop:
        return region.Top;
    case ColumnRight:
        return region.Right;
    case ColumnBottom:
        return region.Bottom;
    case ColumnMajorAxis:
        return region.MajorAxis / Measure;
    case ColumnMinorAxis:
        return region.MinorAxis / Measure;
    case ColumnOrientation:
        return region.Orientation;
    case ColumnHMean:
        return region.HMean;
    case ColumnSMean:
        return region.SMean;
    case ColumnVMean:
        return region.VMean;
    default:
        return 0.0;
    }
}

TResultItem TRegionTable::Cell(std::size_t row, int column) const
{
    TResultItem item;
    item.Name = ColumnNames().at(std::size_t(column));
    item.Kind = ColumnKind(column);
    switch (item.Kind) {
    case TResultItem::KindText:
        item.ValueText = column == ColumnPath ? Path : column == ColumnName ? Name : ShaResult;
        break;
    case TResultItem::KindInteger:
        item.IntValue = std::int32_t(Number(row, column));
        item.ValueText = std::to_string(item.IntValue);
        break;
    default:
        item.DoubleValue = Number(row, column);
        item.ValueText = FormatGeneral(item.DoubleValue);
    }
    return item;
}

TResult TRegionTable::Row(std::size_t row) const
{
    TResult result;
    for (int column = 0; column < ColumnCount; ++column)
        result.AddItem(Cell(row, column));
    return result;
}

std::string TRegionTable::HeaderLine()
{
    std::string header;
    for (const char* name : ColumnNames())
        header += (header.empty() ? "" : "\t") + std::string(name);
    return header;
}

template <typename MakeLine>
std::string TRegionTable::JoinedRows(MakeLine&& makeLine) const
{
    std::string lines;
    for (std::size_t row = 0; row < Regions.size(); ++row) {
        const std::string line = makeLine(row);
        // Room for all rows at once: a table of millions of rows is not copied over
        // and over while it grows.
        if (row == 0)
            lines.reserve((line.size() + line.size() / 4) * Regions.size());
        lines.append(line);
    }
    return lines;
}

std::string TRegionTable::ValueLines() const
{
    return JoinedRows([this](std::size_t row) {
        std::string line;
        for (int column = 0; column < ColumnCount; ++column)
            line.append(column == 0 ? "" : "\t")
                .append(ResultFieldText(Cell(row, column).ValueText));
        return line.append(ResultLineEnd);
    });
}

std::string TRegionTable::JsonLines() const
{
    return JoinedRows([this](std::size_t row) { return ResultJsonObject(Row(row)) + "\n"; });
}

bool TRegionTable::AppendToFile(const std::string& fileName, bool json, std::string* why) const
{
    if (json)
        return AppendToResultFile(fileName, "", JsonLines(), why);
    return AppendToResultFile(fileName, HeaderLine() + std::string(ResultLineEnd), ValueLines(),
                              why);
}

} // namespace varnolux
