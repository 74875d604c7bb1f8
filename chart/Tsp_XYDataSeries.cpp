#include "chart/Tsp_XYDataSeries.h"

#include "chart/Tsp_CustomXYPlot.h"

#include <algorithm>
#include <limits>

namespace varnolux {

Tsp_XYDataSeries::Tsp_XYDataSeries(QObject* parent)
    : Tsp_DataSeries(parent)
    , xs_(GrowthStep)
    , ys_(GrowthStep)
{
    lineAttr_.OnChange = [this] {
        InvalidatePlot(TIP_Reason::rsAttrChanged);
    };
}

double Tsp_XYDataSeries::GetX(int i) const
{
    return i >= 0 && i < count_ ? xs_[i] : std::numeric_limits<double>::quiet_NaN();
}

double Tsp_XYDataSeries::GetY(int i) const
{
    return i >= 0 && i < count_ ? ys_[i] : std::numeric_limits<double>::quiet_NaN();
}

void Tsp_XYDataSeries::SetStorage(int capacity)
{
    xs_.resize(capacity);
    ys_.resize(capacity);
}

void Tsp_XYDataSeries::IncludeInCache(double x, double y)
{
    if (count_ == 0) {
        xMin_ = xMax_ = x;
        yMin_ = yMax_ = y;
        cacheValid_ = true;
        return;
    }
    if (!cacheValid_)
        return;
    if (x < xMin_)
        xMin_ = x;
    else if (x > xMax_)
        xMax_ = x;
    if (y < yMin_)
        yMin_ = y;
    else if (y > yMax_)
        yMax_ = y;
}

void Tsp_XYDataSeries::AppendPoint(double x, double y)
{
    if (count_ >= Capacity())
        Expand();
    xs_[count_] = x;
    ys_[count_] = y;
    IncludeInCache(x, y);
    ++count_;
}

void Tsp_XYDataSeries::DataChanged()
{
    if (!CanPlot() || !Active())
        return;
    InvalidatePlot(TIP_Reason::rsDataChanged);
    Plot()->RepaintNow();
}

void Tsp_XYDataSeries::AddXY(double x, double y)
{
    AppendPoint(x, y);
    DataChanged();
}

void Tsp_XYDataSeries::AddXYArrays(std::span<const double> xs, std::span<const double> ys)
{
    const int n = static_cast<int>(std::min({xs.size(), ys.size(), std::size_t{MaxPoints}}));
    if (n <= 0)
        return;
    if (count_ + n >= Capacity())
        SetStorage(Capacity() + RoundedCapacity(n));
    // Many new points are cheaper to scan once when an extreme is asked for.
    const bool updateCache = cacheValid_ && n < 2 * count_;
    cacheValid_ = updateCache;
    for (int i = 0; i < n; ++i) {
        xs_[count_] = xs[i];
        ys_[count_] = ys[i];
        if (updateCache)
            IncludeInCache(xs[i], ys[i]);
        ++count_;
    }
    if (!locked_)
        InvalidatePlot(TIP_Reason::rsDataChanged);
}

void Tsp_XYDataSeries::InsertXY(int i, double x, double y)
{
    if (i < 0 || i > count_)
        return;
    if (i == count_) {
        AddXY(x, y);
        return;
    }
    if (count_ >= Capacity())
        Expand();
    std::copy_backward(xs_.begin() + i, xs_.begin() + count_, xs_.begin() + count_ + 1);
    std::copy_backward(ys_.begin() + i, ys_.begin() + count_, ys_.begin() + count_ + 1);
    xs_[i] = x;
    ys_[i] = y;
    IncludeInCache(x, y);
    ++count_;
    DataChanged();
}

void Tsp_XYDataSeries::ReplaceXY(int i, double x, double y)
{
    if (i < 0 || i >= count_)
        return;
    xs_[i] = x;
    ys_[i] = y;
    cacheValid_ = false;
    DataChanged();
}

void Tsp_XYDataSeries::Delete(int i)
{
    if (i < 0 || i >= count_)
        return;
    cacheValid_ = false;
    std::copy(xs_.begin() + i + 1, xs_.begin() + count_, xs_.begin() + i);
    std::copy(ys_.begin() + i + 1, ys_.begin() + count_, ys_.begin() + i);
    --count_;
    DataChanged();
}

void Tsp_XYDataSeries::DeleteRange(int a, int b)
{
    if (b < a)
        std::swap(a, b);
    if (a < 0 || a >= count_)
        return;
    cacheValid_ = false;
    const int end = std::min(b, count_ - 1) + 1;
    std::copy(xs_.begin() + end, xs_.begin() + count_, xs_.begin() + a);
    std::copy(ys_.begin() + end, ys_.begin() + count_, ys_.begin() + a);
    count_ -= end - a;
    DataChanged();
}

void Tsp_XYDataSeries::Clear()
{
    const bool hadPoints = count_ > 0;
    count_ = 0;
    cacheValid_ = false;
    if (hadPoints && !locked_)
        InvalidatePlot(TIP_Reason::rsDataChanged);
}

void Tsp_XYDataSeries::SetCapacity(int n)
{
    n = std::clamp(n, 0, MaxPoints);
    if (n < count_) {
        count_ = n;
        AdjustCapacity();
        cacheValid_ = false;
        if (!locked_)
            InvalidatePlot(TIP_Reason::rsDataChanged);
        return;
    }
    if (RoundedCapacity(n) != Capacity())
        SetStorage(RoundedCapacity(n));
}

void Tsp_XYDataSeries::AdjustCapacity()
{
    if (RoundedCapacity(count_) != Capacity())
        SetStorage(RoundedCapacity(count_));
}

void Tsp_XYDataSeries::Expand()
{
    SetStorage(Capacity() + GrowthStep);
}

void Tsp_XYDataSeries::ExpandBy(int n)
{
    if (n < 0)
        return;
    SetStorage(Capacity() + RoundedCapacity(std::min(n, MaxPoints)));
}

void Tsp_XYDataSeries::FindMinMax()
{
    if (count_ > 0)
        RecomputeCache();
}

void Tsp_XYDataSeries::RecomputeCache() const
{
    xMin_ = xMax_ = xs_[0];
    yMin_ = yMax_ = ys_[0];
    for (int i = 1; i < count_; ++i) {
        if (xs_[i] < xMin_)
            xMin_ = xs_[i];
        else if (xs_[i] > xMax_)
            xMax_ = xs_[i];
        if (ys_[i] < yMin_)
            yMin_ = ys_[i];
        else if (ys_[i] > yMax_)
            yMax_ = ys_[i];
    }
    cacheValid_ = true;
}

void Tsp_XYDataSeries::EnsureCache() const
{
    if (!cacheValid_)
        RecomputeCache();
}

std::optional<double> Tsp_XYDataSeries::GetXMin() const
{
    if (count_ <= 0)
        return std::nullopt;
    EnsureCache();
    return xMin_;
}

std::optional<double> Tsp_XYDataSeries::GetXMax() const
{
    if (count_ <= 0)
        return std::nullopt;
    EnsureCache();
    return xMax_;
}

std::optional<double> Tsp_XYDataSeries::GetYMin() const
{
    if (count_ <= 0)
        return std::nullopt;
    EnsureCache();
    return yMin_;
}

std::optional<double> Tsp_XYDataSeries::GetYMax() const
{
    if (count_ <= 0)
        return std::nullopt;
    EnsureCache();
    return yMax_;
}

void Tsp_XYDataSeries::SetLockInvalidate(bool locked)
{
    if (locked == locked_)
        return;
    locked_ = locked;
    if (!locked_ && Plot())
        InvalidatePlot(TIP_Reason::rsDataChanged);
}

bool Tsp_XYDataSeries::CanPlot() const
{
    return !locked_ && Plot() != nullptr;
}

} // namespace varnolux
