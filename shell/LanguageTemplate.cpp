#include "shell/LanguageTemplate.h"

#include "chart/Tsp_XYPlot.h"
#include "settings/IniDocument.h"
#include "shell/ComponentTexts.h"
#include "shell/TLabeledEdit.h"
#include "shell/TValueListEditor.h"

namespace varnolux {

namespace {

class TTemplateSection {
public:
    TTemplateSection(TIniDocument& document, const QWidget& window)
        : document_(document)
        , section_(window.objectName().toStdString())
    {
    }

    void AddWindow(const QWidget& window)
    {
        AddIfNotEmpty(section_ + ".Caption", StringProperty(window, "Caption"));
        for (const QObject* component : OwnedComponents(window))
            AddComponent(*component);
    }

private:
    void AddComponent(const QObject& component)
    {
        const std::string path = section_ + "." + component.objectName().toStdString();
        AddIfNotEmpty(path + ".Caption", StringProperty(component, "Caption"));
        AddIfNotEmpty(path + ".Hint", StringProperty(component, "Hint"));
        switch (ComponentKind(component)) {
        case TComponentKind::XYPlot:
            Add(path + ".BottomAxis.Caption",
                qobject_cast<const Tsp_XYPlot*>(&component)->BottomAxisCaption());
            break;
        case TComponentKind::Memo:
            AddList(path + ".Lines", ComponentItems(component));
            break;
        case TComponentKind::CheckListBox:
        case TComponentKind::RadioGroup:
        case TComponentKind::ComboBox:
            AddList(path + ".Items", ComponentItems(component));
            break;
        case TComponentKind::ValueListEditor: {
            const auto& editor = *qobject_cast<const TValueListEditor*>(&component);
            for (int row = 0; row < editor.EntryCount(); ++row)
                Add(path + "." + editor.EntryName(row).toStdString(), editor.EntryValue(row));
            break;
        }
        case TComponentKind::LabeledEdit:
            Add(path + ".EditLabel.Caption",
                qobject_cast<const TLabeledEdit*>(&component)->EditLabel()->text());
            break;
        case TComponentKind::Other:
            break;
        }
    }

    void Add(const std::string& key, const QString& value)
    {
        document_.SetValue(section_, key, value.toStdString());
    }

    void AddIfNotEmpty(const std::string& key, const std::optional<QString>& value)
    {
        if (value && !value->isEmpty())
            Add(key, *value);
    }

    void AddList(const std::string& path, const QStringList& items)
    {
        for (qsizetype n = 0; n < items.size(); ++n)
            Add(path + "[" + std::to_string(n) + "]", items[n]);
    }

    TIniDocument& document_;
    const std::string section_;
};

} // namespace

std::string LanguageTemplate(const std::vector<QWidget*>& windows)
{
    TIniDocument document = TIniDocument::Parse("");
    for (const QWidget* window : windows)
        if (!window->objectName().isEmpty())
            TTemplateSection(document, *window).AddWindow(*window);
    return document.Serialize();
}

} // namespace varnolux
