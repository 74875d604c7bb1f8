#include "shell/TStatusBar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace varnolux {

namespace {

constexpr int PanelGap = 2;
constexpr int BarHeight = 19;
constexpr int TextMargin = 3;

} // namespace

TStatusBar::TStatusBar(QWidget* parent, const char* name, std::vector<int> panelWidths)
    : QWidget(parent)
    , widths_(std::move(panelWidths))
    , texts_(widths_.size())
{
    setObjectName(name);
    setFixedHeight(BarHeight);
}

void TStatusBar::SetPanelText(int panel, const QString& text)
{
    QString& stored = texts_.at(static_cast<size_t>(panel));
    if (stored == text)
        return;
    stored = text;
    update(PanelRect(panel));
}

QRect TStatusBar::PanelRect(int panel) const
{
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += widths_.at(static_cast<size_t>(i));
    return {left, PanelGap, widths_.at(static_cast<size_t>(panel)) - PanelGap, height() - PanelGap};
}

void TStatusBar::SetPanelWidget(int panel, QWidget* widget)
{
    panelWidgetIndex_ = panel;
    panelWidget_ = widget;
    PlacePanelWidget();
}

void TStatusBar::PlacePanelWidget()
{
    if (panelWidget_)
        panelWidget_->setGeometry(PanelRect(panelWidgetIndex_));
}

QSize TStatusBar::sizeHint() const
{
    int width = 0;
    for (const int panelWidth : widths_)
        width += panelWidth;
    return {width, BarHeight};
}

void TStatusBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlacePanelWidget();
}

void TStatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < PanelCount(); ++i) {
        const QRect panel = PanelRect(i);
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = panel;
        frame.state |= QStyle::State_Sunken;
        frame.lineWidth = 1;
        style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
        const QRect textRect = panel.adjusted(TextMargin, 0, -TextMargin, 0);
        const QString text =
            painter.fontMetrics().elidedText(PanelText(i), Qt::ElideRight, textRect.width());
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, text);
    }
}

} // namespace varnolux
