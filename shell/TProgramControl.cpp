#include "shell/TProgramControl.h"

#include "shell/TFormMain.h"

#include <algorithm>

#include <QAction>
#include <QGuiApplication>

namespace varnolux {

namespace {

constexpr auto Off = TProgramControl::Off;
constexpr auto On = TProgramControl::On;
constexpr auto Keep = TProgramControl::Keep;

constexpr int StateOptionsChangedCode = 12;
constexpr int StateClosingCode = 10;
constexpr int StateNoImageCode = 2;

bool ShowsWaitCursor(int code)
{
    return code == 3 || code == 4 || code == 5;
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

TProgramControl::TProgramControl(TFormMain& mainWindow)
    : mainWindow_(mainWindow)
{
}

TProgramControl::~TProgramControl()
{
    ShowWaitCursor(false);
}

void TProgramControl::SetState(int code)
{
    state_ = code;
    const auto column = std::find(TableStates.begin(), TableStates.end(), code);
    if (column != TableStates.end()) {
        ApplyActionColumn(static_cast<int>(column - TableStates.begin()));
        ShowWaitCursor(ShowsWaitCursor(code));
    }
    if (code == StateNoImageCode)
        mainWindow_.ClearImageFileInfo();
    if (code == StateClosingCode)
        mainWindow_.StopTimers();
    if (code == StateOptionsChangedCode)
        mainWindow_.ShowOptionsChanged();
}

void TProgramControl::ApplyActionColumn(int column)
{
    for (const TActionRow& row : ActionTable()) {
        const TActionSetting setting = row.Settings[static_cast<size_t>(column)];
        if (setting != Keep)
            mainWindow_.ActionByName(row.Action)
                ->setEnabled(setting == On &&
                             (std::string_view(row.Action) != "ActionSaveRegions" ||
                              mainWindow_.RegionFileNamed()));
    }
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
