#pragma once

#include <optional>

#include <QString>
#include <QTableWidget>

namespace varnolux {

/// A list of named entries shown as a table of two columns, "Key" and "Value".
/// Entry names match without regard to letter case.
class TValueListEditor : public QTableWidget {
    Q_OBJECT

public:
    explicit TValueListEditor(QWidget* parent = nullptr);

    int EntryCount() const { return rowCount(); }
    QString EntryName(int row) const;
    QString EntryValue(int row) const;

    /// The value of the entry with that name, nothing when there is none.
    std::optional<QString> Value(const QString& name) const;
    /// Overwrites the value of an existing entry, or appends a new entry.
    void SetValue(const QString& name, const QString& value);

private:
    std::optional<int> FindRow(const QString& name) const;
    QString CellText(int row, int column) const;
    void SetCellText(int row, int column, const QString& text);
};

} // namespace varnolux
