#include "tools/EditExitCheck.h"

#include "base/Messages.h"
#include "settings/NumberText.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

namespace varnolux {

namespace {

class TExitFilter : public QObject {
public:
    TExitFilter(QLineEdit& edit, const QWidget& cancel, std::function<bool()> check)
        : QObject(&edit)
        , edit_(edit)
        , cancel_(cancel)
        , check_(std::move(check))
    {
        edit.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &edit_ && event->type() == QEvent::FocusOut && Leaving(*event))
            // After the focus has moved: a message box during the change would take
            // the focus once more.
            QTimer::singleShot(0, &edit_, [this] {
                if (edit_.isVisible() && !check_())
                    edit_.setFocus();
            });
        return false;
    }

private:
    bool Leaving(const QEvent& event) const
    {
        const Qt::FocusReason reason = static_cast<const QFocusEvent&>(event).reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        const QWidget* next = QApplication::focusWidget();
        return next != &cancel_ && next && next->window() == edit_.window();
    }

    QLineEdit& edit_;
    const QWidget& cancel_;
    std::function<bool()> check_;
};

} // namespace

void CheckOnExit(QLineEdit& edit, const QWidget& cancel, std::function<bool()> check)
{
    new TExitFilter(edit, cancel, std::move(check));
}

bool IsPositiveNumber(const QLineEdit& edit)
{
    const std::optional<double> value = ParseNumberTolerant(edit.text().toStdString());
    if (!value)
        CurrentReporter().ShowLanguageMessage("NoFloat", {});
    if (value.value_or(-1.0) <= 0.0) {
        CurrentReporter().ShowLanguageMessage("MessageInvalidNumber", {});
        return false;
    }
    return true;
}

} // namespace varnolux
