#pragma once

#include <vector>

#include <QPointer>
#include <QString>
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

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlacePanelWidget();

    std::vector<int> widths_;
    std::vector<QString> texts_;
    QPointer<QWidget> panelWidget_;
    int panelWidgetIndex_ = -1;
};

} // namespace varnolux
