#pragma once

#include "chart/Tsp_DataSeries.h"
#include "chart/Tsp_LineAttr.h"

#include <span>
#include <vector>

namespace varnolux {

/// A growable store of XY points with cached extremes. The capacity grows in steps
/// of 32 points. Unless locked, a change lets the plot recompute its automatic
/// limits and repaint at once; lock the series while filling it point by point.
class Tsp_XYDataSeries : public Tsp_DataSeries {
    Q_OBJECT

public:
    static constexpr int GrowthStep = 32;
    /// Capacity requests above this many points count as this many.
    static constexpr int MaxPoints = 1 << 28;

    explicit Tsp_XYDataSeries(QObject* parent = nullptr);

    int Count() const { return count_; }
    int Capacity() const { return static_cast<int>(xs_.size()); }
    /// Point i's values; not-a-number outside 0 ≤ i < Count.
    double GetX(int i) const;
    double GetY(int i) const;

    void AddXY(double x, double y);
    /// Appends min(xs.size(), ys.size()) points.
    void AddXYArrays(std::span<const double> xs, std::span<const double> ys);
    /// Inserts before point i, 0 ≤ i ≤ Count; other indices are ignored.
    void InsertXY(int i, double x, double y);
    void ReplaceXY(int i, double x, double y);
    void Delete(int i);
    /// Removes points a..b (in either order, cut at the end); a must be a point.
    void DeleteRange(int a, int b);
    void Clear();
    /// Below Count it drops the points beyond; otherwise it makes room for n
    /// points. A negative n counts as 0.
    void SetCapacity(int n);
    void AdjustCapacity();
    void Expand();
    /// Room for at least n more points; a negative n does nothing.
    void ExpandBy(int n);
    void FindMinMax();

    std::optional<double> GetXMin() const override;
    std::optional<double> GetXMax() const override;
    std::optional<double> GetYMin() const override;
    std::optional<double> GetYMax() const override;

    bool LockInvalidate() const { return locked_; }
    /// While locked, changes do not repaint; unlocking repaints once.
    void SetLockInvalidate(bool locked);
    bool CanPlot() const;

    Tsp_LineAttr& LineAttr() { return lineAttr_; }
    const Tsp_LineAttr& LineAttr() const { return lineAttr_; }

protected:
    /// Appends without any repaint.
    void AppendPoint(double x, double y);
    /// After a change of points: unless locked, the plot's limits and a repaint now.
    void DataChanged();

private:
    void SetStorage(int capacity);
    void IncludeInCache(double x, double y);
    /// Recomputes the extremes of Count() > 0 points.
    void RecomputeCache() const;
    void EnsureCache() const;
    static int RoundedCapacity(int n) { return (n / GrowthStep + 1) * GrowthStep; }

    std::vector<double> xs_;
    std::vector<double> ys_;
    int count_ = 0;
    mutable bool cacheValid_ = false;
    mutable double xMin_ = 0.0;
    mutable double xMax_ = 0.0;
    mutable double yMin_ = 0.0;
    mutable double yMax_ = 0.0;
    bool locked_ = false;
    Tsp_LineAttr lineAttr_;
};

} // namespace varnolux
