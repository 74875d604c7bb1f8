#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace varnolux {

/// A line edit with its label beside it (on the left) or above it; the label is a
/// sibling in the same parent and follows the edit.
class TLabeledEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString EditLabelCaption READ EditLabelCaption WRITE SetEditLabelCaption)

public:
    enum class TLabelPosition { lpAbove, lpLeft };
    static constexpr int LabelSpacing = 3;

    TLabeledEdit(QWidget* parent, const char* name, const QString& caption,
                 TLabelPosition position = TLabelPosition::lpAbove);
    /// Unnamed, with an empty label above.
    explicit TLabeledEdit(QWidget* parent = nullptr);
    ~TLabeledEdit() override;

    QLabel* EditLabel() const { return label_; }
    QString EditLabelCaption() const;
    void SetEditLabelCaption(const QString& caption);

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void PlaceLabel();

    QPointer<QLabel> label_;
    TLabelPosition position_;
};

} // namespace varnolux
