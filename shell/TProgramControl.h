#pragma once

#include <array>
#include <cstdint>

namespace varnolux {

class TFormMain;

/// The program state switchboard: a state code decides which of the main window's
/// actions are enabled, the mouse cursor, some status texts and the timers.
class TProgramControl {
public:
    /// How a state sets an action: disabled, enabled, or left as it is.
    enum TActionSetting : std::int8_t { Off = 0, On = 1, Keep = -1 };

    /// The states of the table, in its column order.
    static constexpr std::array<int, 7> TableStates = {1, 2, 3, 4, 5, 6, 12};

    struct TActionRow {
        const char* Action;
        std::array<TActionSetting, TableStates.size()> Settings;
    };

    explicit TProgramControl(TFormMain& mainWindow);
    ~TProgramControl();
    TProgramControl(const TProgramControl&) = delete;
    TProgramControl& operator=(const TProgramControl&) = delete;

    int State() const { return state_; }
    /// Stores the code and applies its effects to the main window.
    void SetState(int code);

    /// The hourglass while work runs, the normal cursor otherwise.
    void ShowWaitCursor(bool wait);

    static const std::array<TActionRow, 19>& ActionTable();

private:
    void ApplyActionColumn(int column);

    TFormMain& mainWindow_;
    int state_ = 2;
    bool waitCursor_ = false;
};

} // namespace varnolux
