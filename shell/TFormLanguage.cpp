#include "shell/TFormLanguage.h"

#include "base/Messages.h"
#include "base/Paths.h"
#include "chart/Tsp_XYPlot.h"
#include "settings/SettingsAccess.h"
#include "shell/ComponentTexts.h"
#include "shell/MessageLabels.h"
#include "shell/TLabeledEdit.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>
#include <QVBoxLayout>

namespace varnolux {

namespace {

// The language code that names Qt's translations.
constexpr const char* LanguageCodeKey = "FormLanguage.LanguageCode";
constexpr qsizetype LongestLanguageCode = 16;

// Qt's translations installed for the program; one at a time.
QPointer<QTranslator> qtTranslator;

// A code such as "de" or "pt_BR", nothing that could lead out of Qt's folder.
bool IsLanguageCode(const QString& code)
{
    return !code.isEmpty() && code.size() <= LongestLanguageCode &&
           std::ranges::all_of(code, [](QChar c) {
               return (c.isLetterOrNumber() && c.unicode() < 128) || c == u'_' || c == u'-';
           });
}

// The value that a read returns for a missing key where an empty value counts.
constexpr const char* Unset = "fsdef";
constexpr const char* UnreadableEntry = "Error reading language file";

std::string Utf8(const QString& text)
{
    return text.toStdString();
}

QString Text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

std::string IndexedKey(const std::string& path, std::string_view list, int index)
{
    return path + "." + std::string(list) + "[" + std::to_string(index) + "]";
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::ranges::equal(
               text.substr(0, prefix.size()), prefix,
               [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

// The texts of one window's section that apply to one component.
class TComponentTranslation {
public:
    TComponentTranslation(const TIniDocument& file, const std::string& section, QObject& component)
        : file_(file)
        , section_(section)
        , path_(section + "." + Utf8(component.objectName()))
        , component_(component)
    {
    }

    void Apply()
    {
        if (const std::string caption = Read(".Caption", ""); !caption.empty())
            SetStringProperty(component_, "Caption", Text(caption));
        if (const std::string hint = Read(".Hint", ""); !hint.empty())
            SetStringProperty(component_, "Hint", Text(hint));
        switch (ComponentKind(component_)) {
        case TComponentKind::XYPlot:
            if (const std::string caption = Read(".BottomAxis.Caption", Unset); caption != Unset)
                qobject_cast<Tsp_XYPlot*>(&component_)->SetBottomAxisCaption(Text(caption));
            break;
        case TComponentKind::Memo:
            ReplaceMemoLines();
            break;
        case TComponentKind::CheckListBox:
            ReplaceItems(Unset);
            break;
        case TComponentKind::ValueListEditor:
            SetValueListEntries();
            break;
        case TComponentKind::RadioGroup:
        case TComponentKind::ComboBox:
            ReplaceItems("");
            break;
        case TComponentKind::LabeledEdit:
            if (const std::string caption = Read(".EditLabel.Caption", Unset); caption != Unset)
                qobject_cast<TLabeledEdit*>(&component_)->SetEditLabelCaption(Text(caption));
            break;
        case TComponentKind::Other:
            break;
        }
    }

private:
    std::string Read(std::string_view suffix, const std::string& defaultValue) const
    {
        return ReadConfigString(file_, section_, path_ + std::string(suffix), defaultValue);
    }

    // Lines[0], Lines[1], ... up to the first missing index replace the memo.
    void ReplaceMemoLines()
    {
        QStringList lines;
        for (int n = 0;; ++n) {
            const std::string key = IndexedKey(path_, "Lines", n);
            if (!file_.Value(section_, key))
                break;
            lines.append(Text(ReadConfigString(file_, section_, key, "")));
        }
        if (!lines.isEmpty())
            SetMemoLines(component_, lines);
    }

    // Items can only be replaced: keys beyond the existing items are ignored. A
    // value equal to the default is left out.
    void ReplaceItems(const std::string& defaultValue)
    {
        const auto count = ComponentItems(component_).size();
        for (int k = 0; k < count; ++k) {
            const std::string item =
                ReadConfigString(file_, section_, IndexedKey(path_, "Items", k), defaultValue);
            if (item != defaultValue)
                SetComponentItem(component_, k, Text(item));
        }
    }

    void SetValueListEntries()
    {
        auto& editor = *qobject_cast<TValueListEditor*>(&component_);
        const std::string prefix = path_ + ".";
        for (const std::string& key : file_.Keys(section_)) {
            if (key.size() == prefix.size() || !StartsWithIgnoringCase(key, prefix))
                continue;
            const std::string value = ReadConfigString(file_, section_, key, UnreadableEntry);
            editor.SetValue(Text(key.substr(prefix.size())), Text(value));
        }
    }

    const TIniDocument& file_;
    const std::string section_;
    const std::string path_;
    QObject& component_;
};

} // namespace

TFormLanguage::TFormLanguage(QWidget* parent)
    : QDialog(parent)
    , resultNames_(new TValueListEditor(this))
{
    setObjectName("FormLanguage");
    setWindowTitle("Sprache");
    auto* layout = new QVBoxLayout(this);
    for (const TMessageGroup& group : MessageGroups()) {
        auto* box = new QGroupBox(Text(std::string(group.caption)), this);
        box->setObjectName(Text(std::string(group.name)));
        auto* boxLayout = new QVBoxLayout(box);
        for (const TMessageLabel& message : MessageLabels()) {
            if (message.group != group.caption)
                continue;
            auto* label = new QLabel(Text(LayoutText(message)), box);
            label->setObjectName(Text(std::string(message.name)));
            label->setTextFormat(Qt::PlainText);
            boxLayout->addWidget(label);
        }
        layout->addWidget(box);
    }
    resultNames_->setObjectName("ValueListEditorResultNames");
    layout->addWidget(resultNames_);
}

std::optional<TIniDocument> TFormLanguage::OpenLanguageFile(const std::string& fileName)
{
    return TIniDocument::Load(fileName);
}

bool TFormLanguage::ApplyLanguageFile(const std::string& fileName,
                                      const std::vector<QWidget*>& windows)
{
    const auto file = OpenLanguageFile(fileName);
    if (!file)
        return false;
    ApplyQtTranslations(*file);
    ApplyLanguageDocument(*file, windows);
    return true;
}

void TFormLanguage::ApplyQtTranslations(const TIniDocument& file)
{
    if (qtTranslator) {
        QCoreApplication::removeTranslator(qtTranslator);
        delete qtTranslator;
    }
    const QString code = Text(ReadConfigString(file, "FormLanguage", LanguageCodeKey, ""));
    if (!IsLanguageCode(code) || code == "en" || !QCoreApplication::instance())
        return;
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load("qtbase_" + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(translator.get());
    qtTranslator = translator.release();
}

void TFormLanguage::ApplyLanguageDocument(const TIniDocument& file,
                                          const std::vector<QWidget*>& windows)
{
    for (QWidget* window : windows)
        TranslateForm(*window, file);
}

bool TFormLanguage::ApplyLanguageToForm(const std::string& fileName, QWidget& window)
{
    const std::string path = fileName.starts_with('/') ? fileName : ProgramFolder() + fileName;
    const auto file = OpenLanguageFile(path);
    if (!file)
        return false;
    TranslateForm(window, *file);
    return true;
}

void TFormLanguage::TranslateForm(QWidget& window, const TIniDocument& file)
{
    const std::string section = Utf8(window.objectName());
    // A window without a name has no section (an empty one would read "Program").
    if (section.empty())
        return;
    if (const std::string caption = ReadConfigString(file, section, section + ".Caption", "");
        !caption.empty())
        SetStringProperty(window, "Caption", Text(caption));
    for (QObject* component : OwnedComponents(window))
        TComponentTranslation(file, section, *component).Apply();
}

bool TFormLanguage::SetStringProperty(QObject& component, std::string_view propertyName,
                                      const QString& value)
{
    return varnolux::SetStringProperty(component, propertyName, value);
}

bool TFormLanguage::ApplyStartUpLanguageFile(const std::string& languageFile,
                                             const std::vector<QWidget*>& windows)
{
    if (ApplyLanguageFile(languageFile, windows))
        return true;
    CurrentReporter().ShowMessage(MissingLanguageFileMessage(languageFile));
    return false;
}

std::string TFormLanguage::MissingLanguageFileMessage(const std::string& languageFile)
{
    return FormatMessage("Sprachdatei fehlt.\nNo language file.\n\n[%s]", {languageFile});
}

std::string TFormLanguage::MessageText(std::string_view label) const
{
    const auto* message = findChild<const QLabel*>(Text(std::string(label)));
    return message ? Utf8(message->text()) : DefaultMessageText(label);
}

void TFormLanguage::ShowLanguageMessage(std::string_view label,
                                        const std::vector<std::string>& args) const
{
    CurrentReporter().ShowMessage(FormatMessage(MessageText(label), args));
}

} // namespace varnolux
