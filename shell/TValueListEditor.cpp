#include "shell/TValueListEditor.h"

#include <QHeaderView>
#include <QTableWidgetItem>

namespace varnolux {

namespace {

constexpr int NameColumn = 0;
constexpr int ValueColumn = 1;

} // namespace

TValueListEditor::TValueListEditor(QWidget* parent)
    : QTableWidget(0, 2, parent)
{
    setHorizontalHeaderLabels({"Key", "Value"});
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
}

QString TValueListEditor::EntryName(int row) const
{
    return CellText(row, NameColumn);
}

QString TValueListEditor::EntryValue(int row) const
{
    return CellText(row, ValueColumn);
}

std::optional<QString> TValueListEditor::Value(const QString& name) const
{
    const auto row = FindRow(name);
    if (!row)
        return std::nullopt;
    return EntryValue(*row);
}

void TValueListEditor::SetValue(const QString& name, const QString& value)
{
    if (const auto row = FindRow(name)) {
        SetCellText(*row, ValueColumn, value);
        return;
    }
    const int row = rowCount();
    insertRow(row);
    SetCellText(row, NameColumn, name);
    SetCellText(row, ValueColumn, value);
}

std::optional<int> TValueListEditor::FindRow(const QString& name) const
{
    for (int row = 0; row < rowCount(); ++row)
        if (EntryName(row).compare(name, Qt::CaseInsensitive) == 0)
            return row;
    return std::nullopt;
}

QString TValueListEditor::CellText(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void TValueListEditor::SetCellText(int row, int column, const QString& text)
{
    if (QTableWidgetItem* cell = item(row, column))
        cell->setText(text);
    else
        setItem(row, column, new QTableWidgetItem(text)); // the table owns its cells
}

} // namespace varnolux
