#pragma once

#include "chart/Tsp_PlotMarker.h"

namespace varnolux {

/// A picture in the field: its top-left corner at (X, Y), or stretched over the
/// rectangle from (X, Y) to (StretchX, StretchY), in values of the marker's axes.
class Tsp_ImageMarker : public Tsp_PlotMarker {
    Q_OBJECT

public:
    explicit Tsp_ImageMarker(QObject* parent = nullptr);

    const Tsp_Picture& Picture() const { return picture_; }
    void SetPicture(Tsp_Picture picture);
    double X() const { return x_; }
    void SetX(double x);
    double Y() const { return y_; }
    void SetY(double y);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    double StretchX() const { return stretchX_; }
    void SetStretchX(double x);
    double StretchY() const { return stretchY_; }
    void SetStretchY(double y);

    /// Nothing when the picture's rectangle misses the field.
    void Draw(Tsp_Canvas& canvas) override;

private:
    void SetValue(double& target, double value);

    Tsp_Picture picture_;
    double x_ = 0.0;
    double y_ = 0.0;
    bool stretch_ = false;
    double stretchX_ = 0.0;
    double stretchY_ = 0.0;
};

} // namespace varnolux
