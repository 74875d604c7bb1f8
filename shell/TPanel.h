#pragma once

#include <QColor>
#include <QFrame>

namespace varnolux {

/// A panel: a frame with an optional lowered bevel and colour, that says when its
/// size changed so that its owner can lay out what it holds.
class TPanel : public QFrame {
    Q_OBJECT

public:
    enum class TBevel { None, Lowered };

    TPanel(QWidget* parent, const char* name, TBevel bevel = TBevel::None);

    void SetColour(const QColor& colour);

Q_SIGNALS:
    void Resized();

protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace varnolux
