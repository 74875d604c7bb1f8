#pragma once

#include <map>
#include <span>
#include <string>

#include <QString>

class QTextDocument;

namespace varnolux {

struct TReportData;

/// Where the template of the report lives: the file named by key "TemplateFile" of
/// section "Report" in the program settings (a name without a folder lies next to the
/// settings file), else "VXReport.html" next to the settings file.
struct TReportTemplateFile {
    std::string FileName;
    /// Whether the settings name the file: then it must be there.
    bool Named = false;
};
TReportTemplateFile ReportTemplateFile(const std::string& settingsFile);

/// The template compiled into the program.
QString BuiltInReportTemplate();

/// The template to print with: the file's text. The built-in template when there is no
/// file of the default name, or, after the message LabelPrnTemplateNotFound (file and
/// reason) to the current reporter, when a named file is missing or a file cannot be
/// read or holds nothing but blanks.
QString LoadReportTemplate(const TReportTemplateFile& file);

/// Replaces the template file by the text, whole or not at all; false with the reason
/// in why when it cannot.
bool SaveReportTemplate(const std::string& fileName, const QString& html,
                        std::string* why = nullptr);

/// A name a template may hold as {{Name}}, and what it becomes.
struct TReportPlaceholder {
    const char* Name;
    const char* Meaning;
};

/// The placeholders of values: the report's own ones, then the 23 result items by
/// name. The report's words are placeholders too, as Text.NAME (ReportTextDefaults).
std::span<const TReportPlaceholder> ReportPlaceholders();

/// The words of a report a language file can translate, by name, with their English
/// texts ("%s" stands for a value). Captions of the built-in template, {{Text.Image}},
/// and the words of values such as {{AreaLimits}}.
std::span<const TReportPlaceholder> ReportTextDefaults();

/// The report's words of a language file: section "FormReportTemplate", keys
/// "FormReportTemplate.ValueListEditorTexts.NAME"; none of a file that is missing.
std::map<std::string, std::string> ReadReportTexts(const std::string& languageFile);

/// Fills the template: every {{Name}} of a known name becomes its value, HTML-escaped;
/// an unknown name stays as written, so that a typing error shows in the report.
/// {{Text.NAME}} is one of the report's words (ReportTextDefaults).
/// The pictures, {{SourceImage}} and {{AnalysedImage}}, become images fitted into
/// ReportPictureBox or the size given as {{SourceImage:WxH}}; the document they are
/// shown in must hold them (AddReportPictures).
QString FillReportTemplate(const QString& templateHtml, const TReportData& data);

/// Puts the report's pictures into the document as the resources the filled template
/// refers to.
void AddReportPictures(QTextDocument& document, const TReportData& data);

} // namespace varnolux
