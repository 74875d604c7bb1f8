#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace varnolux {

/// An edit with its own caption label, above or to the left of it. The label is
/// part of the component: the language file sets it through the key
/// "<Window>.<Edit>.EditLabel.Caption", where an empty value blanks it.
class TLabeledEdit : public QWidget {
    Q_OBJECT

public:
    enum class TLabelPosition { Above, Left };

    explicit TLabeledEdit(QWidget* parent = nullptr,
                          TLabelPosition position = TLabelPosition::Above);

    QLabel& EditLabel() const { return *label_; }
    QLineEdit& Edit() const { return *edit_; }

private:
    QLabel* label_;   // owned as a child
    QLineEdit* edit_; // owned as a child
};

} // namespace varnolux
