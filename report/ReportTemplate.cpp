#include "report/ReportTemplate.h"

#include "base/Messages.h"
#include "base/Paths.h"
#include "report/TReport.h"
#include "results/TResultTable.h"
#include "settings/IniDocument.h"
#include "settings/ProgramInfo.h"
#include "settings/SettingsAccess.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>

namespace varnolux {

namespace {

constexpr const char* DefaultTemplateName = "VXReport.html";
constexpr const char* SourceImageName = "SourceImage";
constexpr const char* AnalysedImageName = "AnalysedImage";

constexpr TReportPlaceholder OwnPlaceholders[] = {
    {"Program", "the program's name"},
    {"Version", "the program's version"},
    {"ReportDateTime", "when the report was made"},
    {"ImageFile", "the image file with its folder"},
    {"ImageFileSize", "the size of the image file"},
    {"ImageDimensions", "the width and height of the image"},
    {"ColourRange", "the colour range"},
    {"AreaLimits", "the analysis area: excluded borders, inclusion circle"},
    {"MinimumSize", "the minimum object size"},
    {"Calibration", "the length calibration"},
    {"ResultTable", "a table of the 23 result items"},
    {SourceImageName, "picture: the image with the outline of the analysis area"},
    {AnalysedImageName, "picture: the kept regions"},
};

constexpr TReportPlaceholder TextDefaults[] = {
    {"ReportTitle", "analysis report"},
    {"Analysed", "analysed"},
    {"ReportMade", "report made"},
    {"Image", "Image"},
    {"File", "File"},
    {"Size", "Size"},
    {"Options", "Options"},
    {"ColourRange", "Colour range"},
    {"AnalysisArea", "Analysis area"},
    {"MinimumSize", "Minimum size"},
    {"Calibration", "Calibration"},
    {"Pictures", "Pictures"},
    {"SourceCaption", "The image with the outline of the analysis area"},
    {"AnalysedCaption", "The kept regions"},
    {"Results", "Results"},
    {"ColourRangeValue", "hue %s, saturation %s, brightness %s"},
    {"ThroughRed", "%s (through red)"},
    {"ExcludedBorders", "borders excluded: left %s, top %s, right %s, bottom %s pixels"},
    {"InclusionCircle", "inclusion circle: centre %s, %s, diameter %s pixels"},
    {"WholeImage", "the whole image"},
    {"SizeInPixels", "%s pixels"},
    {"SizeInUnits", "%s %s²"},
    {"CalibrationValue", "%s pixels per %s"},
    {"NoCalibration", "none, areas in pixels"},
    {"FileSize", "%s bytes"},
    {"ImageDimensions", "%s × %s pixels"},
};
constexpr const char* TextPrefix = "Text.";
constexpr const char* LanguageSection = "FormReportTemplate";

/// One of the report's words, formatted with the values; not yet escaped.
std::string Words(const TReportData& data, const std::string& name,
                  const std::vector<std::string>& values = {})
{
    const auto translated = data.Texts.find(name);
    if (translated != data.Texts.end())
        return FormatMessage(translated->second, values);
    const auto english = std::ranges::find_if(
        TextDefaults, [&name](const TReportPlaceholder& text) { return name == text.Name; });
    return english == std::end(TextDefaults) ? std::string()
                                             : FormatMessage(english->Meaning, values);
}

QString Escaped(const std::string& text)
{
    return QString::fromStdString(text).toHtmlEscaped();
}

QUrl PictureUrl(const char* name)
{
    return QUrl(QStringLiteral("report:") + QLatin1String(name));
}

/// An image element of the picture, fitted into the box with its proportions kept.
QString PictureElement(const char* name, const QImage& picture, QSize box)
{
    if (picture.isNull())
        return {};
    const QSize size = picture.size().scaled(box, Qt::KeepAspectRatio);
    return QStringLiteral(R"(<img src="%1" width="%2" height="%3">)")
        .arg(PictureUrl(name).toString())
        .arg(std::max(1, size.width()))
        .arg(std::max(1, size.height()));
}

std::string ColourRangeText(const TReportData& data)
{
    const TResult& items = data.Items;
    const auto limits = [&items](const char* min, const char* max) {
        return items.GetValueText(min) + "–" + items.GetValueText(max);
    };
    std::string hue = limits("HMin", "HMax");
    // A hue minimum above the maximum selects the hues on both sides of red.
    if (QString::fromStdString(items.GetValueText("HMin")).toInt() >
        QString::fromStdString(items.GetValueText("HMax")).toInt())
        hue = Words(data, "ThroughRed", {hue});
    return Words(data, "ColourRangeValue", {hue, limits("SMin", "SMax"), limits("VMin", "VMax")});
}

std::string AreaLimitsText(const TReportData& data)
{
    const TOptions& options = data.Settings.Options;
    const auto number = [](int value) {
        return std::to_string(value);
    };
    std::vector<std::string> parts;
    if (options.lUseExclRect)
        parts.push_back(Words(data, "ExcludedBorders",
                              {number(options.iExclRectLeft), number(options.iExclRectUp),
                               number(options.iExclRectRight), number(options.iExclRectDown)}));
    if (options.lUseInclCircle)
        parts.push_back(Words(data, "InclusionCircle",
                              {number(options.iInclCircleX), number(options.iInclCircleY),
                               number(options.iInclCircleDiam)}));
    if (parts.empty())
        return Words(data, "WholeImage");
    std::string text = parts.front();
    for (std::size_t i = 1; i < parts.size(); ++i)
        text += "; " + parts[i];
    return text;
}

std::string MinimumSizeText(const TReportData& data)
{
    const TOptions& options = data.Settings.Options;
    return options.lCheckBoxUnits ? Words(data, "SizeInUnits",
                                          {options.EditMinRegion, data.Items.GetValueText("Unit")})
                                  : Words(data, "SizeInPixels", {options.EditMinRegion});
}

std::string CalibrationText(const TReportData& data)
{
    if (!data.Settings.Options.lCheckBoxUnits)
        return Words(data, "NoCalibration");
    return Words(data, "CalibrationValue",
                 {data.Items.GetValueText("Measure"), data.Items.GetValueText("Unit")});
}

QString ResultTableHtml(const TResult& items)
{
    QString html = QStringLiteral("<table class=\"results\">\n");
    for (const char* name : ResultItemNames()) {
        const bool fingerprint = QLatin1String(name).startsWith(QLatin1String("SHA"));
        html += QStringLiteral("<tr><td class=\"name\">%1</td><td%2>%3</td></tr>\n")
                    .arg(QLatin1String(name),
                         fingerprint ? QStringLiteral(" class=\"sha\"") : QString(),
                         Escaped(items.GetValueText(name)));
    }
    return html + QStringLiteral("</table>\n");
}

bool IsReportText(const std::string& name)
{
    return std::ranges::any_of(
        TextDefaults, [&name](const TReportPlaceholder& text) { return name == text.Name; });
}

bool IsResultItem(const QString& name)
{
    return std::ranges::any_of(ResultItemNames(),
                               [&name](const char* item) { return name == QLatin1String(item); });
}

/// The HTML a placeholder becomes; nothing for a name that is none.
std::optional<QString> PlaceholderHtml(const QString& name, std::optional<QSize> box,
                                       const TReportData& data)
{
    if (name == QLatin1String(SourceImageName))
        return PictureElement(SourceImageName, data.SourcePicture, box.value_or(ReportPictureBox));
    if (name == QLatin1String(AnalysedImageName))
        return PictureElement(AnalysedImageName, data.AnalysedPicture,
                              box.value_or(ReportPictureBox));
    if (box)
        return std::nullopt; // only pictures have a size
    if (name == QLatin1String("Program"))
        return Escaped(VerInfo().GetVerInfo(7));
    if (name == QLatin1String("Version"))
        return Escaped(ProgramVersionText());
    if (name == QLatin1String("ReportDateTime"))
        return data.Made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (name == QLatin1String("ImageFile"))
        return Escaped(data.ImageFile);
    if (name == QLatin1String("ImageFileSize"))
        return Escaped(Words(data, "FileSize", {std::to_string(data.ImageFileBytes)}));
    if (name == QLatin1String("ImageDimensions"))
        return Escaped(Words(data, "ImageDimensions",
                             {std::to_string(data.ImageWidth), std::to_string(data.ImageHeight)}));
    if (name == QLatin1String("ColourRange"))
        return Escaped(ColourRangeText(data));
    if (name == QLatin1String("AreaLimits"))
        return Escaped(AreaLimitsText(data));
    if (name == QLatin1String("MinimumSize"))
        return Escaped(MinimumSizeText(data));
    if (name == QLatin1String("Calibration"))
        return Escaped(CalibrationText(data));
    if (name.startsWith(QLatin1String(TextPrefix))) {
        const std::string text = name.mid(qsizetype(std::strlen(TextPrefix))).toStdString();
        if (IsReportText(text))
            return Escaped(Words(data, text));
    }
    if (name == QLatin1String("ResultTable"))
        return ResultTableHtml(data.Items);
    if (IsResultItem(name))
        return Escaped(data.Items.GetValueText(name.toStdString()));
    return std::nullopt;
}

} // namespace

TReportTemplateFile ReportTemplateFile(const std::string& settingsFile)
{
    const std::string named = ReadConfigString(settingsFile, "Report", "TemplateFile", "");
    if (named.empty())
        return {FolderPart(settingsFile) + DefaultTemplateName, false};
    return {named.starts_with('/') ? named : FolderPart(settingsFile) + named, true};
}

QString BuiltInReportTemplate()
{
    QFile resource(QStringLiteral(":/report/BuiltInTemplate.html"));
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(resource.readAll());
}

QString LoadReportTemplate(const TReportTemplateFile& file)
{
    QFile input(QString::fromStdString(file.FileName));
    if (!input.exists() && !file.Named)
        return BuiltInReportTemplate();
    QString why;
    if (!input.open(QIODevice::ReadOnly)) {
        why = input.errorString();
    } else {
        const QString text = QString::fromUtf8(input.readAll());
        if (input.error() != QFileDevice::NoError)
            why = input.errorString();
        else if (text.trimmed().isEmpty())
            why = QStringLiteral("the file is empty");
        else
            return text;
    }
    CurrentReporter().ShowLanguageMessage("LabelPrnTemplateNotFound",
                                          {file.FileName, why.toStdString()});
    return BuiltInReportTemplate();
}

bool SaveReportTemplate(const std::string& fileName, const QString& html, std::string* why)
{
    QSaveFile output(QString::fromStdString(fileName));
    const QByteArray bytes = html.toUtf8();
    if (output.open(QIODevice::WriteOnly) && output.write(bytes) == bytes.size() && output.commit())
        return true;
    if (why)
        *why = output.errorString().toStdString();
    return false;
}

std::span<const TReportPlaceholder> ReportPlaceholders()
{
    static const std::vector<TReportPlaceholder> placeholders = [] {
        std::vector<TReportPlaceholder> all(std::begin(OwnPlaceholders), std::end(OwnPlaceholders));
        for (const char* name : ResultItemNames())
            all.push_back({name, "result item"});
        return all;
    }();
    return placeholders;
}

std::span<const TReportPlaceholder> ReportTextDefaults()
{
    return TextDefaults;
}

std::map<std::string, std::string> ReadReportTexts(const std::string& languageFile)
{
    std::map<std::string, std::string> texts;
    const std::optional<TIniDocument> file = TIniDocument::Load(languageFile);
    if (!file)
        return texts;
    const std::string keyPrefix = std::string(LanguageSection) + ".ValueListEditorTexts.";
    for (const TReportPlaceholder& text : TextDefaults)
        if (const auto value = file->Value(LanguageSection, keyPrefix + text.Name);
            value && !value->empty())
            texts[text.Name] = *value;
    return texts;
}

QString FillReportTemplate(const QString& templateHtml, const TReportData& data)
{
    static const QRegularExpression placeholder(
        QStringLiteral(R"(\{\{([A-Za-z]+(?:\.[A-Za-z]+)?)(?::(\d{1,4})x(\d{1,4}))?\}\})"));
    QString filled;
    qsizetype copied = 0;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(templateHtml)) {
        const std::optional<QSize> box =
            match.hasCaptured(2)
                ? std::optional<QSize>(QSize(match.captured(2).toInt(), match.captured(3).toInt()))
                : std::nullopt;
        const std::optional<QString> html = PlaceholderHtml(match.captured(1), box, data);
        filled += QStringView(templateHtml).mid(copied, match.capturedStart() - copied);
        filled += html ? *html : match.captured();
        copied = match.capturedEnd();
    }
    filled += QStringView(templateHtml).mid(copied);
    return filled;
}

void AddReportPictures(QTextDocument& document, const TReportData& data)
{
    document.addResource(QTextDocument::ImageResource, PictureUrl(SourceImageName),
                         data.SourcePicture);
    document.addResource(QTextDocument::ImageResource, PictureUrl(AnalysedImageName),
                         data.AnalysedPicture);
}

} // namespace varnolux
