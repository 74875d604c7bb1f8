#pragma once

#include <vector>

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace varnolux {

/// A status bar of side-by-side panels of fixed widths, each showing a text; a widget
/// may be laid over a panel and follows it when the bar is resized.
class TStatusBar : public QWidget {
    Q_OBJECT

public:
    TStatusBar(QWidget* parent, const char* name, std::vector<int> panelWidths);

    int PanelCount() const { return static_cast<int>(texts_.size()); }
    QString PanelText(int panel) const { return texts_.at(static_cast<size_t>(panel)); }
    void SetPanelText(int panel, const QString& text);
    /// The panel's rectangle in the bar.
    QRect PanelRect(int panel) const;
    /// Keeps the widget exactly over the panel.
    void SetPanelWidget(int panel, QWidget* widget);

    /// Shows a short message over the panels before MessagePanels for a while, or until
    /// one of their texts changes; the panels' texts come back then.
    void ShowMessage(const QString& text);
    /// The message in view; empty when the panels show their texts.
    QString Message() const { return message_; }
    static constexpr int MessagePanels = 4;
    static constexpr int MessageTimeoutMs = 10000;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlacePanelWidget();
    void ClearMessage();
    QRect MessageRect() const;

    std::vector<int> widths_;
    std::vector<QString> texts_;
    QPointer<QWidget> panelWidget_;
    int panelWidgetIndex_ = -1;
    QString message_;
    QTimer* messageTimer_;
};

} // namespace varnolux
