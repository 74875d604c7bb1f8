#include "shell/TStatusBar.h"

#include <algorithm>

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
    messageTimer_ = new QTimer(this);
    messageTimer_->setSingleShot(true);
    messageTimer_->setInterval(MessageTimeoutMs);
    connect(messageTimer_, &QTimer::timeout, this, &TStatusBar::ClearMessage);
}

void TStatusBar::SetPanelText(int panel, const QString& text)
{
    // New texts there, even the same ones, are news about the image: the message goes.
    if (panel < MessagePanels)
        ClearMessage();
    QString& stored = texts_.at(static_cast<size_t>(panel));
    if (stored == text)
        return;
    stored = text;
    update(PanelRect(panel));
}

void TStatusBar::ShowMessage(const QString& text)
{
    message_ = text;
    messageTimer_->start();
    update(MessageRect());
}

void TStatusBar::ClearMessage()
{
    messageTimer_->stop();
    if (message_.isEmpty())
        return;
    message_.clear();
    update(MessageRect());
}

QRect TStatusBar::MessageRect() const
{
    const int last = std::min(MessagePanels, PanelCount()) - 1;
    return PanelRect(0).united(PanelRect(last));
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
    const auto drawPanel = [&](const QRect& panel, const QString& text, Qt::TextElideMode elide) {
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = panel;
        frame.state |= QStyle::State_Sunken;
        frame.lineWidth = 1;
        style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
        const QRect textRect = panel.adjusted(TextMargin, 0, -TextMargin, 0);
        painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                         painter.fontMetrics().elidedText(text, elide, textRect.width()));
    };
    const bool showsMessage = !message_.isEmpty();
    // A message names a file: its folder may shrink, never the name at its end.
    if (showsMessage)
        drawPanel(MessageRect(), message_, Qt::ElideMiddle);
    for (int i = showsMessage ? MessagePanels : 0; i < PanelCount(); ++i)
        drawPanel(PanelRect(i), PanelText(i), Qt::ElideRight);
}

} // namespace varnolux
