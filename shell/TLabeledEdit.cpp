#include "shell/TLabeledEdit.h"

#include <QEvent>
#include <QLabel>

namespace varnolux {

TLabeledEdit::TLabeledEdit(QWidget* parent, const char* name, const QString& caption,
                           TLabelPosition position)
    : QLineEdit(parent)
    , label_(new QLabel(caption, parent))
    , position_(position)
{
    setObjectName(name);
    label_->setBuddy(this);
    PlaceLabel();
}

TLabeledEdit::TLabeledEdit(QWidget* parent)
    : TLabeledEdit(parent, "", QString())
{
}

TLabeledEdit::~TLabeledEdit()
{
    delete label_;
}

QString TLabeledEdit::EditLabelCaption() const
{
    return label_ ? label_->text() : QString();
}

void TLabeledEdit::SetEditLabelCaption(const QString& caption)
{
    if (!label_)
        return;
    label_->setText(caption);
    PlaceLabel();
}

void TLabeledEdit::PlaceLabel()
{
    if (!label_)
        return;
    label_->adjustSize();
    const QRect edit = geometry();
    if (position_ == TLabelPosition::lpLeft)
        label_->move(edit.left() - label_->width() - LabelSpacing,
                     edit.top() + (edit.height() - label_->height()) / 2);
    else
        label_->move(edit.left(), edit.top() - label_->height() - LabelSpacing);
}

void TLabeledEdit::moveEvent(QMoveEvent* event)
{
    QLineEdit::moveEvent(event);
    PlaceLabel();
}

void TLabeledEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    PlaceLabel();
}

void TLabeledEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && label_)
        label_->setEnabled(isEnabled());
}

void TLabeledEdit::showEvent(QShowEvent* event)
{
    QLineEdit::showEvent(event);
    if (label_)
        label_->show();
}

void TLabeledEdit::hideEvent(QHideEvent* event)
{
    QLineEdit::hideEvent(event);
    if (label_ && !isVisibleTo(parentWidget()))
        label_->hide();
}

} // namespace varnolux
