#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include <QObject>
#include <QString>
#include <QStringList>

namespace varnolux {

/// What a language file can translate in a component beyond its caption and hint.
///   Memo            QPlainTextEdit or QTextEdit: its lines
///   CheckListBox    QListWidget whose items carry check boxes: its items
///   ValueListEditor TValueListEditor: its entries
///   RadioGroup      QGroupBox holding unnamed QRadioButtons: those buttons, in creation order
///   ComboBox        QComboBox: its items
///   LabeledEdit     TLabeledEdit: the caption of its label
///   XYPlot          Tsp_XYPlot: the caption of its bottom axis
/// A group box whose radio buttons have names of their own is a plain group box:
/// each button is then a component with its own caption.
enum class TComponentKind {
    Other,
    Memo,
    CheckListBox,
    ValueListEditor,
    RadioGroup,
    ComboBox,
    LabeledEdit,
    XYPlot
};

TComponentKind ComponentKind(const QObject& component);

/// The named components a window owns, all of them, depth first in the order of
/// QObject::children() (creation order; Qt moves a raised widget to the end), QActions
/// and other objects included. A window of its own is left out with everything in
/// it, and so are the parts Qt builds into its widgets.
std::vector<QObject*> OwnedComponents(const QObject& window);

/// The published string properties of a component, by name (letter case aside):
///   "Caption": a window's title; the text of a label, button, check box, radio
///              button or action; the title of a group box or menu; the tab text of
///              a tab page.
///   "Hint":    the tool tip and status tip of a widget or action; "short|long"
///              gives the short part to the tool tip and the long part to the status tip.
/// False, with nothing changed, when the component has no property of that name.
bool SetStringProperty(QObject& component, std::string_view propertyName, const QString& value);

/// The current value of such a property; nothing when the component has none.
std::optional<QString> StringProperty(const QObject& component, std::string_view propertyName);

/// The items of a check list box, radio group or combo box; the lines of a memo.
QStringList ComponentItems(const QObject& component);

/// Replaces item index of a check list box, radio group or combo box; an index
/// outside the items changes nothing.
void SetComponentItem(QObject& component, int index, const QString& text);

/// Replaces all lines of a memo.
void SetMemoLines(QObject& memo, const QStringList& lines);

} // namespace varnolux
