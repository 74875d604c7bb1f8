#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QObject>

class QAction;
class QWidget;

namespace varnolux {

/// The program states.
enum TProgramState {
    StateStart = 1,
    StateNoImage = 2,
    StateLoading = 3,
    StateImageLoaded = 4,
    StateAnalysing = 5,
    StateAnalysed = 6,
    StateClosing = 10,
    StateOptionsChanged = 12,
};

/// The program state switchboard: a state decides which of the main window's actions
/// are enabled and the mouse cursor; the other effects of a state are signals.
class TProgramControl : public QObject {
    Q_OBJECT

public:
    /// How a state sets an action: disabled, enabled, or left as it is.
    enum TActionSetting : std::int8_t { Off = 0, On = 1, Keep = -1 };

    /// The states of the table, in its column order.
    static constexpr std::array<TProgramState, 7> TableStates = {
        StateStart,     StateNoImage,  StateLoading,       StateImageLoaded,
        StateAnalysing, StateAnalysed, StateOptionsChanged};

    struct TActionRow {
        const char* Action;
        std::array<TActionSetting, TableStates.size()> Settings;
    };

    /// The actions of the table are the window's children of their names.
    explicit TProgramControl(QWidget& window);
    ~TProgramControl() override;

    TProgramState State() const { return state_; }
    /// Stores the state and applies its effects.
    void SetState(TProgramState state);

    /// An action the states enable only while allowed() holds too.
    void AddActionCondition(const char* action, std::function<bool()> allowed);
    /// The hourglass while work runs, the normal cursor otherwise.
    void ShowWaitCursor(bool wait);

    static const std::array<TActionRow, 19>& ActionTable();

Q_SIGNALS:
    /// State 2: the image's file information goes.
    void NoImage();
    /// State 10: every timer stops.
    void Closing();
    /// Pseudo-state 12: the options are marked as changed.
    void OptionsChanged();

private:
    void ApplyActionColumn(std::size_t column);
    QAction& Action(const char* name) const;

    bool Allowed(std::string_view action) const;

    QWidget& window_;
    std::vector<std::pair<std::string, std::function<bool()>>> conditions_;
    TProgramState state_ = StateNoImage;
    bool waitCursor_ = false;
};

} // namespace varnolux
