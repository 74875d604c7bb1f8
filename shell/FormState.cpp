#include "shell/FormState.h"

#include "base/Files.h"
#include "settings/SettingsAccess.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSlider>
#include <QTableWidget>
#include <QTextEdit>

namespace varnolux {

namespace {

/// One section of the settings file; remembers a write that did not happen.
class TSectionWriter {
public:
    TSectionWriter(std::string fileName, std::string section)
        : fileName_(std::move(fileName))
        , section_(std::move(section))
    {
    }

    void Write(const std::string& key, const std::string& value)
    {
        try {
            if (WriteConfigString(fileName_, section_, key, value).empty())
                ok_ = false;
        } catch (const TSettingsError&) {
            ok_ = false;
        }
    }
    void Write(const std::string& key, const QString& value) { Write(key, value.toStdString()); }
    void Write(const std::string& key, int value) { Write(key, std::to_string(value)); }
    void Write(const std::string& key, bool value) { Write(key, std::string(value ? "1" : "0")); }

    bool Ok() const { return ok_; }

private:
    std::string fileName_;
    std::string section_;
    bool ok_ = true;
};

std::string Section(const QWidget& window)
{
    return window.objectName().toStdString();
}

int TagOf(const QObject& component)
{
    const QVariant tag = component.property("Tag");
    return tag.isValid() ? tag.toInt() : 0;
}

void WriteItems(TSectionWriter& writer, const std::string& name, const QStringList& items)
{
    writer.Write(name + "___Count", static_cast<int>(items.size()));
    for (int i = 0; i < items.size(); ++i)
        writer.Write(name + "___" + std::to_string(i), items[i]);
}

QStringList ListItems(const QListWidget& list)
{
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items << list.item(i)->text();
    return items;
}

/// A list whose items show check boxes.
bool IsCheckList(const QListWidget& list)
{
    for (int i = 0; i < list.count(); ++i)
        if (list.item(i)->data(Qt::CheckStateRole).isValid())
            return true;
    return false;
}

void WriteTable(TSectionWriter& writer, const std::string& name, const QTableWidget& table)
{
    writer.Write(name + "___RowCount", table.rowCount());
    writer.Write(name + "___ColCount", table.columnCount());
    for (int column = 0; column < table.columnCount(); ++column)
        for (int row = 0; row < table.rowCount(); ++row) {
            const QTableWidgetItem* item = table.item(row, column);
            writer.Write(name + "___" + std::to_string(column) + "___" + std::to_string(row),
                         item ? item->text() : QString());
        }
}

void WriteMenu(TSectionWriter& writer, const QMenu& menu)
{
    for (const QAction* item : menu.actions())
        if (!item->isSeparator() && !item->objectName().isEmpty())
            writer.Write(menu.objectName().toStdString() + "___" + item->objectName().toStdString(),
                         item->isChecked());
}

} // namespace

bool SaveComponentState(const QWidget& window, const QObject& component,
                        const std::string& fileName, int tag)
{
    TSectionWriter writer(fileName, Section(window));
    const std::string name = component.objectName().toStdString();
    // Rows written with tag 0 only, and rows written with tag 0 or 1.
    const bool plain = tag == 0;
    const bool plainOrOne = tag <= 1;

    if (const auto* checkBox = qobject_cast<const QCheckBox*>(&component); checkBox && plain)
        writer.Write(name, checkBox->isChecked());
    else if (const auto* edit = qobject_cast<const QLineEdit*>(&component); edit && plain)
        writer.Write(name, edit->text());
    else if (const auto* progress = qobject_cast<const QProgressBar*>(&component);
             progress && plain)
        writer.Write(name, progress->value());
    else if (const auto* slider = qobject_cast<const QSlider*>(&component); slider && plain)
        writer.Write(name, slider->value());
    else if (const auto* radio = qobject_cast<const QRadioButton*>(&component); radio && plain)
        writer.Write(name, radio->isChecked());
    else if (const auto* table = qobject_cast<const QTableWidget*>(&component); table && plainOrOne)
        WriteTable(writer, name, *table);
    else if (const auto* combo = qobject_cast<const QComboBox*>(&component); combo && plainOrOne) {
        if (plain) {
            QStringList items;
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
            WriteItems(writer, name, items);
        }
        writer.Write(name, combo->currentIndex());
    } else if (const auto* list = qobject_cast<const QListWidget*>(&component)) {
        if (plain)
            WriteItems(writer, name, ListItems(*list));
        if (plainOrOne && IsCheckList(*list)) {
            writer.Write(name + "___Count", list->count());
            for (int i = 0; i < list->count(); ++i)
                writer.Write(name + "___Checked___" + std::to_string(i),
                             list->item(i)->checkState() == Qt::Checked);
        }
    } else if (const auto* memo = qobject_cast<const QPlainTextEdit*>(&component); memo && plain)
        WriteItems(writer, name, memo->toPlainText().split('\n'));
    else if (const auto* text = qobject_cast<const QTextEdit*>(&component); text && plain)
        WriteItems(writer, name, text->toPlainText().split('\n'));
    else if (const auto* menu = qobject_cast<const QMenu*>(&component); menu && plain)
        WriteMenu(writer, *menu);
    return writer.Ok();
}

bool SaveComponentStates(const QWidget& window, const std::string& fileName)
{
    if (!CreateFileIfMissing(fileName).empty())
        return false;
    bool ok = true;
    // Unnamed objects are the inner parts of compound controls.
    for (const QObject* component : window.findChildren<QObject*>())
        if (!component->objectName().isEmpty() && !component->objectName().startsWith("qt_"))
            ok = SaveComponentState(window, *component, fileName, TagOf(*component)) && ok;
    return ok;
}

bool SaveFormPlacement(const QWidget& window, const std::string& fileName)
{
    if (!CreateFileIfMissing(fileName).empty())
        return false;
    TSectionWriter writer(fileName, Section(window));
    const std::string name = Section(window);
    writer.Write(name + "Top", window.y());
    writer.Write(name + "Left", window.x());
    writer.Write(name + "Height", window.height());
    writer.Write(name + "Width", window.width());
    return writer.Ok();
}

bool SaveFormState(const QWidget& window, const std::string& fileName)
{
    const std::string resolved = ResolveConfigFileName(fileName);
    if (!SaveComponentStates(window, resolved))
        return false;
    return SaveFormPlacement(window, resolved);
}

} // namespace varnolux
