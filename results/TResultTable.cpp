#include "results/TResultTable.h"

#include "base/Paths.h"
#include "results/NumberFormat.h"
#include "results/ShaFingerprint.h"

#include <filesystem>
#include <utility>

namespace varnolux {

namespace {

enum TRangeText { HMinText, HMaxText, SMinText, SMaxText, VMinText, VMaxText };

std::string AreaInUnitsText(double value, double measure, int decimals)
{
    return FormatFixed(value / (measure * measure), decimals);
}

bool HasObjects(const TMeasurement& measurement)
{
    return measurement.Count != 0 && measurement.ObjectArea != 0;
}

std::string PercentText(const TMeasurement& measurement)
{
    const double sum = measurement.ObjectArea;
    const double area = measurement.AnalysisArea;
    return sum != 0 && area != 0 ? FormatFixed(sum * 100 / area, 2) : "0";
}

/// The folder with its trailing "/": a name relative to the working folder would leave
/// the result without its folder.
std::string ImageFolder(const std::string& fileName)
{
    std::error_code error;
    const auto absolute = std::filesystem::absolute(fileName, error).lexically_normal();
    return FolderPart(error ? fileName : absolute.string());
}

} // namespace

const std::array<const char*, 23>& ResultItemNames()
{
    static const std::array<const char*, 23> names = {
        "Path",         "Name",       "DateTime", "AreaPercent",   "AnalysisAreaPixel",
        "AnalysisArea", "AreaPixel",  "Area",     "MeanSizePixel", "MeanSize",
        "Measure",      "Unit",       "Count",    "MinRegion",     "HMin",
        "HMax",         "VMin",       "VMax",     "SMin",          "SMax",
        "SHAImageFile", "SHAOptions", "SHAResult"};
    return names;
}

TResult EmptyResultTable()
{
    TResult table;
    table.AddString("Path", "");
    table.AddString("Name", "");
    return table;
}

TResult MakeResultTable(const TMeasurement& measurement)
{
    const double sum = measurement.ObjectArea;
    const std::int32_t count = measurement.Count;
    const double measure = measurement.Measure;
    const double squareMeasure = measure * measure;
    TResult table;
    table.AddString("Path", ImageFolder(measurement.ImageFileName));
    table.AddString("Name", FileNamePart(measurement.ImageFileName));
    table.AddString("DateTime", measurement.DateTime);
    table.AddString("AreaPercent", PercentText(measurement));
    table.AddDouble("AnalysisAreaPixel", measurement.AnalysisArea);
    table.AddDouble("AnalysisArea", measurement.AnalysisArea / squareMeasure);
    table.AddDouble("AreaPixel", sum);
    table.AddDouble("Area", sum / squareMeasure);
    if (HasObjects(measurement)) {
        table.AddDouble("MeanSizePixel", sum / count);
        table.AddDouble("MeanSize", sum / squareMeasure / count);
    } else {
        table.AddInteger("MeanSizePixel", 0);
        table.AddInteger("MeanSize", 0);
    }
    table.AddDouble("Measure", measure);
    table.AddString("Unit", measurement.Unit);
    table.AddInteger("Count", count);
    table.AddDouble("MinRegion", measurement.MinRegion);
    // Brightness before saturation, as stored result files have them.
    const std::pair<const char*, TRangeText> rangeItems[] = {
        {"HMin", HMinText}, {"HMax", HMaxText}, {"VMin", VMinText},
        {"VMax", VMaxText}, {"SMin", SMinText}, {"SMax", SMaxText}};
    for (const auto& [name, text] : rangeItems)
        table.AddString(name, measurement.Options.rangeTexts[text]);
    table.AddString("SHAImageFile", measurement.ImageFingerprint);
    table.AddString("SHAOptions", OptionsFingerprint(measurement.Options, measurement.MeasureText));
    table.AddString("SHAResult", ResultFingerprint(table));
    return table;
}

TResultFields MakeResultFields(const TMeasurement& measurement)
{
    const bool units = measurement.UnitsOn;
    const double sum = measurement.ObjectArea;
    const double area = measurement.AnalysisArea;
    const double measure = measurement.Measure;
    const std::int32_t count = measurement.Count;
    const bool hasObjects = HasObjects(measurement);
    TResultFields fields;
    fields.AnaArea = FormatFixed(area, 0);
    fields.AreaPixel = FormatFixed(sum, 0);
    fields.Count = std::to_string(count);
    fields.MeanSize = hasObjects ? FormatFixed(sum / count, 0) : "0";
    fields.Percent = PercentText(measurement);
    fields.AreaCM = !units ? "" : sum != 0 ? AreaInUnitsText(sum, measure, 2) : "0";
    fields.AnaAreaCM = !units ? "" : AreaInUnitsText(area, measure, 2);
    fields.MeanSizeCM = !units       ? ""
                        : hasObjects ? FormatFixed(sum / (measure * measure) / count, 2)
                                     : "0";
    return fields;
}

} // namespace varnolux
