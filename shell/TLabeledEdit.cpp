#include "shell/TLabeledEdit.h"

#include <QBoxLayout>

namespace varnolux {

TLabeledEdit::TLabeledEdit(QWidget* parent, TLabelPosition position)
    : QWidget(parent)
    , label_(new QLabel(this))
    , edit_(new QLineEdit(this))
{
    const auto direction =
        position == TLabelPosition::Above ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight;
    auto* layout = new QBoxLayout(direction, this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(label_);
    layout->addWidget(edit_);
    label_->setTextFormat(Qt::PlainText);
    label_->setBuddy(edit_);
    setFocusProxy(edit_);
}

} // namespace varnolux
