#include "shell/TProgramControl.h"

#include <algorithm>

#include <QAction>
#include <QGuiApplication>
#include <QWidget>

namespace varnolux {

namespace {

bool ShowsWaitCursor(TProgramState state)
{
    return state == StateLoading || state == StateImageLoaded || state == StateAnalysing;
}

} // namespace

const std::array<TProgramControl::TActionRow, 19>& TProgramControl::ActionTable()
{
    // Columns: states 1, 2, 3, 4, 5, 6, 12. While an image loads (3) nothing may start
    // another load or close the window.
    static const std::array<TActionRow, 19> table = {{
        {"ActionOpen", {On, On, Off, On, Off, On, On}},
        {"ActionClose", {On, On, Off, On, Off, On, On}},
        {"ActionPrint", {Off, Off, Off, Off, Off, On, Off}},
        {"ActionSaveImage", {Off, Off, Off, Off, Off, On, Off}},
        {"ActionSaveResult", {Off, Keep, Off, Off, Off, On, Off}},
        // On only when the options name a regions file.
        {"ActionSaveRegions", {Off, Off, Off, Off, Off, On, Off}},
        {"ActionVerifyResultFile", {On, On, Off, On, Off, On, On}},
        {"ActionOptions", {Off, Off, Off, On, Off, On, On}},
        {"ActionInfo", {On, On, On, On, On, On, On}},
        {"ActionProcess", {Off, Off, Off, On, Off, On, On}},
        {"ActionColorSelection", {Off, Off, Off, On, Off, On, On}},
        {"ActionMeasure", {Off, Off, Off, On, Off, On, On}},
        {"ActionRegionSelect", {Off, Off, Off, On, Off, On, On}},
        {"ActionEditRoport", {Off, Off, Off, Off, Off, On, Off}},
        {"ActionShowSHA", {Off, Off, Off, Off, Off, On, Off}},
        {"ActionLoadOptions", {On, On, Off, On, Off, On, On}},
        {"ActionLoadDefaultOptions", {On, On, Off, On, Off, On, On}},
        {"ActionSaveOptions", {Keep, Keep, Keep, Keep, Keep, Keep, Keep}},
        {"ActionSaveOptionsAs", {Keep, Keep, Keep, Keep, Keep, Keep, On}},
    }};
    return table;
}

TProgramControl::TProgramControl(QWidget& window)
    : window_(window)
{
}

TProgramControl::~TProgramControl()
{
    ShowWaitCursor(false);
}

void TProgramControl::SetState(TProgramState state)
{
    state_ = state;
    const auto column = std::find(TableStates.begin(), TableStates.end(), state);
    if (column != TableStates.end()) {
        ApplyActionColumn(std::size_t(column - TableStates.begin()));
        ShowWaitCursor(ShowsWaitCursor(state));
    }
    if (state == StateNoImage)
        Q_EMIT NoImage();
    if (state == StateClosing)
        Q_EMIT Closing();
    if (state == StateOptionsChanged)
        Q_EMIT OptionsChanged();
}

void TProgramControl::AddActionCondition(const char* action, std::function<bool()> allowed)
{
    conditions_.emplace_back(action, std::move(allowed));
}

bool TProgramControl::Allowed(std::string_view action) const
{
    return std::ranges::all_of(conditions_, [action](const auto& condition) {
        return condition.first != action || condition.second();
    });
}

void TProgramControl::ApplyActionColumn(std::size_t column)
{
    for (const TActionRow& row : ActionTable()) {
        const TActionSetting setting = row.Settings[column];
        if (setting != Keep)
            Action(row.Action).setEnabled(setting == On && Allowed(row.Action));
    }
}

QAction& TProgramControl::Action(const char* name) const
{
    return *window_.findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void TProgramControl::ShowWaitCursor(bool wait)
{
    if (wait == waitCursor_)
        return;
    waitCursor_ = wait;
    if (wait)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace varnolux
