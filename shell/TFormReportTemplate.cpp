#include "shell/TFormReportTemplate.h"

#include "base/Messages.h"
#include "shell/TQuestions.h"
#include "shell/TValueListEditor.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnolux {

TFormReportTemplate::TFormReportTemplate(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("FormReportTemplate");
    setWindowTitle("Print template");
    setSizeGripEnabled(true);

    LabelTemplateFile = new QLabel("Template file:", this);
    LabelTemplateFile->setObjectName("LabelTemplateFile");
    EditTemplateFile = new QLineEdit(this);
    EditTemplateFile->setObjectName("EditTemplateFile");
    EditTemplateFile->setReadOnly(true);

    MemoTemplate = new QPlainTextEdit(this);
    MemoTemplate->setObjectName("MemoTemplate");
    MemoTemplate->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    MemoTemplate->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoTemplate->setMinimumSize(560, 420);

    LabelPlaceholders = new QLabel("Placeholders (double-click to insert):", this);
    LabelPlaceholders->setObjectName("LabelPlaceholders");
    ListBoxPlaceholders = new QListWidget(this);
    ListBoxPlaceholders->setObjectName("ListBoxPlaceholders");
    const auto addPlaceholder = [this](const QString& name, const char* meaning) {
        auto* item = new QListWidgetItem("{{" + name + "}}", ListBoxPlaceholders);
        item->setToolTip(QString::fromUtf8(meaning));
    };
    for (const TReportPlaceholder& placeholder : ReportPlaceholders())
        addPlaceholder(placeholder.Name, placeholder.Meaning);
    for (const TReportPlaceholder& text : ReportTextDefaults())
        addPlaceholder(QStringLiteral("Text.") + text.Name, text.Meaning);
    ListBoxPlaceholders->setMaximumWidth(ListBoxPlaceholders->sizeHintForColumn(0) + 40);

    ButtonSave = new QPushButton("Save", this);
    ButtonSave->setObjectName("ButtonSave");
    ButtonBuiltIn = new QPushButton("Built-in template", this);
    ButtonBuiltIn->setObjectName("ButtonBuiltIn");
    ButtonBuiltIn->setToolTip("Replace the text by the built-in template");
    BitBtnClose = new QPushButton("Close", this);
    BitBtnClose->setObjectName("BitBtnClose");
    ValueListEditorTexts = new TValueListEditor(this);
    ValueListEditorTexts->setObjectName("ValueListEditorTexts");
    for (const TReportPlaceholder& text : ReportTextDefaults())
        ValueListEditorTexts->SetValue(text.Name, QString::fromUtf8(text.Meaning));
    ValueListEditorTexts->hide();

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(LabelTemplateFile);
    fileRow->addWidget(EditTemplateFile, 1);
    auto* placeholders = new QVBoxLayout;
    placeholders->addWidget(LabelPlaceholders);
    placeholders->addWidget(ListBoxPlaceholders, 1);
    auto* editor = new QHBoxLayout;
    editor->addWidget(MemoTemplate, 1);
    editor->addLayout(placeholders);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonBuiltIn);
    buttons->addStretch(1);
    buttons->addWidget(ButtonSave);
    buttons->addWidget(BitBtnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addLayout(editor, 1);
    layout->addLayout(buttons);

    connect(ListBoxPlaceholders, &QListWidget::itemActivated, this,
            &TFormReportTemplate::InsertPlaceholder);
    connect(ButtonSave, &QPushButton::clicked, this, &TFormReportTemplate::Save);
    connect(ButtonBuiltIn, &QPushButton::clicked, this, &TFormReportTemplate::ResetToBuiltIn);
    connect(BitBtnClose, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormReportTemplate::Open(const TReportTemplateFile& file)
{
    fileName_ = file.FileName;
    EditTemplateFile->setText(QString::fromStdString(fileName_));
    MemoTemplate->setPlainText(LoadReportTemplate(file));
    MemoTemplate->document()->setModified(false);
}

bool TFormReportTemplate::Save()
{
    std::string why;
    if (!SaveReportTemplate(fileName_, MemoTemplate->toPlainText(), &why)) {
        CurrentReporter().ShowLanguageMessage("LTemplateSaveError", {fileName_, why});
        return false;
    }
    MemoTemplate->document()->setModified(false);
    return true;
}

void TFormReportTemplate::ResetToBuiltIn()
{
    // Through the cursor, so that Undo brings the user's text back.
    QTextCursor cursor(MemoTemplate->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(BuiltInReportTemplate());
}

void TFormReportTemplate::InsertPlaceholder()
{
    if (const QListWidgetItem* item = ListBoxPlaceholders->currentItem()) {
        MemoTemplate->insertPlainText(item->text());
        MemoTemplate->setFocus();
    }
}

void TFormReportTemplate::done(int result)
{
    if (MemoTemplate->document()->isModified()) {
        switch (CurrentQuestions().AskYesNoCancel(
            CurrentReporter().LanguageMessageText("LTemplateChanged"))) {
        case TQuestions::TAnswer::Yes:
            if (!Save())
                return;
            break;
        case TQuestions::TAnswer::No:
            break;
        case TQuestions::TAnswer::Cancel:
            return;
        }
    }
    QDialog::done(result);
}

} // namespace varnolux
