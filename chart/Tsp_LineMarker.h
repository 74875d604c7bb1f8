#pragma once

#include "chart/Tsp_PlotMarker.h"

namespace varnolux {

enum class Tsp_LMOrientation { loVertical, loHorizontal };

/// A line across the field at a value: vertical at a value of the marker's X axis,
/// or horizontal at a value of its Y axis.
class Tsp_LineMarker : public Tsp_PlotMarker {
    Q_OBJECT

public:
    explicit Tsp_LineMarker(QObject* parent = nullptr);

    const Tsp_Pen& Pen() const { return pen_; }
    void SetPen(const Tsp_Pen& pen);
    const Tsp_Brush& Brush() const { return brush_; }
    void SetBrush(const Tsp_Brush& brush);
    double Position() const { return position_; }
    void SetPosition(double position);
    Tsp_LMOrientation Orientation() const { return orientation_; }
    void SetOrientation(Tsp_LMOrientation orientation);

    /// Nothing when the line lies further outside the field than its pen width.
    void Draw(Tsp_Canvas& canvas) override;

private:
    Tsp_Pen pen_;
    Tsp_Brush brush_;
    double position_ = 0.0;
    Tsp_LMOrientation orientation_ = Tsp_LMOrientation::loVertical;
};

} // namespace varnolux
