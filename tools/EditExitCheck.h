#pragma once

#include <functional>

class QLineEdit;
class QWidget;

namespace varnolux {

/// Runs check when the edit loses the focus to another control of its window, unless
/// that control is cancel (the user is leaving without the value). When the check
/// fails (it has said why) the focus goes back to the edit.
void CheckOnExit(QLineEdit& edit, const QWidget& cancel, std::function<bool()> check);

/// The tolerant number check of a length or scale edit: a text that is no number is
/// reported ("NoFloat"), and so is a value of 0 or below ("MessageInvalidNumber").
bool IsPositiveNumber(const QLineEdit& edit);

} // namespace varnolux
