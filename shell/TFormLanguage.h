#pragma once

#include "settings/IniDocument.h"
#include "shell/TValueListEditor.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QDialog>
#include <QString>

namespace varnolux {

/// The hidden window that holds the program's message texts, one label per
/// message, so that a language file translates them like every other text; and
/// the operations that translate windows from a language file.
///
/// A language file has one section per window, named after the window's object
/// name; its keys name a component by object name and one of its texts:
/// "FormMain.Caption", "FormMain.ActionOpen.Hint", "FormMain.MemoInfo.Lines[0]",
/// "FormMain.ComboBoxZoom.Items[2]", "FormMain.LabeledEditHMin.EditLabel.Caption",
/// "FormMain.sp_XYPlot.BottomAxis.Caption", "FormLanguage.ValueListEditorResultNames.Area".
/// Sections and keys match without regard to letter case.
class TFormLanguage : public QDialog {
    Q_OBJECT

public:
    explicit TFormLanguage(QWidget* parent = nullptr);

    /// The whole language file in memory; nothing when there is no such file.
    static std::optional<TIniDocument> OpenLanguageFile(const std::string& fileName);

    /// Translates the windows (the program's windows, in creation order) and Qt's own
    /// dialogs; false, with nothing changed, when the file does not exist.
    static bool ApplyLanguageFile(const std::string& fileName,
                                  const std::vector<QWidget*>& windows);
    /// Lets Qt's own dialogs (file, colour, message-box buttons) speak the language the
    /// file names in "FormLanguage.LanguageCode" ("de"), with Qt's translations as the
    /// system installed them; English when it names none or one Qt has no texts for.
    /// The language of the last file applied holds.
    static void ApplyQtTranslations(const TIniDocument& file);
    /// The same with a language file already in memory (TIniDocument::Parse of its
    /// bytes): every byte sequence is a language file, if mostly a useless one.
    static void ApplyLanguageDocument(const TIniDocument& file,
                                      const std::vector<QWidget*>& windows);

    /// Translates one window; a relative file name is taken in the program's folder.
    /// False when the file does not exist.
    static bool ApplyLanguageToForm(const std::string& fileName, QWidget& window);

    /// Applies the file's section for the window to the window and every component
    /// it owns, component by component in ownership order.
    static void TranslateForm(QWidget& window, const TIniDocument& file);

    /// Sets the property "Caption" or "Hint" of a component (see ComponentTexts.h);
    /// does nothing for a property the component does not have.
    static bool SetStringProperty(QObject& component, std::string_view propertyName,
                                  const QString& value);

    /// The program's first translation: ApplyLanguageFile on the program windows, and
    /// when the file is missing the fixed two-language message naming it.
    static bool ApplyStartUpLanguageFile(const std::string& languageFile,
                                         const std::vector<QWidget*>& windows);
    /// That message for a language file.
    static std::string MissingLanguageFileMessage(const std::string& languageFile);

    /// The current caption of a message label; the layout text for a label that
    /// the form does not hold.
    std::string MessageText(std::string_view label) const;

    /// Shows a message label's caption with its "%s" placeholders filled in order
    /// (missing arguments are empty); any other "%" stays as it is.
    void ShowLanguageMessage(std::string_view label, const std::vector<std::string>& args) const;

    /// Names for the result items, filled by the language file.
    TValueListEditor& ValueListEditorResultNames() const { return *resultNames_; }

private:
    TValueListEditor* resultNames_; // owned as a child
};

} // namespace varnolux
