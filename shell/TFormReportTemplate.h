#pragma once

#include "report/ReportTemplate.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace varnolux {

class TValueListEditor;

/// Edits the template of the printed report: an HTML text with {{Name}} placeholders,
/// a list of the placeholders to insert, saving to the template file and going back
/// to the built-in template. A save that fails is reported and the window stays. It
/// holds the report's words that a language file translates (ValueListEditorTexts).
class TFormReportTemplate : public QDialog {
    Q_OBJECT

public:
    explicit TFormReportTemplate(QWidget* parent = nullptr);

    /// Shows the template the report would be printed with; the text is saved to
    /// file.FileName.
    void Open(const TReportTemplateFile& file);
    /// Writes the text to the template file; false after a message when it cannot.
    bool Save();
    /// Puts the built-in template into the editor (saved only with Save).
    void ResetToBuiltIn();

protected:
    /// Asks before changes that were not saved go.
    void done(int result) override;

private:
    QLabel* LabelTemplateFile;
    QLineEdit* EditTemplateFile;
    QPlainTextEdit* MemoTemplate;
    QLabel* LabelPlaceholders;
    QListWidget* ListBoxPlaceholders;
    QPushButton* ButtonSave;
    QPushButton* ButtonBuiltIn;
    QPushButton* BitBtnClose;
    /// The report's words (hidden), by name: a language file's texts for the report.
    TValueListEditor* ValueListEditorTexts;

    void InsertPlaceholder();

    std::string fileName_;
};

} // namespace varnolux
