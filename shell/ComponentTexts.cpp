#include "shell/ComponentTexts.h"

#include "chart/Tsp_XYPlot.h"
#include "shell/TLabeledEdit.h"
#include "shell/TValueListEditor.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>

namespace varnolux {

namespace {

enum class TStringProperty { Caption, Hint };

bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(
        a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

std::optional<TStringProperty> PropertyNamed(std::string_view name)
{
    if (SameNameIgnoringCase(name, "Caption"))
        return TStringProperty::Caption;
    if (SameNameIgnoringCase(name, "Hint"))
        return TStringProperty::Hint;
    return std::nullopt;
}

bool IsSeparateWindow(const QObject& object)
{
    const auto* widget = qobject_cast<const QWidget*>(&object);
    // Menus are windows to Qt but belong to the window whose menu bar shows them.
    return widget && widget->isWindow() && widget->windowType() != Qt::Popup;
}

// Qt names some parts of its own widgets: "qt_..." and "_q_...", and a tab bar's
// scroll buttons.
bool IsNamedComponent(const QObject& object)
{
    const QString name = object.objectName();
    return !name.isEmpty() && !name.startsWith("qt_") && !name.startsWith("_q_") &&
           !qobject_cast<const QTabBar*>(object.parent());
}

void CollectComponents(const QObject& owner, std::vector<QObject*>& components)
{
    for (QObject* child : owner.children()) {
        if (IsSeparateWindow(*child))
            continue;
        if (IsNamedComponent(*child))
            components.push_back(child);
        CollectComponents(*child, components);
    }
}

// The tab widget that shows a page, with the page's index.
std::pair<QTabWidget*, int> TabOfPage(const QWidget& page)
{
    auto* stack = qobject_cast<QStackedWidget*>(page.parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    const int index = tabs ? tabs->indexOf(&page) : -1;
    return index < 0 ? std::pair<QTabWidget*, int>{nullptr, -1} : std::pair{tabs, index};
}

// A widget that no layout manages and nobody sized keeps fitting its text, as Qt
// fitted it when it was first shown.
void FitToText(QWidget& widget)
{
    const QWidget* parent = widget.parentWidget();
    if (parent && !parent->layout() && !widget.testAttribute(Qt::WA_Resized)) {
        widget.adjustSize();
        widget.setAttribute(Qt::WA_Resized, false);
    }
}

bool SetCaption(QObject& component, const QString& caption)
{
    if (auto* menu = qobject_cast<QMenu*>(&component)) {
        menu->setTitle(caption);
        return true;
    }
    if (auto* action = qobject_cast<QAction*>(&component)) {
        action->setText(caption);
        return true;
    }
    auto* widget = qobject_cast<QWidget*>(&component);
    if (!widget)
        return false;
    if (widget->isWindow()) {
        widget->setWindowTitle(caption);
        return true;
    }
    if (const auto [tabs, index] = TabOfPage(*widget); tabs) {
        tabs->setTabText(index, caption);
        return true;
    }
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(caption);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(caption);
    else
        return false;
    FitToText(*widget);
    return true;
}

std::optional<QString> Caption(const QObject& component)
{
    if (const auto* menu = qobject_cast<const QMenu*>(&component))
        return menu->title();
    if (const auto* action = qobject_cast<const QAction*>(&component))
        return action->text();
    const auto* widget = qobject_cast<const QWidget*>(&component);
    if (!widget)
        return std::nullopt;
    if (widget->isWindow())
        return widget->windowTitle();
    if (const auto [tabs, index] = TabOfPage(*widget); tabs)
        return tabs->tabText(index);
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    return std::nullopt;
}

bool SetHint(QObject& component, const QString& hint)
{
    const qsizetype bar = hint.indexOf('|');
    const QString shortHint = bar < 0 ? hint : hint.left(bar);
    const QString longHint = bar < 0 ? hint : hint.mid(bar + 1);
    if (auto* action = qobject_cast<QAction*>(&component)) {
        action->setToolTip(shortHint);
        action->setStatusTip(longHint);
        return true;
    }
    if (auto* widget = qobject_cast<QWidget*>(&component)) {
        widget->setToolTip(shortHint);
        widget->setStatusTip(longHint);
        return true;
    }
    return false;
}

// The tool tip Qt makes up from an action's text when none was set.
QString TextToolTip(const QAction& action)
{
    QString text = action.text();
    text.remove(QStringLiteral("..."));
    text.remove('&');
    return text.trimmed();
}

QString JoinHint(const QString& shortHint, const QString& longHint)
{
    if (longHint.isEmpty() || longHint == shortHint)
        return shortHint;
    return shortHint + '|' + longHint;
}

std::optional<QString> Hint(const QObject& component)
{
    if (const auto* action = qobject_cast<const QAction*>(&component)) {
        const QString toolTip = action->toolTip();
        const bool madeUp = action->statusTip().isEmpty() && toolTip == TextToolTip(*action);
        return madeUp ? QString() : JoinHint(toolTip, action->statusTip());
    }
    if (const auto* widget = qobject_cast<const QWidget*>(&component))
        return JoinHint(widget->toolTip(), widget->statusTip());
    return std::nullopt;
}

std::vector<QRadioButton*> RadioGroupItems(const QObject& group)
{
    std::vector<QRadioButton*> items;
    for (QObject* child : group.children())
        if (auto* button = qobject_cast<QRadioButton*>(child);
            button && button->objectName().isEmpty())
            items.push_back(button);
    return items;
}

bool HasCheckBoxes(const QListWidget& list)
{
    for (int row = 0; row < list.count(); ++row)
        if (list.item(row)->data(Qt::CheckStateRole).isValid())
            return true;
    return false;
}

QStringList PlainTextLines(const QString& text)
{
    return text.isEmpty() ? QStringList() : text.split('\n');
}

} // namespace

TComponentKind ComponentKind(const QObject& component)
{
    if (qobject_cast<const Tsp_XYPlot*>(&component))
        return TComponentKind::XYPlot;
    if (qobject_cast<const TLabeledEdit*>(&component))
        return TComponentKind::LabeledEdit;
    if (qobject_cast<const TValueListEditor*>(&component))
        return TComponentKind::ValueListEditor;
    if (qobject_cast<const QPlainTextEdit*>(&component) ||
        qobject_cast<const QTextEdit*>(&component))
        return TComponentKind::Memo;
    if (qobject_cast<const QComboBox*>(&component))
        return TComponentKind::ComboBox;
    if (const auto* list = qobject_cast<const QListWidget*>(&component);
        list && HasCheckBoxes(*list))
        return TComponentKind::CheckListBox;
    if (qobject_cast<const QGroupBox*>(&component) && !RadioGroupItems(component).empty())
        return TComponentKind::RadioGroup;
    return TComponentKind::Other;
}

std::vector<QObject*> OwnedComponents(const QObject& window)
{
    std::vector<QObject*> components;
    CollectComponents(window, components);
    return components;
}

bool SetStringProperty(QObject& component, std::string_view propertyName, const QString& value)
{
    const auto property = PropertyNamed(propertyName);
    if (!property)
        return false;
    return *property == TStringProperty::Caption ? SetCaption(component, value)
                                                 : SetHint(component, value);
}

std::optional<QString> StringProperty(const QObject& component, std::string_view propertyName)
{
    const auto property = PropertyNamed(propertyName);
    if (!property)
        return std::nullopt;
    return *property == TStringProperty::Caption ? Caption(component) : Hint(component);
}

QStringList ComponentItems(const QObject& component)
{
    QStringList items;
    switch (ComponentKind(component)) {
    case TComponentKind::Memo:
        if (const auto* memo = qobject_cast<const QPlainTextEdit*>(&component))
            return PlainTextLines(memo->toPlainText());
        return PlainTextLines(qobject_cast<const QTextEdit*>(&component)->toPlainText());
    case TComponentKind::CheckListBox: {
        const auto& list = *qobject_cast<const QListWidget*>(&component);
        for (int row = 0; row < list.count(); ++row)
            items.append(list.item(row)->text());
        break;
    }
    case TComponentKind::RadioGroup:
        for (const QRadioButton* button : RadioGroupItems(component))
            items.append(button->text());
        break;
    case TComponentKind::ComboBox: {
        const auto& combo = *qobject_cast<const QComboBox*>(&component);
        for (int index = 0; index < combo.count(); ++index)
            items.append(combo.itemText(index));
        break;
    }
    default:
        break;
    }
    return items;
}

void SetComponentItem(QObject& component, int index, const QString& text)
{
    if (index < 0)
        return;
    switch (ComponentKind(component)) {
    case TComponentKind::CheckListBox:
        if (QListWidgetItem* item = qobject_cast<QListWidget*>(&component)->item(index))
            item->setText(text);
        break;
    case TComponentKind::RadioGroup:
        if (const auto items = RadioGroupItems(component); size_t(index) < items.size())
            items[size_t(index)]->setText(text);
        break;
    case TComponentKind::ComboBox:
        if (auto* combo = qobject_cast<QComboBox*>(&component); index < combo->count())
            combo->setItemText(index, text);
        break;
    default:
        break;
    }
}

void SetMemoLines(QObject& memo, const QStringList& lines)
{
    const QString text = lines.join('\n');
    if (auto* plain = qobject_cast<QPlainTextEdit*>(&memo))
        plain->setPlainText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(&memo))
        rich->setPlainText(text);
}

} // namespace varnolux
